// Sound decoders against known samples: uncompressed and ADPCM at every code size, MP3 made by LAME,
// stream blocks, and conversion of every SWF rate to 44.1 kHz.
#include "audiohelpers.h"

#include "swf/audio/pcm.h"
#include "swf/audio/sounddecoder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace swf::audio;
using namespace kivamo::test;

namespace {

SoundFormat format(Codec codec, double rate, bool is16Bit, bool stereo)
{
    SoundFormat f;
    f.codec = codec;
    f.rate = rate;
    f.is16Bit = is16Bit;
    f.stereo = stereo;
    return f;
}

Bytes littleEndian(const std::vector<std::int16_t>& samples)
{
    Bytes out;
    for (std::int16_t s : samples) {
        out.push_back(std::uint8_t(s));
        out.push_back(std::uint8_t(std::uint16_t(s) >> 8));
    }
    return out;
}

// Signal-to-noise ratio in dB of decoded samples against the originals.
double snr(const std::vector<std::int16_t>& original, const std::vector<std::int16_t>& decoded)
{
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < original.size() && i < decoded.size(); ++i) {
        signal += double(original[i]) * original[i];
        double d = double(original[i]) - decoded[i];
        noise += d * d;
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

}  // namespace

TEST(SoundDecoders, UncompressedSamples)
{
    // 8-bit samples are unsigned around 128; 16-bit ones little-endian in both codecs.
    Bytes eight{0x00, 0x80, 0xFF, 0x40};
    Pcm pcm = decodeUncompressed(format(Codec::UncompressedNative, 11025, false, false), eight.data(), 4, 100);
    EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{-32768, 0, 32512, -16384}));
    EXPECT_EQ(pcm.rate, 11025);
    Bytes sixteen{0x01, 0x80, 0xFF, 0x7F, 0x34, 0x12, 0x00};  // the odd last byte is no sample
    for (Codec codec : {Codec::UncompressedNative, Codec::UncompressedLittleEndian}) {
        pcm = decodeUncompressed(format(codec, 44100, true, false), sixteen.data(), sixteen.size(), 100);
        EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{-32767, 32767, 0x1234}));
    }
    // Stereo keeps whole frames only, and stops at the frame limit.
    pcm = decodeUncompressed(format(Codec::UncompressedLittleEndian, 44100, true, true), sixteen.data(),
                             sixteen.size(), 100);
    EXPECT_EQ(pcm.frames(), 1u);
    pcm = decodeUncompressed(format(Codec::UncompressedNative, 44100, false, true), eight.data(), 4, 1);
    EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{-32768, 0}));
}

TEST(SoundDecoders, AdpcmKnownCodes)
{
    // Four-bit codes, mono: sample 1000 with step index 0, then code 0111 (+7 +3 +1 = 1011, index 8) and
    // code 1000 (minus step 16 / 8 = 1009, index 7).
    Bytes data{0x80, 0xFA, 0x00, 0x78};
    Pcm pcm = decodeAdpcm(format(Codec::Adpcm, 22050, true, false), data.data(), data.size(), 100);
    EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{1000, 1011, 1009}));
    std::string problem;
    decodeAdpcm(format(Codec::Adpcm, 22050, true, false), data.data(), 0, 100, &problem);
    EXPECT_FALSE(problem.empty());
}

TEST(SoundDecoders, AdpcmEveryCodeSizeFollowsTheTone)
{
    // 10000 frames cross two packet boundaries (4096 frames each); stereo carries a different tone on
    // the right. Fewer bits give more noise, never a different signal.
    const double minimumSnr[4] = {4, 11, 17, 23};
    for (int channels : {1, 2}) {
        std::vector<std::int16_t> original = tone(440, 22050, 10000, 0.6, channels, 1000);
        for (unsigned bits = 2; bits <= 5; ++bits) {
            SCOPED_TRACE(std::to_string(channels) + " channels, " + std::to_string(bits) + " bits");
            Bytes data = encodeAdpcm(original, channels, bits);
            Pcm pcm = decodeAdpcm(format(Codec::Adpcm, 22050, true, channels == 2), data.data(), data.size(),
                                  10000);
            ASSERT_EQ(pcm.frames(), 10000u);
            // Without the tag's sample count, the last byte's padding may add one frame, never more.
            Pcm unlimited = decodeAdpcm(format(Codec::Adpcm, 22050, true, channels == 2), data.data(),
                                        data.size(), 1000000);
            EXPECT_LE(unlimited.frames(), 10001u);
            EXPECT_GT(snr(original, pcm.samples), minimumSnr[bits - 2]);
            // Each packet restarts exactly on its stored sample.
            EXPECT_EQ(pcm.samples[4096 * channels], original[4096 * channels]);
            EXPECT_EQ(pcm.samples[8192 * channels + channels - 1], original[8192 * channels + channels - 1]);
            // Cut data keeps whole frames decoded so far.
            Pcm cut = decodeAdpcm(format(Codec::Adpcm, 22050, true, channels == 2), data.data(), data.size() / 2,
                                  1000000);
            EXPECT_GT(cut.frames(), 4000u);
            EXPECT_LT(cut.frames(), 6000u);
            EXPECT_EQ(cut.samples.size() % channels, 0u);
        }
    }
}

