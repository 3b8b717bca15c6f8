// The main window driving the real player through a fake control: list activation plays the entry,
// buttons, menu entries and keys reach the control once, the timers and sliders follow the movie,
// go to frame and full screen open and close.
#include "app/keyhook.h"
#include "app/ui/picturebutton.h"
#include "player/ui/tfgoto.h"
#include "swfwriter/demomovies.h"
#include "wired.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QWindow>

using namespace kivamo;
using test::Wired;

namespace {

class PlayerWiring : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeMovies(dir, {"a.swf", "b.swf", "c.swf"});
        QFile ini(dir.filePath("main.ini"));  // movies may call FSCommand
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[common]\r\nfscommand=1\r\n");
        ini.close();
        wired = std::make_unique<Wired>(dir.path() + "/");
        wired->form->FormCreate({}, nullptr, nullptr);
        test::appendMovies(wired->list, dir, {"a.swf", "b.swf", "c.swf"});
    }

    Tmainform& form() { return *wired->form; }
    test::FakeFlashControl* control() { return wired->controls.current(); }
    QModelIndex row(int index) { return form().lv_listview1->model()->index(index, 0); }

    // Double-clicks the entry and makes the fake report the movie fully loaded.
    void playEntry(int index)
    {
        emit form().lv_listview1->doubleClicked(row(index));
        ASSERT_NE(control(), nullptr);
        control()->readyState = 4;
        control()->raiseReadyState(4);
        control()->calls.clear();
    }

    // A key press or release as the application's key filter sees it on a top-level window.
    void key(int qtKey, QEvent::Type type = QEvent::KeyPress)
    {
        QKeyEvent event(type, qtKey, Qt::NoModifier);
        form().keyHook()->eventFilter(&window, &event);
    }

    QTemporaryDir dir;
    QWindow window;
    std::unique_ptr<Wired> wired;
};

TEST_F(PlayerWiring, DoubleClickAndEnterPlayTheEntry)
{
    emit form().lv_listview1->doubleClicked(row(1));
    ASSERT_EQ(wired->controls.created(), 1);
    EXPECT_EQ(control()->calls, QStringList({"WMode(opaque)", "BackgroundColor(-1)", "Movie(" + dir.filePath("b.swf") + ")"}));
    EXPECT_EQ(wired->player().currentIndex(), 1);
    EXPECT_EQ(form().windowTitle(), dir.filePath("b.swf") + " - Kivamo flash播放器 V0.9.3.12 Beta");
    EXPECT_EQ(form().LAB_state->text(), "b.swf");
    EXPECT_TRUE(form().TMR_PLAY.isActive());
    EXPECT_EQ(form().TMR_PLAY.interval(), 3000);
    EXPECT_TRUE(form().B_Bpause->isVisibleTo(&form()));
    EXPECT_FALSE(form().B_bplay->isVisibleTo(&form()));

    form().lv_listview1->setCurrentIndex(row(2));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_TRUE(QCoreApplication::sendEvent(form().lv_listview1, &enter));
    EXPECT_EQ(wired->controls.created(), 2);
    EXPECT_EQ(wired->controls.alive(), 1);  // the first movie's control is gone
    EXPECT_EQ(wired->player().currentIndex(), 2);
    EXPECT_EQ(wired->list.at(2).playing, "1");
    EXPECT_EQ(wired->list.at(1).playing, "0");
}

TEST_F(PlayerWiring, MissingMovieIsReportedAndNothingPlays)
{
    QFile::remove(dir.filePath("a.swf"));
    wired->prompts.expectMessage("文件未找到", dir.filePath("a.swf") + "不存在，请更新路径", PromptIcon::Error);
    emit form().lv_listview1->doubleClicked(row(0));
    EXPECT_TRUE(wired->prompts.done());
    EXPECT_FALSE(wired->operations.movieLoaded());
    EXPECT_EQ(form().LAB_play->text(), "　　未载入");
    EXPECT_FALSE(form().TMR_PLAY.isActive());
}

