// Nellymoser Asao, the mono speech and music codec of Flash's microphone recordings: 64-byte blocks of
// 256 samples coded as band energies plus quantised MDCT coefficients.
#pragma once

#include "swf/audio/pcm.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace swf::audio {

class NellymoserDecoder {
public:
    static constexpr std::size_t kBlockBytes = 64;
    static constexpr std::size_t kBlockSamples = 256;

    // Decodes every whole block of the data and appends its samples (mono, 16-bit) to out, stopping once
    // out holds maxFrames frames. A trailing partial block is ignored. The overlap with the previous
    // block carries over between calls, so a stream's blocks decode as one sound.
    void decode(const std::uint8_t* data, std::size_t size, Pcm& out, std::size_t maxFrames);
    // Forgets the overlap and restarts the noise generator, as at the start of a sound.
    void reset();

private:
    static constexpr std::size_t kHalf = 128;
    void decodeBlock(const std::uint8_t* block, float* samples);
    float noiseSign();

    std::array<float, kHalf> m_previous{};  // the last inverse transform's output
    std::uint32_t m_noise = 1;
};

// Decodes a whole Nellymoser sound at the format's rate (Nellymoser sounds are mono).
Pcm decodeNellymoser(const SoundFormat& format, const std::uint8_t* data, std::size_t size,
                     std::size_t maxFrames);

}  // namespace swf::audio
