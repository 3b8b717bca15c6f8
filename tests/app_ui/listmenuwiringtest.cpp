// The list panel's menus and the list view's pop-up menu: their items, their enabling as they
// open, and the file commands they reach over the real play list and player.
#include "info/ui/tfchangepath.h"
#include "info/ui/tfcopyto.h"
#include "info/ui/tfmcaption.h"
#include "wired.h"

#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>

using namespace kivamo;
using test::Wired;

namespace {

class ListMenuWiring : public ::testing::Test {
protected:
    void SetUp() override
    {
        wired = std::make_unique<Wired>(dir.path() + "/");
        wired->form->FormCreate({}, nullptr, nullptr);
    }

    Tmainform& form() { return *wired->form; }
    QMenu* menu(const char* name) { return form().findChild<QMenu*>(QString::fromLatin1(name)); }
    QAction* item(const char* name) { return form().menuAction(QString::fromLatin1(name)); }

    void selectOnly(int row)
    {
        QAbstractItemModel* model = form().lv_listview1->model();
        form().lv_listview1->selectionModel()->setCurrentIndex(
            model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    void addWeb(const QString& address)
    {
        MovieEntry entry;
        entry.title = address;
        entry.path = address;
        wired->list.append(entry);
    }

    // The names of a menu's items in order, with a sub-menu's items in brackets after it.
    static QStringList names(QMenu* menu)
    {
        QStringList result;
        for (QAction* action : menu->actions()) {
            result << action->objectName();
            if (action->menu())
                result << "[" + names(action->menu()).join(' ') + "]";
        }
        return result;
    }

    QTemporaryDir dir;
    std::unique_ptr<Wired> wired;
};

TEST_F(ListMenuWiring, EachMenuHoldsItsItemsInOrder)
{
    const struct { const char* menu; const char* items; } cases[] = {
        {"PM_ListFile", "MNI_AddFile1 MNI_InsertURL MNI_seldir"},
        {"PM_List", "MNI_ListFileClear1 MNI_OpenListFile1 MNI_SaveListFile1 MNIN3 MNI_srcIE"},
        {"PM_ListView", "MNI_play MNI_N28 MNI_N20 MNI_ninserturl MNI_N27 MNI_N36 MNI_N34 MNI_N35 MNI_N37 "
                        "MNI_FdetailC MNI_SelAll MNI_del [MNI_DelSel MNI_fdel MNI_ddel] MNI_rcopyto "
                        "MNI_openInEXP MNI_N5 MNI_mCaption MNI_changepath MNI_fdetail"},
        {"PM_ListEdit", "MNI_selall1 MNI_copyto MNI_77 [MNI_sdel MNI_sfdel MNI_snDel] MNI_sopenInexp MNI_N3 "
                        "MNI_smCaption MNI_schangepath MNI_sfdetail"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(menu(c.menu), nullptr) << c.menu;
        EXPECT_EQ(names(menu(c.menu)).join(' '), QString::fromLatin1(c.items)) << c.menu;
    }
    EXPECT_EQ(form().lv_listview1->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(form().PM_ListView->objectName(), "PM_ListView");
    // A right click in the list opens its menu, which evaluates its enabling as it opens.
    emit form().lv_listview1->customContextMenuRequested(QPoint(4, 4));
    EXPECT_TRUE(form().PM_ListView->isVisible());
    EXPECT_FALSE(item("MNI_SelAll")->isEnabled());
    form().PM_ListView->hide();
}

TEST_F(ListMenuWiring, CaptionsHintsAndShownShortcuts)
{
    const struct { const char* name; const char* text; const char* hint; } cases[] = {
        {"MNI_AddFile1", "添加文件", ""},
        {"MNI_InsertURL", "添加网络Flash", ""},
        {"MNI_srcIE", "搜索IE缓存", ""},
        {"MNI_play", "播放所选文件", ""},
        {"MNI_DelSel", "删除所选\tDel", "删除所选项"},
        {"MNI_sfdel", "物理删除所选", "从磁盘删除所选文件，网络路径除外"},
        {"MNI_snDel", "删除所有失效项目", "删除所有失效项目，网络路径除外"},
        {"MNI_rcopyto", "复制到...", ""},
        {"MNI_sopenInexp", "在浏览器中打开", ""},
        {"MNI_mCaption", "更改标题...", ""},
        {"MNI_schangepath", "更改文件路径...", ""},
        {"MNI_fdetail", "影片详细信息...\tCtrl+D", ""},
        {"MNI_del", "删除", ""},
    };
    for (const auto& c : cases) {
        QAction* action = item(c.name);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(action->statusTip(), QString::fromUtf8(c.hint)) << c.name;
        // Shown only: the list view's key handler runs these keys once.
        EXPECT_TRUE(action->shortcut().isEmpty()) << c.name;
    }
}

TEST_F(ListMenuWiring, EnablingFollowsSelectionAndTheCurrentEntry)
{
    test::writeMovies(dir, {"a.swf", "b.swf"});
    const char* watched[] = {"MNI_play", "MNI_SelAll", "MNI_ddel", "MNI_rcopyto", "MNI_mCaption",
                             "MNI_changepath", "MNI_smCaption", "MNI_schangepath", "MNI_selall1", "MNI_N20"};
    const auto states = [&] {
        emit menu("PM_ListView")->aboutToShow();
        emit menu("PM_ListEdit")->aboutToShow();
        QString bits;
        for (const char* name : watched)
            bits += item(name)->isEnabled() ? u'1' : u'0';
        return bits;
    };
    EXPECT_EQ(states(), "0010000001");  // empty list
    test::appendMovies(wired->list, dir, {"a.swf", "b.swf"});
    EXPECT_EQ(states(), "0110000011");  // nothing selected
    selectOnly(1);
    EXPECT_EQ(states(), "1111111111");
    item("MNI_play")->trigger();
    ASSERT_EQ(wired->player().currentIndex(), 1);
    // The loaded movie keeps its title; the edit menu's path entry asks only for a selection.
    EXPECT_EQ(states(), "1111000111");
    addWeb("http://example.com/w.swf");
    selectOnly(2);
    EXPECT_EQ(states(), "1111111111");
}

TEST_F(ListMenuWiring, DeleteFromDiskAsksThenDeletesLocalFilesOnly)
{
    test::writeMovies(dir, {"a.swf", "b.swf"});
    const struct { const char* name; PromptButton answer; int left; } cases[] = {
        {"MNI_fdel", PromptButton::No, 3},
        {"MNI_sfdel", PromptButton::Yes, 1},
    };
    test::appendMovies(wired->list, dir, {"a.swf", "b.swf"});
    addWeb("http://example.com/w.swf");
    for (const auto& c : cases) {
        form().lv_listview1->selectAll();
        form().lv_listview1->selectionModel()->select(form().lv_listview1->model()->index(1, 0),
                                                       QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        wired->prompts.expectMessage("删除文件", "即将从硬盘删除所选文件，是否继续？", PromptIcon::Question,
                                     PromptButton::Yes | PromptButton::No, c.answer);
        item(c.name)->trigger();
        EXPECT_TRUE(wired->prompts.done()) << c.name;
        EXPECT_EQ(wired->list.count(), c.left) << c.name;
        EXPECT_EQ(QFile::exists(dir.filePath("a.swf")), c.answer == PromptButton::No) << c.name;
        EXPECT_TRUE(QFile::exists(dir.filePath("b.swf"))) << c.name;
    }
    EXPECT_EQ(wired->list.at(0).title, "b.swf");
}

TEST_F(ListMenuWiring, DeadEntriesGoWhileWebAddressesStay)
{
    test::writeMovies(dir, {"a.swf"});
    for (const char* name : {"MNI_ddel", "MNI_snDel"}) {
        wired->list.clear();
        test::appendMovies(wired->list, dir, {"gone.swf", "a.swf", "lost.swf"});
        addWeb("http://example.com/w.swf");
        item(name)->trigger();
        ASSERT_EQ(wired->list.count(), 2) << name;
        EXPECT_EQ(wired->list.at(0).title, "a.swf") << name;
        EXPECT_EQ(wired->list.at(1).path, "http://example.com/w.swf") << name;
    }
    EXPECT_TRUE(wired->prompts.done());
}

TEST_F(ListMenuWiring, CopyToCopiesTheSelectedFilesIntoTheChosenFolder)
{
    QTemporaryDir target;
    QFile movie(dir.filePath("a.swf"));
    ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
    movie.write("FWS\x06 bytes");
    movie.close();
    test::writeMovies(dir, {"b.swf"});
    test::appendMovies(wired->list, dir, {"a.swf", "b.swf"});
    selectOnly(0);
    wired->prompts.expectFolder(target.path());
    item("MNI_copyto")->trigger();
    EXPECT_TRUE(wired->prompts.done());
    QFile copy(target.filePath("a.swf"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("FWS\x06 bytes"));
    EXPECT_FALSE(QFile::exists(target.filePath("b.swf")));
    ASSERT_EQ(form().findChildren<TFcopyto*>().size(), 1);
    EXPECT_FALSE(form().findChild<TFcopyto*>()->text().isEmpty());

    wired->prompts.expectFolder(QString());  // cancelled: nothing more is copied
    selectOnly(1);
    item("MNI_rcopyto")->trigger();
    EXPECT_TRUE(wired->prompts.done());
    EXPECT_FALSE(QFile::exists(target.filePath("b.swf")));
}

TEST_F(ListMenuWiring, TitleAndPathEntriesOpenTheirDialogsOnTheSelectedEntry)
{
    test::writeMovies(dir, {"a.swf", "b.swf"});
    test::appendMovies(wired->list, dir, {"a.swf", "b.swf"});
    selectOnly(1);
    for (const char* name : {"MNI_mCaption", "MNI_smCaption"}) {
        const QString before = wired->list.at(1).title;
        item(name)->trigger();
        const QList<TFmCaption*> editors = form().findChildren<TFmCaption*>();
        ASSERT_EQ(editors.size(), 1) << name;
        EXPECT_EQ(editors[0]->EDT_caption->text(), before) << name;
        editors[0]->EDT_caption->setText(QString::fromUtf8("新标题") + name);
        editors[0]->Button1Click();
        delete editors[0];
        EXPECT_EQ(wired->list.at(1).title, QString::fromUtf8("新标题") + name);
    }
    for (const char* name : {"MNI_changepath", "MNI_schangepath"}) {
        item(name)->trigger();
        const QList<TFchangepath*> dialogs = form().findChildren<TFchangepath*>();
        ASSERT_EQ(dialogs.size(), 1) << name;
        EXPECT_EQ(dialogs[0]->LABEDT_filepath->text(), dir.filePath("b.swf")) << name;
        delete dialogs[0];
    }
    // The loaded movie is not edited: neither dialog opens for it.
    item("MNI_play")->trigger();
    ASSERT_EQ(wired->player().currentIndex(), 1);
    item("MNI_mCaption")->trigger();
    item("MNI_schangepath")->trigger();
    EXPECT_TRUE(form().findChildren<TFmCaption*>().isEmpty());
    EXPECT_TRUE(form().findChildren<TFchangepath*>().isEmpty());
}

TEST_F(ListMenuWiring, ShowInFileManagerGivesTheFirstSelectedPath)
{
    test::writeMovies(dir, {"a.swf", "b.swf"});
    test::appendMovies(wired->list, dir, {"a.swf", "b.swf"});
    item("MNI_openInEXP")->trigger();
    EXPECT_TRUE(wired->fileManager.shown.isEmpty());
    form().lv_listview1->selectAll();
    item("MNI_openInEXP")->trigger();
    selectOnly(1);
    item("MNI_sopenInexp")->trigger();
    EXPECT_EQ(wired->fileManager.shown, QStringList({dir.filePath("a.swf"), dir.filePath("b.swf")}));
}

TEST_F(ListMenuWiring, CacheSearchListsTheMoviesOfTheBrowserCache)
{
    const QString cache = dir.filePath("cache/mozilla/firefox/p1/cache2");
    ASSERT_TRUE(QDir().mkpath(cache + "/entries"));
    for (const auto& [name, bytes] : {std::pair{"entries/0A1B", "CWS\x07...."}, std::pair{"entries/0A1C", "GIF89a"}}) {
        QFile file(cache + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    wired->prompts.expectMessage("添加目录", "是否同时添加子目录？", PromptIcon::Question,
                                 PromptButton::Yes | PromptButton::No, PromptButton::Yes);
    item("MNI_srcIE")->trigger();
    EXPECT_TRUE(wired->prompts.done());
    ASSERT_EQ(wired->list.count(), 1);
    EXPECT_EQ(wired->list.at(0).title, "0A1B");
    EXPECT_EQ(wired->list.listName(), QString::fromUtf8("IE缓存"));
    EXPECT_FALSE(wired->list.isModified());
}

TEST_F(ListMenuWiring, ListEntriesReachTheListCommands)
{
    test::writeMovies(dir, {"a.swf", "b.swf"});
    test::appendMovies(wired->list, dir, {"a.swf", "b.swf"});
    item("MNI_selall1")->trigger();
    EXPECT_TRUE(wired->list.isSelected(0));
    EXPECT_TRUE(wired->list.isSelected(1));
    selectOnly(0);
    item("MNI_DelSel")->trigger();
    ASSERT_EQ(wired->list.count(), 1);
    EXPECT_EQ(wired->list.at(0).title, "b.swf");
    wired->prompts.expectOpenFiles({dir.filePath("a.swf")});
    item("MNI_N20")->trigger();
    EXPECT_TRUE(wired->prompts.done());
    EXPECT_EQ(wired->list.count(), 2);
}

}  // namespace