TEST_F(PlayerWiring, TransportButtonsAndMenuEntriesReachTheControlOnce)
{
    playEntry(0);
    control()->frame = 50;
    const struct { QObject* sender; QStringList calls; } cases[] = {
        {form().B_Bpause, {"Stop"}},
        {form().B_bplay, {"Play"}},
        {form().B_Brewind, {"Rewind", "Play"}},
        {form().B_BnextZ, {"Forward"}},
        {form().B_BprevZ, {"Back"}},
        {form().TB_9, {"Forward"}},
        {form().TB_5, {"Back"}},
        {form().menuAction("MNI_mpause"), {"Stop"}},
        {form().menuAction("MNI_mrewind"), {"Rewind", "Play"}},
        {form().menuAction("MNI_mnextzhen"), {"Forward"}},
        {form().menuAction("MNI_mzoomout"), {"Zoom(63)"}},
        {form().menuAction("MNI_msl"), {"Quality(0)"}},
        {form().menuAction("pmquality_q"), {"Quality(3)"}},
    };
    for (const auto& c : cases) {
        control()->calls.clear();
        if (auto* button = qobject_cast<QAbstractButton*>(c.sender))
            button->click();
        else
            qobject_cast<QAction*>(c.sender)->trigger();
        EXPECT_EQ(control()->calls, c.calls) << c.sender->objectName().toStdString();
    }
}

TEST_F(PlayerWiring, StopAndEntryStepsChangeTheMovie)
{
    playEntry(0);
    form().B_Bnext->click();
    EXPECT_EQ(wired->player().currentIndex(), 1);
    EXPECT_TRUE(control()->calls.contains("Movie(" + dir.filePath("b.swf") + ")"));
    form().B_Bprev->click();
    form().B_Bprev->click();  // from the first entry round to the last
    EXPECT_EQ(wired->player().currentIndex(), 2);
    EXPECT_EQ(wired->controls.alive(), 1);

    form().TB_2->click();
    EXPECT_EQ(wired->controls.alive(), 0);
    EXPECT_FALSE(wired->operations.movieLoaded());
    EXPECT_EQ(form().LAB_play->text(), "　　未载入");
    EXPECT_EQ(form().windowTitle(), "未载入 - Kivamo flash播放器 V0.9.3.12 Beta");
    EXPECT_FALSE(form().SL_MainTrackBar->isEnabled());
}

TEST_F(PlayerWiring, KeysRunTheirCommandOnce)
{
    playEntry(0);
    control()->frame = 50;
    const struct { int key; QStringList calls; } cases[] = {
        {Qt::Key_O, {"Stop"}},
        {Qt::Key_P, {"Play"}},
        {Qt::Key_R, {"Rewind", "Play"}},
    };
    for (const auto& c : cases) {
        control()->calls.clear();
        key(Qt::Key_Control);
        key(c.key);
        key(c.key, QEvent::KeyRelease);
        key(Qt::Key_Control, QEvent::KeyRelease);
        EXPECT_EQ(control()->calls, c.calls) << c.key;
    }
    control()->calls.clear();
    key(Qt::Key_P);  // without Ctrl no player key
    EXPECT_TRUE(control()->calls.isEmpty());
}

