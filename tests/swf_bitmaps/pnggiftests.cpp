// PNG and GIF images stored in DefineBitsJPEG2: colour types, transparency, interlacing, placement on
// the GIF's logical screen.
#include "imageencoders.h"

#include "swf/format/bitmap.h"
#include "swf/format/tags.h"

#include <gtest/gtest.h>

using namespace kivamo::test;

namespace {

const Bytes kNoTables;

swf::Result<swf::Bitmap> decode(const Bytes& body)
{
    return swf::decodeBitmap(swf::tag::DefineBitsJPEG2, body.data(), body.size(), kNoTables);
}

// A picture of four colours (one half transparent, one fully transparent) for palette images.
Picture fourColours(std::uint32_t width, std::uint32_t height)
{
    const Rgba colours[4] = {{255, 0, 0, 255}, {0, 128, 255, 128}, {10, 200, 30, 0}, {255, 255, 255, 255}};
    Picture p;
    p.width = width;
    p.height = height;
    for (std::uint32_t i = 0; i < width * height; ++i)
        p.pixels.push_back(colours[(i / 3 + i / width) % 4]);
    return p;
}

}  // namespace

TEST(PngBitmaps, EachColourTypeDecodesExactly)
{
    struct Case {
        const char* name;
        Picture picture;
        PngKind kind;
        bool interlaced;
    };
    const Case cases[] = {
        {"RGBA", gradientPicture(31, 17, true), PngKind::Rgba, false},
        {"RGB", gradientPicture(16, 16), PngKind::Rgb, false},
        {"palette with tRNS", fourColours(13, 11), PngKind::Palette, false},
        {"interlaced RGBA", gradientPicture(29, 23, true), PngKind::Rgba, true},
        {"one pixel", gradientPicture(1, 1, true), PngKind::Rgba, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bitmap = decode(encodePng(c.picture, c.kind, c.interlaced));
        ASSERT_TRUE(bitmap.ok()) << bitmap.error();
        // Premultiplying may round one step differently; nothing more.
        EXPECT_EQ(comparePixels(bitmap.value(), c.picture, 1), "");
    }
}

TEST(PngBitmaps, DamagedPngFails)
{
    Bytes png = encodePng(gradientPicture(20, 20, true));
    Bytes cut(png.begin(), png.begin() + png.size() / 2);
    Bytes badCrc = png;
    badCrc[29] ^= 0xFF;  // inside the IHDR chunk's CRC-protected data
    // IHDR claiming 100000 × 100000 pixels.
    Bytes huge = encodePng(gradientPicture(2, 2));
    huge[16] = 0x00, huge[17] = 0x01, huge[18] = 0x86, huge[19] = 0xA0;
    huge[20] = 0x00, huge[21] = 0x01, huge[22] = 0x86, huge[23] = 0xA0;
    for (const Bytes& body : {cut, Bytes(png.begin(), png.begin() + 8), badCrc, huge}) {
        auto bitmap = decode(body);
        EXPECT_FALSE(bitmap.ok());
        EXPECT_EQ(bitmap.error().rfind("PNG: ", 0), 0u) << bitmap.error();
    }
}

TEST(GifBitmaps, FirstImageWithTransparencyAndInterlace)
{
    GifImage image;
    image.width = 5;
    image.height = 11;
    image.palette = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {9, 9, 9, 255}};
    for (std::uint32_t i = 0; i < image.width * image.height; ++i)
        image.indices.push_back(std::uint8_t((i + i / image.width) % 4));
    for (bool interlaced : {false, true}) {
        for (int transparent : {-1, 3}) {
            SCOPED_TRACE(std::to_string(interlaced) + " " + std::to_string(transparent));
            GifImage s = image;
            s.interlaced = interlaced;
            s.transparentIndex = transparent;
            Picture expected;
            expected.width = s.width;
            expected.height = s.height;
            for (std::uint8_t index : s.indices)
                expected.pixels.push_back(index == transparent ? Rgba{0, 0, 0, 0} : s.palette[index]);
            auto bitmap = decode(encodeGif(s));
            ASSERT_TRUE(bitmap.ok()) << bitmap.error();
            EXPECT_EQ(comparePixels(bitmap.value(), expected, 0), "");
        }
    }
}

TEST(GifBitmaps, ImageIsPlacedOnTheLogicalScreen)
{
    // A 2 × 2 image at (3, 1) on a 6 × 4 screen; what it does not cover is transparent.
    GifImage image;
    image.width = 2;
    image.height = 2;
    image.indices = {0, 1, 1, 0};
    image.palette = {{255, 255, 0, 255}, {0, 0, 0, 255}};
    image.left = 3;
    image.top = 1;
    image.screenWidth = 6;
    image.screenHeight = 4;
    auto bitmap = decode(encodeGif(image));
    ASSERT_TRUE(bitmap.ok()) << bitmap.error();
    ASSERT_EQ(bitmap->width, 6u);
    ASSERT_EQ(bitmap->height, 4u);
    std::vector<std::uint32_t> expected(24, 0);
    expected[1 * 6 + 3] = 0xFFFFFF00u;
    expected[1 * 6 + 4] = 0xFF000000u;
    expected[2 * 6 + 3] = 0xFF000000u;
    expected[2 * 6 + 4] = 0xFFFFFF00u;
    EXPECT_EQ(bitmap->pixels, expected);
    auto size = swf::probeBitmapSize(swf::tag::DefineBitsJPEG2, encodeGif(image).data(), encodeGif(image).size(),
                                     kNoTables);
    EXPECT_EQ(size.width, 6u);
    EXPECT_EQ(size.height, 4u);
}

TEST(GifBitmaps, DamagedGifFails)
{
    GifImage image;
    image.width = 40;
    image.height = 40;
    image.indices.assign(1600, 1);
    image.palette = {{1, 2, 3, 255}, {4, 5, 6, 255}};
    Bytes gif = encodeGif(image);
    Bytes header(gif.begin(), gif.begin() + 13 + 6);  // signature, screen and colour table only
    Bytes terminated(gif.begin(), gif.begin() + 13 + 6 + 1);
    terminated.back() = 0x3B;  // trailer without any image
    Bytes cut(gif.begin(), gif.begin() + gif.size() / 2);
    for (const Bytes& body : {header, terminated, cut, Bytes{'G', 'I', 'F', '8', '9', 'a'}}) {
        auto bitmap = decode(body);
        EXPECT_FALSE(bitmap.ok());
        EXPECT_FALSE(bitmap.error().empty());
    }
}
