// Where a movie's scripts keep SharedObject data and which local files they may read.
#include "player/moviescriptfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

TEST(MovieScriptFiles, SharedObjectFoldersStayInsideTheRoot)
{
    EXPECT_EQ(sharedObjectFolderFor("/data/so", "/home/u/movies/a.swf"), "/data/so/localhost/home/u/movies/a.swf");
    EXPECT_EQ(sharedObjectFolderFor("/data/so", "  /home/u/../../etc/a.swf "), "/data/so/localhost/etc/a.swf");
    EXPECT_EQ(sharedObjectFolderFor("/data/so", "http://Example.com:8080/games/../../x/b.swf?q=1"),
              "/data/so/example.com_8080/x/b.swf");
    EXPECT_EQ(sharedObjectFolderFor("/data/so", "https://example.com/"), "/data/so/example.com");
    EXPECT_EQ(sharedObjectFolderFor("/data/so", "http://../../etc/c.swf").startsWith("/data/so/"), true);
    EXPECT_EQ(sharedObjectFolderFor("", "/home/u/a.swf"), QString());
    EXPECT_EQ(sharedObjectFolderFor("/data/so", "   "), QString());
}

TEST(MovieScriptFiles, ScriptsReadFilesBesideALocalMovieOnly)
{
    EXPECT_EQ(scriptFilePath("/m/game/main.swf", "levels/1.txt"), "/m/game/levels/1.txt");
    EXPECT_EQ(scriptFilePath("/m/game/main.swf", "../data.xml"), "/m/data.xml");
    EXPECT_EQ(scriptFilePath("/m/game/main.swf", "file:///tmp/x.txt"), "/tmp/x.txt");
    EXPECT_EQ(scriptFilePath("/m/game/main.swf", "/abs/y.txt"), "/abs/y.txt");
    EXPECT_EQ(scriptFilePath("/m/game/main.swf", "http://example.com/a.txt"), QString());
    EXPECT_EQ(scriptFilePath("/m/game/main.swf", "ftp://example.com/a.txt"), QString());
    EXPECT_EQ(scriptFilePath("http://example.com/main.swf", "a.txt"), QString());
    EXPECT_EQ(scriptFilePath("/m/game/main.swf", ""), QString());
}

TEST(MovieScriptFiles, WebAddressesResolveOnlyToHttp)
{
    const struct {
        const char* movie;
        const char* url;
        const char* address;  // empty: nothing to fetch
    } cases[] = {
        {"/m/game/main.swf", "http://example.com/a.txt", "http://example.com/a.txt"},
        {"/m/game/main.swf", "HTTPS://example.com/a.txt?x=1", "https://example.com/a.txt?x=1"},
        {"/m/game/main.swf", "levels/1.txt", ""},  // a local movie's relative path is a file
        {"http://example.com/games/main.swf", "levels/1.txt", "http://example.com/games/levels/1.txt"},
        {"http://example.com/games/main.swf", "/top.txt", "http://example.com/top.txt"},
        {"http://example.com/games/main.swf", "../../../x.txt", "http://example.com/x.txt"},
        {"http://example.com/games/main.swf", "file:///etc/passwd", ""},
        {"http://example.com/games/main.swf", "ftp://example.com/a.txt", ""},
        {"http://example.com/games/main.swf", "http:///nohost", ""},
        {"http://example.com/games/main.swf", "  ", ""},
        {"", "a.txt", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scriptWebAddress(c.movie, c.url).toString(), QString(c.address)) << c.movie << " " << c.url;
}

TEST(MovieScriptFiles, TextIsReadUpToItsLimit)
{
    QTemporaryDir dir;
    const QString small = dir.filePath("small.txt"), large = dir.filePath("large.txt");
    for (const auto& [path, size] : {std::pair{small, 10}, std::pair{large, 11}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'a'));
    }
    std::string text;
    EXPECT_TRUE(readScriptText(small, 10, text));
    EXPECT_EQ(text, std::string(10, 'a'));
    EXPECT_FALSE(readScriptText(large, 10, text));
    EXPECT_FALSE(readScriptText(dir.filePath("missing.txt"), 10, text));
    EXPECT_FALSE(readScriptText(dir.path(), 10, text));  // a folder
    EXPECT_FALSE(readScriptText(QString(), 10, text));
}

TEST(MovieScriptFiles, LanguageIsReportedAsFlashDoes)
{
    EXPECT_EQ(flashLanguage(QLocale(QLocale::Chinese, QLocale::China)), "zh-CN");
    EXPECT_EQ(flashLanguage(QLocale(QLocale::Chinese, QLocale::Taiwan)), "zh-TW");
    EXPECT_EQ(flashLanguage(QLocale(QLocale::English, QLocale::UnitedKingdom)), "en");
    EXPECT_EQ(flashLanguage(QLocale(QLocale::German, QLocale::Germany)), "de");
    EXPECT_EQ(flashLanguage(QLocale::c()), "en");
}

}  // namespace
}  // namespace kivamo