TEST(SoundDecoders, EverySwfRateBecomes44100)
{
    // One second of a 1 kHz tone at each rate: one second at 44.1 kHz, same pitch, same level.
    for (double rate : {5512.5, 11025.0, 22050.0, 44100.0}) {
        SCOPED_TRACE(rate);
        std::size_t frames = std::size_t(rate);  // 5512 frames at 5512.5 Hz make 44096 output frames
        Bytes data = littleEndian(tone(1000, rate, frames, 0.5));
        auto sound = decodeSound(format(Codec::UncompressedLittleEndian, rate, true, false), std::uint32_t(frames),
                                 data.data(), data.size());
        ASSERT_TRUE(sound.ok()) << sound.error();
        EXPECT_EQ(sound->frames(), std::size_t(std::ceil(double(frames) * 44100 / rate)));
        std::vector<float> left = channel(sound->samples, 0), right = channel(sound->samples, 1);
        EXPECT_EQ(left, right);  // mono plays on both sides
        EXPECT_NEAR(measuredFrequency(left, 44100, 1000, 43000), 1000.0, 1.0);
        EXPECT_NEAR(rms(left, 1000, 43000), 0.5 / std::sqrt(2.0), 0.01);
    }
}

TEST(SoundDecoders, SampleCountTrimsTheEnd)
{
    Bytes data = littleEndian(tone(500, 11025, 2000));
    auto sound = decodeSound(format(Codec::UncompressedNative, 11025, true, false), 1000, data.data(), data.size());
    ASSERT_TRUE(sound.ok());
    EXPECT_EQ(sound->frames(), 4000u);
}

TEST(SoundDecoders, Mp3EventSound)
{
    // A 22.05 kHz mono and a 44.1 kHz stereo tone through LAME; the sound data opens with the seek count
    // that removes the codec's delay, so the tone starts at once.
    struct Case {
        int rate, channels;
    };
    for (Case c : {Case{22050, 1}, Case{44100, 2}}) {
        SCOPED_TRACE(c.rate);
        std::size_t frames = std::size_t(c.rate);  // one second
        int delay = 0;
        Bytes mp3 = encodeMp3(tone(1000, c.rate, frames, 0.5, c.channels, 2000), c.channels, c.rate, &delay);
        Bytes data{std::uint8_t(delay), std::uint8_t(delay >> 8)};
        data.insert(data.end(), mp3.begin(), mp3.end());
        auto sound = decodeSound(format(Codec::Mp3, c.rate, true, c.channels == 2), std::uint32_t(frames),
                                 data.data(), data.size());
        ASSERT_TRUE(sound.ok()) << sound.error();
        EXPECT_NEAR(double(sound->frames()), 44100.0, 2.0);
        std::vector<float> left = channel(sound->samples, 0), right = channel(sound->samples, 1);
        EXPECT_NEAR(measuredFrequency(left, 44100, 2000, 42000), 1000.0, 2.0);
        EXPECT_NEAR(measuredFrequency(right, 44100, 2000, 42000), c.channels == 2 ? 2000.0 : 1000.0, 3.0);
        EXPECT_NEAR(rms(left, 2000, 42000), 0.5 / std::sqrt(2.0), 0.03);
        // No delay left at the start: the first millisecond already carries the tone.
        EXPECT_GT(rms(left, 100, 300), 0.2);
    }
}

TEST(SoundDecoders, UnsupportedAndDamagedData)
{
    Bytes junk(300, 0x55);
    auto speex = decodeSound(format(Codec::Speex, 16000, true, false), 100, junk.data(), junk.size());
    EXPECT_FALSE(speex.ok());
    EXPECT_NE(speex.error().find("not supported"), std::string::npos);
    // Garbage as MP3 gives silence of no length, not a crash; empty ADPCM is a failure.
    auto mp3 = decodeSound(format(Codec::Mp3, 22050, true, false), 0, junk.data(), junk.size());
    ASSERT_TRUE(mp3.ok());
    EXPECT_EQ(mp3->frames(), 0u);
    EXPECT_FALSE(decodeSound(format(Codec::Adpcm, 22050, true, false), 0, nullptr, 10).ok());
    // Cut MP3 data decodes the frames that arrived.
    Bytes data{0, 0};
    Bytes encoded = encodeMp3(tone(440, 22050, 22050), 1, 22050);
    data.insert(data.end(), encoded.begin(), encoded.begin() + std::ptrdiff_t(encoded.size() / 2));
    auto half = decodeSound(format(Codec::Mp3, 22050, true, false), 0, data.data(), data.size());
    ASSERT_TRUE(half.ok());
    EXPECT_GT(half->frames(), 15000u);
    EXPECT_LT(half->frames(), 30000u);
}
