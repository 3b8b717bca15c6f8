// JPEG bitmaps: DefineBits with the movie's tables, DefineBitsJPEG2, the stray-marker quirk, and the
// alpha planes of DefineBitsJPEG3/4. Tag bodies are built here from JPEGs libjpeg encodes.
#include "imageencoders.h"

#include "swf/format/bitmap.h"
#include "swf/format/tags.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace kivamo::test;

namespace {

const Bytes kNoTables;

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes u32le(std::uint32_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

Bytes zlibBytes(const Bytes& data)
{
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    compress(out.data(), &size, data.data(), uLong(data.size()));
    out.resize(size);
    return out;
}

Bytes alphaPlane(const Picture& p)
{
    Bytes alpha;
    for (const Rgba& c : p.pixels)
        alpha.push_back(c.a);
    return alpha;
}

// DefineBitsJPEG3 body: image length, image, zlib alpha plane.
Bytes jpeg3Body(const Bytes& image, const Bytes& alphaZlib)
{
    return concat({u32le(std::uint32_t(image.size())), image, alphaZlib});
}

// DefineBitsJPEG4 body: image length, deblocking filter (8.8), image, zlib alpha plane.
Bytes jpeg4Body(const Bytes& image, const Bytes& alphaZlib)
{
    return concat({u32le(std::uint32_t(image.size())), Bytes{0x00, 0x01}, image, alphaZlib});
}

swf::Result<swf::Bitmap> decode(std::uint16_t code, const Bytes& body, const Bytes& tables = kNoTables)
{
    return swf::decodeBitmap(code, body.data(), body.size(), tables);
}

Picture opaque(Picture p)
{
    for (Rgba& c : p.pixels)
        c.a = 255;
    return p;
}

const Bytes kStrayHeader{0xFF, 0xD9, 0xFF, 0xD8};

}  // namespace

TEST(JpegBitmaps, CompleteStreamsDecodeToTheirColours)
{
    struct Case {
        const char* name;
        std::uint32_t width, height;
        bool progressive, grey;
    };
    const Case cases[] = {
        {"one pixel", 1, 1, false, false},     {"odd size", 17, 9, false, false},
        {"baseline", 64, 48, false, false},    {"progressive", 40, 30, true, false},
        {"greyscale", 33, 20, false, true},    {"tall", 3, 70, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture = gradientPicture(c.width, c.height);
        if (c.grey)
            for (Rgba& p : picture.pixels)
                p.g = p.b = p.r;
        auto bitmap = decode(swf::tag::DefineBitsJPEG2, encodeJpeg(picture, 95, c.progressive, c.grey));
        ASSERT_TRUE(bitmap.ok()) << bitmap.error();
        EXPECT_EQ(comparePixels(bitmap.value(), picture, 16, picture.pixels.size() / 50), "");
    }
}

TEST(JpegBitmaps, DefineBitsUsesTheMovieTables)
{
    Picture picture = gradientPicture(32, 24);
    Bytes jpeg = encodeJpeg(picture);
    Bytes tables, image;
    splitJpegTables(jpeg, tables, image);
    ASSERT_GT(tables.size(), 100u);

    struct Case {
        const char* name;
        Bytes tables, body;
    };
    const Case cases[] = {
        {"tables apart", tables, image},
        {"stray header before the image", tables, concat({kStrayHeader, image})},
        {"stray header before the tables", concat({kStrayHeader, tables}), image},
        {"no tables tag, complete image", {}, jpeg},
        {"tables tag holding only its markers", Bytes{0xFF, 0xD8, 0xFF, 0xD9}, jpeg},
        {"tables repeated inside the image", tables, jpeg},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bitmap = decode(swf::tag::DefineBits, c.body, c.tables);
        ASSERT_TRUE(bitmap.ok()) << bitmap.error();
        EXPECT_EQ(comparePixels(bitmap.value(), picture, 16, 10), "");
    }
    // Without its tables the image cannot be decoded; that is a failure, not a picture of noise.
    EXPECT_FALSE(decode(swf::tag::DefineBits, image).ok());
    // Later tags carry their own tables; the movie's are not consulted.
    EXPECT_FALSE(decode(swf::tag::DefineBitsJPEG2, image, tables).ok());
}

TEST(JpegBitmaps, StrayHeaderIsRemovedFromCompleteStreams)
{
    Picture picture = gradientPicture(20, 20);
    Bytes jpeg = encodeJpeg(picture);
    Bytes withoutStart(jpeg.begin() + 2, jpeg.end());
    const Bytes bodies[] = {
        concat({kStrayHeader, jpeg}),
        concat({kStrayHeader, kStrayHeader, jpeg}),
        concat({Bytes{0xFF, 0xD9}, jpeg}),
        concat({kStrayHeader, withoutStart}),
    };
    for (std::size_t i = 0; i < std::size(bodies); ++i) {
        SCOPED_TRACE(i);
        auto bitmap = decode(swf::tag::DefineBitsJPEG2, bodies[i]);
        ASSERT_TRUE(bitmap.ok()) << bitmap.error();
        EXPECT_EQ(comparePixels(bitmap.value(), picture, 16, 8), "");
        auto three = decode(swf::tag::DefineBitsJPEG3, jpeg3Body(bodies[i], {}));
        ASSERT_TRUE(three.ok()) << three.error();
    }
}

TEST(JpegBitmaps, AlphaPlanesArePremultipliedIntoTheColours)
{
    Picture picture = gradientPicture(24, 16, true);
    Bytes jpeg = encodeJpeg(picture);
    Bytes alpha = zlibBytes(alphaPlane(picture));
    for (std::uint16_t code : {swf::tag::DefineBitsJPEG3, swf::tag::DefineBitsJPEG4}) {
        SCOPED_TRACE(code);
        Bytes body = code == swf::tag::DefineBitsJPEG3 ? jpeg3Body(jpeg, alpha) : jpeg4Body(jpeg, alpha);
        auto bitmap = decode(code, body);
        ASSERT_TRUE(bitmap.ok()) << bitmap.error();
        EXPECT_EQ(comparePixels(bitmap.value(), picture, 16, 8), "");
        // The first row is fully transparent: premultiplied, every channel is zero.
        for (std::uint32_t x = 0; x < picture.width; ++x)
            EXPECT_EQ(bitmap->pixels[x], 0u) << x;
    }
}

TEST(JpegBitmaps, MissingOrShortAlphaPlanesLeaveTheRestOpaque)
{
    Picture picture = gradientPicture(16, 10, true);
    Bytes jpeg = encodeJpeg(picture);
    Bytes fullAlpha = alphaPlane(picture);

    auto none = decode(swf::tag::DefineBitsJPEG3, jpeg3Body(jpeg, {}));
    ASSERT_TRUE(none.ok()) << none.error();
    EXPECT_EQ(comparePixels(none.value(), opaque(picture), 16, 4), "");

    // Half the plane: the first five rows take their alpha, the others stay opaque.
    Bytes half(fullAlpha.begin(), fullAlpha.begin() + fullAlpha.size() / 2);
    auto partial = decode(swf::tag::DefineBitsJPEG3, jpeg3Body(jpeg, zlibBytes(half)));
    ASSERT_TRUE(partial.ok()) << partial.error();
    Picture expected = picture;
    for (std::size_t i = half.size(); i < expected.pixels.size(); ++i)
        expected.pixels[i].a = 255;
    EXPECT_EQ(comparePixels(partial.value(), expected, 16, 4), "");

    auto garbage = decode(swf::tag::DefineBitsJPEG3, jpeg3Body(jpeg, Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(garbage.ok());
}

TEST(JpegBitmaps, PngAndGifPayloadsIgnoreTheAlphaPlane)
{
    Picture picture = gradientPicture(12, 8, true);
    Bytes zeroAlpha = zlibBytes(Bytes(picture.pixels.size(), 0));
    auto png = decode(swf::tag::DefineBitsJPEG3, jpeg3Body(encodePng(picture), zeroAlpha));
    ASSERT_TRUE(png.ok()) << png.error();
    EXPECT_EQ(comparePixels(png.value(), picture, 1), "");

    GifImage gif;
    gif.width = 2;
    gif.height = 1;
    gif.indices = {0, 1};
    gif.palette = {{255, 0, 0, 255}, {0, 0, 255, 255}};
    auto fromGif = decode(swf::tag::DefineBitsJPEG4, jpeg4Body(encodeGif(gif), zlibBytes(Bytes{0, 0})));
    ASSERT_TRUE(fromGif.ok()) << fromGif.error();
    EXPECT_EQ(fromGif->pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF0000FFu}));
}

TEST(JpegBitmaps, ProbeReadsTheDeclaredSize)
{
    Picture picture = gradientPicture(37, 21);
    Bytes jpeg = encodeJpeg(picture);
    Bytes tables, image;
    splitJpegTables(jpeg, tables, image);
    auto size = swf::probeBitmapSize(swf::tag::DefineBits, image.data(), image.size(), tables);
    EXPECT_EQ(size.width, 37u);
    EXPECT_EQ(size.height, 21u);
    Bytes three = jpeg3Body(concat({kStrayHeader, jpeg}), {});
    size = swf::probeBitmapSize(swf::tag::DefineBitsJPEG3, three.data(), three.size(), kNoTables);
    EXPECT_EQ(size.width, 37u);
    EXPECT_EQ(size.height, 21u);
    Bytes png = encodePng(gradientPicture(5, 3));
    size = swf::probeBitmapSize(swf::tag::DefineBitsJPEG2, png.data(), png.size(), kNoTables);
    EXPECT_EQ(size.width, 5u);
    EXPECT_EQ(size.height, 3u);
    size = swf::probeBitmapSize(swf::tag::DefineBitsJPEG2, png.data(), 10, kNoTables);
    EXPECT_EQ(size.width, 0u);
}
