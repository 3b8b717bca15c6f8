// The history file hiscfg.dat and the custom-list file list.cfg: their sequences, reading rules,
// menus, messages and the custom-list dialog's rows.
#include "fixtures.h"

#include "playlist/customlists.h"
#include "playlist/history.h"
#include "playlist/listfile.h"

#include <QFileInfo>

namespace kivamo::test {
namespace {

using History = ListFixture;
using CustomLists = ListFixture;

QByteArray crlfLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += gb(line) + "\r\n";
    return bytes;
}

TEST_F(History, SevenMoviesLeaveTheFiveBeforeTheLast)
{
    // Each play adds the movie that was playing before it: a..f enter, g is still playing.
    for (const char* m : {"a", "b", "c", "d", "e", "f"})
        ASSERT_TRUE(addToHistory(dir(), QStringLiteral("D:\\%1.swf").arg(m)).ok());
    EXPECT_EQ(readBytes(historyFilePath(dir())),
              crlfLines({"D:\\f.swf", "D:\\e.swf", "D:\\d.swf", "D:\\c.swf", "D:\\b.swf"}));
}

TEST_F(History, RepeatedMoviesAppearOnce)
{
    writeBytes(historyFilePath(dir()), "");
    for (const char* m : {"b", "a", "b", "a"})  // playing a, b, a, b
        ASSERT_TRUE(addToHistory(dir(), QStringLiteral("D:\\%1.swf").arg(m)).ok());
    EXPECT_EQ(readBytes(historyFilePath(dir())), crlfLines({"D:\\a.swf", "D:\\b.swf"}));
}

TEST_F(History, OnlyAPlayedMovieEntersAndOnlyWhileHistoryIsOn)
{
    ASSERT_TRUE(addPreviousMovieToHistory(dir(), false, "D:\\a.swf").ok());
    EXPECT_FALSE(QFileInfo::exists(historyFilePath(dir())));
    ASSERT_TRUE(addPreviousMovieToHistory(dir(), true, "z:\\").ok());
    EXPECT_FALSE(QFileInfo::exists(historyFilePath(dir())));
    ASSERT_TRUE(addPreviousMovieToHistory(dir(), true, "D:\\a.swf").ok());
    EXPECT_EQ(readBytes(historyFilePath(dir())), QByteArray("D:\\a.swf\r\n"));
}

TEST_F(History, LinesAreComparedAndRewrittenTrimmed)
{
    writeBytes(historyFilePath(dir()), gb("D:\\y.swf\r\n  D:\\x.swf \t\r\n /影片/动画.swf\r\n"));
    ASSERT_TRUE(addToHistory(dir(), "D:\\x.swf ").ok());
    EXPECT_EQ(readBytes(historyFilePath(dir())), crlfLines({"D:\\x.swf", "D:\\y.swf", "/影片/动画.swf"}));
    ASSERT_TRUE(addToHistory(dir(), "d:\\x.swf").ok());  // case matters
    EXPECT_EQ(readBytes(historyFilePath(dir())),
              crlfLines({"d:\\x.swf", "D:\\x.swf", "D:\\y.swf", "/影片/动画.swf"}));
}

TEST_F(History, UnwritableHistoryIsReported)
{
    writeBytes(historyFilePath(dir()), "D:\\a.swf\r\n");
    UnwritableFile guard(historyFilePath(dir()));
    ASSERT_TRUE(guard.ok());
    const Result<void> added = addToHistory(dir(), "D:\\b.swf");
    ASSERT_FALSE(added.ok());
    EXPECT_EQ(readBytes(historyFilePath(dir())), QByteArray("D:\\a.swf\r\n"));
}

TEST_F(History, MenuShowsLinesOnlyWhileHistoryIsOn)
{
    EXPECT_TRUE(historyMenu(dir(), true).items.isEmpty());
    EXPECT_FALSE(historyMenu(dir(), true).clearEnabled);
    writeBytes(historyFilePath(dir()), gb("D:\\a&b.swf\r\n/影片/c.swf\r\n"));
    const HistoryMenu on = historyMenu(dir(), true);
    EXPECT_EQ(on.items, QStringList({"D:\\a&b.swf", "/影片/c.swf"}));
    EXPECT_TRUE(on.clearEnabled);
    const HistoryMenu off = historyMenu(dir(), false);
    EXPECT_TRUE(off.items.isEmpty());
    EXPECT_FALSE(off.clearEnabled);
}

TEST_F(History, ReopeningPlaysTheMovieInANewList)
{
    writeBytes(path("clip.swf"), "FWS");
    list.append(movie("old", "D:\\old.swf"));
    list.setListName("abc");
    EXPECT_TRUE(reopenHistoryItem(context, "  " + path("clip.swf") + " "));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"clip"}));
    EXPECT_EQ(list.listName(), "新建");
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(playback.calls, (std::vector<std::string>{"reset", "play 0"}));

    playback.calls.clear();
    EXPECT_FALSE(reopenHistoryItem(context, path("gone.swf")));
    EXPECT_FALSE(reopenHistoryItem(context, "http://example.com/a.swf"));
    EXPECT_TRUE(playback.calls.empty());
    EXPECT_EQ(list.count(), 1);
}

