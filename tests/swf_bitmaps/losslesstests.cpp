// DefineBitsLossless and DefineBitsLossless2: each pixel format, row padding, palettes and premultiplied
// colours. Bodies are written here byte by byte and packed with zlib.
#include "imageencoders.h"

#include "swf/format/bitmap.h"
#include "swf/format/tags.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace kivamo::test;

namespace {

const Bytes kNoTables;

Bytes packed(const Bytes& data)
{
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    compress(out.data(), &size, data.data(), uLong(data.size()));
    out.resize(size);
    return out;
}

// format, width, height, [palette size - 1], then the zlib data.
Bytes losslessBody(std::uint8_t format, std::uint16_t width, std::uint16_t height, const Bytes& data,
                   int paletteEntries = 0)
{
    Bytes body{format, std::uint8_t(width), std::uint8_t(width >> 8), std::uint8_t(height),
               std::uint8_t(height >> 8)};
    if (format == 3)
        body.push_back(std::uint8_t(paletteEntries - 1));
    Bytes z = packed(data);
    body.insert(body.end(), z.begin(), z.end());
    return body;
}

swf::Result<swf::Bitmap> decode(std::uint16_t code, const Bytes& body)
{
    return swf::decodeBitmap(code, body.data(), body.size(), kNoTables);
}

void padRow(Bytes& data, std::size_t rowBytes)
{
    while (rowBytes++ % 4 != 0)
        data.push_back(0xEE);  // padding must be skipped, never read as a pixel
}

}  // namespace

TEST(LosslessBitmaps, ColourMappedRowsArePaddedToFourBytes)
{
    // Palette: red, green, blue. Pixel (x, y) uses entry (x + y) % 3.
    const std::uint32_t colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    for (std::uint16_t width = 1; width <= 6; ++width) {
        SCOPED_TRACE(width);
        const std::uint16_t height = 3;
        Bytes data{255, 0, 0, 0, 255, 0, 0, 0, 255};
        for (std::uint16_t y = 0; y < height; ++y) {
            for (std::uint16_t x = 0; x < width; ++x)
                data.push_back(std::uint8_t((x + y) % 3));
            padRow(data, width);
        }
        auto bitmap = decode(swf::tag::DefineBitsLossless, losslessBody(3, width, height, data, 3));
        ASSERT_TRUE(bitmap.ok()) << bitmap.error();
        ASSERT_EQ(bitmap->pixels.size(), std::size_t(width) * height);
        for (std::uint16_t y = 0; y < height; ++y)
            for (std::uint16_t x = 0; x < width; ++x)
                EXPECT_EQ(bitmap->pixels[y * width + x], colours[(x + y) % 3]) << x << "," << y;
    }
}

TEST(LosslessBitmaps, ColourMappedWithAlphaUsesPremultipliedPalette)
{
    // Lossless2 palette entries are RGBA, already premultiplied; an entry brighter than its alpha is
    // clamped. Index 3 lies past the palette and gives transparent black.
    Bytes data{
        100, 50, 25, 128,   // premultiplied half-transparent orange
        0, 0, 0, 0,         // transparent
        200, 10, 90, 100,   // red and blue above alpha: clamped to 100
    };
    Bytes indices{0, 1, 2, 3};
    data.insert(data.end(), indices.begin(), indices.end());
    auto bitmap = decode(swf::tag::DefineBitsLossless2, losslessBody(3, 4, 1, data, 3));
    ASSERT_TRUE(bitmap.ok()) << bitmap.error();
    EXPECT_EQ(bitmap->pixels,
              (std::vector<std::uint32_t>{0x80643219u, 0x00000000u, 0x64640A5Au, 0x00000000u}));
}

TEST(LosslessBitmaps, FifteenBitPixelsExpandToEightBitChannels)
{
    // Big-endian 0RRRRRGG GGGBBBBB; three pixels per row (6 bytes, padded to 8).
    auto pix15 = [](unsigned r, unsigned g, unsigned b) {
        unsigned v = (r << 10) | (g << 5) | b;
        return Bytes{std::uint8_t(v >> 8), std::uint8_t(v)};
    };
    Bytes data;
    for (int y = 0; y < 2; ++y) {
        for (const Bytes& p : {pix15(31, 0, 0), pix15(0, 31, 0), pix15(16, 8, 1)})
            data.insert(data.end(), p.begin(), p.end());
        padRow(data, 6);
    }
    auto bitmap = decode(swf::tag::DefineBitsLossless, losslessBody(4, 3, 2, data));
    ASSERT_TRUE(bitmap.ok()) << bitmap.error();
    std::vector<std::uint32_t> row{0xFFFF0000u, 0xFF00FF00u, 0xFF844208u};
    std::vector<std::uint32_t> expected = row;
    expected.insert(expected.end(), row.begin(), row.end());
    EXPECT_EQ(bitmap->pixels, expected);
    // Lossless2 has no 15-bit format.
    EXPECT_FALSE(decode(swf::tag::DefineBitsLossless2, losslessBody(4, 3, 2, data)).ok());
}

