// Zoom, quality, background, full screen, the menus' states, the title item and go to frame.
#include "playerfixture.h"

#include "player/viewcontrols.h"

namespace kivamo::test {
namespace {

TEST_F(PlayerTest, ZoomOutIsOfferedOnlyAfterZoomingIn)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    EXPECT_FALSE(viewMenuState(player->state()).zoomOutEnabled);
    player->zoomOutCommand();
    EXPECT_TRUE(control.calls.isEmpty());

    player->zoomInCommand();
    EXPECT_TRUE(viewMenuState(player->state()).zoomOutEnabled);
    EXPECT_TRUE(flashMenuState(player->state(), &control, 1).zoomOutEnabled);
    player->zoomOutCommand();
    player->zoomOutCommand();  // the zoomed flag stays set
    EXPECT_EQ(control.calls, QStringList({"Zoom(63)", "Zoom(160)", "Zoom(160)"}));

    player->nativeSizeCommand();
    EXPECT_FALSE(viewMenuState(player->state()).zoomOutEnabled);
    player->zoomInCommand();
    player->showAllCommand();
    EXPECT_FALSE(flashMenuState(player->state(), &control, 1).zoomOutEnabled);
    EXPECT_EQ(control.calls.mid(3), QStringList({"Scale(noscale)", "Zoom(63)", "Zoom(0)"}));
}

TEST_F(PlayerTest, AllowscaleFalseStopsEverySizeCommandUntilTheNextLoad)
{
    settings.fscommand = true;
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    player->zoomInCommand();
    control.raiseFSCommand("allowscale", "false");
    control.calls.clear();
    player->zoomInCommand();
    player->zoomOutCommand();
    player->nativeSizeCommand();
    player->showAllCommand();
    EXPECT_TRUE(control.calls.isEmpty());

    const ViewMenuState viewMenu = viewMenuState(player->state());
    EXPECT_FALSE(viewMenu.zoomInEnabled);
    EXPECT_FALSE(viewMenu.zoomOutEnabled);
    EXPECT_TRUE(viewMenu.qualityEnabled);
    EXPECT_TRUE(viewMenu.fullScreenEnabled);
    const FlashMenuState movieMenu = flashMenuState(player->state(), &control, 1);
    EXPECT_FALSE(movieMenu.zoomInEnabled);
    EXPECT_FALSE(movieMenu.zoomOutEnabled);
    EXPECT_TRUE(movieMenu.loadedItemsEnabled);

    play(0);
    EXPECT_TRUE(viewMenuState(player->state()).zoomInEnabled);
}

TEST_F(PlayerTest, ZoomInWithoutControlOnlySetsTheFlag)
{
    player->zoomInCommand();
    EXPECT_TRUE(player->state().zoomed);
    player->showAllCommand();  // needs a control: the flag stays
    EXPECT_TRUE(player->state().zoomed);
    player->nativeSizeCommand();
    EXPECT_FALSE(player->state().zoomed);
}

TEST_F(PlayerTest, QualityItemsSetTheControlAndThePicture)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    for (int quality : {QualityLow, QualityHigh, QualitySpeed, QualityBest}) {
        player->qualityCommand(quality);
        EXPECT_EQ(control.calls.last(), QString("Quality(%1)").arg(quality));
        EXPECT_EQ(view.qualityImage, 12 + quality);
        const QualityMenuState menu = qualityMenuState(player->state(), &control);
        EXPECT_EQ(menu.checked, quality);
        EXPECT_TRUE(menu.enabled);
    }
    EXPECT_EQ(control.Quality2(), "质量优先");
    player->resetPlayer();
    const QualityMenuState none = qualityMenuState(player->state(), nullptr);
    EXPECT_FALSE(none.checked.has_value());
    EXPECT_FALSE(none.enabled);
    EXPECT_FALSE(zoomMenuEnabled(player->state()));
}

TEST_F(PlayerTest, BackgroundFromTheColourChooser)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    prompts.expectColour(QColor(0x12, 0x34, 0x56));
    player->backgroundCommand();
    EXPECT_EQ(control.calls, QStringList{QString("BackgroundColor(%1)").arg(0x12 * 65536 + 0x34 * 256 + 0x56)});
    prompts.expectColour(std::nullopt);
    player->backgroundCommand();
    EXPECT_EQ(control.calls.size(), 1) << "cancelled: the colour stays";
    EXPECT_EQ(controlColourValue(Qt::white), 16777215);
}

