// Stream sound: blocks decoded one by one join without seams, MP3 blocks honour their seek count, and
// the resampler gives the same output whether fed in pieces or at once.
#include "audiohelpers.h"

#include "swf/audio/resampler.h"
#include "swf/audio/sounddecoder.h"
#include "swf/audio/streamsound.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace swf::audio;
using namespace kivamo::test;

namespace {

SoundStreamHeadTag head(Codec codec, double rate, bool stereo, std::uint16_t perBlock)
{
    SoundStreamHeadTag h;
    h.stream.codec = codec;
    h.stream.rate = rate;
    h.stream.is16Bit = true;
    h.stream.stereo = stereo;
    h.playback = h.stream;
    h.samplesPerBlock = perBlock;
    return h;
}

Bytes littleEndian(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to)
{
    Bytes out;
    for (std::size_t i = from; i < to && i < samples.size(); ++i) {
        out.push_back(std::uint8_t(samples[i]));
        out.push_back(std::uint8_t(std::uint16_t(samples[i]) >> 8));
    }
    return out;
}

// Largest difference between two sample runs over their common length.
float largestDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    float worst = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

}  // namespace

TEST(Resampling, PiecesGiveTheSameOutputAsTheWhole)
{
    for (double rate : {5512.5, 11025.0, 22050.0, 32000.0, 48000.0}) {
        SCOPED_TRACE(rate);
        std::vector<std::int16_t> source = tone(700, rate, 3000, 0.5, 2, 1300);
        std::vector<float> input(source.begin(), source.end());
        for (float& v : input)
            v /= 32768.0f;
        Resampler whole(rate, 44100, 2), pieces(rate, 44100, 2);
        std::vector<float> a, b;
        whole.push(input.data(), 3000, a);
        whole.finish(a);
        for (std::size_t at = 0, n = 1; at < 3000; at += n, n = n * 3 % 97 + 1)
            pieces.push(input.data() + 2 * at, std::min<std::size_t>(n, 3000 - at), b);
        pieces.finish(b);
        EXPECT_EQ(a.size(), b.size());
        EXPECT_EQ(a.size() / 2, std::size_t(std::ceil(3000 * 44100 / rate - 1e-9)));
        EXPECT_LT(largestDifference(a, b), 1e-6f);
    }
}

TEST(Resampling, DownsamplingRemovesWhatCannotBeRepresented)
{
    // A 23 kHz tone at 48 kHz lies above 44.1 kHz's Nyquist frequency: it must not fold back as an
    // audible 21.1 kHz alias. A 5 kHz tone passes at full level.
    for (double frequency : {5000.0, 23000.0}) {
        std::vector<std::int16_t> source = tone(frequency, 48000, 9600, 0.5);
        std::vector<float> input(source.begin(), source.end());
        for (float& v : input)
            v /= 32768.0f;
        Resampler resampler(48000, 44100, 1);
        std::vector<float> out;
        resampler.push(input.data(), input.size(), out);
        resampler.finish(out);
        double level = rms(out, 500, out.size() - 500);
        if (frequency < 10000)
            EXPECT_NEAR(level, 0.5 / std::sqrt(2.0), 0.01);
        else
            EXPECT_LT(level, 0.02);
    }
}

TEST(StreamSound, UncompressedBlocksJoinWithoutSeams)
{
    // A 22.05 kHz stereo stream at 12 frames per second: 1837 or 1838 frames per block.
    std::vector<std::int16_t> samples = tone(600, 22050, 22050, 0.5, 2, 900);
    StreamDecoder decoder(head(Codec::UncompressedLittleEndian, 22050, true, 1837));
    std::vector<float> out;
    std::size_t frame = 0;
    for (int block = 0; block < 12; ++block) {
        std::size_t end = std::size_t(std::llround((block + 1) * 22050.0 / 12));
        Bytes body = littleEndian(samples, 2 * frame, 2 * end);
        ASSERT_TRUE(decoder.decodeBlock(body.data(), body.size(), out, block == 0));
        frame = end;
    }
    // All but the resampler's look-ahead (a few milliseconds) has come out, continuous across every
    // block boundary.
    EXPECT_LE(out.size() / 2, 44100u);
    EXPECT_GE(out.size() / 2, 44100u - 221u);
    std::vector<float> left = channel(out, 0), right = channel(out, 1);
    EXPECT_NEAR(measuredFrequency(left, 44100, 100, left.size()), 600.0, 0.5);
    EXPECT_NEAR(measuredFrequency(right, 44100, 100, right.size()), 900.0, 0.5);
    for (std::size_t i = 101; i < left.size(); ++i)
        ASSERT_LT(std::fabs(left[i] - left[i - 1]), 0.06f) << i;  // a 600 Hz tone moves at most 0.043
    EXPECT_DOUBLE_EQ(StreamDecoder::outputFramesPerMovieFrame(12), 3675.0);
}

