// Sample decoders that need no library: uncompressed PCM (8-bit unsigned, 16-bit little-endian) and
// SWF's ADPCM (2 to 5 bits per sample), producing 16-bit samples at the source rate.
#pragma once

#include "swf/audio/soundtags.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf::audio {

// Interleaved 16-bit samples at the source rate; `channels` per frame.
struct Pcm {
    std::vector<std::int16_t> samples;
    int channels = 1;
    double rate = kOutputRate;

    std::size_t frames() const { return channels > 0 ? samples.size() / std::size_t(channels) : 0; }
};

// Decodes uncompressed samples; a trailing partial frame is dropped. At most maxFrames frames.
Pcm decodeUncompressed(const SoundFormat& format, const std::uint8_t* data, std::size_t size,
                       std::size_t maxFrames);

// Decodes ADPCM data: a two-bit code size, then packets of 4096 frames, each opening with a 16-bit sample
// and a 6-bit step index per channel. Data ending inside a packet keeps what was decoded. A problem
// (such as no data at all) is written to `problem`. Padding bits at the very end may read as one extra
// frame; the sample count of the tag that carries the data trims it.
Pcm decodeAdpcm(const SoundFormat& format, const std::uint8_t* data, std::size_t size, std::size_t maxFrames,
                std::string* problem = nullptr);

}  // namespace swf::audio
