// Adding movies: single files and their extension rules, chosen files, web addresses, directory
// walks with the progress window, drops on the two targets, and the list commands.
#include "fixtures.h"

#include "playlist/addmovies.h"
#include "playlist/listcommands.h"
#include "playlist/listfile.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace kivamo::test {
namespace {

// Counts title refreshes, the one notification every add must give.
struct TitleCounter : PlayListObserver {
    int titles = 0;
    void entriesAboutToBeAppended(int, int) override {}
    void entriesAppended() override {}
    void entriesAboutToBeReset() override {}
    void entriesReset() override {}
    void entriesChanged(int, int) override {}
    void titleChanged() override { ++titles; }
};

// The progress window: records what it is asked to show and can press "取消" at a given update.
struct FakeProgress : WalkProgressView {
    DirectoryAdder* adder = nullptr;
    int cancelAtStatus = -1;
    std::vector<std::string> events;
    std::vector<WalkStatus> statuses;
    int processed = 0;

    void showWindow() override { events.push_back("show"); }
    void showStatus(const WalkStatus& status) override
    {
        statuses.push_back(status);
        if (int(statuses.size()) == cancelAtStatus && adder)
            adder->cancel();
    }
    void processEvents() override { ++processed; }
    void closeWindow() override
    {
        events.push_back("close");
        if (adder)
            adder->cancel();
    }
};

struct AddMovies : ListFixture {
    FakeProgress progress;
    qint64 now = 0;
    qint64 step = 100;  // milliseconds the clock moves on each reading
    DirectoryAdder adder{context, progress, [this] { return now += step; }};
    TitleCounter counter;

    AddMovies()
    {
        progress.adder = &adder;
        list.setObserver(&counter);
    }
    ~AddMovies() override { list.setObserver(nullptr); }

