// The main window's own dialogs over the real player: options store and reload the startup
// settings in place, the single snapshot saves the movie area from the toolbar, the menus and Ctrl+F1.
#include "app/keyhook.h"
#include "app/ui/tfabout.h"
#include "dialogs/ui/tfoption.h"
#include "dialogs/ui/tfpic.h"
#include "info/ui/tffdetail.h"
#include "app_ui/fixture.h"
#include "shell/ui/tfunsetassign.h"
#include "shell/versionrecord.h"
#include "wired.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

using namespace kivamo;
using test::Wired;

namespace {

class DialogWiring : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeMovies(dir, {"a.swf"});
        wired = std::make_unique<Wired>(dir.path() + "/");
        wired->form->FormCreate({}, nullptr, nullptr);
        test::appendMovies(wired->list, dir, {"a.swf"});
    }

    Tmainform& form() { return *wired->form; }

    QTemporaryDir dir;
    std::unique_ptr<Wired> wired;
};

TEST_F(DialogWiring, OptionsOpenFromToolbarAndMenuAndReloadTheSettingsInPlace)
{
    const Settings* record = &form().startupSettings();
    ASSERT_FALSE(record->fscommand);

    form().menuAction("N11")->trigger();
    auto* cancelled = form().findChild<Tfoption*>();
    ASSERT_NE(cancelled, nullptr);
    EXPECT_TRUE(cancelled->isVisible());
    cancelled->Button3Click();
    EXPECT_FALSE(cancelled->isVisible());
    delete cancelled;
    EXPECT_FALSE(form().startupSettings().fscommand);

    form().TB_option1->click();
    auto* dialog = form().findChild<Tfoption*>();
    ASSERT_NE(dialog, nullptr);
    dialog->chk_fscommand->click();
    dialog->Button2Click();
    EXPECT_TRUE(wired->prompts.done());
    EXPECT_EQ(&form().startupSettings(), record);
    EXPECT_TRUE(record->fscommand);

    // The player reads the same record: a movie's quit request now unloads it.
    emit form().lv_listview1->doubleClicked(form().lv_listview1->model()->index(0, 0));
    wired->controls.current()->raiseFSCommand("quit", "");
    EXPECT_TRUE(form().TMR_flashclose.isActive());
}

TEST_F(DialogWiring, SnapshotSavesTheMovieFromEachControlAndTheKey)
{
    form().TB_pic->click();  // nothing loaded: no dialog
    EXPECT_TRUE(wired->prompts.done());

    emit form().lv_listview1->doubleClicked(form().lv_listview1->model()->index(0, 0));
    QWindow window;
    const struct { const char* name; std::function<void()> run; } cases[] = {
        {"toolbar.bmp", [this] { form().TB_pic->click(); }},
        {"menu.bmp", [this] { form().menuAction("MNI_mpic")->trigger(); }},
        {"movie-menu.bmp", [this] { form().menuAction("MNI_pic")->trigger(); }},
        {"key.bmp", [this, &window] {
             for (int key : {int(Qt::Key_Control), int(Qt::Key_F1)}) {
                 QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
                 form().keyHook()->eventFilter(&window, &press);
             }
             QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
             form().keyHook()->eventFilter(&window, &release);
         }},
    };
    for (const auto& c : cases) {
        const QString file = dir.filePath(QString::fromLatin1(c.name));
        wired->prompts.expectSaveFile(file).expectMessage("保存成功", {}, PromptIcon::Information);
        const int painted = int(wired->controls.current()->calls.count("paintInto"));
        c.run();
        EXPECT_TRUE(wired->prompts.done()) << c.name;
        EXPECT_TRUE(QFile::exists(file)) << c.name;
        EXPECT_EQ(wired->controls.current()->calls.count("paintInto"), painted + 1) << c.name;
    }
    EXPECT_TRUE(wired->operations.unhandledCommands().empty());
}

}  // namespace

namespace {

TEST_F(DialogWiring, DetailsShowTheLoadedMovieOrElseTheSelectedEntry)
{
    form().TB_detail->click();  // nothing loaded, nothing selected
    EXPECT_TRUE(form().findChildren<TFfdetail*>().isEmpty());

    test::writeMovies(dir, {"b.swf"});
    test::appendMovies(wired->list, dir, {"b.swf"});
    wired->list.setSelected(1, true);
    QKeyEvent ctrlD(QEvent::KeyPress, Qt::Key_D, Qt::ControlModifier);
    QCoreApplication::sendEvent(form().lv_listview1, &ctrlD);
    auto dialogs = form().findChildren<TFfdetail*>();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs.front()->EDT_path->text(), dir.filePath("b.swf"));
    delete dialogs.front();

