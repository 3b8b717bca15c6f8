// The engine's container and tag stream: readers at their edges, the three signatures, damaged and
// lying movies, and the summary kivamo-swf info prints.
#include "swf/format/header.h"
#include "swf/format/summary.h"
#include "swf/format/tags.h"
#include "swf/io/bytereader.h"
#include "swf/io/decompress.h"
#include "swf/limits.h"

#include "support/swfwriter.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>

using namespace kivamo::test;

TEST(ByteReader, ShortReadsGiveZerosAndFlagOverrun)
{
    const std::uint8_t data[] = {0x01, 0x02, 0x03, 'a', 'b'};
    swf::ByteReader r(data, sizeof data);
    EXPECT_EQ(r.u16(), 0x0201);
    EXPECT_FALSE(r.overrun());
    EXPECT_EQ(r.u32(), 0u);  // only three bytes left
    EXPECT_TRUE(r.overrun());
    EXPECT_TRUE(r.atEnd());

    swf::ByteReader s(data + 3, 2);
    EXPECT_EQ(s.cstring(), "ab");  // no terminator: the rest of the range
    EXPECT_TRUE(s.overrun());

    const std::uint8_t encoded[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x7F};
    swf::ByteReader e(encoded, sizeof encoded);
    EXPECT_EQ(e.encodedU32(), 0xFFFFFFFFu);
    EXPECT_EQ(e.u8(), 0x7F);  // at most five bytes are taken
}

TEST(BitReader, SignedAndUnsignedFieldsOfEveryWidth)
{
    for (unsigned bits = 1; bits <= 32; ++bits) {
        BitWriter w;
        std::int32_t low = bits == 32 ? INT32_MIN : -(1 << (bits - 1));
        std::int32_t high = bits == 32 ? INT32_MAX : (1 << (bits - 1)) - 1;
        w.ub(3, 3);  // misalign on purpose
        w.sb(low, bits);
        w.sb(high, bits);
        const Bytes& bytes = w.bytes();
        swf::ByteReader r(bytes.data(), bytes.size());
        swf::BitReader b(r);
        EXPECT_EQ(b.ub(3), 3u);
        EXPECT_EQ(b.sb(bits), low) << bits;
        EXPECT_EQ(b.sb(bits), high) << bits;
    }
    const std::uint8_t none[] = {0};
    swf::ByteReader r(none, 0);
    swf::BitReader b(r);
    EXPECT_EQ(b.sb(0), 0);
    EXPECT_EQ(b.ub(7), 0u);  // past the end: zeros
    EXPECT_TRUE(r.overrun());
}

TEST(Decompress, RoundTripsAndCapsTheOutput)
{
    Bytes data(100000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 300);
    Bytes z = zlibCompress(data);
    auto full = swf::inflateZlib(z.data(), z.size(), data.size());
    EXPECT_FALSE(full.truncated);
    EXPECT_EQ(full.bytes, data);

    // Asking for less stops there; a cut stream reports truncation, not damage.
    auto capped = swf::inflateZlib(z.data(), z.size(), 1000);
    EXPECT_EQ(capped.bytes.size(), 1000u);
    auto cut = swf::inflateZlib(z.data(), z.size() / 2, data.size());
    EXPECT_TRUE(cut.truncated);
    EXPECT_LT(cut.bytes.size(), data.size());

    Bytes l = lzmaCompressSwfBody(data);
    auto lzma = swf::inflateSwfLzma(l.data(), l.size(), data.size());
    EXPECT_FALSE(lzma.truncated);
    EXPECT_EQ(lzma.bytes, data);
    auto lzmaCut = swf::inflateSwfLzma(l.data(), l.size() / 3, data.size());
    EXPECT_TRUE(lzmaCut.truncated);

    Bytes garbage(64, 0xAB);
    EXPECT_TRUE(swf::inflateZlib(garbage.data(), garbage.size(), 100).truncated);
    EXPECT_TRUE(swf::inflateSwfLzma(garbage.data(), garbage.size(), 100).truncated);
}