    void touch(const QString& name) { writeBytes(path(name), "FWS"); }
    void expectSubdirectoryQuestion(bool yes)
    {
        prompts.expectMessage("添加目录", "是否同时添加子目录？", PromptIcon::Question,
                              PromptButton::Yes | PromptButton::No, yes ? PromptButton::Yes : PromptButton::No);
    }
    std::vector<std::string> sortedTitles() const
    {
        std::vector<std::string> t = titles(list);
        std::sort(t.begin(), t.end());
        return t;
    }
};

TEST_F(AddMovies, LocalMovieWithoutSidecarGetsUnknownNotes)
{
    touch("m/clip.swf");
    EXPECT_TRUE(addFile(context, "  " + path("m/clip.swf") + " \t", false));
    ASSERT_EQ(list.count(), 1);
    const MovieEntry& e = list.at(0);
    EXPECT_EQ(e.title, "clip");
    EXPECT_EQ(e.path, path("m/clip.swf"));
    EXPECT_EQ(e.spare, "0");
    EXPECT_EQ(e.playing, "0");
    EXPECT_EQ(e.author, "未知");
    EXPECT_EQ(e.type, "未知");
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(counter.titles, 1);
}

TEST_F(AddMovies, BanquanDecidesWhetherSidecarNotesAreRead)
{
    touch("m/clip.swf");
    writeBytes(path("m/clip.fci"), gb("李四\r\n\r\n动画\r\n"));
    addFile(context, path("m/clip.swf"), false);
    settings.banquan = false;
    addFile(context, path("m/clip.swf"), false);
    addFile(context, "D:\\m\\clip.swf", false);
    EXPECT_EQ(list.at(0).author, "李四");
    EXPECT_EQ(list.at(0).source, "未知");
    EXPECT_EQ(list.at(0).type, "动画");
    for (int i : {1, 2}) {
        EXPECT_EQ(list.at(i).author, "<未知>");
        EXPECT_EQ(list.at(i).source, "<未知>");
        EXPECT_EQ(list.at(i).type, "<未知>");
    }
}

TEST_F(AddMovies, OnlyMovieAndListExtensionsAdd)
{
    struct Case {
        QString path;
        bool adds;
    };
    const std::vector<Case> cases{
        {"D:\\m\\a.swf", true}, {"D:\\m\\B.SWF", true}, {"/m/c.Swf", true}, {"D:\\m\\abcd", false},
        {"D:\\m\\a.swf.txt", false}, {"D:\\m.swf\\noext", false}, {"D:\\m\\x.swfx", false}, {"", false},
    };
    for (const Case& c : cases) {
        list.clear();
        list.setModified(false);
        const int before = counter.titles;
        EXPECT_EQ(addFile(context, c.path, false), c.adds) << c.path.toStdString();
        EXPECT_EQ(list.count(), c.adds ? 1 : 0) << c.path.toStdString();
        EXPECT_EQ(list.isModified(), c.adds) << c.path.toStdString();
        EXPECT_EQ(counter.titles, before + 1) << "the title is refreshed in every case";
    }
}

TEST_F(AddMovies, ListFilesAreAppendedOrOpenedByDoubleClickAndBehind)
{
    writeBytes(path("games.kvl"), "#KVL2\r\n>\r\ng1\r\nD:\\g1.swf\r\n0\r\n");
    struct Case {
        bool doubleClicked, behind;
        std::vector<std::string> rows;
        bool modified;
        QString name;
    };
    const std::vector<Case> cases{
        {false, false, {"old", "g1"}, true, "abc"},
        {false, true, {"old", "g1"}, true, "abc"},
        {true, true, {"old", "g1"}, true, "abc"},
        {true, false, {"g1"}, false, "games"},
    };
    for (const Case& c : cases) {
        list.clear();
        list.append(movie("old", "D:\\old.swf"));
        list.setListName("abc");
        list.setModified(false);
        settings.behind = c.behind;
        EXPECT_FALSE(addFile(context, path("games.KVL").replace("KVL", "kvl"), c.doubleClicked));
        EXPECT_EQ(titles(list), c.rows);
        EXPECT_EQ(list.isModified(), c.modified);
        EXPECT_EQ(list.listName(), c.name);
    }
}

TEST_F(AddMovies, UnreadableListLeavesTheFlagAsItWas)
{
    list.setModified(false);
    prompts.expectMessage("错误", "错误：" + path("none.kvl") + "文件不存在", PromptIcon::None);
    addFile(context, path("none.kvl"), false);
    EXPECT_FALSE(list.isModified());
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(AddMovies, AddFilesCommandAddsInTheDialogsOrder)
{
    prompts.expectOpenFiles({"D:\\z.swf", "D:\\a.swf", "D:\\readme.txt"});
    addFilesCommand(context);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"z", "a"}));
    EXPECT_TRUE(list.isModified());
    const FilePrompt& prompt = prompts.filePrompts().at(0);
    EXPECT_EQ(prompt.filter, QStringLiteral("FLASH影片(*.SWF)|*.SWF|FLASH播放列表(*.KVL)|*.KVL"));
    EXPECT_TRUE(prompt.multiple);

    list.setModified(false);
    prompts.expectOpenFiles({});
    addFilesCommand(context);
    EXPECT_FALSE(list.isModified());
    EXPECT_EQ(list.count(), 2);
}

TEST_F(AddMovies, WebAddressRules)
{
    struct Case {
        QString text;
        bool accepted;
    };
    const std::vector<Case> cases{
        {"http://example.com/a.swf", true},   {"http://example.com/a.SWF", true},
        {"HTTP://example.com/a.swf", false},  {"Http://example.com/a.swf", false},
        {"https://example.com/a.swf", false}, {"http://example.com/a", false},
        {"http://example.com/a.swf?x=1", false}, {" http://example.com/a.swf", false},
        {"http://", false},                    {"ftp://example.com/a.swf", false},
    };
    for (const Case& c : cases) {
        if (!c.accepted)
            prompts.expectMessage("网址输入有误", "网址输入有误，请正确输入", PromptIcon::Warning);
        EXPECT_EQ(addWebAddress(context, c.text), c.accepted) << c.text.toStdString();
        EXPECT_EQ(webAddressWarning(c.text).has_value(), !c.accepted);
    }
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.at(0).title, "http://example.com/a.swf");
    EXPECT_EQ(list.at(0).path, "http://example.com/a.swf");
    EXPECT_EQ(list.at(0).author, "未知");
    EXPECT_TRUE(webAddressWarning("x")->stayOnTop);
}

