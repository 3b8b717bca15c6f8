// List files: the exact bytes written, reading both formats and their damaged forms, the error
// boxes, failed saves, and the commands new list, open list and save list.
#include "fixtures.h"

#include "playlist/listfile.h"

#include <QFileInfo>

namespace kivamo::test {
namespace {

using ListFile = ListFixture;

const QByteArray twoEntryExample =
    "#KVL2\r\n>\r\nintro\r\nD:\\flash\\intro.swf\r\n0\r\n>\r\ngame\r\nD:\\flash\\game.swf\r\n0\r\n";

void expectSaved(ScriptedPrompts& prompts)
{
    prompts.expectMessage("保存成功", "列表文件保存成功！", PromptIcon::Information);
}

TEST_F(ListFile, SavedListByteComparesWithTheFormatsExample)
{
    list.append(movie("intro", "D:\\flash\\intro.swf"));
    list.append(movie("game", "D:\\flash\\game.swf"));
    list.setModified(true);
    expectSaved(prompts);
    ASSERT_TRUE(writeListFile(context, path("two.kvl")));
    EXPECT_EQ(readBytes(path("two.kvl")), twoEntryExample);
    EXPECT_FALSE(list.isModified());
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].stayOnTop);
}

TEST_F(ListFile, EmptyListIsTheMagicLineAloneWithoutMessage)
{
    list.setModified(true);
    writeBytes(path("empty.kvl"), "old contents that must go");
    ASSERT_TRUE(writeListFile(context, path("empty.kvl")));
    EXPECT_EQ(readBytes(path("empty.kvl")), QByteArray("#KVL2\r\n"));
    EXPECT_TRUE(list.isModified());  // left to the caller
}

TEST_F(ListFile, ChinesePathsRoundTripExactlyInGb18030)
{
    // Characters of GBK and one outside it (four-byte GB18030) in titles and paths.
    const QString title = QStringLiteral("动画 𠀀 测试");
    const QString moviePath = QStringLiteral("/媒体/动画片/小猫钓鱼.swf");
    list.append(movie(title, moviePath));
    expectSaved(prompts);
    ASSERT_TRUE(writeListFile(context, path("中文.kvl")));
    const QByteArray bytes = readBytes(path("中文.kvl"));
    EXPECT_EQ(bytes, QByteArray("#KVL2\r\n>\r\n") + gb(title) + "\r\n" + gb(moviePath) + "\r\n0\r\n");
    EXPECT_EQ(bytes.mid(10, 4), QByteArray("\xB6\xAF\xBB\xAD"));  // 动画 in code page 936

    PlayList reread;
    ListContext other{reread, settings, prompts, playback};
    ASSERT_TRUE(readListFile(other, path("中文.kvl")));
    ASSERT_EQ(reread.count(), 1);
    EXPECT_EQ(reread.at(0).title, title);
    EXPECT_EQ(reread.at(0).path, moviePath);
    expectSaved(prompts);
    ASSERT_TRUE(writeListFile(other, path("again.kvl")));
    EXPECT_EQ(readBytes(path("again.kvl")), bytes);
}

TEST_F(ListFile, TrailingBlanksAreNotWrittenLeadingOnesAreAndGoOnReading)
{
    MovieEntry entry = movie("  spaced \t ", "  D:\\x.swf   ");
    entry.spare = "7 ";
    list.append(entry);
    expectSaved(prompts);
    ASSERT_TRUE(writeListFile(context, path("b.kvl")));
    EXPECT_EQ(readBytes(path("b.kvl")), QByteArray("#KVL2\r\n>\r\n  spaced\r\n  D:\\x.swf\r\n7\r\n"));
    list.clear();
    ASSERT_TRUE(readListFile(context, path("b.kvl")));
    EXPECT_EQ(list.at(0).title, "spaced");
    EXPECT_EQ(list.at(0).path, "D:\\x.swf");
    EXPECT_EQ(list.at(0).spare, "7");
}

struct ReadCase {
    const char* name;
    QByteArray bytes;
    std::vector<std::vector<QString>> entries;  // title, path, spare
};

