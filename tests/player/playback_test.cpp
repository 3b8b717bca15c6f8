// Playing an entry, resetting the player, the transport commands and the entry steps.
#include "playerfixture.h"

#include "playlist/history.h"

namespace kivamo::test {
namespace {

TEST_F(PlayerTest, PlayCurrentEntryLoadsTheMovieInItsSteps)
{
    addMovie("first");
    const int index = addMovie("second", "某作者");
    settings.noscale = true;
    play(index);

    FakeFlashControl* control = controls.current();
    ASSERT_NE(control, nullptr);
    const QString path = pathOf(index);
    EXPECT_EQ(control->calls, QStringList({"WMode(opaque)", "Scale(noscale)", "BackgroundColor(-1)",
                                           "Movie(" + path + ")"}));
    EXPECT_EQ(view.caption, path + " - Kivamo flash播放器 V0.9.3.12 Beta");
    EXPECT_EQ(view.stateText, "second");
    EXPECT_EQ(view.scrolledTo, index);
    EXPECT_TRUE(view.timers[PlayerTimer::Play]);
    EXPECT_TRUE(view.looksPlaying());
    EXPECT_EQ(view.look.playToolImageIndex, 11);
    EXPECT_EQ(view.look.playToolHint, "暂停播放");
    EXPECT_EQ(view.glyph, "4");
    EXPECT_EQ(view.qualityImage, 13);
    EXPECT_FALSE(view.slidersEnabled) << "sliders wait for ready state 4";

    const PlayerState& state = player->state();
    EXPECT_TRUE(state.movieLoaded);
    EXPECT_TRUE(state.scalingAllowed);
    EXPECT_EQ(state.currentPath, path);
    EXPECT_EQ(state.currentTitle, "second");
    EXPECT_EQ(state.currentAuthor, "某作者");
    EXPECT_FALSE(list.at(0).isPlaying());
    EXPECT_TRUE(list.at(1).isPlaying());
}

TEST_F(PlayerTest, PathIsTrimmedAndScaleLeftAloneWithoutNoscale)
{
    const int index = addMovie("padded");
    MovieEntry entry = list.at(index);
    const QString path = entry.path;
    entry.path = "  " + path + "\t";
    list.setEntry(index, entry);
    play(index);
    EXPECT_EQ(controls.current()->calls, QStringList({"WMode(opaque)", "BackgroundColor(-1)", "Movie(" + path + ")"}));
    EXPECT_EQ(player->state().currentPath, path);
}

TEST_F(PlayerTest, EveryEntryGetsAFreshControl)
{
    addMovie("a");
    addMovie("b");
    int aliveAtCreation = -1;
    controls.setUp = [&](FakeFlashControl&) { aliveAtCreation = controls.alive(); };
    play(0);
    play(1);
    EXPECT_EQ(controls.created(), 2);
    EXPECT_EQ(aliveAtCreation, 1) << "the old control is destroyed before the new one is made";
    EXPECT_EQ(controls.alive(), 1);
}

TEST_F(PlayerTest, MissingFileShowsTheBoxAndResets)
{
    addMovie("present");
    MovieEntry gone;
    gone.title = "gone";
    gone.path = dir.filePath("gone.swf");
    list.append(gone);
    play(0);
    prompts.expectMessage("文件未找到", dir.filePath("gone.swf") + "不存在，请更新路径", PromptIcon::Error);
    play(1);

    EXPECT_EQ(controls.current(), nullptr);
    EXPECT_EQ(player->state().currentIndex, -1);
    EXPECT_FALSE(player->state().movieLoaded);
    EXPECT_EQ(player->state().currentPath, "z:\\");
    EXPECT_FALSE(list.at(0).isPlaying());
    EXPECT_FALSE(list.at(1).isPlaying());
    EXPECT_EQ(view.caption, "未载入 - Kivamo flash播放器 V0.9.3.12 Beta");
}

TEST_F(PlayerTest, WebAddressesAreHandedOnWithoutLookingForAFile)
{
    MovieEntry web;
    web.title = "http://127.0.0.1/m.swf";
    web.path = "http://127.0.0.1/m.swf";
    list.append(web);
    MovieEntry upper;  // only the exact lower-case prefix counts as an address
    upper.path = "HTTP://127.0.0.1/m.swf";
    list.append(upper);
    play(0);
    EXPECT_TRUE(player->state().movieLoaded);
    EXPECT_TRUE(controls.current()->calls.contains("Movie(http://127.0.0.1/m.swf)"));

    prompts.expectMessage("文件未找到", "HTTP://127.0.0.1/m.swf不存在，请更新路径", PromptIcon::Error);
    play(1);
    EXPECT_FALSE(player->state().movieLoaded);
}

TEST_F(PlayerTest, ResetPlayerShowsNotLoaded)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    (void)control;
    player->zoomInCommand();
    player->resetPlayer();

