// The details window's header reader: fixed-header decoding at every field size, and its failures.
#include "info/swfheader.h"

#include "support/testfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {


// The fixed header of an uncompressed movie: signature, version, length, rectangle, rate, count.
Bytes headerBytes(const TwipsRect& rect, unsigned nbits, std::uint16_t rate, std::uint16_t frames)
{
    ByteWriter w;
    w.u8('F').u8('W').u8('S').u8(9).u32(1000);
    w.bytes(rectBytes(rect, nbits));
    w.u16(rate).u16(frames);
    return w.data();
}

}  // namespace

TEST(SwfHeader, DecodesEveryFieldSize)
{
    struct Case {
        const char* name;
        TwipsRect rect;
        unsigned nbits;
        std::uint16_t rate;
        std::uint16_t frames;
        qint32 left, top, right, bottom;
        quint8 fps;
    } cases[] = {
        {"typical 550x400", {0, 11000, 0, 8000}, 15, 0x0C80, 1, 0, 0, 550, 400, 12},
        {"truncation not rounding", {0, 10999, 0, 7999}, 15, 24 << 8, 2, 0, 0, 549, 399, 24},
        {"negative Xmin", {-200, 11000, 0, 8000}, 15, 24 << 8, 65535, -10, 0, 550, 400, 24},
        {"negative truncates toward zero", {-219, 0, -39, 0}, 9, 1 << 8, 3, -10, -1, 0, 0, 1},
        {"Nbits 31", {-1000000000, 1000000000, -20, 1073741823}, 31, 30 << 8, 4, -50000000, -1, 50000000,
         53687091, 30},
        {"Nbits 0", {0, 0, 0, 0}, 0, 0x1D00, 7, 0, 0, 0, 0, 29},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        QString path = storeFile(dir, QStringLiteral("m.swf"), headerBytes(c.rect, c.nbits, c.rate, c.frames));
        auto result = readHeader(path);
        ASSERT_TRUE(result.ok()) << c.name;
        const flashinfos& info = result.value();
        EXPECT_TRUE(info.isFlash) << c.name;
        EXPECT_EQ(info.signature, QStringLiteral("FWS"));
        EXPECT_EQ(info.version, 9);
        EXPECT_EQ(info.frameRect.left, c.left) << c.name;
        EXPECT_EQ(info.frameRect.top, c.top) << c.name;
        EXPECT_EQ(info.frameRect.right, c.right) << c.name;
        EXPECT_EQ(info.frameRect.bottom, c.bottom) << c.name;
        EXPECT_EQ(info.frameRate, c.fps) << c.name;
        EXPECT_EQ(info.frameCount, c.frames) << c.name;
    }
}

TEST(SwfHeader, WidthComesFromTruncatedEdges)
{
    QTemporaryDir dir;
    auto info = readHeader(storeFile(dir, QStringLiteral("a.swf"), headerBytes({-200, 11000, 0, 8000}, 15, 12 << 8, 1)));
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->width(), 560);
    EXPECT_EQ(info->height(), 400);
}

TEST(SwfHeader, ExactBytesOfTheTypicalMovie)
{
    // Nbits 15 gives a 9-byte rectangle: the rate's integer byte sits at 18, the count at 19 and 20.
    Bytes bytes = headerBytes({0, 11000, 0, 8000}, 15, 0x0C80, 0x0102);
    ASSERT_EQ(bytes.size(), 21u);
    EXPECT_EQ(bytes[18], 0x0C);
    EXPECT_EQ(bytes[19], 0x02);
    EXPECT_EQ(bytes[20], 0x01);
    QTemporaryDir dir;
    auto info = readHeader(storeFile(dir, QStringLiteral("a.swf"), bytes));
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->frameCount, 0x0102);
}

