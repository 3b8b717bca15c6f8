// The main window's list windows and list keys over the real play list and player.
#include "app/demolist.h"
#include "playlist/ui/tfcustomlist.h"
#include "playlist/ui/tfsearchrec.h"
#include "playlist/ui/tfurl.h"
#include "wired.h"

#include <QCoreApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QUrl>
#include <QKeyEvent>
#include <QLineEdit>

using namespace kivamo;
using test::Wired;

namespace {

class ListWiring : public ::testing::Test {
protected:
    void SetUp() override
    {
        wired = std::make_unique<Wired>(dir.path() + "/");
        wired->form->FormCreate({}, nullptr, nullptr);
    }

    Tmainform& form() { return *wired->form; }

    bool pressInList(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(form().lv_listview1, &event);
        return event.isAccepted();
    }

    QTemporaryDir dir;
    std::unique_ptr<Wired> wired;
};

TEST_F(ListWiring, AddressEntryOpensOneDialogThatAddsTheAddress)
{
    form().menuAction("MNI_mInsertURL")->trigger();
    TfURL* dialog = form().urlDialog();
    ASSERT_NE(dialog, nullptr);
    form().menuAction("MNI_mInsertURL")->trigger();
    EXPECT_EQ(form().urlDialog(), dialog);
    EXPECT_EQ(form().findChildren<TfURL*>().size(), 1);

    dialog->LABEDT_path->setText("http://example.com/a.swf");
    dialog->Button1Click();
    ASSERT_EQ(wired->list.count(), 1);
    EXPECT_EQ(wired->list.at(0).path, "http://example.com/a.swf");
    EXPECT_TRUE(wired->prompts.done());
}

TEST_F(ListWiring, DirectoryEntryWalksTheChosenFolder)
{
    QTemporaryDir movies;
    test::writeMovies(movies, {"a.swf", "b.swf", "notes.txt"});
    QDir(movies.path()).mkdir("sub");
    QFile(movies.filePath("sub/c.swf")).open(QIODevice::WriteOnly);
    const struct { PromptButton answer; int added; } cases[] = {{PromptButton::No, 2}, {PromptButton::Yes, 3}};
    for (const auto& c : cases) {
        wired->list.clear();
        wired->prompts.expectFolder(movies.path())
            .expectMessage("添加目录", "是否同时添加子目录？", PromptIcon::Question,
                           PromptButton::Yes | PromptButton::No, c.answer);
        form().menuAction("MNI_d2")->trigger();
        EXPECT_TRUE(wired->prompts.done());
        EXPECT_EQ(wired->list.count(), c.added);
        EXPECT_TRUE(wired->list.isModified());
        EXPECT_FALSE(form().searchWindow()->isVisible());
    }
}

TEST_F(ListWiring, ListKeysRunTheirListCommands)
{
    test::writeMovies(dir, {"a.swf", "b.swf", "c.swf"});
    test::appendMovies(wired->list, dir, {"a.swf", "b.swf", "c.swf"});
    QAbstractItemModel* model = form().lv_listview1->model();
    // Selects one row as a plain click does, whatever modifiers earlier key events left behind.
    const auto selectOnly = [this, model](int row) {
        form().lv_listview1->selectionModel()->setCurrentIndex(
            model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };

    selectOnly(1);
    EXPECT_TRUE(wired->list.isSelected(1));
    EXPECT_TRUE(pressInList(Qt::Key_Enter, Qt::KeypadModifier));
    EXPECT_EQ(wired->controls.created(), 1);
    EXPECT_EQ(wired->player().currentIndex(), 1);

    pressInList(Qt::Key_Return, Qt::ControlModifier);  // the key hook's full-screen key, not the list's
    EXPECT_EQ(wired->controls.created(), 1);

    selectOnly(2);
    EXPECT_FALSE(wired->list.isSelected(0));
    EXPECT_FALSE(wired->list.isSelected(1));
    EXPECT_TRUE(wired->list.isSelected(2));
    pressInList(Qt::Key_Delete);
    ASSERT_EQ(wired->list.count(), 2);
    EXPECT_EQ(wired->list.at(1).title, "b.swf");

    pressInList(Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(wired->list.isSelected(0));
    EXPECT_TRUE(wired->list.isSelected(1));

    const QString saved = dir.filePath("saved.kvl");
    wired->prompts.expectSaveFile(saved).expectMessage("保存成功", "列表文件保存成功！", PromptIcon::Information);
    pressInList(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(wired->prompts.done());
    EXPECT_TRUE(QFile::exists(saved));
}

}  // namespace

namespace {

TEST(HistoryWiring, ReplacedMoviesListedInTheFileMenuReplayAndClear)
{
    QTemporaryDir dir;
    test::writeMovies(dir, {"a&b.swf", "b.swf"});
    QFile ini(dir.filePath("main.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[common]\r\nhistory=1\r\n");
    ini.close();
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({}, nullptr, nullptr);
    test::appendMovies(wired.list, dir, {"a&b.swf", "b.swf"});
    QAbstractItemModel* model = wired.form->lv_listview1->model();
    emit wired.form->lv_listview1->doubleClicked(model->index(0, 0));
    emit wired.form->lv_listview1->doubleClicked(model->index(1, 0));  // a.swf enters the history

    wired.form->F1Click();
    auto* his = wired.form->findChild<QMenu*>("MNI_his");
    ASSERT_NE(his, nullptr);
    QStringList items;
    for (QAction* action : his->actions()) {
        if (action->objectName() == "MNI_hisItem")
            items << action->text();
    }
    // "&" is doubled so the menu shows the path as it is instead of taking an accelerator.
    EXPECT_EQ(items, QStringList({QString(dir.filePath("a&b.swf")).replace("&", "&&")}));
    EXPECT_TRUE(wired.form->menuAction("MNI_delhis")->isEnabled());
    wired.form->F1Click();  // filled afresh, not twice
    ASSERT_EQ(his->actions().size(), 3);  // clearing entry, line, item
    EXPECT_EQ(his->actions()[0]->objectName(), "MNI_delhis");
    EXPECT_EQ(his->actions()[1]->objectName(), "MNI_N6");

    his->actions().back()->trigger();  // a new list with the movie, playing
    ASSERT_EQ(wired.list.count(), 1);
    EXPECT_EQ(wired.list.at(0).path, dir.filePath("a&b.swf"));
    EXPECT_EQ(wired.player().currentIndex(), 0);
    EXPECT_TRUE(wired.operations.movieLoaded());

    wired.prompts.expectMessage("清除历史记录", "已经成功清除历史记录！", PromptIcon::Information);
    wired.form->menuAction("MNI_delhis")->trigger();
    EXPECT_TRUE(wired.prompts.done());
    wired.form->F1Click();
    EXPECT_EQ(his->actions().size(), 2);  // the clearing entry and the line stay
    EXPECT_FALSE(wired.form->menuAction("MNI_delhis")->isEnabled());
}

}  // namespace

namespace {

TEST(CustomListWiring, MenuListsTheCustomListsAndOpensThem)
{
    QTemporaryDir dir;
    test::writeMovies(dir, {"a.swf"});
    const Result<QString> listFile = writeDemoList(dir.path());
    ASSERT_TRUE(listFile);
    QFile config(dir.filePath("list.cfg"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("#LLL\r\nbegin\r\nmine\r\n" + listFile.value().toUtf8() + "\r\n");
    config.close();
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({}, nullptr, nullptr);
    auto* menu = wired.form->findChild<QMenu*>("PM_cuslist");
    ASSERT_NE(menu, nullptr);

    for (int opening = 0; opening < 2; ++opening)  // rebuilt, not appended
        wired.form->PM_cuslistPopup();
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "当前列表加入自定义");
    EXPECT_EQ(items[1]->text(), "自定义列表...");
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), "mine");
    EXPECT_EQ(items[3]->statusTip(), listFile.value());

    items[3]->trigger();
    ASSERT_EQ(wired.list.count(), 1);
    EXPECT_EQ(wired.list.at(0).path, dir.filePath("a.swf"));
    EXPECT_EQ(wired.list.listName(), "demo");

    items[1]->trigger();
    EXPECT_EQ(wired.form->findChildren<TFCustomList*>().size(), 1);
}

}  // namespace

namespace {

TEST(DropWiring, FilesDroppedOnTheListAreAddedAndFoldersWalked)
{
    QTemporaryDir dir;
    test::writeMovies(dir, {"a.swf"});
    QDir(dir.path()).mkdir("more");
    QFile(dir.filePath("more/b.swf")).open(QIODevice::WriteOnly);
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({}, nullptr, nullptr);
    auto mime = std::make_unique<QMimeData>();
    mime->setUrls({QUrl::fromLocalFile(dir.filePath("a.swf")), QUrl::fromLocalFile(dir.filePath("more"))});
    QWidget* viewport = wired.form->lv_listview1->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    wired.prompts.expectMessage("添加目录", "是否同时添加子目录？", PromptIcon::Question,
                                PromptButton::Yes | PromptButton::No, PromptButton::No);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(wired.prompts.done());
    ASSERT_EQ(wired.list.count(), 2);
    EXPECT_EQ(wired.list.at(0).path, dir.filePath("a.swf"));
    EXPECT_EQ(wired.list.at(1).path, dir.filePath("more/b.swf"));
}

}  // namespace