TEST(Container, AllThreeSignaturesGiveTheSameMovie)
{
    SwfWriter writer(10, {0, 11000, 0, 8000}, 0x0C80);
    writer.backgroundColour(1, 2, 3).showFrame().showFrame();
    for (auto compression : {SwfCompression::None, SwfCompression::Zlib, SwfCompression::Lzma}) {
        Bytes movie = writer.finish(compression);
        auto file = swf::parseSwf(movie.data(), movie.size());
        ASSERT_TRUE(file.ok()) << file.error();
        EXPECT_FALSE(file->truncated);
        EXPECT_EQ(file->header.version, 10);
        EXPECT_EQ(file->header.frameSize.xMax, 11000);
        EXPECT_DOUBLE_EQ(file->header.framesPerSecond(), 12.5);
        EXPECT_EQ(file->header.frameCount, 2);
        EXPECT_EQ(file->data.size(), file->header.fileLength);
        swf::MovieSummary summary = swf::summarize(file.value());
        EXPECT_EQ(summary.frames, 2u);
        EXPECT_EQ(summary.tags, 4u);  // background, two frames, End
        EXPECT_TRUE(summary.endTag);
        EXPECT_TRUE(summary.problems.empty());
    }
}

TEST(Container, RefusesWhatIsNoMovieOrCutInTheHeader)
{
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"wrong signature", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
        {"lower case", {'f', 'w', 's', 10, 20, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"eight bytes", {'F', 'W', 'S', 10, 8, 0, 0, 0}},
        {"rectangle cut", {'F', 'W', 'S', 10, 30, 0, 0, 0, 0x78, 0}},
    };
    for (const Case& c : cases) {
        auto file = swf::parseSwf(c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(file.ok()) << c.name;
    }
}

TEST(Container, DecompressionBombIsRefusedAndLiesAreBounded)
{
    SwfWriter writer;
    writer.showFrame();
    Bytes movie = writer.finish(SwfCompression::Zlib);
    // Claim four gigabytes.
    movie[4] = movie[5] = movie[6] = movie[7] = 0xFF;
    auto bomb = swf::parseSwf(movie.data(), movie.size());
    ASSERT_FALSE(bomb.ok());
    EXPECT_NE(bomb.error().find("exceeds the limit"), std::string::npos);

    // A length just under the limit costs only what the stream really holds.
    std::uint32_t big = static_cast<std::uint32_t>(swf::limits::kMaxMovieBytes);
    for (int i = 0; i < 4; ++i)
        movie[4 + i] = static_cast<std::uint8_t>(big >> (8 * i));
    auto lie = swf::parseSwf(movie.data(), movie.size());
    ASSERT_TRUE(lie.ok());
    EXPECT_TRUE(lie->truncated);
    EXPECT_LT(lie->data.capacity(), std::size_t(1) << 20);
}

namespace {

// Decodes with the address space held to 1 GB more than the process uses, so that a dictionary of
// gigabytes cannot be allocated; true when the output equals the expected data.
bool decodesInLimitedSpace(const Bytes& lzma, const Bytes& expected)
{
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlim_t space = pages * 4096 + (rlim_t(1) << 30);
    rlimit limit{space, space};
    setrlimit(RLIMIT_AS, &limit);
    auto out = swf::inflateSwfLzma(lzma.data(), lzma.size(), expected.size());
    return !out.truncated && out.problem.empty() && out.bytes == expected;
}

}  // namespace

TEST(Decompress, LzmaDictionaryIsBoundedByTheOutputAndTheLimit)
{
    Bytes data(50000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 13 + i / 97);
    Bytes l = lzmaCompressSwfBody(data);
    ASSERT_GE(l.size(), 5u);
    auto declare = [&l](std::uint32_t dictionary) {
        for (int i = 0; i < 4; ++i)
            l[1 + i] = static_cast<std::uint8_t>(dictionary >> (8 * i));
    };

    // A stream declaring a four-gigabyte dictionary decodes the same, using no more dictionary than its
    // output (the declared size could not be allocated here).
    declare(0xFFFFFFF0u);
    EXPECT_EXIT(std::exit(decodesInLimitedSpace(l, data) ? 0 : 1), ::testing::ExitedWithCode(0), "");

    // A movie large enough to need a dictionary beyond the limit is refused before any allocation.
    std::size_t huge = std::size_t(swf::limits::kMaxLzmaDictionaryBytes) * 2;
    auto refused = swf::inflateSwfLzma(l.data(), l.size(), huge);
    EXPECT_TRUE(refused.truncated);
    EXPECT_EQ(refused.problem, "LZMA dictionary too large");
    EXPECT_TRUE(refused.bytes.empty());
    // Below the limit the declared size counts: a 1 MB dictionary serves a huge output.
    declare(1u << 20);
    auto served = swf::inflateSwfLzma(l.data(), l.size(), huge);
    EXPECT_EQ(served.bytes, data);
}

TEST(TagStream, LongFormLyingLengthsAndMissingEnd)
{
    SwfWriter writer;
    writer.tag(swf::tag::SetBackgroundColor, {1, 2, 3}, true).tag(777, Bytes(100, 9)).showFrame();
    Bytes movie = writer.finish();
    auto file = swf::parseSwf(movie.data(), movie.size());
    ASSERT_TRUE(file.ok());
    swf::TagStream stream(file->data.data(), file->data.size(), file->firstTagOffset);
    swf::TagHeader tag;
    ASSERT_TRUE(stream.next(tag));
    EXPECT_EQ(tag.code, swf::tag::SetBackgroundColor);
    EXPECT_EQ(tag.length, 3u);
    EXPECT_EQ(tag.bodyOffset, tag.offset + 6);  // long header
    ASSERT_TRUE(stream.next(tag));
    EXPECT_EQ(tag.code, 777);
    EXPECT_STREQ(swf::tagName(tag.code), "Unknown");
    ASSERT_TRUE(stream.next(tag));
    EXPECT_STREQ(swf::tagName(tag.code), "ShowFrame");
    ASSERT_TRUE(stream.next(tag));
    EXPECT_EQ(tag.code, swf::tag::End);
    EXPECT_FALSE(stream.next(tag));
    EXPECT_TRUE(stream.sawEnd());
    EXPECT_FALSE(stream.damaged());

    // A tag that claims more than remains ends the walk as damage.
    Bytes lying = movie;
    std::size_t lengthAt = file->firstTagOffset + 2;
    lying[lengthAt + 3] = 0x7F;
    auto lyingFile = swf::parseSwf(lying.data(), lying.size());
    ASSERT_TRUE(lyingFile.ok());
    swf::MovieSummary summary = swf::summarize(lyingFile.value());
    EXPECT_EQ(summary.tags, 0u);
    ASSERT_EQ(summary.problems.size(), 1u);
    EXPECT_NE(summary.problems[0].find("SetBackgroundColor tag at offset"), std::string::npos);

    // Without an End tag the walk stops at the end of the data.
    Bytes noEnd(movie.begin(), movie.end() - 2);
    auto noEndFile = swf::parseSwf(noEnd.data(), noEnd.size());
    ASSERT_TRUE(noEndFile.ok());
    EXPECT_TRUE(noEndFile->truncated);
    swf::MovieSummary open = swf::summarize(noEndFile.value());
    EXPECT_FALSE(open.endTag);
    EXPECT_EQ(open.frames, 1u);
}

TEST(Summary, ScriptsCharactersAndActionScript3)
{
    ByteWriter sprite;
    sprite.u16(5).u16(1);  // id 5, one frame
    sprite.u16(swf::tag::DoAction << 6 | 1).u8(0);
    sprite.u16(swf::tag::ShowFrame << 6).u16(0);
    SwfWriter writer;
    writer.tag(swf::tag::FileAttributes, {0x08, 0, 0, 0})
        .tag(swf::tag::DefineShape, Bytes(10, 0))
        .tag(swf::tag::DefineSprite, sprite.data())
        .tag(swf::tag::DoAction, {0})
        .showFrame();
    Bytes movie = writer.finish();
    auto file = swf::parseSwf(movie.data(), movie.size());
    ASSERT_TRUE(file.ok());
    swf::MovieSummary s = swf::summarize(file.value());
    EXPECT_TRUE(s.actionScript3);
    EXPECT_EQ(s.characters, 2u);
    EXPECT_EQ(s.scripts, 2u);  // one at the root, one in the sprite
    EXPECT_EQ(s.frames, 1u);
}
