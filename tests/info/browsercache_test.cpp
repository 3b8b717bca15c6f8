// The browser-cache search: finding the cache folder under the cache home, and a cache tree of
// named movies, unnamed movies recognised by their signature, and files that are no movies.
#include "info/browsercache.h"

#include "fakeplayback.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class SilentProgress : public WalkProgressView {
public:
    void showWindow() override { ++shows; }
    void showStatus(const WalkStatus& status) override { last = status; }
    void processEvents() override {}
    void closeWindow() override { ++closes; }
    int shows = 0;
    int closes = 0;
    WalkStatus last;
};

void expectSubdirectoryQuestion(ScriptedPrompts& prompts, PromptButton answer)
{
    prompts.expectMessage(QStringLiteral("添加目录"), QStringLiteral("是否同时添加子目录？"), PromptIcon::Question,
                          PromptButton::Yes | PromptButton::No, answer);
}

QStringList sortedTitles(const PlayList& list)
{
    QStringList titles;
    for (const MovieEntry& entry : list.entries())
        titles << entry.title;
    titles.sort();
    return titles;
}

}  // namespace

TEST(BrowserCache, FirstExistingCacheFolderInBrowserOrder)
{
    QTemporaryDir home;
    EXPECT_EQ(findBrowserCacheFolder(home.path()), QString());
    EXPECT_EQ(findBrowserCacheFolder(QString()), QString());

    QDir().mkpath(home.filePath(QStringLiteral("google-chrome/Default/Cache")));
    EXPECT_EQ(findBrowserCacheFolder(home.path()), home.filePath(QStringLiteral("google-chrome/Default/Cache")));
    QDir().mkpath(home.filePath(QStringLiteral("chromium/Profile 1/Cache")));
    EXPECT_EQ(findBrowserCacheFolder(home.path()), home.filePath(QStringLiteral("chromium/Profile 1/Cache")));
    // A Firefox profile without cache2 does not count; the next profile in name order does.
    QDir().mkpath(home.filePath(QStringLiteral("mozilla/firefox/a.default")));
    EXPECT_EQ(findBrowserCacheFolder(home.path()), home.filePath(QStringLiteral("chromium/Profile 1/Cache")));
    QDir().mkpath(home.filePath(QStringLiteral("mozilla/firefox/b.default-release/cache2")));
    EXPECT_EQ(findBrowserCacheFolder(home.path()), home.filePath(QStringLiteral("mozilla/firefox/b.default-release/cache2")));
}

TEST(BrowserCache, CacheHomeHonoursXdgCacheHome)
{
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", "/tmp/kivamo-cache-home");
    EXPECT_EQ(currentCacheHome(), QStringLiteral("/tmp/kivamo-cache-home"));
    qputenv("XDG_CACHE_HOME", "relative/ignored");
    EXPECT_EQ(currentCacheHome(), QDir::homePath() + QStringLiteral("/.cache"));
    qunsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(currentCacheHome(), QDir::homePath() + QStringLiteral("/.cache"));
    if (!saved.isNull())
        qputenv("XDG_CACHE_HOME", saved);
}

TEST(BrowserCache, SignatureSniffing)
{
    QTemporaryDir dir;
    struct Case {
        QByteArray bytes;
        bool movie;
    } cases[] = {
        {"FWS\x0a", true}, {"CWS", true}, {"ZWS\x0d", true}, {"fws", false}, {"FW", false}, {"", false}, {"GIF89a", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::number(n++));
        write(path, c.bytes);
        EXPECT_EQ(hasSwfSignature(path), c.movie) << c.bytes.toStdString();
    }
    EXPECT_FALSE(hasSwfSignature(dir.filePath(QStringLiteral("missing"))));
}

TEST(BrowserCache, CacheTreeWithNamedAndUnnamedMovies)
{
    QTemporaryDir cache;
    // Top level: a named movie and a text file. Sub-folders: unnamed movies of each signature, a
    // named one in upper case, a picture, and a pipe that must not be opened.
    write(cache.filePath(QStringLiteral("top.swf")), "FWS\x06");
    write(cache.filePath(QStringLiteral("readme")), "hello");
    write(cache.filePath(QStringLiteral("entries/3F2A9C")), "CWS\x0a");
    write(cache.filePath(QStringLiteral("entries/77B01D")), "FWS\x08");
    write(cache.filePath(QStringLiteral("entries/deeper/ZZ01")), "ZWS\x0d");
    write(cache.filePath(QStringLiteral("entries/deeper/NAMED.SWF")), "anything");
    write(cache.filePath(QStringLiteral("entries/picture")), "\x89PNG");
    ASSERT_EQ(::mkfifo(QFile::encodeName(cache.filePath(QStringLiteral("entries/pipe"))).constData(), 0600), 0);

    for (PromptButton answer : {PromptButton::Yes, PromptButton::No}) {
        ListFixture f;
        f.list.append(movieEntry(QStringLiteral("old"), QStringLiteral("/old.swf")));
        f.list.setCurrentListFile(QStringLiteral("/lists/old.kvl"));
        f.playback.loaded = true;
        SilentProgress progress;
        qint64 now = 0;
        CacheWalker walker(f.context, progress, [&] { return now += DirectoryAdder::repaintInterval; });
        expectSubdirectoryQuestion(f.prompts, answer);
        searchBrowserCache(f.context, walker, cache.path());

        EXPECT_EQ(f.list.listName(), QStringLiteral("IE缓存"));
        EXPECT_FALSE(f.list.isModified());
        EXPECT_TRUE(f.list.currentListFile().isEmpty());
        EXPECT_EQ(progress.shows, 1);
        EXPECT_EQ(progress.closes, 1);
        if (answer == PromptButton::Yes) {
            EXPECT_EQ(sortedTitles(f.list), (QStringList{"3F2A9C", "77B01D", "NAMED", "ZZ01", "top"}));
            EXPECT_EQ(walker.addedCount(), 5);
            EXPECT_EQ(progress.last.countText, QStringLiteral("已添加： 5 个"));
            for (const MovieEntry& entry : f.list.entries()) {
                EXPECT_TRUE(entry.path.endsWith(u'/' + entry.title) || entry.path.endsWith(entry.title + QStringLiteral(".swf"))
                            || entry.path.endsWith(entry.title + QStringLiteral(".SWF")))
                    << entry.path.toStdString();
                EXPECT_TRUE(QFileInfo::exists(entry.path)) << entry.path.toStdString();
            }
        } else {
            EXPECT_EQ(sortedTitles(f.list), QStringList{"top"});
        }
    }
}

TEST(BrowserCache, NoCacheFolderGivesAnEmptyNamedList)
{
    QTemporaryDir dir;
    for (const QString& folder : {QString(), dir.filePath(QStringLiteral("missing"))}) {
        ListFixture f;
        f.list.append(movieEntry(QStringLiteral("old"), QStringLiteral("/old.swf")));
        f.list.setModified(true);
        SilentProgress progress;
        CacheWalker walker(f.context, progress, [] { return qint64(0); });
        // Without a folder nothing is walked and nothing is asked; a missing folder is asked about.
        if (!folder.isEmpty())
            expectSubdirectoryQuestion(f.prompts, PromptButton::Yes);
        searchBrowserCache(f.context, walker, folder);
        EXPECT_TRUE(f.list.isEmpty());
        EXPECT_EQ(f.list.listName(), QStringLiteral("IE缓存"));
        EXPECT_FALSE(f.list.isModified());
        EXPECT_EQ(f.list.titleText(), QStringLiteral("播放列表：IE缓存 (0)"));
    }
}
