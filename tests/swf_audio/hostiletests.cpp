// Hostile sound data: cut and corrupted tags and sample data end in a failure or bounded audio, never a
// crash or a hang.
#include "audiohelpers.h"

#include "swf/audio/sounddecoder.h"
#include "swf/audio/soundtags.h"
#include "swf/limits.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace swf::audio;
using namespace kivamo::test;

namespace {

// DefineSound body: id 1, the format byte, the sample count, the data.
Bytes defineSound(std::uint8_t formatByte, std::uint32_t sampleCount, const Bytes& data)
{
    Bytes body(7 + data.size());
    body[0] = 1;
    body[2] = formatByte;
    for (int i = 0; i < 4; ++i)
        body[3 + i] = std::uint8_t(sampleCount >> (8 * i));
    std::copy(data.begin(), data.end(), body.begin() + 7);
    return body;
}

std::vector<Bytes> samples()
{
    std::vector<std::int16_t> pcm = tone(440, 11025, 3000, 0.5);
    Bytes mp3{0, 0};
    Bytes encoded = encodeMp3(pcm, 1, 11025);
    mp3.insert(mp3.end(), encoded.begin(), encoded.end());
    Bytes raw;
    for (std::int16_t s : pcm) {
        raw.push_back(std::uint8_t(s));
        raw.push_back(std::uint8_t(std::uint16_t(s) >> 8));
    }
    return {
        defineSound(0x16, 3000, encodeAdpcm(pcm, 1, 3)),  // ADPCM 11 kHz 16-bit mono
        defineSound(0x27, 1500, encodeAdpcm(tone(440, 11025, 3000, 0.5, 2), 2, 5)),
        defineSound(0x26, 3000, mp3),  // MP3 11 kHz mono
        defineSound(0x36, 3000, raw),
    };
}

void expectBounded(const Bytes& body)
{
    auto tag = parseDefineSound(body.data(), body.size());
    if (!tag)
        return;
    auto sound = decodeSound(tag.value());
    if (sound.ok()) {
        EXPECT_LE(sound->frames(), std::size_t(swf::limits::kMaxSoundSeconds * kOutputRate) + 64);
    }
}

}  // namespace

TEST(HostileSounds, CutAndFlippedData)
{
    std::uint32_t state = 99;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (const Bytes& body : samples()) {
        for (std::size_t length = 0; length < body.size(); length += 1 + length / 8)
            expectBounded(Bytes(body.begin(), body.begin() + std::ptrdiff_t(length)));
        for (int round = 0; round < 80; ++round) {
            Bytes damaged = body;
            for (int flips = 1 + next() % 6; flips > 0; --flips)
                damaged[next() % damaged.size()] ^= std::uint8_t(1 + next() % 255);
            expectBounded(damaged);
        }
    }
}

TEST(HostileSounds, HugeSampleCountsDoNotAllocateAhead)
{
    // A four-billion sample count over a few bytes of data decodes only what the data holds.
    Bytes body = defineSound(0x3E, 0xFFFFFFFFu, Bytes(400, 0x10));
    auto sound = decodeSound(parseDefineSound(body.data(), body.size()).value());
    ASSERT_TRUE(sound.ok());
    EXPECT_EQ(sound->frames(), 200u);
    // Stream blocks of random bytes in every codec: no crash, bounded output.
    std::uint32_t state = 7;
    for (std::uint8_t packed : {0x02, 0x16, 0x2A, 0x3F}) {
        SoundStreamHeadTag head;
        head.stream = formatFromByte(packed);
        StreamDecoder decoder(head);
        std::vector<float> out;
        for (int block = 0; block < 50; ++block) {
            Bytes data(1 + block * 7);
            for (std::uint8_t& b : data) {
                state = state * 1103515245u + 12345u;
                b = std::uint8_t(state >> 16);
            }
            decoder.decodeBlock(data.data(), data.size(), out, block % 10 == 0);
        }
        EXPECT_LT(out.size(), 2u * 44100u * 10u);
    }
}
