// The mixer: envelopes, loops, in and out points, sync stop and no-multiple, the voice limit, the
// stream queue and the 16-bit output.
#include "swf/audio/mixer.h"
#include "swf/limits.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace swf::audio;

namespace {

// A sound whose left sample at frame i is (i + 1) / 1000 and right is minus that, so every frame
// played can be identified in the output.
std::shared_ptr<const DecodedSound> ramp(std::size_t frames)
{
    auto sound = std::make_shared<DecodedSound>();
    for (std::size_t i = 0; i < frames; ++i) {
        sound->samples.push_back(float(i + 1) / 1000.0f);
        sound->samples.push_back(-float(i + 1) / 1000.0f);
    }
    return sound;
}

std::vector<float> mixFrames(Mixer& mixer, std::size_t frames)
{
    std::vector<float> out(2 * frames, 9.0f);  // the mixer overwrites whatever was there
    mixer.mix(out.data(), frames);
    return out;
}

// The frame indices of the ramp heard on the left, one per output frame (-1 for silence).
std::vector<int> heard(const std::vector<float>& out)
{
    std::vector<int> frames;
    for (std::size_t i = 0; i < out.size(); i += 2)
        frames.push_back(int(std::lround(out[i] * 1000.0f)) - 1);
    return frames;
}

}  // namespace

TEST(Mixer, EnvelopeLevels)
{
    std::vector<EnvelopePoint> envelope{{100, 0, 32768}, {300, 32768, 0}, {500, 16384, 16384}};
    struct Case {
        std::uint64_t at;
        float left, right;
    };
    const Case cases[] = {
        {0, 0.0f, 1.0f},      {100, 0.0f, 1.0f}, {200, 0.5f, 0.5f},  {250, 0.75f, 0.25f},
        {300, 1.0f, 0.0f},    {400, 0.75f, 0.25f}, {500, 0.5f, 0.5f}, {100000, 0.5f, 0.5f},
    };
    for (const Case& c : cases) {
        float left = -1, right = -1;
        envelopeLevels(envelope, c.at, left, right);
        EXPECT_FLOAT_EQ(left, c.left) << c.at;
        EXPECT_FLOAT_EQ(right, c.right) << c.at;
    }
    float left = 0, right = 0;
    envelopeLevels({}, 7, left, right);
    EXPECT_EQ(left, 1.0f);
    EXPECT_EQ(right, 1.0f);
}