TEST(LosslessBitmaps, ThirtyTwoBitPixels)
{
    // Lossless: reserved byte then RGB (always opaque). Lossless2: premultiplied ARGB, clamped.
    Bytes data{
        0x00, 10, 20, 30,
        0x7F, 200, 100, 50,
        0xFF, 1, 2, 3,
        0x00, 0, 0, 0,
    };
    auto rgb = decode(swf::tag::DefineBitsLossless, losslessBody(5, 2, 2, data));
    ASSERT_TRUE(rgb.ok()) << rgb.error();
    EXPECT_EQ(rgb->pixels, (std::vector<std::uint32_t>{0xFF0A141Eu, 0xFFC86432u, 0xFF010203u, 0xFF000000u}));
    auto argb = decode(swf::tag::DefineBitsLossless2, losslessBody(5, 2, 2, data));
    ASSERT_TRUE(argb.ok()) << argb.error();
    EXPECT_EQ(argb->pixels, (std::vector<std::uint32_t>{0x00000000u, 0x7F7F6432u, 0xFF010203u, 0x00000000u}));
}

TEST(LosslessBitmaps, DamagedBodiesFailWithoutCrashing)
{
    Bytes full(4 * 4 * 4, 0x80);
    Bytes good = losslessBody(5, 4, 4, full);
    ASSERT_TRUE(decode(swf::tag::DefineBitsLossless2, good).ok());
    Bytes shortData = losslessBody(5, 4, 4, Bytes(full.begin(), full.end() - 1));
    Bytes cutZlib(good.begin(), good.begin() + 5 + (good.size() - 5) / 2);
    Bytes notZlib{5, 4, 0, 4, 0, 'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'};
    struct Case {
        const char* name;
        std::uint16_t code;
        Bytes body;
    };
    const Case cases[] = {
        {"empty body", swf::tag::DefineBitsLossless, {}},
        {"header cut short", swf::tag::DefineBitsLossless, {5, 4, 0, 4}},
        {"palette size missing", swf::tag::DefineBitsLossless, {3, 4, 0, 4, 0}},
        {"unknown format", swf::tag::DefineBitsLossless, losslessBody(6, 4, 4, full)},
        {"zero width", swf::tag::DefineBitsLossless2, losslessBody(5, 0, 4, full)},
        {"zero height", swf::tag::DefineBitsLossless2, losslessBody(5, 4, 0, full)},
        {"pixels one byte short", swf::tag::DefineBitsLossless2, shortData},
        {"zlib stream cut in half", swf::tag::DefineBitsLossless2, cutZlib},
        {"not zlib", swf::tag::DefineBitsLossless2, notZlib},
        {"palette but no indices", swf::tag::DefineBitsLossless, losslessBody(3, 4, 4, Bytes(768, 1), 256)},
        // 65535 × 65535 claims 16 GiB of pixels; refused before anything is allocated.
        {"beyond the limits", swf::tag::DefineBitsLossless2, losslessBody(5, 65535, 65535, full)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bitmap = decode(c.code, c.body);
        EXPECT_FALSE(bitmap.ok());
        EXPECT_FALSE(bitmap.error().empty());
    }
}

TEST(LosslessBitmaps, ProbeAndTagCodes)
{
    Bytes body = losslessBody(3, 300, 7, {}, 2);
    auto size = swf::probeBitmapSize(swf::tag::DefineBitsLossless, body.data(), body.size(), kNoTables);
    EXPECT_EQ(size.width, 300u);
    EXPECT_EQ(size.height, 7u);
    for (std::uint16_t code : {6, 20, 21, 35, 36, 90})
        EXPECT_TRUE(swf::isBitmapTag(code)) << code;
    for (std::uint16_t code : {0, 2, 8, 14, 91})
        EXPECT_FALSE(swf::isBitmapTag(code)) << code;
    EXPECT_FALSE(swf::decodeBitmap(swf::tag::DefineShape, body.data(), body.size(), kNoTables).ok());
    EXPECT_FALSE(swf::decodeBitmap(swf::tag::DefineBitsLossless, nullptr, 100, kNoTables).ok());
}
