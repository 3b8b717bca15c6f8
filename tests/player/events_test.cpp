// The control's events, the three timers, the sliders and the movie's FSCommand calls.
#include "playerfixture.h"

#include <QFile>

namespace kivamo::test {
namespace {

TEST_F(PlayerTest, ReadyStateFourEnablesSlidersAndPosition)
{
    addMovie("a");
    play(0);
    FakeFlashControl* control = controls.current();
    control->totalFrames = 120;
    for (int state : {0, 1, 2, 3}) {
        control->raiseReadyState(state);
        EXPECT_FALSE(view.slidersEnabled) << state;
        EXPECT_FALSE(view.timers[PlayerTimer::Flash]) << state;
    }
    view.sliderValue = 7;
    control->raiseReadyState(4);
    EXPECT_TRUE(view.slidersEnabled);
    EXPECT_EQ(view.sliderMaximum, 119);
    EXPECT_EQ(view.sliderValue, 0);
    EXPECT_TRUE(view.timers[PlayerTimer::Flash]);
}

TEST_F(PlayerTest, ProgressShowsTheDownloadPercentage)
{
    addMovie("a");
    play(0);
    controls.current()->raiseProgress(42);
    EXPECT_EQ(view.stateText, "下载中：42％");
    EXPECT_EQ(view.titleItem, "下载中：42％");
}

TEST_F(PlayerTest, FlashTimerShowsThePositionOnceReady)
{
    player->TMR_flashTimer();  // no control: nothing
    EXPECT_TRUE(view.position.isEmpty());

    addMovie("a");
    play(0);
    FakeFlashControl* control = controls.current();
    control->totalFrames = 240;
    control->frame = 9;
    control->readyState = 3;
    player->TMR_flashTimer();
    EXPECT_TRUE(view.position.isEmpty());

    control->readyState = 4;
    player->TMR_flashTimer();
    EXPECT_EQ(view.position, "　　当前帧：10/240帧");
    EXPECT_EQ(view.sliderValue, 9);
}

TEST_F(PlayerTest, StatusRotatesEveryTickWithTheUnsavedMark)
{
    addMovie("甲", "作者甲");
    addMovie("乙");
    list.setListName("我的列表");
    play(0);
    const QStringList expected = {" 列表：我的列表(2)", " 标题：甲", " 作者：作者甲", " 出处：未知",
                                  " 类型：未知", " 列表：我的列表(2) [未保存]"};
    for (int tick = 0; tick < 6; ++tick) {
        if (tick == 5)
            list.setModified(true);
        player->TMR_PLAYTimer();
        EXPECT_EQ(view.stateText, expected[tick]) << "tick " << tick;
    }

    play(1);  // the rotation goes on where it was
    player->TMR_PLAYTimer();
    EXPECT_EQ(view.stateText, " 标题：乙");

    list.setListName("五折%1到%2");  // names taken from file names may hold placeholders
    list.setModified(false);
    for (int tick = 0; tick < 4; ++tick)
        player->TMR_PLAYTimer();
    EXPECT_EQ(view.stateText, " 列表：五折%1到%2(2)");
}

TEST_F(PlayerTest, PlayTimerRefreshesTheQualityPicture)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    control.quality = QualityBest;
    player->TMR_PLAYTimer();
    EXPECT_EQ(view.qualityImage, 15);
    EXPECT_TRUE(control.calls.isEmpty()) << "without autocontinue the tick never touches the movie";
}

TEST_F(PlayerTest, AutocontinueResumesAndMovesOnAtTheLastFrame)
{
    settings.autocontinue = true;
    addMovie("a");
    addMovie("b");
    FakeFlashControl& first = playReady(1);
    player->pauseCommand();
    first.calls.clear();
    first.frame = 50;
    player->TMR_PLAYTimer();
    EXPECT_EQ(first.calls, QStringList{"Play"});
    EXPECT_TRUE(first.playing);
    EXPECT_FALSE(view.looksPlaying()) << "the look is not updated by autocontinue";

    first.frame = 99;  // last of 100 frames: the next entry (wrapping to the first) starts
    player->TMR_PLAYTimer();
    EXPECT_EQ(player->state().currentIndex, 0);
    ASSERT_NE(controls.current(), nullptr);
    EXPECT_EQ(controls.current()->calls.last(), "Play") << "Play goes to the control that is current now";
    EXPECT_EQ(controls.created(), 2);
}

TEST_F(PlayerTest, QuitIsDeferredToTheCloseTimer)
{
    settings.fscommand = true;
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    control.raiseFSCommand("quit", "");
    EXPECT_NE(controls.current(), nullptr) << "never destroyed inside its own event";
    EXPECT_TRUE(player->movieLoaded());
    EXPECT_TRUE(view.timers[PlayerTimer::FlashClose]);
    EXPECT_TRUE(player->isTimerEnabled(PlayerTimer::FlashClose));

    player->TMR_flashcloseTimer();
    EXPECT_EQ(controls.current(), nullptr);
    EXPECT_FALSE(player->movieLoaded());
    EXPECT_FALSE(view.timers[PlayerTimer::FlashClose]);
    EXPECT_EQ(view.position, "　　未载入");
}

TEST_F(PlayerTest, PendingQuitDiesWithItsMovie)
{
    settings.fscommand = true;
    addMovie("a");
    addMovie("b");
    playReady(0).raiseFSCommand("quit", "");
    player->nextEntryCommand();  // the user moved on within the 15 ms
    EXPECT_FALSE(view.timers[PlayerTimer::FlashClose]);
    EXPECT_FALSE(player->isTimerEnabled(PlayerTimer::FlashClose));

    playReady(1).raiseFSCommand("quit", "");
    player->stopCommand();
    EXPECT_FALSE(view.timers[PlayerTimer::FlashClose]) << "reset player stops the close timer too";
}

TEST_F(PlayerTest, FscommandOffChangesNothing)
{
    settings.exec = true;
    addMovie("a");
    view.panels.list = false;
    FakeFlashControl& control = playReady(0);
    const QString program = dir.filePath("tool.sh");
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    file.close();
    const int looks = view.lookChanges;

    for (const auto& [c, a] : {std::pair{"fullscreen", "true"}, {"allowscale", "false"}, {"exec", ""}, {"quit", ""}}) {
        control.raiseFSCommand(c, a == QString() ? program : QString(a));
    }
    EXPECT_TRUE(control.calls.isEmpty());
    EXPECT_TRUE(view.modes.isEmpty());
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_FALSE(view.timers[PlayerTimer::FlashClose]);
    EXPECT_TRUE(player->state().scalingAllowed);
    EXPECT_FALSE(player->state().fullScreen);
    EXPECT_EQ(view.lookChanges, looks);
}

TEST_F(PlayerTest, FscommandsActExactlyAsSpelled)
{
    settings.fscommand = true;
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    for (const auto& [c, a] : {std::pair{"FullScreen", "true"}, {"fullscreen", "True"}, {"fullscreen", "1"},
                               {"allowscale", "FALSE"}, {"Quit", ""}, {"allowScale", "false"}})
        control.raiseFSCommand(c, a);
    EXPECT_TRUE(view.modes.isEmpty());
    EXPECT_TRUE(player->state().scalingAllowed);
    EXPECT_FALSE(view.timers[PlayerTimer::FlashClose]);

    control.raiseFSCommand("fullscreen", "true");
    control.raiseFSCommand("fullscreen", "true");  // already full screen: entered once
    EXPECT_EQ(view.modes, QStringList{"full"});

    control.raiseFSCommand("allowscale", "false");
    EXPECT_EQ(control.calls, QStringList{"Scale(noscale)"});
    EXPECT_FALSE(player->state().scalingAllowed);

    play(0);  // the next load allows scaling again
    EXPECT_TRUE(player->state().scalingAllowed);
}

TEST_F(PlayerTest, ExecStartsOnlyExistingExecutableFiles)
{
    settings.fscommand = true;
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    const QString program = dir.filePath("tool.sh");
    const QString plain = dir.filePath("notes.txt");
    for (const QString& path : {program, plain}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    control.raiseFSCommand("exec", program);
    EXPECT_TRUE(starter.started.isEmpty()) << "setting exec is off";

    settings.exec = true;
    for (const QString& refused : {plain, dir.filePath("missing"), dir.path(), QString()})
        control.raiseFSCommand("exec", refused);
    EXPECT_TRUE(starter.started.isEmpty());

    control.raiseFSCommand("exec", program);
    EXPECT_EQ(starter.started, QStringList{program});
    EXPECT_TRUE(player->movieLoaded());
}

TEST_F(PlayerTest, SliderDragAndRelease)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    control.totalFrames = 101;
    player->pauseCommand();
    control.calls.clear();

    player->sliderPressed();
    EXPECT_FALSE(view.timers[PlayerTimer::Flash]);
    EXPECT_TRUE(player->state().trackDragging);
    player->sliderMoved(9);
    EXPECT_EQ(view.position, "　　正在拖动：10/101帧");

    player->sliderReleased(50, 200, 100);  // a quarter of the way: frame 25
    EXPECT_TRUE(view.timers[PlayerTimer::Flash]);
    EXPECT_FALSE(player->state().trackDragging);
    EXPECT_EQ(view.sliderValue, 25);
    EXPECT_EQ(control.calls, QStringList({"GotoFrame(25)", "Play"}));
    EXPECT_TRUE(view.looksPlaying());
}

TEST_F(PlayerTest, SliderReleaseAtTheEdges)
{
    struct Case {
        int x;
        int width;
        int maximum;
        int value;
    };
    const Case cases[] = {
        {0, 200, 100, 0}, {-30, 200, 100, 0}, {200, 200, 100, 100}, {260, 200, 100, 100},
        {199, 200, 100, 99}, {10, 0, 100, 0}, {5, 10, 0, 0},
    };
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    for (const Case& c : cases) {
        control.calls.clear();
        player->sliderReleased(c.x, c.width, c.maximum);
        EXPECT_EQ(view.sliderValue, c.value) << c.x << " of " << c.width;
        EXPECT_EQ(control.calls.first(), QString("GotoFrame(%1)").arg(c.value));
    }
}

TEST_F(PlayerTest, SliderWithoutControlStillShowsPlaying)
{
    player->sliderPressed();
    player->sliderMoved(3);
    EXPECT_TRUE(view.position.isEmpty());
    player->sliderReleased(10, 100, 50);
    EXPECT_EQ(view.sliderValue, 5);
    EXPECT_TRUE(view.looksPlaying());
}

TEST_F(PlayerTest, SliderMoveNeedsDraggingAndKnownFrames)
{
    addMovie("a");
    play(0);
    FakeFlashControl* control = controls.current();
    control->readyState = 1;
    player->sliderPressed();
    player->sliderMoved(4);
    EXPECT_TRUE(view.position.isEmpty()) << "frames are not known yet";
    control->readyState = 2;
    player->sliderReleased(0, 10, 10);
    player->sliderMoved(4);
    EXPECT_TRUE(view.position.isEmpty()) << "not dragging any more";
}

TEST_F(PlayerTest, PingbaoDrivesTheScreenSaverInhibit)
{
    player->applySettings();
    EXPECT_TRUE(screenSaver.inhibited) << "on by default, whether or not a movie plays";
    settings.pingbao = false;
    player->applySettings();
    EXPECT_FALSE(screenSaver.inhibited);
}

}  // namespace
}  // namespace kivamo::test