TEST_F(History, ClearingSaysWhetherThereWasAHistory)
{
    writeBytes(historyFilePath(dir()), "D:\\a.swf\r\n");
    prompts.expectMessage("清除历史记录", "已经成功清除历史记录！", PromptIcon::Information);
    clearHistory(prompts, dir());
    EXPECT_FALSE(QFileInfo::exists(historyFilePath(dir())));
    prompts.expectMessage("清除历史记录", "当前没有历史记录！", PromptIcon::Information);
    clearHistory(prompts, dir());
    EXPECT_TRUE(prompts.messages().at(1).stayOnTop);
}

TEST(CustomListFile, ReadingRules)
{
    struct Case {
        const char* name;
        QStringList lines;
        std::vector<std::pair<QString, QString>> lists;
    };
    const std::vector<Case> cases{
        {"plain", {"#LLL", "begin", "fav", "D:\\l\\fav.kvl"}, {{"fav", "D:\\l\\fav.kvl"}}},
        {"magic inside a longer line", {"xx#LLLyy", "begin", "a", "p"}, {{"a", "p"}}},
        {"lower-case magic refused", {"#lll", "begin", "a", "p"}, {}},
        {"no magic line", {"begin", "a", "p"}, {}},
        {"begin with a blank skipped", {"#LLL", "begin ", "a", "p", " begin", "b", "q", "begin", "c", "r"},
         {{"c", "r"}}},
        {"names and paths as read", {"#LLL", "begin", "  spaced ", " p "}, {{"  spaced ", " p "}}},
        {"stray lines between records", {"#LLL", "x", "begin", "a", "p", "y", "begin", "b", "q"},
         {{"a", "p"}, {"b", "q"}}},
        {"truncated last record", {"#LLL", "begin", "a"}, {{"a", ""}}},
        {"a name that reads begin", {"#LLL", "begin", "begin", "p"}, {{"begin", "p"}}},
        {"empty file", {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<QString, QString>> got;
        for (const CustomList& l : parseCustomLists(c.lines))
            got.push_back({l.name, l.path});
        EXPECT_EQ(got, c.lists) << c.name;
    }
}

TEST_F(CustomLists, FreshInstallationSequence)
{
    writeBytes(path("fav.kvl"), "#KVL2\r\n");
    openListFile(context, path("fav.kvl"));
    ASSERT_FALSE(list.isModified());
    const QString file = customListFilePath(dir());

    addCurrentListToCustom(context, dir());  // no file yet: nothing written, nothing shown
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(customListMenu(list, dir()).items.empty());

    CustomListEditor editor;
    editor.load(dir());
    EXPECT_TRUE(editor.rows().empty());
    ASSERT_TRUE(editor.save(prompts, dir()));
    EXPECT_EQ(readBytes(file), QByteArray("#LLL\r\n"));

    addCurrentListToCustom(context, dir());
    EXPECT_EQ(readBytes(file), QByteArray("#LLL\r\nbegin\r\nfav\r\n") + path("fav.kvl").toUtf8() + "\r\n");
    const CustomListMenu menu = customListMenu(list, dir());
    EXPECT_TRUE(menu.addEnabled);
    ASSERT_EQ(menu.items.size(), 1u);
    EXPECT_EQ(menu.items[0].name, "fav");
    EXPECT_EQ(menu.items[0].path, path("fav.kvl"));
}

TEST_F(CustomLists, UnsavedListIsRefusedWithAWarning)
{
    writeBytes(customListFilePath(dir()), "#LLL\r\n");
    newList(context);
    EXPECT_FALSE(customListMenu(list, dir()).addEnabled);
    prompts.expectMessage("自定义列表", "请先保存列表，之后才能添加到自定义列表", PromptIcon::Warning);
    addCurrentListToCustom(context, dir());
    EXPECT_EQ(readBytes(customListFilePath(dir())), QByteArray("#LLL\r\n"));
    EXPECT_TRUE(prompts.messages().at(0).stayOnTop);
}

TEST_F(CustomLists, AfterACacheSearchAnEmptyPathLineIsWritten)
{
    writeBytes(customListFilePath(dir()), "#LLL\r\n");
    list.setListName("IE缓存");
    list.setCurrentListFile(QString());
    list.setModified(false);
    addCurrentListToCustom(context, dir());
    EXPECT_EQ(readBytes(customListFilePath(dir())), QByteArray("#LLL\r\nbegin\r\n") + gb("IE缓存") + "\r\n\r\n");
}

TEST_F(CustomLists, AppendingStartsOnItsOwnLineAfterAFileWithoutFinalLineEnd)
{
    writeBytes(customListFilePath(dir()), "#LLL\r\nbegin\r\na\r\n/l/a.kvl");
    list.setListName("b");
    list.setCurrentListFile("/l/b.kvl");
    addCurrentListToCustom(context, dir());
    const std::vector<CustomList> lists = readCustomLists(dir());
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].path, "/l/a.kvl");
    EXPECT_EQ(lists[1].name, "b");
}

