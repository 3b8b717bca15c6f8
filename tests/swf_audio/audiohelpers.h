// What the sound tests build and measure: tones, an ADPCM encoder, MP3 through LAME, and measures of
// frequency and level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivamo::test {

using Bytes = std::vector<std::uint8_t>;

// A sine tone as 16-bit samples, interleaved when channels is 2 (the right side at rightFrequency).
std::vector<std::int16_t> tone(double frequency, double rate, std::size_t frames, double amplitude = 0.5,
                               int channels = 1, double rightFrequency = 0);

// Encodes samples as SWF ADPCM with the given code size (2-5 bits): the two-bit size field, then
// packets of 4096 frames. Each code is the one whose decoded sample lands nearest the input.
Bytes encodeAdpcm(const std::vector<std::int16_t>& samples, int channels, unsigned bits);

// Encodes samples as MP3 frames with LAME (constant 128 kbit/s, no Xing tag); delay receives the
// encoder's delay plus the decoder's, in frames at the source rate.
Bytes encodeMp3(const std::vector<std::int16_t>& samples, int channels, int rate, int* delay = nullptr);

// One channel of interleaved stereo float frames.
std::vector<float> channel(const std::vector<float>& stereo, int index);

// The frequency of a tone, from its upward zero crossings between two positions.
double measuredFrequency(const std::vector<float>& samples, double rate, std::size_t from, std::size_t to);

// Root mean square level between two positions.
double rms(const std::vector<float>& samples, std::size_t from, std::size_t to);

}  // namespace kivamo::test
