// The movie's right-click menu over the real player: its items, their states with and without a
// movie, the title item, the quality and zoom drop-downs, the right click that opens it, and the
// full-screen strip that brings the control bar over the movie.
#include "swfwriter/demomovies.h"
#include "wired.h"

#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>

using namespace kivamo;
using test::Wired;

namespace {

QStringList itemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names;
}

class FlashMenu : public ::testing::Test {
protected:
    void SetUp() override { start({"a.swf", "b.swf", "c.swf"}); }

    void start(std::initializer_list<const char*> movies)
    {
        test::writeMovies(dir, movies);
        QFile ini(dir.filePath("main.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[common]\r\nfscommand=1\r\n");
        ini.close();
        wired = std::make_unique<Wired>(dir.path() + "/");
        wired->form->FormCreate({}, nullptr, nullptr);
        test::appendMovies(wired->list, dir, movies);
    }

    Tmainform& form() { return *wired->form; }
    test::FakeFlashControl* control() { return wired->controls.current(); }
    QAction* item(const char* name) { return form().menuAction(QString::fromLatin1(name)); }

    void playEntry(int index)
    {
        emit form().lv_listview1->doubleClicked(form().lv_listview1->model()->index(index, 0));
        ASSERT_NE(control(), nullptr);
        control()->readyState = 4;
        control()->raiseReadyState(4);
        control()->calls.clear();
    }

    void open(QMenu* menu) { emit menu->aboutToShow(); }

    QTemporaryDir dir;
    std::unique_ptr<Wired> wired;
};

const char* const kLoadedItems[] = {"MNI_rstop", "MNI_rrewind", "MNI_rprezhen", "MNI_rnextzhen", "MNI_rrcopyto",
                                    "MNI_rpic", "MNI_rcontpic", "MNI_rq", "MNI_ALL", "MNI_rloop", "MNI_rfdetail",
                                    "MNI_goto", "MNI_rplay", "MNI_rpre", "MNI_rnext", "MNI_rzoomout",
                                    "MNI_rinisize", "MNI_rshowall"};

TEST_F(FlashMenu, ItemsStandInTheirOrderWithTheirCaptions)
{
    ASSERT_NE(form().PM_flashmenu, nullptr);
    EXPECT_EQ(itemNames(form().PM_flashmenu),
              QStringList({"MNI_title", "MNI_list", "-", "MNI_ALL", "MNI_rplay", "MNI_Pause", "MNI_rstop",
                           "MNI_rrewind", "MNI_goto", "-", "MNI_rprezhen", "MNI_rnextzhen", "MNI_fprev", "MNI_fnext",
                           "MNI_rpre", "MNI_rnext", "-", "MNI_rzoomout", "MNI_rzoomin", "MNI_rinisize",
                           "MNI_rshowall", "-", "MNI_rpic", "MNI_rcontpic", "MNI_rq", "MNI_rrcopyto",
                           "MNI_rfdetail", "-", "MNI_rloop"}));
    const struct { const char* name; const char* caption; } captions[] = {
        {"MNI_list", "从播放列表中选择"}, {"MNI_ALL", "全屏播放"}, {"MNI_rplay", "播放(&P)"}, {"MNI_Pause", "暂停"},
        {"MNI_rstop", "停止(&S)"}, {"MNI_rrewind", "重播(&R)"}, {"MNI_goto", "跳到指定帧..."},
        {"MNI_rprezhen", "前一帧"}, {"MNI_rnextzhen", "后一帧"}, {"MNI_fprev", "快退"}, {"MNI_fnext", "快进"},
        {"MNI_rpre", "上一个(&E)"}, {"MNI_rnext", "下一个(&N)"}, {"MNI_rzoomout", "放大"}, {"MNI_rzoomin", "缩小"},
        {"MNI_rinisize", "原始大小（100%）"}, {"MNI_rshowall", "显示全部（拉伸）"}, {"MNI_rpic", "单张快照"},
        {"MNI_rcontpic", "连续快照..."}, {"MNI_rq", "播放质量"}, {"MNI_rrcopyto", "当前文件复制到..."},
        {"MNI_rfdetail", "当前影片信息..."}, {"MNI_rloop", "循环播放"}, {"MNI_title", "未载入"},
    };
    for (const auto& entry : captions)
        EXPECT_EQ(item(entry.name)->text(), QString::fromUtf8(entry.caption)) << entry.name;
    auto* quality = form().PM_flashmenu->findChild<QMenu*>("MNI_rq");
    ASSERT_NE(quality, nullptr);
    EXPECT_EQ(itemNames(quality), QStringList({"MNI_sl", "MNI_sh", "MNI_sq", "MNI_ss"}));
    EXPECT_TRUE(item("MNI_rloop")->isChecked());
}

TEST_F(FlashMenu, WithoutAMovieOnlyTheAlwaysItemsAreEnabled)
{
    open(form().PM_flashmenu);
    for (const char* name : kLoadedItems)
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    EXPECT_FALSE(item("MNI_rzoomin")->isEnabled());
    EXPECT_TRUE(item("MNI_title")->isEnabled());
    EXPECT_EQ(item("MNI_title")->text(), QStringLiteral("未载入"));
    EXPECT_TRUE(item("MNI_title")->statusTip().isEmpty());
}

TEST_F(FlashMenu, WithAMovieTheItemsFollowThePlayer)
{
    playEntry(0);
    control()->playing = true;
    open(form().PM_flashmenu);
    for (const char* name : kLoadedItems)
        EXPECT_TRUE(item(name)->isEnabled()) << name;
    EXPECT_FALSE(item("MNI_rzoomin")->isEnabled());  // nothing zoomed yet
    EXPECT_TRUE(item("MNI_rplay")->isChecked());
    EXPECT_FALSE(item("MNI_Pause")->isChecked());

    control()->playing = false;
    item("MNI_rzoomout")->trigger();
    EXPECT_EQ(control()->calls, QStringList({"Zoom(63)"}));
    open(form().PM_flashmenu);
    EXPECT_FALSE(item("MNI_rplay")->isChecked());
    EXPECT_TRUE(item("MNI_Pause")->isChecked());
    EXPECT_TRUE(item("MNI_rzoomin")->isEnabled());

    // A movie that forbids scaling takes all four zoom items away.
    control()->raiseFSCommand("allowscale", "false");
    open(form().PM_flashmenu);
    for (const char* name : {"MNI_rzoomout", "MNI_rzoomin", "MNI_rinisize", "MNI_rshowall"})
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    EXPECT_TRUE(item("MNI_rstop")->isEnabled());
}

TEST_F(FlashMenu, ItemsReachTheControlOnce)
{
    playEntry(0);
    control()->frame = 50;
    const struct { const char* name; QStringList calls; } table[] = {
        {"MNI_Pause", {"Stop"}}, {"MNI_rplay", {"Play"}}, {"MNI_rrewind", {"Rewind", "Play"}},
        {"MNI_rnextzhen", {"Forward"}}, {"MNI_rprezhen", {"Back"}},
        {"MNI_rshowall", {"Zoom(0)"}}, {"MNI_rinisize", {"Scale(noscale)"}}, {"MNI_rzoomout", {"Zoom(63)"}},
        {"MNI_sl", {"Quality(0)"}}, {"MNI_ss", {"Quality(2)"}}, {"MNI_sq", {"Quality(3)"}},
        {"MNI_rloop", {"Loop(false)"}},
    };
    for (const auto& row : table) {
        control()->calls.clear();
        item(row.name)->trigger();
        EXPECT_EQ(control()->calls, row.calls) << row.name;
    }
    EXPECT_FALSE(item("MNI_mloop")->isChecked());  // the main menu's loop follows the movie menu's
    item("MNI_rstop")->trigger();
    EXPECT_EQ(wired->controls.alive(), 0);
    open(form().PM_flashmenu);
    EXPECT_FALSE(item("MNI_rstop")->isEnabled());
    EXPECT_EQ(item("MNI_title")->text(), QStringLiteral("未载入"));
}

class FlashMenuOneEntry : public FlashMenu {
protected:
    void SetUp() override { start({"a.swf"}); }
};

TEST_F(FlashMenuOneEntry, EntryStepsNeedMoreThanOneEntry)
{
    playEntry(0);
    open(form().PM_flashmenu);
    EXPECT_FALSE(item("MNI_rpre")->isEnabled());
    EXPECT_FALSE(item("MNI_rnext")->isEnabled());
    EXPECT_TRUE(item("MNI_rstop")->isEnabled());
}

TEST_F(FlashMenu, QualityItemsAreTickedFromTheControl)
{
    open(form().PM_pmquality);
    for (const char* name : {"pmquality_l", "pmquality_h", "pmquality_s", "pmquality_q"})
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    EXPECT_TRUE(item("pmquality_h")->isChecked());  // no control: the ticks stay

    playEntry(0);
    const struct { int quality; const char* popupItem; const char* movieItem; } table[] = {
        {0, "pmquality_l", "MNI_sl"}, {1, "pmquality_h", "MNI_sh"},
        {2, "pmquality_s", "MNI_ss"}, {3, "pmquality_q", "MNI_sq"},
    };
    for (const auto& row : table) {
        control()->quality = row.quality;
        open(form().PM_pmquality);
        open(form().PM_flashmenu->findChild<QMenu*>("MNI_rq"));
        for (const auto& other : table) {
            EXPECT_EQ(item(other.popupItem)->isChecked(), other.quality == row.quality) << row.quality;
            EXPECT_EQ(item(other.movieItem)->isChecked(), other.quality == row.quality) << row.quality;
            EXPECT_TRUE(item(other.popupItem)->isEnabled());
        }
    }
}

TEST_F(FlashMenu, ZoomDropDownNeedsAMovie)
{
    open(form().PM_zoom);
    EXPECT_FALSE(item("MNI_INIsize")->isEnabled());
    EXPECT_FALSE(item("MNI_showall")->isEnabled());
    playEntry(0);
    open(form().PM_zoom);
    EXPECT_TRUE(item("MNI_INIsize")->isEnabled());
    EXPECT_TRUE(item("MNI_showall")->isEnabled());
}

TEST_F(FlashMenu, FullScreenItemTogglesAndStripShowsTheControlBar)
{
    form().pnl_4MouseMove();  // not in full screen: nothing moves
    EXPECT_EQ(form().pnl_buttom->parentWidget(), &form());

    playEntry(0);
    item("MNI_ALL")->trigger();
    ASSERT_TRUE(wired->player().state().fullScreen);
    open(form().PM_flashmenu);
    EXPECT_TRUE(item("MNI_ALL")->isChecked());
    EXPECT_FALSE(form().pnl_buttom->isVisibleTo(&form()));
    form().pnl_4MouseMove();
    EXPECT_EQ(form().pnl_buttom->parentWidget(), form().pnl_main);
    EXPECT_TRUE(form().pnl_buttom->isVisibleTo(&form()));
    EXPECT_EQ(form().pnl_buttom->geometry().bottom(), form().pnl_main->height() - 1);
    EXPECT_EQ(form().pnl_buttom->width(), form().pnl_main->width());

    item("MNI_ALL")->trigger();
    EXPECT_FALSE(wired->player().state().fullScreen);
    EXPECT_EQ(form().pnl_buttom->parentWidget(), &form());
    EXPECT_TRUE(form().pnl_buttom->isVisibleTo(&form()));
}

// A path of 30 characters stands whole; one more and it is cut to 27 characters with the name.
TEST(FlashMenuTitle, LongPathsAreCutAndTheHintKeepsThePath)
{
    QTemporaryDir dir(QDir::tempPath() + "/k-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    const int room = 30 - int(dir.path().size()) - 1 - 4;
    ASSERT_GT(room, 0) << "temporary folder too long for the edge case";
    const QByteArray exact = QByteArray(room, 'a') + ".swf";
    const QByteArray longer = QByteArray(room + 1, 'b') + ".swf";
    Wired wired(dir.path() + "/");
    wired.form->FormCreate({}, nullptr, nullptr);
    test::writeMovies(dir, {exact.constData(), longer.constData()});
    test::appendMovies(wired.list, dir, {exact.constData(), longer.constData()});

    const QString exactPath = dir.filePath(QString::fromLatin1(exact));
    const QString longerPath = dir.filePath(QString::fromLatin1(longer));
    ASSERT_EQ(exactPath.size(), 30);
    const struct { int row; QString caption; QString hint; } table[] = {
        {0, exactPath, exactPath},
        {1, longerPath.left(27) + "..\\" + QString(room + 1, 'b') + ".swf", longerPath},
    };
    for (const auto& row : table) {
        emit wired.form->lv_listview1->doubleClicked(wired.form->lv_listview1->model()->index(row.row, 0));
        ASSERT_NE(wired.controls.current(), nullptr);
        emit wired.form->PM_flashmenu->aboutToShow();
        QAction* title = wired.form->menuAction("MNI_title");
        EXPECT_EQ(title->text(), row.caption);
        EXPECT_EQ(title->statusTip(), row.hint);
    }
}

// The right click reaches the movie widget; the program's menu opens unless the movie's own is wanted.
TEST(FlashMenuRightClick, OpensTheMovieMenuUnlessTheMoviesOwnIsChosen)
{
    for (const bool own : {false, true}) {
        QTemporaryDir dir;
        QFile ini(dir.filePath("main.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(own ? "[play]\r\npupflashmenu=1\r\n" : "[play]\r\npupflashmenu=0\r\n");
        ini.close();
        Wired wired(dir.path() + "/", {}, true);
        wired.form->FormCreate({}, nullptr, nullptr);
        ASSERT_EQ(wired.form->startupSettings().pupflashmenu, own);
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

        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &press);
        EXPECT_EQ(wired.form->PM_flashmenu->isVisible(), !own) << own;
        EXPECT_FALSE(wired.form->N1->isVisible());
        if (!own) {
            EXPECT_EQ(wired.form->menuAction("MNI_title")->text(), path.size() <= 30 ? path : path.left(27) + "..\\"
                          + QFileInfo(path).completeBaseName() + ".swf");
        }
        wired.form->PM_flashmenu->hide();
    }
}

}  // namespace