TEST_F(ListFile, ReaderAcceptsBothFormatsAndSkipsStrayLines)
{
    const std::vector<ReadCase> cases{
        {"magic with blanks around", "  #KVL2 \t\r\n>\r\na\r\nD:\\a.swf\r\n0\r\n", {{"a", "D:\\a.swf", "0"}}},
        {"stray lines before and between", "#KVL2\r\nnoise\r\n\r\n>\r\na\r\nD:\\a.swf\r\n0\r\nx\r\n > \r\nb\r\nD:\\b.swf\r\n5\r\n",
         {{"a", "D:\\a.swf", "0"}, {"b", "D:\\b.swf", "5"}}},
        {"marker lines taken as fields", "#KVL2\r\n>\r\n>\r\n>\r\n>\r\n", {{">", ">", ">"}}},
        {"old format", "#KVL\r\nbegin\r\nintro\r\nD:\\i.swf\r\njunk\r\nbegin\r\ngame\r\nD:\\g.swf\r\n",
         {{"intro", "D:\\i.swf", "0"}, {"game", "D:\\g.swf", "0"}}},
        {"truncated last record", "#KVL2\r\n>\r\na\r\nD:\\a.swf\r\n0\r\n>\r\nb\r\n",
         {{"a", "D:\\a.swf", "0"}, {"b", "", ""}}},
        {"marker as last line", "#KVL2\r\n>", {{"", "", ""}}},
        {"bare LF and lone CR", "#KVL2\n>\nt\rx\nD:\\t.swf\n0\n", {{"tx", "D:\\t.swf", "0"}}},
        {"Ctrl+Z ends the file", "#KVL2\r\n>\r\na\r\nD:\\a.swf\r\n0\r\n\x1a>\r\nb\r\nD:\\b.swf\r\n0\r\n",
         {{"a", "D:\\a.swf", "0"}}},
        {"magic alone", "#KVL2\r\n", {}},
    };
    for (const ReadCase& c : cases) {
        writeBytes(path("r.kvl"), c.bytes);
        list.clear();
        ASSERT_TRUE(readListFile(context, path("r.kvl"))) << c.name;
        ASSERT_EQ(size_t(list.count()), c.entries.size()) << c.name;
        for (size_t i = 0; i < c.entries.size(); ++i) {
            const MovieEntry& e = list.at(int(i));
            EXPECT_EQ(e.title, c.entries[i][0]) << c.name;
            EXPECT_EQ(e.path, c.entries[i][1]) << c.name;
            EXPECT_EQ(e.spare, c.entries[i][2]) << c.name;
            EXPECT_EQ(e.playing, "0") << c.name;
            EXPECT_EQ(e.author, "未知") << c.name;
        }
    }
}

TEST_F(ListFile, WrongFirstLineShowsTheTypeErrorAndAddsNothing)
{
    const std::vector<QByteArray> files{"#kvl2\r\n>\r\na\r\nD:\\a.swf\r\n0\r\n", "", "\r\n#KVL2\r\n", "#KVL3\r\n",
                                        "# KVL2\r\n"};
    list.append(movie("kept", "D:\\kept.swf"));
    for (const QByteArray& bytes : files) {
        writeBytes(path("bad.kvl"), bytes);
        prompts.expectMessage("错误", "文件打开错误：非列表文件类型", PromptIcon::None);
        EXPECT_FALSE(readListFile(context, path("bad.kvl"))) << bytes.constData();
        EXPECT_EQ(list.count(), 1);
    }
}

TEST_F(ListFile, MissingFileShowsTheNotFoundBox)
{
    const QString missing = path("nope.kvl");
    prompts.expectMessage("错误", "错误：" + missing + "文件不存在", PromptIcon::None);
    EXPECT_FALSE(readListFile(context, missing));
    prompts.expectMessage("错误", "错误：" + temp.path() + "文件不存在", PromptIcon::None);
    EXPECT_FALSE(readListFile(context, temp.path()));  // a folder is not a list file
}

TEST_F(ListFile, NotesComeFromSidecarFilesWhateverBanquanSays)
{
    settings.banquan = false;
    writeBytes(path("m/clip.swf"), "FWS");
    writeBytes(path("m/clip.fci"), gb("张三\r\n网络\r\n游戏\r\n路径：x\r\n"));
    writeBytes(path("l.kvl"), gb("#KVL2\r\n>\r\nclip\r\n" + path("m/clip.swf") + "\r\n0\r\n"));
    ASSERT_TRUE(readListFile(context, path("l.kvl")));
    EXPECT_EQ(list.at(0).author, "张三");
    EXPECT_EQ(list.at(0).source, "网络");
    EXPECT_EQ(list.at(0).type, "游戏");
}

TEST_F(ListFile, FailedSaveKeepsTheOldFileAndTheModifiedFlag)
{
    writeBytes(path("keep.kvl"), twoEntryExample);
    UnwritableFile guard(path("keep.kvl"));
    ASSERT_TRUE(guard.ok());
    list.append(movie("new", "D:\\new.swf"));
    list.setModified(true);
    list.setListName("新建");
    prompts.expectSaveFile(path("keep.kvl"));
    prompts.expectMessage("Kivamo", "", PromptIcon::Error);
    saveListCommand(context);
    EXPECT_EQ(readBytes(path("keep.kvl")), twoEntryExample);
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(list.listName(), "新建");
    EXPECT_TRUE(list.currentListFile().isEmpty());
}

TEST_F(ListFile, FailedSaveIntoAMissingFolderReportsAndCreatesNothing)
{
    list.append(movie("a", "D:\\a.swf"));
    prompts.expectMessage("Kivamo", "", PromptIcon::Error);
    EXPECT_FALSE(writeListFile(context, path("no/such/folder/x.kvl")));
    EXPECT_FALSE(QFileInfo::exists(path("no/such/folder/x.kvl")));
}