TEST(SwfHeader, FilesThatAreNoMovie)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* signature;
    } cases[] = {
        {"lower case", {'f', 'w', 's', 9, 0, 0, 0, 0, 0x78, 0, 0, 0}, "fws"},
        {"zlib lower case", {'c', 'w', 's', 9}, "cws"},
        {"LZMA movie", {'Z', 'W', 'S', 13, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "ZWS"},
        {"two bytes", {'F', 'W'}, "FW"},
        {"empty", {}, ""},
        {"text", {'a', 'b', 'c', 'd'}, "abc"},
    };
    for (const Case& c : cases) {
        auto info = readHeader(storeFile(dir, QStringLiteral("x.swf"), c.bytes));
        ASSERT_TRUE(info.ok()) << c.name;
        EXPECT_FALSE(info->isFlash) << c.name;
        EXPECT_EQ(info->signature.toStdString(), c.signature) << c.name;
        EXPECT_EQ(info->version, 0) << c.name;
        EXPECT_EQ(info->frameRect.left, -1) << c.name;
        EXPECT_EQ(info->frameRect.bottom, -1) << c.name;
        EXPECT_EQ(info->frameCount, 0) << c.name;
        EXPECT_EQ(info->frameRate, 0) << c.name;
    }
    auto missing = readHeader(dir.filePath("missing.swf"));
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(missing->signature, QString());
    EXPECT_FALSE(missing->isFlash);
}

TEST(SwfHeader, CompressedMovieGivesSignatureAndVersionWithoutDecompressing)
{
    SwfWriter writer(11);
    writer.showFrame();
    QTemporaryDir dir;
    auto info = readHeader(storeFile(dir, QStringLiteral("c.swf"), writer.finish(SwfCompression::Zlib)));
    ASSERT_TRUE(info.ok());
    EXPECT_TRUE(info->isFlash);
    EXPECT_EQ(info->signature, QStringLiteral("CWS"));
    EXPECT_EQ(info->version, 11);
}

TEST(SwfHeader, ShortMoviesFailWithStreamReadError)
{
    QTemporaryDir dir;
    Bytes full = headerBytes({0, 11000, 0, 8000}, 15, 0x0C80, 1);
    // 8 bytes ("FWS" + version + length), inside the rectangle, before and inside the count.
    for (std::size_t size : {std::size_t(8), std::size_t(4), std::size_t(12), std::size_t(19), std::size_t(20)}) {
        Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
        auto info = readHeader(storeFile(dir, QStringLiteral("short.swf"), cut));
        ASSERT_FALSE(info.ok()) << size;
        EXPECT_EQ(info.error().message, QStringLiteral("Stream read error")) << size;
    }
}

TEST(SwfHeader, UnopenableFileNamesThePath)
{
    QTemporaryDir dir;
    // A folder exists but cannot be opened as a file.
    auto info = readHeader(dir.path());
    ASSERT_FALSE(info.ok());
    EXPECT_EQ(info.error().message, QStringLiteral("Cannot open file %1").arg(dir.path()));
}

TEST(FileFacts, SizeAndTimesOrUntouched)
{
    QTemporaryDir dir;
    QString path = storeFile(dir, QStringLiteral("f.swf"), Bytes(1536, 0));
    FileFacts facts;
    readFileFacts(path, facts);
    EXPECT_TRUE(facts.found);
    EXPECT_EQ(facts.size, 1536);
    QDateTime modified = fileTimeToLocalDateTime(facts.modified);
    EXPECT_LT(qAbs(modified.secsTo(QDateTime::currentDateTime())), 3600);

    FileFacts untouched;
    untouched.size = 77;
    readFileFacts(dir.filePath("missing.swf"), untouched);
    EXPECT_FALSE(untouched.found);
    EXPECT_EQ(untouched.size, 77);
}

TEST(FileFacts, FileTimesConvert)
{
    const qint64 epoch = 116444736000000000LL;  // 1970-01-01 00:00 UTC in 100 ns ticks since 1601
    EXPECT_EQ(fileTimeToLocalDateTime(epoch).toUTC(), QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
    QDateTime t = QDateTime::fromString(QStringLiteral("2024-02-29T13:14:15.678Z"), Qt::ISODateWithMs);
    EXPECT_EQ(fileTimeToLocalDateTime(fileTimeFromDateTime(t)), t.toLocalTime());
    EXPECT_EQ(fileTimeFromDateTime(QDateTime()), 0);
}
