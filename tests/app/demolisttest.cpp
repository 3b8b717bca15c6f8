// The demo list: the folder's movies in name order, absolute paths and titles, read back by the
// list reader; a missing folder is refused.
#include "app/demolist.h"
#include "core/movieentry.h"
#include "platform/textfile.h"
#include "playlist/listfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;

TEST(DemoList, ListsTheFoldersMoviesInNameOrder)
{
    QTemporaryDir dir;
    for (const char* name : {"b-shapes.swf", "a-clock.swf", "readme.txt", "c.SWF.bak"})
        ASSERT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
    QDir(dir.path()).mkdir("sub.swf");  // a folder is no movie

    const Result<QString> written = writeDemoList(dir.path());
    ASSERT_TRUE(written) << written.error().message.toStdString();
    EXPECT_EQ(written.value(), dir.filePath("demo.kvl"));

    QFile file(written.value());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("#KVL2\r\n"));
    std::vector<MovieEntry> entries;
    ASSERT_TRUE(parseListFile(QString::fromUtf8(bytes).split(QStringLiteral("\r\n")), entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, dir.filePath("a-clock.swf"));
    EXPECT_EQ(entries[0].title, "a-clock");
    EXPECT_EQ(entries[1].path, dir.filePath("b-shapes.swf"));
    EXPECT_EQ(entries[1].title, "b-shapes");
}

TEST(DemoList, EmptyFolderGivesAnEmptyListAndMissingFolderFails)
{
    QTemporaryDir dir;
    const Result<QString> empty = writeDemoList(dir.path());
    ASSERT_TRUE(empty);
    QFile file(empty.value());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().trimmed(), "#KVL2");

    const Result<QString> missing = writeDemoList(dir.filePath("absent"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);
}