TEST_F(AddMovies, DirectoryWalkWithAndWithoutSubdirectories)
{
    for (const char* name : {"root/a.swf", "root/b.SWF", "root/c.txt", "root/abcd", "root/sub/d.swf",
                             "root/sub/deep/e.swf", "root/folder.swf/f.swf", "root/.hidden.swf"})
        touch(name);
    expectSubdirectoryQuestion(false);
    adder.addDirectory(path("root/"));
    EXPECT_EQ(sortedTitles(), (std::vector<std::string>{".hidden", "a", "b"}));  // hidden files count too
    EXPECT_EQ(adder.addedCount(), 3);
    EXPECT_EQ(progress.events, (std::vector<std::string>{"show", "close"}));

    list.clear();
    expectSubdirectoryQuestion(true);
    adder.addDirectory(path("root/"));
    EXPECT_EQ(sortedTitles(), (std::vector<std::string>{".hidden", "a", "b", "d", "e", "f"}));
    EXPECT_GE(progress.processed, 1);
    const auto it = std::find_if(list.entries().begin(), list.entries().end(),
                                 [](const MovieEntry& e) { return e.title == "e"; });
    EXPECT_EQ(it->path, path("root/sub/deep/e.swf"));
}

TEST_F(AddMovies, LinkedDirectoriesAreNotFollowed)
{
    touch("root/a.swf");
    touch("root/sub/b.swf");
    ASSERT_TRUE(QFile::link(path("root"), path("root/sub/loop")));
    expectSubdirectoryQuestion(true);
    adder.addDirectory(path("root/"));
    EXPECT_EQ(sortedTitles(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(AddMovies, MissingDirectoryAddsNothing)
{
    expectSubdirectoryQuestion(true);
    adder.addDirectory(path("nowhere/"));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(progress.events, (std::vector<std::string>{"show", "close"}));
}

TEST_F(AddMovies, ProgressIsShownAtMostEvery50Milliseconds)
{
    for (int i = 0; i < 20; ++i)
        touch(QStringLiteral("flat/m%1.swf").arg(i, 2, 10, QLatin1Char('0')));
    step = 10;  // each movie takes 10 ms: shown at 10, 60, 110 and 160 ms
    expectSubdirectoryQuestion(false);
    adder.addDirectory(path("flat/"));
    EXPECT_EQ(list.count(), 20);
    ASSERT_EQ(progress.statuses.size(), 4u);
    const WalkStatus& last = progress.statuses.back();
    EXPECT_EQ(last.countText, QStringLiteral("已添加： 16 个"));
    EXPECT_EQ(last.barPosition, 16);
    EXPECT_TRUE(last.currentText.startsWith(QStringLiteral("正在添加：") + path("flat/m")));
}

TEST_F(AddMovies, ProgressTextsAndBarWrapAtAHundred)
{
    for (int i = 0; i < 102; ++i)
        touch(QStringLiteral("many/m%1.swf").arg(i, 3, 10, QLatin1Char('0')));
    expectSubdirectoryQuestion(false);
    adder.addDirectory(path("many/"));
    ASSERT_EQ(progress.statuses.size(), 102u);  // the clock moves 100 ms per movie
    EXPECT_EQ(progress.statuses[0].countText, QStringLiteral("已添加： 1 个"));
    EXPECT_EQ(progress.statuses[99].barPosition, 0);
    EXPECT_EQ(progress.statuses[101].barPosition, 2);
}

TEST_F(AddMovies, CancelStopsTheWalkAfterTheCurrentFileAtEveryDepth)
{
    for (const char* name : {"deep/a/1.swf", "deep/a/2.swf", "deep/a/3.swf", "deep/b/4.swf", "deep/b/5.swf",
                             "deep/6.swf", "deep/7.swf"})
        touch(name);
    progress.cancelAtStatus = 2;
    expectSubdirectoryQuestion(true);
    adder.addDirectory(path("deep/"));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(adder.addedCount(), 2);
    EXPECT_FALSE(adder.addContinue());
}

TEST_F(AddMovies, ChosenDirectoryCommand)
{
    touch("pick/a.swf");
    prompts.expectFolder(QString(), "请选择要添加的目录");
    addChosenDirectoryCommand(context, adder);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_FALSE(list.isModified());

    prompts.expectFolder(temp.path() + "/pick", "请选择要添加的目录");
    expectSubdirectoryQuestion(false);
    addChosenDirectoryCommand(context, adder);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a"}));
    EXPECT_EQ(list.at(0).path, path("pick/a.swf"));
    EXPECT_TRUE(list.isModified());
}

TEST_F(AddMovies, DropOnListAppendsFilesAndWalksEachDirectoryOnce)
{
    touch("drop/one.swf");
    touch("drop/sub/two.swf");
    touch("drop/sub/deeper/three.swf");
    touch("abcd");
    list.append(movie("old", "D:\\old.swf"));
    expectSubdirectoryQuestion(false);
    dropOnList(context, adder, {path("x.swf"), path("drop/sub"), path("abcd")});
    EXPECT_EQ(titles(list), (std::vector<std::string>{"old", "x", "two"}));
    EXPECT_TRUE(playback.calls.empty());
}

TEST_F(AddMovies, DropOfOneMovieOnThePanelReplacesTheListAndPlays)
{
    list.append(movie("old", "D:\\old.swf"));
    list.setListName("abc");
    list.setCurrentListFile("/l/abc.kvl");
    list.setModified(false);
    EXPECT_TRUE(dropOnPanel(context, adder, {" " + path("new.SWF")}));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"new"}));
    EXPECT_EQ(selectedTitles(list), (std::vector<std::string>{"new"}));
    EXPECT_EQ(playback.calls, (std::vector<std::string>{"play 0"}));
    EXPECT_EQ(list.listName(), "abc");
    EXPECT_EQ(list.currentListFile(), "/l/abc.kvl");
    EXPECT_TRUE(list.isModified());
}

