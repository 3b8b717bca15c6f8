// Nellymoser decoding, checked with blocks the tests compose bit by bit: a band-energy header chosen to
// put the sound's energy where the test wants it, then detail bits from a fixed seed.
#include "audiohelpers.h"

#include "swf/audio/nellymoser.h"
#include "swf/audio/sounddecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

using namespace swf::audio;
using namespace kivamo::test;

namespace {

constexpr int kBandWidths[23] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 7, 8, 9, 10, 12, 14, 15};

// Writes fields least significant bit first, as the codec reads them.
class BitWriter {
public:
    explicit BitWriter(Bytes& out) : m_out(out) {}
    void write(unsigned value, int bits)
    {
        for (int i = 0; i < bits; ++i, ++m_bit) {
            if (m_bit / 8 >= m_out.size())
                m_out.push_back(0);
            m_out[m_bit / 8] |= std::uint8_t(((value >> i) & 1u) << (m_bit % 8));
        }
    }

private:
    Bytes& m_out;
    std::size_t m_bit = 0;
};

// One 64-byte block: the start level code, 22 level-step codes, then detail bits from the seed.
Bytes block(unsigned startCode, const std::vector<unsigned>& stepCodes, unsigned seed)
{
    Bytes out;
    BitWriter writer(out);
    writer.write(startCode, 6);
    for (unsigned code : stepCodes)
        writer.write(code, 5);
    std::mt19937 random(seed);
    for (int i = 0; i < 512 - 116; ++i)
        writer.write(random() & 1u, 1);
    out.resize(NellymoserDecoder::kBlockBytes);
    return out;
}

// Steps that keep every band quiet but `loud`: climb by the two largest steps just before it, fall after.
std::vector<unsigned> loudBand(int loud)
{
    std::vector<unsigned> steps(22, 17);  // code 17 keeps the level (a change of -1)
    steps[std::size_t(loud - 2)] = 31;
    steps[std::size_t(loud - 1)] = 31;
    for (std::size_t i = std::size_t(loud); i < steps.size(); ++i)
        steps[i] = 0;
    return steps;
}

Bytes repeatBlocks(int count, unsigned startCode, const std::vector<unsigned>& steps)
{
    Bytes data;
    for (int i = 0; i < count; ++i) {
        Bytes b = block(startCode, steps, unsigned(i) + 7);
        data.insert(data.end(), b.begin(), b.end());
    }
    return data;
}

SoundFormat nelly(Codec codec, double rate)
{
    SoundFormat f;
    f.codec = codec;
    f.rate = rate;
    return f;
}

}  // namespace

TEST(Nellymoser, BlocksGiveTwoHundredFiftySixSamplesEach)
{
    Bytes data = repeatBlocks(3, 40, std::vector<unsigned>(22, 17));
    data.resize(data.size() + 10, 0xA5);  // a partial block is ignored
    struct Case {
        std::size_t bytes, limit, frames;
    } cases[] = {{data.size(), 100000, 768}, {64, 100000, 256}, {63, 100000, 0}, {0, 100000, 0}, {data.size(), 300, 300}};
    for (const Case& c : cases) {
        Pcm pcm = decodeNellymoser(nelly(Codec::Nellymoser, 11025), data.data(), c.bytes, c.limit);
        EXPECT_EQ(pcm.frames(), c.frames) << c.bytes << " bytes, limit " << c.limit;
        EXPECT_EQ(pcm.channels, 1);
        EXPECT_DOUBLE_EQ(pcm.rate, 11025);
    }
}

TEST(Nellymoser, DeterministicAndContinuousAcrossCalls)
{
    Bytes data = repeatBlocks(8, 50, loudBand(12));
    Pcm whole = decodeNellymoser(nelly(Codec::Nellymoser, 22050), data.data(), data.size(), 1 << 20);
    EXPECT_EQ(whole.samples, decodeNellymoser(nelly(Codec::Nellymoser, 22050), data.data(), data.size(), 1 << 20).samples);
    // A stream's blocks arrive in pieces; the overlap carries over, so the pieces join to the whole.
    NellymoserDecoder decoder;
    Pcm pieces;
    for (std::size_t at = 0; at < data.size(); at += 3 * 64)
        decoder.decode(data.data() + at, std::min<std::size_t>(3 * 64, data.size() - at), pieces, 1 << 20);
    EXPECT_EQ(pieces.samples, whole.samples);
    // After a reset the decoder starts as a new one would.
    decoder.reset();
    Pcm again;
    decoder.decode(data.data(), data.size(), again, 1 << 20);
    EXPECT_EQ(again.samples, whole.samples);
}

