// Sound tags from the corpus's single-tag samples: a real MP3 DefineSound and StartSound records, checked
// against their decoded values.
#include "swf/audio/sounddecoder.h"
#include "swf/audio/soundtags.h"
#include "swf/format/tags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace swf::audio;

namespace {

// The body of the one tag a sample holds.
std::vector<std::uint8_t> sampleBody(const std::string& name, std::uint16_t& code)
{
    std::ifstream in(fs::path(KIVAMO_CORPUS_DIR) / "ofdb-tags" / name / "input.bytes", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    swf::TagStream stream(bytes.data(), bytes.size(), 0);
    swf::TagHeader tag;
    if (!stream.next(tag))
        return {};
    code = tag.code;
    return std::vector<std::uint8_t>(bytes.begin() + std::ptrdiff_t(tag.bodyOffset),
                                     bytes.begin() + std::ptrdiff_t(tag.bodyOffset + tag.length));
}

}  // namespace

TEST(CorpusSounds, Mp3ChimeDecodes)
{
    std::uint16_t code = 0;
    std::vector<std::uint8_t> body = sampleBody("define-sound__chime", code);
    ASSERT_EQ(code, swf::tag::DefineSound);
    auto tag = parseDefineSound(body.data(), body.size());
    ASSERT_TRUE(tag.ok()) << tag.error();
    EXPECT_EQ(tag->id, 300);
    EXPECT_EQ(tag->format.codec, Codec::Mp3);
    EXPECT_EQ(tag->sampleCount, 42752u);
    auto sound = decodeSound(tag.value());
    ASSERT_TRUE(sound.ok()) << sound.error();
    // 42752 frames at 22.05 kHz are 85504 at 44.1 kHz; the MP3 data holds all of them.
    EXPECT_NEAR(double(sound->frames()), 85504.0, 2.0);
    float peak = 0;
    for (float v : sound->samples)
        peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.05f);
    EXPECT_LE(peak, 1.2f);
}

TEST(CorpusSounds, StartSoundRecords)
{
    std::uint16_t code = 0;
    std::vector<std::uint8_t> body = sampleBody("start-sound__start-sound1-play17", code);
    ASSERT_EQ(code, swf::tag::StartSound);
    auto play = parseStartSound(body.data(), body.size());
    ASSERT_TRUE(play.ok()) << play.error();
    EXPECT_EQ(play->soundId, 17);
    EXPECT_TRUE(play->info.syncNoMultiple);
    EXPECT_EQ(play->info.loopCount, 10);
    ASSERT_EQ(play->info.envelope.size(), 4u);
    EXPECT_EQ(play->info.envelope[1].position44, 106398u);
    EXPECT_EQ(play->info.envelope[1].left, 8192);
    EXPECT_EQ(play->info.envelope[3].position44, 2127960u);
    EXPECT_EQ(play->info.envelope[3].right, 16384);

    body = sampleBody("start-sound__start-sound1-stop17", code);
    auto stop = parseStartSound(body.data(), body.size());
    ASSERT_TRUE(stop.ok());
    EXPECT_TRUE(stop->info.syncStop);
    EXPECT_FALSE(stop->info.syncNoMultiple);
}