TEST_F(AddMovies, OtherDropsOnThePanelAreHandledAsOnTheList)
{
    list.append(movie("old", "D:\\old.swf"));
    EXPECT_FALSE(dropOnPanel(context, adder, {path("a.swf"), path("b.swf")}));
    EXPECT_FALSE(dropOnPanel(context, adder, {path("readme.txt")}));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"old", "a", "b"}));
    EXPECT_TRUE(playback.calls.empty());
}

struct DeleteCase {
    const char* name;
    std::vector<int> selected;
    bool loaded;
    int currentBefore;
    int currentAfter;
};

TEST_F(AddMovies, DeleteSelectedReDerivesTheCurrentIndexFromTheMarker)
{
    const std::vector<DeleteCase> cases{
        {"row above the current one", {0}, true, 3, 2},
        {"the current entry itself", {3}, true, 3, -1},
        {"rows below", {4}, true, 3, 3},
        {"nothing loaded: index untouched", {0}, false, 3, 3},
    };
    for (const DeleteCase& c : cases) {
        list.clear();
        for (const char* t : {"a", "b", "c", "d", "e"})
            list.append(movie(t, "D:\\x.swf"));
        list.markCurrentEntry(c.currentBefore);
        for (int i : c.selected)
            list.setSelected(i, true);
        playback.loaded = c.loaded;
        playback.index = c.currentBefore;
        list.setModified(false);
        std::vector<std::string> deleted;
        deleteSelected(context, [&deleted](const MovieEntry& e) { deleted.push_back(e.title.toStdString()); });
        EXPECT_EQ(playback.index, c.currentAfter) << c.name;
        EXPECT_EQ(list.count(), 4) << c.name;
        EXPECT_EQ(deleted.size(), 1u) << c.name;
        EXPECT_TRUE(list.isModified()) << c.name;
    }
}

TEST_F(AddMovies, DeletingEveryRowStartsANewList)
{
    list.append(movie("a", "D:\\a.swf"));
    list.setListName("abc");
    list.selectAll();
    deleteSelected(context);
    EXPECT_EQ(list.listName(), "新建");
    EXPECT_EQ(list.titleText(), QStringLiteral("播放列表：新建 (0) [未保存]"));
    EXPECT_EQ(playback.calls, (std::vector<std::string>{"reset"}));
}

