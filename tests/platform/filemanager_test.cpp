// The file-manager reveal: ShowItems gets the file URI, the folder opens only when no file manager
// answers, and paths no file manager can show are left alone.
#include "platform/filemanager.h"

#include <gtest/gtest.h>

using namespace kivamo;

TEST(FileManager, UrlsForEachKindOfPath)
{
    EXPECT_EQ(fileManagerUrl(QStringLiteral("/home/u/影片 1.swf")).toString(QUrl::FullyEncoded),
              QStringLiteral("file:///home/u/%E5%BD%B1%E7%89%87%201.swf"));
    EXPECT_EQ(fileManagerUrl(QStringLiteral("smb://server/share/a.swf")), QUrl(QStringLiteral("smb://server/share/a.swf")));
    EXPECT_TRUE(fileManagerUrl(QStringLiteral("http://example.com/a.swf")).isEmpty());
    EXPECT_TRUE(fileManagerUrl(QStringLiteral("\\\\server\\a.swf")).isEmpty());
    EXPECT_TRUE(fileManagerUrl(QStringLiteral("C:\\flash\\a.swf")).isEmpty());
}

TEST(FileManager, FallsBackToTheFolderOnlyWhenShowItemsFails)
{
    for (bool answered : {true, false}) {
        QList<QUrl> shown, opened;
        DesktopFileManager manager(
            [&](const QUrl& file) {
                shown << file;
                return answered;
            },
            [&](const QUrl& folder) {
                opened << folder;
                return true;
            });
        EXPECT_TRUE(manager.showItem(QStringLiteral("/films/a.swf")));
        EXPECT_EQ(shown, QList<QUrl>{QUrl(QStringLiteral("file:///films/a.swf"))});
        if (answered)
            EXPECT_TRUE(opened.isEmpty());
        else
            EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("file:///films"))});
    }
    int calls = 0;
    DesktopFileManager manager([&](const QUrl&) { return ++calls, true; }, [&](const QUrl&) { return ++calls, true; });
    EXPECT_FALSE(manager.showItem(QStringLiteral("http://example.com/a.swf")));
    EXPECT_EQ(calls, 0);
}