    EXPECT_EQ(controls.current(), nullptr);
    const PlayerState& state = player->state();
    EXPECT_EQ(state.currentIndex, -1);
    EXPECT_EQ(state.currentPath, "z:\\");
    EXPECT_TRUE(state.currentTitle.isEmpty());
    EXPECT_EQ(state.currentAuthor, "未知");
    EXPECT_EQ(state.currentType, "未知");
    EXPECT_FALSE(state.zoomed);
    EXPECT_FALSE(view.timers[PlayerTimer::Play]);
    EXPECT_TRUE(view.timers[PlayerTimer::Flash]) << "the position timer is left running";
    EXPECT_EQ(view.position, "　　未载入");
    EXPECT_EQ(view.glyph, "<");
    EXPECT_FALSE(view.slidersEnabled);
    EXPECT_EQ(view.sliderValue, 0);
    EXPECT_FALSE(view.looksPlaying());
    EXPECT_FALSE(list.at(0).isPlaying());
}

TEST_F(PlayerTest, HistoryGetsTheReplacedMovieOnlyWhenOn)
{
    addMovie("a");
    addMovie("b");
    addMovie("c");
    play(0);
    play(1);
    EXPECT_TRUE(historyMenu(dir.path() + "/", true).items.isEmpty()) << "history is off by default";

    settings.history = true;
    player->resetPlayer();
    play(2);  // nothing was loaded: no "z:\" line
    EXPECT_TRUE(historyMenu(dir.path() + "/", true).items.isEmpty());
    play(0);
    EXPECT_EQ(historyMenu(dir.path() + "/", true).items, QStringList{pathOf(2)});
}

TEST_F(PlayerTest, NextAndPreviousWrapAround)
{
    struct Case {
        int entries;
        int from;
        bool next;
        int expected;
    };
    const Case cases[] = {
        {3, 2, true, 0}, {3, 0, false, 2}, {3, 1, true, 2}, {3, 1, false, 0}, {1, 0, true, 0}, {1, 0, false, 0},
    };
    for (const Case& c : cases) {
        list.clear();
        for (int i = 0; i < c.entries; ++i)
            addMovie(QString("m%1").arg(i));
        play(c.from);
        const int before = controls.created();
        c.next ? player->nextEntryCommand() : player->previousEntryCommand();
        EXPECT_EQ(player->state().currentIndex, c.expected) << c.entries << " entries from " << c.from;
        EXPECT_EQ(controls.created(), before + 1) << "the entry is played again even when it is the same";
        EXPECT_TRUE(list.at(c.expected).isPlaying());
    }
}

TEST_F(PlayerTest, EntryStepsNeedALoadedMovie)
{
    addMovie("a");
    addMovie("b");
    player->nextEntryCommand();
    player->previousEntryCommand();
    EXPECT_EQ(controls.created(), 0);
    EXPECT_EQ(player->state().currentIndex, -1);
}

TEST_F(PlayerTest, PlayTogglesByTheButtonLook)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    ASSERT_TRUE(view.looksPlaying());
    player->playCommand();  // the playing look: the second press pauses
    EXPECT_EQ(control.calls, QStringList{"Stop"});
    EXPECT_FALSE(view.looksPlaying());
    EXPECT_EQ(view.look.playToolImageIndex, 0);
    EXPECT_EQ(view.look.playToolHint, "播放影片");
    EXPECT_EQ(view.glyph, ";");

    player->playCommand();
    EXPECT_EQ(control.calls, QStringList({"Stop", "Play"}));
    EXPECT_TRUE(view.looksPlaying());