TEST_F(ListFile, SavingANewListNamesItAfterTheFile)
{
    newList(context);
    EXPECT_EQ(list.titleText(), QStringLiteral("播放列表：新建 (0) [未保存]"));
    list.append(movie("a", "D:\\a.swf"));
    prompts.expectSaveFile(path("fav"));  // typed without extension
    expectSaved(prompts);
    saveListCommand(context);
    EXPECT_TRUE(QFileInfo::exists(path("fav.kvl")));
    EXPECT_EQ(list.listName(), "fav");
    EXPECT_EQ(list.currentListFile(), path("fav.kvl"));
    EXPECT_EQ(list.titleText(), QStringLiteral("播放列表：fav (1)"));
    ASSERT_EQ(prompts.filePrompts().size(), 1u);
    EXPECT_EQ(prompts.filePrompts()[0].defaultSuffix, "kvl");
    EXPECT_EQ(prompts.filePrompts()[0].filter, QStringLiteral("FLASH播放列表(*.KVL)|*.KVL"));
}

TEST_F(ListFile, SavingANamedListUnderAnotherNameWritesACopy)
{
    writeBytes(path("abc.kvl"), twoEntryExample);
    openListFile(context, path("abc.kvl"));
    list.setModified(true);
    prompts.expectSaveFile(path("xyz.kvl"));
    expectSaved(prompts);
    saveListCommand(context);
    EXPECT_EQ(readBytes(path("xyz.kvl")), twoEntryExample);
    EXPECT_EQ(list.listName(), "abc");
    EXPECT_EQ(list.currentListFile(), path("abc.kvl"));
    EXPECT_FALSE(list.isModified());
}

TEST_F(ListFile, SavingAnEmptyListClearsTheFlagWithoutMessage)
{
    newList(context);
    prompts.expectSaveFile(path("e.kvl"));
    saveListCommand(context);
    EXPECT_EQ(readBytes(path("e.kvl")), QByteArray("#KVL2\r\n"));
    EXPECT_FALSE(list.isModified());
    EXPECT_EQ(list.listName(), "e");
}

TEST_F(ListFile, CancelledDialogsDoNothing)
{
    list.append(movie("a", "D:\\a.swf"));
    list.setModified(true);
    prompts.expectSaveFile(QString());
    saveListCommand(context);
    prompts.expectOpenFiles({});
    openListCommand(context);
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(list.isModified());
    EXPECT_TRUE(playback.calls.empty());
}

TEST_F(ListFile, OpenListReplacesTheListResetsThePlayerAndNamesTheList)
{
    writeBytes(path("games.kvl"), twoEntryExample);
    list.append(movie("old", "D:\\old.swf"));
    list.setModified(true);
    prompts.expectOpenFiles({path("games.kvl"), path("other.kvl")});
    openListCommand(context);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"intro", "game"}));
    EXPECT_EQ(list.listName(), "games");
    EXPECT_EQ(list.currentListFile(), path("games.kvl"));
    EXPECT_FALSE(list.isModified());
    EXPECT_EQ(playback.calls, (std::vector<std::string>{"reset"}));
    EXPECT_EQ(prompts.filePrompts()[0].filter, QStringLiteral("FLASH播放列表(*.KVL)|*.KVL"));
}

TEST_F(ListFile, OpeningAMissingFileLeavesAnEmptyListUnderThePreviousName)
{
    list.setListName("abc");
    list.setCurrentListFile("/old/abc.kvl");
    list.append(movie("a", "D:\\a.swf"));
    list.setModified(true);
    prompts.expectMessage("错误", "", PromptIcon::None);
    openListFile(context, path("gone.kvl"));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.listName(), "abc");
    EXPECT_EQ(list.currentListFile(), "/old/abc.kvl");
    EXPECT_FALSE(list.isModified());
}

TEST_F(ListFile, OldFormatLoadsAndIsSavedInTheCurrentOne)
{
    writeBytes(path("old.kvl"), "#KVL\r\nbegin\r\nintro\r\nD:\\flash\\intro.swf\r\nbegin\r\ngame\r\nD:\\flash\\game.swf\r\n");
    openListFile(context, path("old.kvl"));
    ASSERT_EQ(list.count(), 2);
    expectSaved(prompts);
    ASSERT_TRUE(writeListFile(context, path("new.kvl")));
    EXPECT_EQ(readBytes(path("new.kvl")), twoEntryExample);
}

TEST_F(ListFile, NewListEmptiesResetsAndForgetsTheFile)
{
    list.append(movie("a", "D:\\a.swf"));
    list.setListName("abc");
    list.setCurrentListFile("/x/abc.kvl");
    newList(context);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(list.listName(), "新建");
    EXPECT_TRUE(list.currentListFile().isEmpty());
    EXPECT_EQ(playback.calls, (std::vector<std::string>{"reset"}));
}

}  // namespace
}  // namespace kivamo::test
