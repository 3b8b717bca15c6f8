// Movie notes: the sidecar file's reading rules and the writer's four lines.
#include "info/notes.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(Notes, SidecarReadingRules)
{
    QTemporaryDir temp;
    const QString movie = temp.path() + "/clip.swf";
    write(movie, "FWS");
    struct Case {
        const char* name;
        QByteArray sidecar;  // empty: no sidecar file
        QString author, source, type;
    };
    const std::vector<Case> cases{
        {"no sidecar", {}, "未知", "未知", "未知"},
        {"name, empty line, type", encodeGb18030("王五\r\n\r\n游戏\r\n路径：x\r\n"), "王五", "未知", "游戏"},
        {"one line", "Author\r\n", "Author", "未知", "未知"},
        {"no final line end", "a\r\nb\r\nc", "a", "b", "c"},
        {"bare LF", "a\nb\nc\n", "a", "b", "c"},
        {"blanks kept as written", " a \r\n \r\nc\r\n", " a ", " ", "c"},
        {"further lines ignored", "a\r\nb\r\nc\r\nd\r\ne\r\n", "a", "b", "c"},
        {"empty file", "", "未知", "未知", "未知"},
    };
    for (const Case& c : cases) {
        QFile::remove(temp.path() + "/clip.fci");
        if (!c.sidecar.isNull())
            write(temp.path() + "/clip.fci", c.sidecar);
        const RrightInfo notes = readNotes(movie);
        EXPECT_EQ(notes.author, c.author) << c.name;
        EXPECT_EQ(notes.source, c.source) << c.name;
        EXPECT_EQ(notes.type, c.type) << c.name;
    }
}

TEST(Notes, NetworkPathsAndWebAddressesNeverReadASidecar)
{
    for (const QString& path : {QStringLiteral("\\\\server\\share\\a.swf"), QStringLiteral("http://a.com/a.swf"),
                                QStringLiteral("relative/a.swf")}) {
        const RrightInfo notes = readNotes(path);
        EXPECT_EQ(notes.author, "未知");
        EXPECT_EQ(notes.source, "未知");
        EXPECT_EQ(notes.type, "未知");
    }
}

TEST(Notes, WriterWritesFourLinesOnlyBesideAnExistingMovie)
{
    QTemporaryDir temp;
    const QString movie = temp.path() + "/动画.swf";
    RrightInfo notes;
    notes.author = "张三";
    notes.type = "课件";
    EXPECT_FALSE(writeNotes(movie, notes).ok());
    EXPECT_FALSE(QFileInfo::exists(temp.path() + "/动画.fci"));

    write(movie, "FWS");
    ASSERT_TRUE(writeNotes(movie, notes).ok());
    QFile file(temp.path() + "/动画.fci");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), encodeGb18030("张三\r\n未知\r\n课件\r\n路径：" + movie + "\r\n"));
    const RrightInfo back = readNotes(movie);
    EXPECT_EQ(back.author, "张三");
    EXPECT_EQ(back.type, "课件");
}

}  // namespace
}  // namespace kivamo

namespace kivamo {
namespace {

TEST(NotesReader, GivesTheSameNotesAsReadingEachSidecar)
{
    QTemporaryDir temp;
    const QString d = temp.path();
    QDir().mkpath(d + "/sub");
    write(d + "/a.fci", "A\r\n");
    write(d + "/.h.fci", "H\r\nS\r\nT\r\n");
    write(d + "/sub/b.fci", encodeGb18030("乙\r\n"));
    write(d + "/C.FCI", "upper\r\n");  // another name: c.swf has no sidecar
    const QStringList movies{d + "/a.swf", d + "/.h.swf", d + "/sub/b.swf", d + "/c.swf", d + "/missing/x.swf",
                             d + "//a.swf", d + "/sub/../a.swf", "http://a.com/a.swf", "\\\\srv\\a.swf", "D:\\a.swf"};
    NotesReader reader;
    for (int pass = 0; pass < 2; ++pass) {  // the second pass answers from the folder listings
        for (const QString& movie : movies) {
            const RrightInfo expected = readNotes(movie);
            const RrightInfo got = reader.read(movie);
            EXPECT_EQ(got.author, expected.author) << movie.toStdString();
            EXPECT_EQ(got.source, expected.source) << movie.toStdString();
            EXPECT_EQ(got.type, expected.type) << movie.toStdString();
        }
    }
    EXPECT_EQ(reader.read(d + "/sub/b.swf").author, "乙");
    EXPECT_EQ(reader.read(d + "/.h.swf").type, "T");
}

}  // namespace
}  // namespace kivamo