TEST_F(CustomLists, OpeningACustomListReplacesThePlayList)
{
    writeBytes(path("games.kvl"), "#KVL2\r\n>\r\ng\r\nD:\\g.swf\r\n0\r\n");
    list.append(movie("old", "D:\\old.swf"));
    list.setModified(true);
    openCustomList(context, "-", path("games.kvl"));
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(playback.calls.empty());

    openCustomList(context, "我的游戏", " " + path("games.kvl") + " ");
    EXPECT_EQ(titles(list), (std::vector<std::string>{"g"}));
    EXPECT_EQ(list.listName(), "games");  // the file's name, not the custom list's
    EXPECT_FALSE(list.isModified());
    EXPECT_EQ(playback.calls, (std::vector<std::string>{"reset"}));

    prompts.expectMessage("错误", "错误：" + path("gone.kvl") + "文件不存在", PromptIcon::None);
    openCustomList(context, "gone", path("gone.kvl"));
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(CustomLists, DialogRowsAreEditedAndWrittenTrimmed)
{
    writeBytes(path("here.kvl"), "#KVL2\r\n");
    writeBytes(customListFilePath(dir()),
               gb("#LLL\r\nbegin\r\n 老的 \r\n /l/old.kvl \r\nbegin\r\nhere\r\n" + path("here.kvl") + "\r\n"));
    CustomListEditor editor;
    editor.load(dir());
    ASSERT_EQ(editor.rows().size(), 2u);
    EXPECT_TRUE(editor.isMissing(0));  // grey, but kept and written back
    EXPECT_FALSE(editor.isMissing(1));

    prompts.expectOpenFiles({path("new.kvl")});
    EXPECT_TRUE(editor.addThroughDialog(prompts));
    prompts.expectOpenFiles({});
    EXPECT_FALSE(editor.editThroughDialog(prompts, 1));
    prompts.expectOpenFiles({path("edited.kvl")});
    EXPECT_TRUE(editor.editThroughDialog(prompts, 1));
    EXPECT_FALSE(editor.editThroughDialog(prompts, 7));
    editor.remove(7);
    EXPECT_EQ(editor.rows().size(), 3u);
    EXPECT_EQ(prompts.filePrompts().at(0).filter, QStringLiteral("flash播放列表文件(*.kvl)|*.kvl"));
    EXPECT_EQ(prompts.filePrompts().at(0).defaultSuffix, "kvl");

    ASSERT_TRUE(editor.save(prompts, dir()));
    EXPECT_EQ(readBytes(customListFilePath(dir())),
              crlfLines({"#LLL", "begin", "老的", "/l/old.kvl", "begin", "edited", path("edited.kvl"), "begin", "new",
                         path("new.kvl")}));

    editor.remove(0);
    EXPECT_EQ(editor.rows().at(0).name, "edited");
}

TEST_F(CustomLists, CancelledDialogLeavesTheFileUntouched)
{
    writeBytes(customListFilePath(dir()), "#LLL\r\nbegin\r\na\r\n/l/a.kvl\r\n");
    CustomListEditor editor;
    editor.load(dir());
    editor.remove(0);
    editor.add("/l/b.kvl");
    // "取消" simply drops the editor.
    EXPECT_EQ(readBytes(customListFilePath(dir())), QByteArray("#LLL\r\nbegin\r\na\r\n/l/a.kvl\r\n"));
}

}  // namespace
}  // namespace kivamo::test