TEST_F(PlayerTest, FullScreenRestoresExactlyTheSavedPanels)
{
    addMovie("a");
    player->fullScreenCommand();
    EXPECT_TRUE(view.modes.isEmpty()) << "no movie: no full screen";

    playReady(0);
    view.panels = {/*toolbar*/ false, /*list*/ true, /*playControl*/ false, /*onTop*/ true, /*maximized*/ true};
    player->fullScreenCommand();
    EXPECT_TRUE(player->state().fullScreen);
    view.panels = {};  // what the window shows in full screen does not matter
    player->fullScreenCommand();
    EXPECT_FALSE(player->state().fullScreen);
    EXPECT_EQ(view.modes, QStringList({"full", "windowed"}));
    const WindowedLayout& layout = view.lastLayout;
    EXPECT_TRUE(layout.redockPlayControl);
    EXPECT_FALSE(layout.toolbar);
    EXPECT_TRUE(layout.list);
    EXPECT_FALSE(layout.playControl);
    EXPECT_TRUE(layout.compactPlayControl) << "the compact bar stands in for the hidden full bar";
    EXPECT_TRUE(layout.onTop);
    EXPECT_TRUE(layout.maximized);

    player->leaveFullScreen();  // not in full screen: nothing to restore
    EXPECT_EQ(view.modes.size(), 2);
}

TEST_F(PlayerTest, ResetPlayerLeavesFullScreen)
{
    addMovie("a");
    playReady(0);
    player->enterFullScreen();
    player->stopCommand();
    EXPECT_EQ(view.modes, QStringList({"full", "windowed"}));
    EXPECT_FALSE(player->state().fullScreen);
}

TEST(ViewRules, WindowedLayoutFollowsTheSavedBar)
{
    const WindowedLayout shown = windowedLayout({true, false, true, false, false}, false);
    EXPECT_FALSE(shown.redockPlayControl);
    EXPECT_TRUE(shown.playControl);
    EXPECT_FALSE(shown.compactPlayControl);
    EXPECT_FALSE(shown.list);
    EXPECT_TRUE(shown.toolbar);
}

TEST(ViewRules, MovieWindowFilter)
{
    using E = MovieMouseEvent;
    using A = MovieMouseAction;
    struct Case {
        E event;
        bool pupflashmenu, Dclick, fullScreen;
        A action;
    };
    const Case cases[] = {
        {E::RightPress, false, false, false, A::OpenMovieMenu},
        {E::RightPress, true, true, true, A::PassOn},
        {E::LeftDoubleClick, false, true, false, A::ToggleFullScreen},
        {E::LeftDoubleClick, false, false, true, A::PassOn},
        {E::Move, false, true, true, A::HideControlBarAndPassOn},
        {E::Move, false, false, false, A::PassOn},
        {E::Other, false, true, true, A::PassOn},
    };
    for (const Case& c : cases)
        EXPECT_EQ(movieMouseAction(c.event, c.pupflashmenu, c.Dclick, c.fullScreen), c.action) << int(c.event);

    PlayerState state;
    state.fullScreen = true;
    EXPECT_FALSE(showsControlBarOverMovie(state));
    EXPECT_FALSE(movieAreaHint(state, MovieAreaPart::MoviePanel).has_value());
    EXPECT_FALSE(movieAreaHint(state, MovieAreaPart::BackgroundPicture).has_value());
    state.movieLoaded = true;
    state.currentPath = "/m/a.swf";
    EXPECT_TRUE(showsControlBarOverMovie(state));
    EXPECT_EQ(movieAreaHint(state, MovieAreaPart::MoviePanel), QString("/m/a.swf"));
    EXPECT_EQ(movieAreaHint(state, MovieAreaPart::BackgroundPicture), QString("就绪"));
}