TEST(Nellymoser, EnergyLandsInTheCodedBand)
{
    // Lowest levels everywhere: silence. One loud band: a narrow-band sound at that band's frequency,
    // at both fixed-rate variants (their rate comes from the codec, not the format's rate field).
    Bytes quiet = repeatBlocks(10, 0, std::vector<unsigned>(22, 0));
    Pcm silent = decodeNellymoser(nelly(Codec::Nellymoser, 8000), quiet.data(), quiet.size(), 1 << 20);
    ASSERT_EQ(silent.frames(), 2560u);
    for (std::int16_t s : silent.samples)
        ASSERT_LE(std::abs(s), 1);

    struct Case {
        Codec codec;
        std::uint8_t formatByte;
        int band;
    } cases[] = {{Codec::Nellymoser8k, 0x52, 10}, {Codec::Nellymoser16k, 0x42, 14}, {Codec::Nellymoser8k, 0x52, 17}};
    for (const Case& c : cases) {
        SoundFormat format = formatFromByte(c.formatByte);
        ASSERT_EQ(format.codec, c.codec);
        int firstLine = 0;
        for (int b = 0; b < c.band; ++b)
            firstLine += kBandWidths[b];
        int lastLine = firstLine + kBandWidths[c.band] - 1;
        double low = (firstLine + 0.5) * format.rate / 256, high = (lastLine + 0.5) * format.rate / 256;
        Bytes data = repeatBlocks(60, 0, loudBand(c.band));
        auto sound = decodeSound(format, 0, data.data(), data.size());
        ASSERT_TRUE(sound.ok());
        EXPECT_NEAR(double(sound->frames()), 60 * 256 * 44100.0 / format.rate, 2.0);
        std::vector<float> left = channel(sound->samples, 0);
        double frequency = measuredFrequency(left, 44100, 2000, left.size() - 2000);
        EXPECT_GT(frequency, low * 0.9) << "band " << c.band;
        EXPECT_LT(frequency, high * 1.1) << "band " << c.band;
        double level = rms(left, 2000, left.size() - 2000);
        EXPECT_GT(level, 0.005) << "band " << c.band;
        EXPECT_LT(level, 0.9) << "band " << c.band;
    }
}

TEST(Nellymoser, GarbageDecodesToBoundedSound)
{
    std::mt19937 random(11);
    for (int round = 0; round < 22; ++round) {
        Bytes junk(64 * 5);
        for (auto& b : junk)
            b = std::uint8_t(random());
        if (round >= 20)  // every level at its highest (beyond float range), or every level far below zero
            junk = repeatBlocks(5, round == 20 ? 63 : 0, std::vector<unsigned>(22, round == 20 ? 31 : 0));
        auto sound = decodeSound(nelly(Codec::Nellymoser, 44100), 0, junk.data(), junk.size());
        ASSERT_TRUE(sound.ok());
        EXPECT_EQ(sound->frames(), 5 * 256u);
        for (float v : sound->samples)
            ASSERT_TRUE(v >= -1.01f && v <= 1.01f);
    }
    // A block (found by fuzzing) whose levels ask for more detail bits than it holds: the missing bits
    // read as zeros, never past the block (which a sanitizer build would catch here).
    const Bytes greedy{0xC0, 0xA9, 0x90, 0x0D, 0xAD, 0x0C, 0x51, 0xBA, 0x28, 0x18, 0x6F, 0x1F, 0xB3, 0x09, 0x69, 0x12,
                       0x81, 0xA3, 0xBE, 0xE8, 0xFF, 0xF7, 0xB4, 0x83, 0xE4, 0xCC, 0x95, 0x44, 0x20, 0xC5, 0xD5, 0xBB,
                       0x0A, 0x39, 0x76, 0xDD, 0xB0, 0xE1, 0x7C, 0x63, 0xD9, 0xE1, 0x76, 0x61, 0xBF, 0xD3, 0x79, 0xE3,
                       0x6A, 0x8C, 0x91, 0xBB, 0xD2, 0x34, 0x0B, 0x90, 0x9F, 0x01, 0x92, 0x8E, 0x2D, 0xE9, 0xC3, 0x8F};
    EXPECT_EQ(decodeNellymoser(nelly(Codec::Nellymoser, 22050), greedy.data(), greedy.size(), 1000).frames(), 256u);
    // A stream decodes its blocks with the same decoder and delivers them at the output rate.
    SoundStreamHeadTag head;
    head.stream = nelly(Codec::Nellymoser, 11025);
    head.samplesPerBlock = 512;
    StreamDecoder stream(head);
    Bytes data = repeatBlocks(4, 40, loudBand(8));
    std::vector<float> out;
    EXPECT_TRUE(stream.decodeBlock(data.data(), 128, out, true));
    EXPECT_TRUE(stream.decodeBlock(data.data() + 128, 128, out));
    EXPECT_NEAR(double(out.size() / 2), 1024 * 4.0, 200.0);  // less what the resampler holds back
}
