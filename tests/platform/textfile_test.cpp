// Text files: GB18030 both ways, the line rules each format chooses, trimming, and atomic rewrites.
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(TextFile, Gb18030KeepsEveryCharacterBothWays)
{
    // Two-byte GBK, four-byte GB18030 (a character outside the BMP and a rare CJK extension one), ASCII.
    const QString text = QString::fromUtf8("中文路径 D:\\影片\\a.swf 😀 𠀀 ä");
    QByteArray bytes = encodeGb18030(text);
    EXPECT_EQ(bytes.left(4), QByteArray("\xD6\xD0\xCE\xC4"));  // 中文 as code page 936 writes it
    EXPECT_EQ(decodeGb18030(bytes), text);
}

TEST(TextFile, SplitLinesFollowsTheChosenRules)
{
    struct Case {
        const char* text;
        LineRules rules;
        QStringList lines;
    } cases[] = {
        {"a\r\nb\r\n", {}, {"a", "b"}},
        {"a\nb", {}, {"a", "b"}},                 // a last line without a line end still counts
        {"a\r\n\r\nb\r\n", {}, {"a", "", "b"}},   // empty lines are lines
        {"a\rb\r\n", {}, {"a\rb"}},               // a lone CR stays in the text by default
        {"a\rb\r\n", {true, false}, {"ab"}},      // ...and is dropped where the format says so
        {"a\r\nb\x1a" "c\r\n", {false, true}, {"a", "b"}},  // Ctrl+Z ends the file
        {"a\r\nb\x1a" "c\r\n", {}, {"a", "b\x1a" "c"}},
        {"", {}, {}},
        {"\r\n", {}, {""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitLines(QString::fromLatin1(c.text), c.rules), c.lines) << c.text;
    }
}

TEST(TextFile, Trimmed32RemovesControlsAndBlanksOnly)
{
    EXPECT_EQ(trimmed32(QString::fromUtf8("\t \x01 a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(trimmed32(QStringLiteral("   ")), QString());
    // Full-width blanks (code above 32) are kept, as the system's trimming keeps them.
    EXPECT_EQ(trimmed32(QString::fromUtf8("\u3000a\u3000")), QString::fromUtf8("\u3000a\u3000"));
}

TEST(TextFile, WriteGivesCrLfGb18030AndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    const QStringList lines{QStringLiteral("#KVL2"), QString::fromUtf8("动画"), QString()};
    ASSERT_TRUE(writeTextLines(path, lines).ok());
    EXPECT_EQ(readBytes(path), QByteArray("#KVL2\r\n\xB6\xAF\xBB\xAD\r\n\r\n"));
    auto read = readTextLines(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), lines);
}

TEST(TextFile, ReadErrorsNameTheFile)
{
    QTemporaryDir dir;
    auto missing = readTextLines(dir.filePath("none.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);

    // A folder exists but cannot be opened as a file.
    auto folder = readTextLines(dir.path());
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().kind, ErrorKind::CannotOpen);
    EXPECT_EQ(folder.error().message, QStringLiteral("Cannot open file %1").arg(dir.path()));
}

TEST(TextFile, FailedWriteLeavesNoFileAndKeepsTheOld)
{
    QTemporaryDir dir;
    const QString inMissingFolder = dir.filePath("no/such/folder/list.kvl");
    auto result = writeTextLines(inMissingFolder, {QStringLiteral("x")});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, ErrorKind::WriteFailed);
    EXPECT_TRUE(result.error().message.contains(inMissingFolder));
    EXPECT_FALSE(QFile::exists(inMissingFolder));

    // A successful rewrite replaces the old content whole, leaving no temporary file behind.
    const QString path = dir.filePath("a.txt");
    writeBytes(path, "old content that is longer than the new one\r\n");
    ASSERT_TRUE(writeTextLines(path, {QStringLiteral("new")}).ok());
    EXPECT_EQ(readBytes(path), QByteArray("new\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}