TEST(ViewRules, TitleItemKeepsShortPathsAndShortensLongOnes)
{
    PlayerState state;
    EXPECT_EQ(titleItem(state).caption, "未载入");
    EXPECT_TRUE(titleItem(state).hint.isEmpty());

    state.movieLoaded = true;
    struct Case {
        QString path;
        QString caption;
    };
    const QString thirty = "/home/u/movies/abcdefghijk.swf";  // exactly 30 characters
    ASSERT_EQ(thirty.size(), 30);
    const QString thirtyOne = "/home/u/movies/abcdefghijkl.swf";
    const Case cases[] = {
        {thirty, thirty},
        {thirtyOne, "/home/u/movies/abcdefghijkl..\\abcdefghijkl.swf"},
        {"D:\\flash\\collection\\games\\动画片\\猫和老鼠.swf", "D:\\flash\\collection\\games\\动..\\猫和老鼠.swf"},
        {"http://127.0.0.1:8080/some/long/path/m.swf", "http://127.0.0.1:8080/some/..\\http://127.0.0.1:8080/some/long/path/m.swf.swf"},
        {"/a/b.swf", "/a/b.swf"},
    };
    for (const Case& c : cases) {
        state.currentPath = c.path;
        EXPECT_EQ(titleItem(state).caption, c.caption) << c.path.toStdString();
        EXPECT_EQ(titleItem(state).hint, c.path);
    }
}

TEST(ViewRules, FlashMenuStates)
{
    FakeFlashControl control;
    PlayerState state;
    FlashMenuState menu = flashMenuState(state, nullptr, 3);
    EXPECT_FALSE(menu.playEnabled || menu.loadedItemsEnabled || menu.entryStepsEnabled || menu.zoomInEnabled);

    state.movieLoaded = true;
    control.playing = true;
    menu = flashMenuState(state, &control, 1);
    EXPECT_TRUE(menu.playEnabled);
    EXPECT_TRUE(menu.playChecked);
    EXPECT_FALSE(menu.pauseChecked);
    EXPECT_FALSE(menu.entryStepsEnabled) << "one entry: no previous or next";
    control.playing = false;
    menu = flashMenuState(state, &control, 2);
    EXPECT_FALSE(menu.playChecked);
    EXPECT_TRUE(menu.pauseChecked);
    EXPECT_TRUE(menu.entryStepsEnabled);
}

TEST(ViewRules, GotoFieldRules)
{
    struct Case {
        QString typed;
        int total;
        QString field;
    };
    const Case cases[] = {
        {"", 120, "1"},       {"0", 120, "1"},     {"000", 120, "1"},   {"1", 120, "1"},
        {"120", 120, "120"},  {"121", 120, "120"}, {"99999", 120, "120"}, {"45", 120, "45"},
        {"99999999999999999999999", 120, "120"},   {"4a5", 120, "45"},  {"abc", 120, "1"},
        {"7", 0, "1"},        {"", 0, "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gotoFieldText(c.typed, c.total), c.field) << c.typed.toStdString() << " of " << c.total;

    for (const QChar c : QString("0123456789\b"))
        EXPECT_TRUE(gotoFieldAccepts(c)) << c.unicode();
    for (const QChar c : QString("a-+ .Z１"))
        EXPECT_FALSE(gotoFieldAccepts(c)) << c.unicode();
}

TEST_F(PlayerTest, GotoStopsJumpsAndResumesOnClosing)
{
    EXPECT_FALSE(player->beginGoto().has_value());
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    control.totalFrames = 120;
    control.frame = 9;
    const std::optional<GotoDialogTexts> texts = player->beginGoto();
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->field, "10");
    EXPECT_EQ(texts->totalText, "总帧数： 120");
    EXPECT_EQ(texts->currentText, "当前帧： 10");
    player->gotoAccepted(120);
    player->gotoClosed();
    EXPECT_EQ(control.calls, QStringList({"Stop", "GotoFrame(119)", "Play", "Play"}));

    control.calls.clear();
    ASSERT_TRUE(player->beginGoto().has_value());
    player->gotoClosed();  // cancelled: the movie still resumes
    EXPECT_EQ(control.calls, QStringList({"Stop", "Play"}));
}

}  // namespace
}  // namespace kivamo::test