TEST(StreamSound, AdpcmBlocksEachStartAfresh)
{
    std::vector<std::int16_t> samples = tone(440, 11025, 11025, 0.5);
    StreamDecoder decoder(head(Codec::Adpcm, 11025, false, 919));
    std::vector<float> out;
    for (std::size_t at = 0; at < samples.size(); at += 919) {
        std::vector<std::int16_t> part(samples.begin() + std::ptrdiff_t(at),
                                       samples.begin() + std::ptrdiff_t(std::min(samples.size(), at + 919)));
        Bytes body = encodeAdpcm(part, 1, 4);
        ASSERT_TRUE(decoder.decodeBlock(body.data(), body.size(), out, at == 0));
    }
    std::vector<float> left = channel(out, 0);
    EXPECT_LE(left.size(), 44100u);
    EXPECT_GE(left.size(), 44100u - 221u);
    EXPECT_NEAR(measuredFrequency(left, 44100, 200, left.size()), 440.0, 0.5);
}

TEST(StreamSound, Mp3BlocksAndSeekSamples)
{
    int delay = 0;
    Bytes mp3 = encodeMp3(tone(1000, 22050, 22050, 0.5), 1, 22050, &delay);
    SoundStreamHeadTag h = head(Codec::Mp3, 22050, false, 1837);
    h.latencySeek = std::int16_t(delay);
    StreamDecoder decoder(h);
    std::vector<float> out;
    const std::size_t blocks = 12, size = mp3.size() / blocks + 1;
    for (std::size_t b = 0; b < blocks; ++b) {
        // sample count, seek samples (the codec's delay, used only where playback starts), MP3 bytes
        Bytes body{0x2D, 0x07, std::uint8_t(delay), std::uint8_t(delay >> 8)};
        auto from = mp3.begin() + std::ptrdiff_t(std::min(mp3.size(), b * size));
        auto to = mp3.begin() + std::ptrdiff_t(std::min(mp3.size(), (b + 1) * size));
        body.insert(body.end(), from, to);
        ASSERT_TRUE(decoder.decodeBlock(body.data(), body.size(), out, b == 0));
    }
    std::vector<float> left = channel(out, 0);
    EXPECT_GT(left.size(), 40000u);
    EXPECT_NEAR(measuredFrequency(left, 44100, 2000, 40000), 1000.0, 2.0);
    EXPECT_GT(rms(left, 100, 300), 0.2);  // the delay was skipped: the tone is there from the start

    // A codec the engine does not decode is reported by the block, which the timeline then skips.
    StreamDecoder speex(head(Codec::Speex, 16000, false, 320));
    EXPECT_FALSE(speex.decodeBlock(mp3.data(), 64, out));
}

TEST(StreamSound, FramesFeedTheMixerAndJumpsRestart)
{
    // 11.025 kHz mono at 10 frames per second: 1102 or 1103 samples per block, each a constant level
    // (frame n at n / 20) so the mixer's output tells which frames were heard.
    SoundStreamHeadTag h = head(Codec::UncompressedLittleEndian, 11025, false, 1102);
    StreamSound stream(h, 10);
    EXPECT_DOUBLE_EQ(stream.outputFramesPerMovieFrame(), 4410.0);
    auto block = [](int frame) {
        return littleEndian(std::vector<std::int16_t>(1102, std::int16_t(frame * 32768 / 20)), 0, 1102);
    };
    Mixer mixer;
    for (std::uint32_t frame = 0; frame < 3; ++frame) {
        Bytes body = block(int(frame));
        stream.enterFrame(frame, body.data(), body.size(), mixer);
    }
    EXPECT_GT(mixer.queuedStreamFrames(), 3 * 4408u - 200u);
    // A frame without a block adds nothing; a jump drops what was queued and starts afresh.
    stream.enterFrame(3, nullptr, 0, mixer);
    std::size_t queued = mixer.queuedStreamFrames();
    EXPECT_LT(queued, 3 * 4410u);
    Bytes seven = block(7);
    stream.enterFrame(7, seven.data(), seven.size(), mixer);
    EXPECT_LT(mixer.queuedStreamFrames(), 4410u);
    std::vector<float> out(2 * 2000);
    mixer.mix(out.data(), 2000);
    EXPECT_NEAR(out[2 * 1000], 7.0f / 20.0f, 0.01f);  // the jumped-to frame's level, not frame 2's
    stream.stop(mixer);
    EXPECT_EQ(mixer.queuedStreamFrames(), 0u);
    // A codec that is not decoded leaves the stream silent without failing the timeline.
    StreamSound speex(head(Codec::Speex, 16000, false, 1600), 10);
    speex.enterFrame(0, seven.data(), seven.size(), mixer);
    EXPECT_FALSE(speex.decodable());
    EXPECT_EQ(mixer.queuedStreamFrames(), 0u);
}
