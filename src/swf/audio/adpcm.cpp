// SWF ADPCM: an IMA-style coder whose code size (2 to 5 bits) is chosen per sound, packed most
// significant bit first, channels interleaved, restarting its predictor every 4096 frames.
#include "swf/audio/pcm.h"

#include "swf/io/bytereader.h"

#include <algorithm>

namespace swf::audio {

namespace {

constexpr int kStepSizes[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// How the step index moves after a code, by the code's magnitude bits, for each code size.
constexpr int kIndexShift2[2] = {-1, 2};
constexpr int kIndexShift3[4] = {-1, -1, 2, 4};
constexpr int kIndexShift4[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndexShift5[16] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int* kIndexShifts[4] = {kIndexShift2, kIndexShift3, kIndexShift4, kIndexShift5};

constexpr std::size_t kFramesPerPacket = 4096;

struct Channel {
    int sample = 0;
    int index = 0;
};

// One code: the magnitude bits add halving fractions of the step, the top bit gives the sign.
void step(Channel& channel, unsigned code, unsigned bits)
{
    unsigned signBit = 1u << (bits - 1);
    int stepSize = kStepSizes[channel.index];
    int difference = 0;
    int part = stepSize;
    for (unsigned mask = signBit >> 1; mask != 0; mask >>= 1, part >>= 1)
        if (code & mask)
            difference += part;
    difference += part;
    channel.sample += (code & signBit) ? -difference : difference;
    channel.sample = std::clamp(channel.sample, -32768, 32767);
    channel.index = std::clamp(channel.index + kIndexShifts[bits - 2][code & (signBit - 1)], 0, 88);
}

// Bits a complete packet header plus one more frame need; fewer left means the data is over.
bool enoughFor(std::size_t bitsLeft, std::size_t bits)
{
    return bitsLeft >= bits;
}

}  // namespace

Pcm decodeAdpcm(const SoundFormat& format, const std::uint8_t* data, std::size_t size, std::size_t maxFrames,
                std::string* problem)
{
    Pcm pcm;
    pcm.channels = format.channels();
    pcm.rate = format.rate;
    ByteReader bytes(data, size);
    BitReader reader(bytes);
    std::size_t bitsLeft = size * 8;
    if (bitsLeft < 2) {
        if (problem)
            *problem = "ADPCM data is empty";
        return pcm;
    }
    unsigned bits = reader.ub(2) + 2;
    bitsLeft -= 2;
    Channel channels[2];
    const std::size_t headerBits = 22 * std::size_t(pcm.channels);
    const std::size_t frameBits = std::size_t(bits) * pcm.channels;
    while (pcm.frames() < maxFrames && enoughFor(bitsLeft, headerBits)) {
        for (int c = 0; c < pcm.channels; ++c) {
            channels[c].sample = reader.sb(16);
            channels[c].index = int(reader.ub(6));
            pcm.samples.push_back(std::int16_t(channels[c].sample));
        }
        bitsLeft -= headerBits;
        for (std::size_t i = 1; i < kFramesPerPacket && pcm.frames() < maxFrames && enoughFor(bitsLeft, frameBits);
             ++i) {
            for (int c = 0; c < pcm.channels; ++c) {
                step(channels[c], reader.ub(bits), bits);
                pcm.samples.push_back(std::int16_t(channels[c].sample));
            }
            bitsLeft -= frameBits;
        }
    }
    return pcm;
}

}  // namespace swf::audio
