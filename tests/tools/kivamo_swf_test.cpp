// kivamo-swf info and tags from the outside: the printed facts, and one clear line for bad input.
#include "support/testfiles.h"
#include "support/toolrunner.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo::test;

TEST(KivamoSwfInfo, PrintsTheFactsOfEachCompression)
{
    QTemporaryDir dir;
    SwfWriter writer(8, {-200, 11000, 0, 8000}, 0x0C80);
    writer.backgroundColour(0, 0, 0).tag(12, {0}).showFrame().showFrame().showFrame();
    struct Case {
        SwfCompression compression;
        const char* signature;
        const char* compressed;
    } cases[] = {{SwfCompression::None, "FWS", "none"}, {SwfCompression::Zlib, "CWS", "zlib"},
                 {SwfCompression::Lzma, "ZWS", "lzma"}};
    for (const Case& c : cases) {
        Bytes movie = writer.finish(c.compression);
        ToolRun run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info"), storeFile(dir, QStringLiteral("m.swf"), movie)});
        ASSERT_FALSE(run.crashed);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(valueOf(run.out, QStringLiteral("signature")), QString::fromLatin1(c.signature));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("compressed")), QString::fromLatin1(c.compressed));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("version")), QStringLiteral("8"));
        // The declared length is the uncompressed movie's, whatever the compression.
        EXPECT_EQ(valueOf(run.out, QStringLiteral("file_length")), QString::number(writer.finish().size()));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("width")), QStringLiteral("560"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("height")), QStringLiteral("400"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("frame_rate")), QStringLiteral("12.5"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("frame_count")), QStringLiteral("3"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("tags")), QStringLiteral("6"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("scripts")), QStringLiteral("1"));
        EXPECT_EQ(valueOf(run.out, QStringLiteral("as3")), QStringLiteral("no"));
    }
}

TEST(KivamoSwfInfo, BadInputGivesOneLineAndStatusOne)
{
    QTemporaryDir dir;
    SwfWriter writer;
    writer.tag(2, Bytes(5000, 1)).showFrame();
    Bytes good = writer.finish(SwfCompression::Zlib);
    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    Bytes bomb = good;
    bomb[4] = bomb[5] = bomb[6] = bomb[7] = 0xFF;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* words;
    } cases[] = {
        {"text file", {'h', 'e', 'l', 'l', 'o', '\n'}, "not an SWF movie"},
        {"truncated", truncated, "truncated"},
        {"bomb", bomb, "exceeds the limit"},
        {"empty", {}, "not an SWF movie"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"info", "tags"}) {
            ToolRun run = runTool(QStringLiteral("kivamo-swf"),
                                  {QString::fromLatin1(command), storeFile(dir, QStringLiteral("bad.swf"), c.bytes)});
            ASSERT_FALSE(run.crashed) << c.name;
            EXPECT_EQ(run.exitCode, 1) << c.name << " " << command;
            EXPECT_EQ(run.err.count(u'\n'), 1) << c.name << ": " << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.words))) << run.err.toStdString();
            EXPECT_TRUE(run.out.isEmpty()) << c.name;
        }
    }
    ToolRun missing = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info"), dir.filePath("none.swf")});
    EXPECT_EQ(missing.exitCode, 1);
}

TEST(KivamoSwfInfo, WrongArgumentsGiveStatusTwo)
{
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("frobnicate")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info"), QStringLiteral("a"), QStringLiteral("b")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("--help")}).exitCode, 0);
}

TEST(KivamoSwfTags, OneLinePerTag)
{
    QTemporaryDir dir;
    SwfWriter writer;
    writer.backgroundColour(255, 0, 0).tag(39, Bytes(70, 0)).showFrame();
    Bytes movie = writer.finish();
    ToolRun run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("tags"), storeFile(dir, QStringLiteral("t.swf"), movie)});
    ASSERT_EQ(run.exitCode, 0);
    // The header of this movie is 8 + 9 (rectangle) + 4 bytes long, so the first tag starts at 21.
    const QStringList expected{
        QStringLiteral("21 9 SetBackgroundColor 3"),
        QStringLiteral("26 39 DefineSprite 70"),
        QStringLiteral("102 1 ShowFrame 0"),
        QStringLiteral("104 0 End 0"),
    };
    EXPECT_EQ(run.out.split(u'\n', Qt::SkipEmptyParts), expected);
}