    // A movie that halted by itself still looks playing: play pauses, as the look says.
    control.playing = false;
    player->playCommand();
    EXPECT_EQ(control.calls.last(), "Stop");
}

TEST_F(PlayerTest, PlayWithoutControlAddsOrPlaysTheSelection)
{
    prompts.expectOpenFiles({});
    player->playCommand();  // empty list: the add-file dialog
    EXPECT_EQ(controls.created(), 0);

    addMovie("a");
    addMovie("b");
    player->playCommand();  // nothing selected: nothing happens
    EXPECT_EQ(controls.created(), 0);

    list.setSelected(1, true);
    player->playCommand();
    EXPECT_EQ(player->state().currentIndex, 1);
    EXPECT_TRUE(player->state().movieLoaded);
}

TEST_F(PlayerTest, CommandsWithoutControlDoNothingButPauseLooksHalted)
{
    addMovie("a");
    player->rewindCommand();
    player->previousFrameCommand();
    player->nextFrameCommand();
    player->fastBackCommand();
    player->fastForwardCommand();
    player->loopClicked(false);
    player->zoomInCommand();
    player->qualityCommand(QualityLow);
    player->backgroundCommand();
    EXPECT_EQ(controls.created(), 0);
    EXPECT_EQ(view.lookChanges, 0);
    player->pauseCommand();
    EXPECT_EQ(view.lookChanges, 1);
    EXPECT_FALSE(view.looksPlaying());
}

TEST_F(PlayerTest, FrameStepsHaltAndRewindKeepsTheLook)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    control.frame = 5;
    player->nextFrameCommand();
    EXPECT_EQ(control.calls, QStringList{"Forward"});
    EXPECT_FALSE(view.looksPlaying());
    player->previousFrameCommand();
    EXPECT_EQ(control.calls.last(), "Back");
    EXPECT_FALSE(view.looksPlaying());

    const int looks = view.lookChanges;
    player->rewindCommand();
    EXPECT_EQ(control.calls.mid(2), QStringList({"Rewind", "Play"}));
    EXPECT_EQ(control.frame, 0);
    EXPECT_EQ(view.lookChanges, looks);
}

TEST_F(PlayerTest, FastStepsNearBothEnds)
{
    struct Case {
        int total;
        int current;
        int step;
        bool forward;
        int target;  // what GotoFrame is given, unclamped
    };
    const Case cases[] = {
        {100, 15, 20, false, 1},    // at or below one step from the start: frame 1
        {100, 20, 20, false, 1},
        {100, 21, 20, false, 1},
        {100, 50, 20, false, 30},
        {100, 90, 20, true, 100},   // near the end: TotalFrames, which the control clamps
        {100, 80, 20, true, 100},
        {100, 79, 20, true, 99},
        {100, 10, 35, true, 45},
        {5, 0, 10, true, 5},
    };
    for (const Case& c : cases) {
        list.clear();
        addMovie("m");
        settings.step = c.step;
        FakeFlashControl& control = playReady(0);
        control.totalFrames = c.total;
        control.frame = c.current;
        const int looks = view.lookChanges;
        c.forward ? player->fastForwardCommand() : player->fastBackCommand();
        EXPECT_EQ(control.calls, QStringList({QString("GotoFrame(%1)").arg(c.target), "Play"}))
            << c.total << "/" << c.current << " step " << c.step;
        EXPECT_EQ(view.lookChanges, looks) << "fast steps leave the look";
    }
}

TEST_F(PlayerTest, LoopIsSentOnlyWhenClicked)
{
    addMovie("a");
    play(0);
    EXPECT_FALSE(controls.current()->calls.join(",").contains("Loop"));
    player->loopClicked(false);
    player->loopClicked(true);
    EXPECT_EQ(controls.current()->calls.mid(3), QStringList({"Loop(false)", "Loop(true)"}));
}

TEST_F(PlayerTest, StopUnloads)
{
    addMovie("a");
    playReady(0);
    player->stopCommand();
    EXPECT_EQ(controls.current(), nullptr);
    EXPECT_FALSE(player->movieLoaded());
}

}  // namespace
}  // namespace kivamo::test
