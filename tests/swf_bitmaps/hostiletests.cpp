// Hostile bitmap data: every tag kind with bytes flipped and cut at many places must end in a failure
// or a bitmap of consistent size, never a crash, a hang or an allocation beyond the limits.
#include "imageencoders.h"

#include "swf/format/bitmap.h"
#include "swf/format/tags.h"
#include "swf/limits.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace kivamo::test;

namespace {

Bytes zlibBytes(const Bytes& data)
{
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    compress(out.data(), &size, data.data(), uLong(data.size()));
    out.resize(size);
    return out;
}

struct Sample {
    const char* name;
    std::uint16_t code;
    Bytes body;
    Bytes tables;
};

std::vector<Sample> samples()
{
    Picture picture = gradientPicture(24, 18, true);
    Bytes jpeg = encodeJpeg(picture);
    Bytes progressive = encodeJpeg(picture, 80, true);
    Bytes tables, image;
    splitJpegTables(jpeg, tables, image);
    Bytes jpeg3{std::uint8_t(jpeg.size()), std::uint8_t(jpeg.size() >> 8), 0, 0};
    jpeg3.insert(jpeg3.end(), jpeg.begin(), jpeg.end());
    Bytes alpha = zlibBytes(Bytes(picture.pixels.size(), 0x40));
    jpeg3.insert(jpeg3.end(), alpha.begin(), alpha.end());
    GifImage gif;
    gif.width = 9;
    gif.height = 7;
    gif.indices.assign(63, 2);
    gif.palette = {{1, 1, 1, 255}, {2, 2, 2, 255}, {3, 3, 3, 255}};
    gif.interlaced = true;
    Bytes lossless{3, 5, 0, 3, 0, 1};
    // Two RGBA palette entries, then three rows of five indices padded to eight bytes.
    Bytes losslessData{1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                       1, 1, 1, 1, 1, 0, 0, 0};
    Bytes z = zlibBytes(losslessData);
    lossless.insert(lossless.end(), z.begin(), z.end());
    return {
        {"DefineBits", swf::tag::DefineBits, image, tables},
        {"JPEG2 progressive", swf::tag::DefineBitsJPEG2, progressive, {}},
        {"JPEG3", swf::tag::DefineBitsJPEG3, jpeg3, {}},
        {"PNG", swf::tag::DefineBitsJPEG2, encodePng(picture), {}},
        {"GIF", swf::tag::DefineBitsJPEG2, encodeGif(gif), {}},
        {"lossless", swf::tag::DefineBitsLossless2, lossless, {}},
    };
}

void expectSane(const swf::Result<swf::Bitmap>& bitmap)
{
    if (!bitmap.ok()) {
        EXPECT_FALSE(bitmap.error().empty());
        return;
    }
    EXPECT_GT(bitmap->width, 0u);
    EXPECT_LE(std::uint64_t(bitmap->width) * bitmap->height, swf::limits::kMaxBitmapPixels);
    EXPECT_EQ(bitmap->pixels.size(), std::size_t(bitmap->width) * bitmap->height);
}

}  // namespace

TEST(HostileBitmaps, EveryPrefixEndsCleanly)
{
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(swf::decodeBitmap(s.code, s.body.data(), s.body.size(), s.tables).ok());
        for (std::size_t length = 0; length < s.body.size(); ++length) {
            Bytes cut(s.body.begin(), s.body.begin() + length);
            expectSane(swf::decodeBitmap(s.code, cut.data(), cut.size(), s.tables));
        }
    }
}

TEST(HostileBitmaps, FlippedBytesEndCleanly)
{
    // A fixed pseudo-random sequence, so failures repeat.
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        for (int round = 0; round < 400; ++round) {
            Bytes body = s.body;
            for (int flips = 1 + next() % 4; flips > 0; --flips)
                body[next() % body.size()] ^= std::uint8_t(1 + next() % 255);
            expectSane(swf::decodeBitmap(s.code, body.data(), body.size(), s.tables));
        }
    }
}

TEST(HostileBitmaps, OversizedJpegFrameIsRefused)
{
    // The SOF0 segment of a small JPEG patched to claim 65000 × 65000 pixels.
    Bytes jpeg = encodeJpeg(gradientPicture(8, 8));
    std::size_t sof = 2;
    while (sof + 4 < jpeg.size() && jpeg[sof + 1] != 0xC0)
        sof += 2 + ((jpeg[sof + 2] << 8) | jpeg[sof + 3]);
    ASSERT_LT(sof + 9, jpeg.size());
    jpeg[sof + 5] = 0xFD, jpeg[sof + 6] = 0xE8, jpeg[sof + 7] = 0xFD, jpeg[sof + 8] = 0xE8;
    auto bitmap = swf::decodeBitmap(swf::tag::DefineBitsJPEG2, jpeg.data(), jpeg.size(), {});
    ASSERT_FALSE(bitmap.ok());
    EXPECT_NE(bitmap.error().find("limits"), std::string::npos) << bitmap.error();
}

TEST(HostileBitmaps, JpegCutInsideTheScanStillGivesItsSize)
{
    // Data ending inside the entropy-coded scan decodes what arrived, as Flash shows partial JPEGs;
    // data ending before the scan starts is a failure.
    Bytes jpeg = encodeJpeg(gradientPicture(64, 64));
    Bytes late(jpeg.begin(), jpeg.end() - jpeg.size() / 4);
    auto partial = swf::decodeBitmap(swf::tag::DefineBitsJPEG2, late.data(), late.size(), {});
    ASSERT_TRUE(partial.ok()) << partial.error();
    EXPECT_EQ(partial->width, 64u);
    EXPECT_EQ(partial->pixels.size(), 64u * 64u);
    Bytes early(jpeg.begin(), jpeg.begin() + 100);
    EXPECT_FALSE(swf::decodeBitmap(swf::tag::DefineBitsJPEG2, early.data(), early.size(), {}).ok());
    // JPEG3 whose image length runs past the body.
    Bytes jpeg3{0xFF, 0xFF, 0, 0, 0xFF, 0xD8};
    auto overrun = swf::decodeBitmap(swf::tag::DefineBitsJPEG3, jpeg3.data(), jpeg3.size(), {});
    EXPECT_FALSE(overrun.ok());
}