TEST_F(AddMovies, PlaySelectedTakesTheFirstSelectedRow)
{
    for (const char* t : {"a", "b", "c", "d"})
        list.append(movie(t, "D:\\x.swf"));
    EXPECT_FALSE(playSelected(context));
    list.setSelected(3, true);
    list.setSelected(1, true);
    EXPECT_TRUE(playSelected(context));
    EXPECT_EQ(playback.calls, (std::vector<std::string>{"play 1"}));
    selectAll(context);
    EXPECT_EQ(selectedTitles(list).size(), 4u);
}

TEST_F(AddMovies, DropReorderFollowsThePlayingEntryWhileLoaded)
{
    for (const char* t : {"A", "B", "C", "T"})
        list.append(movie(t, "D:\\x.swf"));
    list.markCurrentEntry(0);
    playback.loaded = true;
    playback.index = 0;
    list.setSelected(0, true);
    list.setSelected(1, true);
    dropRowsOnto(context, 3);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"C", "B", "A", "T"}));
    EXPECT_EQ(playback.index, 2);
}

TEST(ListKeys, EachKeyRunsItsCommandOnce)
{
    using K = ListKeyCommand;
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        bool menuHandles;
        K expected;
    };
    const std::vector<Case> cases{
        {Qt::Key_Return, Qt::NoModifier, true, K::PlaySelected},
        {Qt::Key_Enter, Qt::KeypadModifier, true, K::PlaySelected},
        {Qt::Key_Return, Qt::ShiftModifier, true, K::PlaySelected},
        {Qt::Key_Return, Qt::ControlModifier, true, K::None},
        {Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier, true, K::PlaySelected},
        {Qt::Key_Delete, Qt::NoModifier, false, K::DeleteSelected},
        {Qt::Key_Delete, Qt::ShiftModifier, false, K::DeleteSelected},
        {Qt::Key_Delete, Qt::NoModifier, true, K::None},
        {Qt::Key_A, Qt::ControlModifier, true, K::SelectAll},
        {Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, true, K::None},
        {Qt::Key_A, Qt::NoModifier, true, K::None},
        {Qt::Key_S, Qt::ControlModifier, true, K::SaveList},
        {Qt::Key_D, Qt::ControlModifier, false, K::Details},
        {Qt::Key_D, Qt::ControlModifier, true, K::None},
        {Qt::Key_X, Qt::ControlModifier, false, K::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listKeyCommand(c.key, c.mods, c.menuHandles), c.expected) << c.key << " " << int(c.mods);
}

TEST_F(AddMovies, MenuStateAndListChoices)
{
    EXPECT_FALSE(listMenuState(context).notEmpty);
    for (const char* t : {"a", "b", "c"})
        list.append(movie(t, "D:\\x.swf"));
    playback.index = 1;
    ListMenuState state = listMenuState(context);
    EXPECT_TRUE(state.notEmpty);
    EXPECT_FALSE(state.selected);
    EXPECT_FALSE(state.notCurrent);
    list.setSelected(1, true);
    list.setSelected(2, true);
    state = listMenuState(context);
    EXPECT_TRUE(state.selected);
    EXPECT_FALSE(state.notCurrent);  // the first selected row is the current one
    list.setSelected(1, false);
    EXPECT_TRUE(listMenuState(context).notCurrent);

    const std::vector<ListChoice> choices = listChoices(context);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[1].caption, "b");
    EXPECT_TRUE(choices[1].checked);
    EXPECT_FALSE(choices[0].checked);
    EXPECT_EQ(choices[2].index, 2);
}

TEST(ListDrag, ScrollsAtTheTopAndBottomVisibleRows)
{
    EXPECT_EQ(dragScrollPixels(5, 5, 280), -10);
    EXPECT_EQ(dragScrollPixels(25, 5, 280), 10);  // 280 div 14 = 20 rows below the top one
    EXPECT_EQ(dragScrollPixels(24, 5, 280), 0);
    EXPECT_EQ(dragScrollPixels(6, 5, 290), 0);
}

}  // namespace
}  // namespace kivamo::test
