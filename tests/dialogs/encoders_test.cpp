// The snapshot writers checked by decoding what they wrote: GIF palette and levels with giflib,
// JPEG quantisation tables and frame type with libjpeg, BMP header fields and pixels.
#include "dialogs/snapshotencoders.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

namespace kivamo {
namespace {

struct MemoryReader {
    const QByteArray* bytes;
    qsizetype at = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const int n = int(std::min<qsizetype>(length, reader->bytes->size() - reader->at));
    memcpy(out, reader->bytes->constData() + reader->at, size_t(n));
    reader->at += n;
    return n;
}

QImage randomPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, random.generate() | 0xff000000u);
    return picture;
}

TEST(SnapshotFormat, ChosenByTheUpperCasedExtensionOnly)
{
    const struct {
        const char* name;
        std::optional<SnapshotFormat> format;
    } cases[] = {
        {"/p/a.bmp", SnapshotFormat::Bmp},  {"/p/a.BMP", SnapshotFormat::Bmp}, {"/p/a.Gif", SnapshotFormat::Gif},
        {"/p/a.jpg", SnapshotFormat::Jpeg}, {"/p/a.JPG", SnapshotFormat::Jpeg}, {"/p/a.jpeg", std::nullopt},
        {"/p/a.png", std::nullopt},         {"/p/a", std::nullopt},             {"/p.jpg/a", std::nullopt},
        {"/p/a.jpg.tmp", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(snapshotFormatForFile(QString::fromUtf8(c.name)), c.format) << c.name;
}

TEST(SnapshotFormat, GifLevelsAtEveryBoundary)
{
    const int cases[][2] = {{0, 0},   {47, 0},  {48, 1},  {98, 1},  {99, 2},  {149, 2},
                            {150, 3}, {200, 3}, {201, 4}, {251, 4}, {252, 5}, {255, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(gifLevel(c[0]), c[1]) << c[0];
    EXPECT_EQ(gifPaletteIndex(255, 255, 255), 215);
    EXPECT_EQ(gifPaletteIndex(255, 0, 48), 181);
}

TEST(GifWriter, FixedPaletteAndUnditheredLevelsSurviveDecoding)
{
    const QImage picture = randomPicture(37, 23);
    Result<QByteArray> bytes = encodeGif(picture);
    ASSERT_TRUE(bytes.ok());
    MemoryReader reader{&bytes.value()};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readFromMemory, &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 1);
    ASSERT_NE(gif->SColorMap, nullptr);
    ASSERT_EQ(gif->SColorMap->ColorCount, 256);
    for (int i = 0; i < 216; ++i) {
        const GifColorType c = gif->SColorMap->Colors[i];
        EXPECT_EQ(c.Red, 51 * (i / 36));
        EXPECT_EQ(c.Green, 51 * (i / 6 % 6));
        EXPECT_EQ(c.Blue, 51 * (i % 6));
    }
    const SavedImage& image = gif->SavedImages[0];
    ASSERT_EQ(image.ImageDesc.Width, 37);
    ASSERT_EQ(image.ImageDesc.Height, 23);
    EXPECT_FALSE(image.ImageDesc.Interlace);
    int wrong = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
            const QRgb p = picture.pixel(x, y);
            wrong += image.RasterBits[y * 37 + x] != gifPaletteIndex(qRed(p), qGreen(p), qBlue(p));
        }
    EXPECT_EQ(wrong, 0);
    DGifCloseFile(gif, &error);
}

// Quantisation tables of the standard's quality scaling at 90: entries (base * 20 + 50) / 100.
const unsigned kLuminanceBase[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                     14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                     18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                     49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

TEST(JpegWriter, BaselineColourAtQualityNinety)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, 128));
    Result<QByteArray> bytes = encodeJpeg(picture);
    ASSERT_TRUE(bytes.ok());
    EXPECT_TRUE(bytes->contains(QByteArray("\xff\xc0", 2))) << "a baseline frame marker (SOF0)";
    EXPECT_FALSE(bytes->contains(QByteArray("\xff\xc2", 2))) << "no progressive frame marker";

    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes->constData()), bytes->size());
    ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
    EXPECT_FALSE(info.progressive_mode);
    EXPECT_EQ(info.num_components, 3);
    EXPECT_EQ(info.jpeg_color_space, JCS_YCbCr);
    EXPECT_EQ(int(info.image_width), 64);
    ASSERT_NE(info.quant_tbl_ptrs[0], nullptr);
    for (int i = 0; i < 64; ++i) {
        // The file stores the table in zig-zag order; libjpeg hands it back in natural order.
        const unsigned expected = std::clamp((kLuminanceBase[i] * 20 + 50) / 100, 1u, 255u);
        EXPECT_EQ(info.quant_tbl_ptrs[0]->quantval[i], expected) << "entry " << i;
    }
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(64 * 3);
    int outliers = 0;
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        JSAMPROW rows[] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < 64; ++x)
            outliers += std::abs(row[size_t(x) * 3] - qRed(picture.pixel(x, y))) > 8;
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    EXPECT_LE(outliers, 10);
}

TEST(BmpWriter, TwentyFourBitsUncompressedAndExact)
{
    const QImage picture = randomPicture(13, 7);
    Result<QByteArray> bytes = encodeBmp(picture);
    ASSERT_TRUE(bytes.ok());
    auto word = [&](int at, int size) {
        unsigned v = 0;
        for (int i = size - 1; i >= 0; --i)
            v = (v << 8) | std::uint8_t(bytes.value()[at + i]);
        return v;
    };
    EXPECT_TRUE(bytes->startsWith("BM"));
    EXPECT_EQ(word(18, 4), 13u);
    EXPECT_EQ(word(22, 4), 7u);
    EXPECT_EQ(word(28, 2), 24u) << "bits per pixel";
    EXPECT_EQ(word(30, 4), 0u) << "no compression";
    const QImage back = QImage::fromData(bytes.value(), "BMP").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(back, picture);
}

TEST(SnapshotFile, FailedWritesLeaveTheOldFileAndNoTemporaries)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("keep.gif");
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old picture");
    old.close();

    EXPECT_FALSE(writeSnapshotFile(QImage(), SnapshotFormat::Gif, name).ok()) << "nothing to encode";
    QFile check(name);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("old picture"));
    EXPECT_FALSE(writeSnapshotFile(randomPicture(4, 4), SnapshotFormat::Bmp, dir.filePath("none/x.bmp")).ok());
    QDir().mkdir(dir.filePath("folder.jpg"));
    EXPECT_FALSE(writeSnapshotFile(randomPicture(4, 4), SnapshotFormat::Jpeg, dir.filePath("folder.jpg")).ok());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.gif"});
}

TEST(SnapshotFile, EachFormatWritesAFileQtCanRead)
{
    QTemporaryDir dir;
    const QImage picture = randomPicture(20, 10);
    for (const char* name : {"a.bmp", "a.gif", "a.jpg"}) {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(writeSnapshotFile(picture, *snapshotFormatForFile(path), path).ok()) << name;
        EXPECT_EQ(QImage(path).size(), QSize(20, 10)) << name;
    }
}

}  // namespace
}  // namespace kivamo