TEST_F(PlayerWiring, FullScreenByMenuAndEscapeByKey)
{
    playEntry(0);
    form().show();
    form().menuAction("MNI_allscreen")->trigger();
    EXPECT_TRUE(wired->player().state().fullScreen);
    EXPECT_FALSE(form().pnl_TOOLBAR->isVisible());
    EXPECT_FALSE(form().pnl_list->isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(wired->player().state().fullScreen);
    EXPECT_TRUE(form().pnl_TOOLBAR->isVisible());
    EXPECT_TRUE(form().pnl_list->isVisible());
}

TEST_F(PlayerWiring, TimersAndSlidersFollowTheMovie)
{
    emit form().lv_listview1->doubleClicked(row(0));
    EXPECT_FALSE(form().SL_MainTrackBar->isEnabled());
    control()->readyState = 4;
    control()->raiseReadyState(4);
    EXPECT_TRUE(form().TMR_flash.isActive());
    EXPECT_EQ(form().TMR_flash.interval(), 150);
    EXPECT_EQ(form().TMR_flashclose.interval(), 15);
    EXPECT_TRUE(form().SL_MainTrackBar->isEnabled());
    EXPECT_EQ(form().SL_MainTrackBar2->maximum(), 99);

    control()->frame = 41;
    form().TMR_flashTimer();
    EXPECT_EQ(form().LAB_play->text(), "　　当前帧：42/100帧");
    EXPECT_EQ(form().SL_MainTrackBar->value(), 41);
    EXPECT_EQ(form().SL_MainTrackBar2->value(), 41);

    form().TMR_PLAYTimer();  // the status line steps on to the list text
    EXPECT_TRUE(form().LAB_state->text().startsWith(" 列表："));

    control()->raiseFSCommand("quit", "");
    EXPECT_TRUE(form().TMR_flashclose.isActive());
    form().TMR_flashcloseTimer();
    EXPECT_FALSE(form().TMR_flashclose.isActive());
    EXPECT_EQ(wired->controls.alive(), 0);
}

TEST_F(PlayerWiring, DraggingEitherSliderHaltsTheTickAndJumps)
{
    playEntry(0);
    for (QSlider* slider : {form().SL_MainTrackBar, form().SL_MainTrackBar2}) {
        control()->calls.clear();
        emit slider->sliderPressed();
        EXPECT_FALSE(form().TMR_flash.isActive());
        emit slider->sliderMoved(29);
        EXPECT_EQ(form().LAB_play->text(), "　　正在拖动：30/100帧");
        emit slider->sliderReleased();
        EXPECT_TRUE(form().TMR_flash.isActive());
        ASSERT_EQ(control()->calls.size(), 2);  // where the pointer was: inside the slider's range
        EXPECT_TRUE(control()->calls[0].startsWith("GotoFrame("));
        EXPECT_EQ(control()->calls[1], "Play");
    }
}

TEST_F(PlayerWiring, LoopEntryReachesTheControl)
{
    playEntry(0);
    form().menuAction("MNI_mloop")->trigger();
    EXPECT_EQ(control()->calls, QStringList({"Loop(" + QString(form().menuAction("MNI_mloop")->isChecked() ? "true" : "false") + ")"}));
}

TEST_F(PlayerWiring, GoToFrameOpensOnlyWithAMovieAndJumps)
{
    form().menuAction("MNI_mgoto")->trigger();
    EXPECT_EQ(form().findChild<Tfgoto*>(), nullptr);

    playEntry(0);
    form().TB_8->click();
    auto* dialog = form().findChild<Tfgoto*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(control()->calls, QStringList({"Stop"}));
    dialog->edt_f->setText("5");
    dialog->Button1Click();
    EXPECT_TRUE(control()->calls.contains("GotoFrame(4)"));
    EXPECT_TRUE(control()->playing);
}

}  // namespace

namespace {

TEST(CommandWiring, HelpOpensTheIndexBesideTheProgram)
{
    QTemporaryDir dir;
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({}, nullptr, nullptr);
    wired.form->TB_help->click();  // no help pages: nothing opens
    EXPECT_TRUE(wired.opened.isEmpty());

    QDir(dir.path()).mkdir("help");
    QFile(dir.filePath("help/index.html")).open(QIODevice::WriteOnly);
    wired.form->menuAction("H2")->trigger();
    ASSERT_EQ(wired.opened.size(), 1);
    EXPECT_EQ(wired.opened.front(), QUrl::fromLocalFile(QFileInfo(dir.filePath("help/index.html")).canonicalFilePath()));
}

// "升级" only starts the browser on the product page: no box of the program, no version check.
TEST(CommandWiring, UpdateOpensTheProductPageFromTheToolbarAndTheToolsMenu)
{
    QTemporaryDir dir;
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({}, nullptr, nullptr);
    wired.form->TB_update->click();
    wired.form->menuAction("N9")->trigger();
    wired.form->pnl_TOOLBAR->resize(420, 64);  // "升级" moves into the overflow menu
    wired.form->ToolBarResize();
    QAction* overflow = nullptr;
    for (QAction* entry : wired.form->PM_TOOLBAR2->actions()) {
        if (entry->text() == QString::fromUtf8("升级"))
            overflow = entry;
    }
    ASSERT_NE(overflow, nullptr);
    overflow->trigger();
    const QUrl page("https://www.kivamo.org/");
    EXPECT_EQ(wired.opened, QList<QUrl>({page, page, page}));
    EXPECT_TRUE(wired.prompts.done());
    EXPECT_TRUE(wired.operations.unhandledCommands().empty());
}

TEST(CommandWiring, PluginInfoShowsTheVersionRecordOfTheEngineFile)
{
    QTemporaryDir dir;
    Wired wired(dir.path() + "/", QCoreApplication::applicationFilePath());
    wired.form->FormCreate({}, nullptr, nullptr);
    wired.prompts.expectMessage("插件信息", {}, PromptIcon::Information);
    wired.form->TB_showocx->click();
    EXPECT_TRUE(wired.prompts.done());
    ASSERT_EQ(wired.prompts.messages().size(), 1u);
    EXPECT_FALSE(wired.prompts.messages().front().text.isEmpty());

    Wired missing(dir.path() + "/", dir.filePath("absent"));
    missing.form->FormCreate({}, nullptr, nullptr);
    missing.form->menuAction("N23")->trigger();  // no file: no box (the scripted prompts fail on any)
}

}  // namespace