    emit form().lv_listview1->doubleClicked(form().lv_listview1->model()->index(0, 0));
    form().menuAction("MNI_mnowdetail")->trigger();
    dialogs = form().findChildren<TFfdetail*>();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs.front()->EDT_path->text(), dir.filePath("a.swf"));
}

}  // namespace

namespace {

TEST_F(DialogWiring, ContinuousSnapshotOpensFromBothMenusAndCtrlF2WithAMovie)
{
    form().menuAction("MNI_mcontpic")->trigger();  // nothing loaded
    EXPECT_TRUE(form().findChildren<Tfpic*>().isEmpty());
    form().TB_print->click();  // nothing loaded: no printer question either
    EXPECT_TRUE(wired->prompts.done());

    emit form().lv_listview1->doubleClicked(form().lv_listview1->model()->index(0, 0));
    QWindow window;
    const std::function<void()> openers[] = {
        [this] { form().menuAction("MNI_mcontpic")->trigger(); },
        [this] { form().menuAction("MNI_contpic")->trigger(); },
        [this, &window] {
            for (int key : {int(Qt::Key_Control), int(Qt::Key_F2)}) {
                QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
                form().keyHook()->eventFilter(&window, &press);
            }
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
            form().keyHook()->eventFilter(&window, &release);
        },
    };
    for (const auto& open : openers) {
        open();
        const auto dialogs = form().findChildren<Tfpic*>();
        ASSERT_EQ(dialogs.size(), 1);
        EXPECT_TRUE(dialogs.front()->isVisible());
        delete dialogs.front();
    }
    EXPECT_TRUE(wired->operations.unhandledCommands().empty());
}

}  // namespace

namespace {

// Associations go to the environment handed in: the list type at every start, the movie type with
// setting command or from the menu entry.
TEST(AssociationWiring, StartRegistersTheListTypeAndTheMenuTheMovieType)
{
    QTemporaryDir dir;
    AssociationEnvironment environment;
    environment.dataHome = dir.filePath("data");
    environment.configHome = dir.filePath("config");
    environment.findProgram = [](const QString&) { return QString(); };
    environment.runProgram = [](const QString&, const QStringList&) {};
    Wired wired(dir.path() + "/");
    wired.operations.setAssociations(environment, dir.filePath("kivamo"));
    wired.form->FormCreate({}, nullptr, nullptr);
    EXPECT_TRUE(QFile::exists(applicationsFolder(environment) + "/kivamo.desktop"));
    EXPECT_FALSE(defaultMovieHandlerProgram(environment).has_value());

    wired.prompts.expectMessage("设置成功", "文件关联设置成功，双击SWF文件时会用本播放器打开。", PromptIcon::Information);
    wired.form->menuAction("MNI_setassign")->trigger();
    EXPECT_TRUE(wired.prompts.done());
    EXPECT_TRUE(defaultMovieHandlerProgram(environment).has_value());

    wired.form->menuAction("MNI_unsetassign")->trigger();  // the window has no environment
    EXPECT_TRUE(wired.form->findChildren<Tfunsetassign*>().isEmpty());
}

TEST(AssociationWiring, UnassignEntryOpensItsWindowOverTheEnvironment)
{
    QTemporaryDir dir;
    AssociationEnvironment environment;
    environment.dataHome = dir.filePath("data");
    environment.configHome = dir.filePath("config");
    PlayList list;
    test::ScriptedPrompts prompts;
    test::RecordingCommands commands;
    test::RecordingOperations operations;
    MainFormServices services;
    services.operations = &operations;
    services.commands = &commands;
    services.prompts = &prompts;
    services.programDirectory = dir.path() + "/";
    services.associations = &environment;
    Tmainform form(services);
    form.menuAction("MNI_unsetassign")->trigger();
    const auto windows = form.findChildren<Tfunsetassign*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows.front()->isVisible());
    windows.front()->close();
    EXPECT_TRUE(commands.commands.empty());  // the window's own entry, no command
}

}  // namespace

namespace {

TEST_F(DialogWiring, AboutBoxShowsTheEnginesVersionRecord)
{
    TFileVersionInfo engine(findPluginFile());
    ASSERT_TRUE(engine.read());  // the record is linked into every program of the core
    form().menuAction("A2")->trigger();
    auto* about = form().findChild<TFabout*>();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->LAB_plugVer->text(), "插件版本号：" + engine.FileVersion);
    EXPECT_FALSE(engine.FileVersion.isEmpty());
}

}  // namespace