TEST(Mixer, InAndOutPointsWithLoops)
{
    // Frames 2 to 4 of a 10-frame sound, three times, then silence.
    Mixer mixer;
    SoundInfo info;
    info.hasInPoint = info.hasOutPoint = true;
    info.inPoint = 2;
    info.outPoint = 5;
    info.loopCount = 3;
    ASSERT_TRUE(mixer.startSound(1, ramp(10), info));
    EXPECT_EQ(heard(mixFrames(mixer, 4)), (std::vector<int>{2, 3, 4, 2}));
    EXPECT_TRUE(mixer.isPlaying(1));
    EXPECT_EQ(heard(mixFrames(mixer, 7)), (std::vector<int>{3, 4, 2, 3, 4, -1, -1}));
    EXPECT_FALSE(mixer.isPlaying(1));

    // A voice that ends exactly at the end of a buffer is gone at once.
    ASSERT_TRUE(mixer.startSound(2, ramp(4), SoundInfo{}));
    EXPECT_EQ(heard(mixFrames(mixer, 4)), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(mixer.voiceCount(), 0u);

    // Points outside the sound: an out point past the end plays to the end; an in point at or after
    // the out point plays nothing. A loop count of zero plays once.
    SoundInfo late;
    late.hasOutPoint = true;
    late.outPoint = 1000;
    late.loopCount = 0;
    ASSERT_TRUE(mixer.startSound(3, ramp(3), late));
    EXPECT_EQ(heard(mixFrames(mixer, 5)), (std::vector<int>{0, 1, 2, -1, -1}));
    SoundInfo empty;
    empty.hasInPoint = empty.hasOutPoint = true;
    empty.inPoint = 5;
    empty.outPoint = 5;
    EXPECT_FALSE(mixer.startSound(4, ramp(10), empty));
}

TEST(Mixer, EnvelopeRunsAcrossLoops)
{
    // Silence on the left rising to full over 8 frames, played over two loops of 4 frames.
    auto sound = std::make_shared<DecodedSound>();
    sound->samples.assign(8, 0.5f);
    Mixer mixer;
    SoundInfo info;
    info.loopCount = 2;
    info.envelope = {{0, 0, 32768}, {8, 32768, 32768}};
    ASSERT_TRUE(mixer.startSound(1, sound, info));
    std::vector<float> out = mixFrames(mixer, 8);
    for (int f = 0; f < 8; ++f) {
        EXPECT_FLOAT_EQ(out[2 * f], 0.5f * float(f) / 8.0f) << f;
        EXPECT_FLOAT_EQ(out[2 * f + 1], 0.5f) << f;
    }
}

TEST(Mixer, SyncStopNoMultipleAndTheVoiceLimit)
{
    Mixer mixer;
    SoundInfo plain, noMultiple, stop;
    noMultiple.syncNoMultiple = true;
    stop.syncStop = true;
    EXPECT_TRUE(mixer.startSound(7, ramp(100), plain));
    EXPECT_TRUE(mixer.startSound(7, ramp(100), plain));  // the same sound twice is allowed
    EXPECT_FALSE(mixer.startSound(7, ramp(100), noMultiple));
    EXPECT_TRUE(mixer.startSound(8, ramp(100), noMultiple));
    EXPECT_EQ(mixer.voiceCount(), 3u);
    EXPECT_FALSE(mixer.startSound(7, ramp(100), stop));  // stops every instance, starts nothing
    EXPECT_FALSE(mixer.isPlaying(7));
    EXPECT_TRUE(mixer.isPlaying(8));
    EXPECT_FALSE(mixer.startSound(9, nullptr, plain));

    for (std::uint32_t key = 100; mixer.voiceCount() < swf::limits::kMaxSoundVoices; ++key)
        ASSERT_TRUE(mixer.startSound(key, ramp(100), plain));
    EXPECT_FALSE(mixer.startSound(999, ramp(100), plain));
    mixer.stopAll();
    EXPECT_EQ(mixer.voiceCount(), 0u);
}

TEST(Mixer, StreamSumsAndClampedSixteenBitOutput)
{
    // Two voices and the stream add up; the sum is clamped, then scaled to 16 bits.
    auto loud = std::make_shared<DecodedSound>();
    loud->samples = {0.75f, -0.75f, 0.25f, -0.25f, 0.25f, 0.0f};
    Mixer mixer;
    ASSERT_TRUE(mixer.startSound(1, loud, SoundInfo{}));
    ASSERT_TRUE(mixer.startSound(2, loud, SoundInfo{}));
    mixer.queueStream({0.125f, 0.125f, 0.5f, 0.5f});
    EXPECT_EQ(mixer.queuedStreamFrames(), 2u);
    std::vector<std::int16_t> out(8, 1234);
    mixer.mix(out.data(), 4);
    EXPECT_EQ(out, (std::vector<std::int16_t>{32767, -32767, 32767, 0, 16384, 0, 0, 0}));
    EXPECT_EQ(mixer.queuedStreamFrames(), 0u);

    mixer.setVolume(0.5f);
    mixer.queueStream({0.5f, -1.0f, 0.25f});  // a stray half frame is dropped
    EXPECT_EQ(mixer.queuedStreamFrames(), 1u);
    std::vector<float> half(2);
    mixer.mix(half.data(), 1);
    EXPECT_EQ(half, (std::vector<float>{0.25f, -0.5f}));
}