namespace {

// The composition root's factory: the engine's widget takes the logo's place and gives it back.
TEST(EngineWiring, MovieWidgetReplacesTheLogoWhilePlaying)
{
    QTemporaryDir dir;
    Wired wired(dir.path() + "/", {}, true);
    wired.form->FormCreate({}, nullptr, nullptr);
    const auto demo = test::demoMovies().front();
    const QString path = dir.filePath(QString::fromStdString(demo.fileName));
    ASSERT_TRUE(test::writeFile(path.toStdString(), demo.bytes));
    MovieEntry entry;
    entry.title = "demo";
    entry.path = path;
    wired.list.append(entry);
    wired.form->show();

    emit wired.form->lv_listview1->doubleClicked(wired.form->lv_listview1->model()->index(0, 0));
    auto* widget = dynamic_cast<TShockwaveFlash*>(wired.operations.flashControl());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), wired.form->pnl_main);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_FALSE(wired.form->pnl_flash->isVisible());

    wired.form->B_Bnext->click();  // the only entry again: a fresh widget in the same place
    auto* next = dynamic_cast<TShockwaveFlash*>(wired.operations.flashControl());
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(wired.form->pnl_main->findChildren<TShockwaveFlash*>().size(), 1);
    EXPECT_FALSE(wired.form->pnl_flash->isVisible());

    wired.form->B_Bstop->click();
    EXPECT_EQ(wired.operations.flashControl(), nullptr);
    EXPECT_TRUE(wired.form->pnl_main->findChildren<TShockwaveFlash*>().isEmpty());
    EXPECT_TRUE(wired.form->pnl_flash->isVisible());
}

}  // namespace

namespace {

// The movie window filter: with setting Dclick a double click on the movie toggles full screen and
// the movie does not see it.
TEST(EngineWiring, DoubleClickOnTheMovieTogglesFullScreen)
{
    QTemporaryDir dir;
    QFile ini(dir.filePath("main.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[play]\r\nDclick=1\r\n");
    ini.close();
    Wired wired(dir.path() + "/", {}, true);
    wired.form->FormCreate({}, nullptr, nullptr);
    ASSERT_TRUE(wired.form->startupSettings().Dclick);
    const auto demo = test::demoMovies().front();
    const QString path = dir.filePath(QString::fromStdString(demo.fileName));
    ASSERT_TRUE(test::writeFile(path.toStdString(), demo.bytes));
    MovieEntry entry;
    entry.path = path;
    wired.list.append(entry);
    wired.form->show();
    emit wired.form->lv_listview1->doubleClicked(wired.form->lv_listview1->model()->index(0, 0));
    auto* widget = dynamic_cast<TShockwaveFlash*>(wired.operations.flashControl());
    ASSERT_NE(widget, nullptr);

    for (bool expected : {true, false}) {
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &click);
        EXPECT_EQ(wired.player().state().fullScreen, expected);
    }
}

}  // namespace
