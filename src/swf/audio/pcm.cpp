#include "swf/audio/pcm.h"

#include <algorithm>

namespace swf::audio {

Pcm decodeUncompressed(const SoundFormat& format, const std::uint8_t* data, std::size_t size,
                       std::size_t maxFrames)
{
    Pcm pcm;
    pcm.channels = format.channels();
    pcm.rate = format.rate;
    std::size_t bytesPerFrame = std::size_t(format.is16Bit ? 2 : 1) * pcm.channels;
    std::size_t frames = std::min(size / bytesPerFrame, maxFrames);
    pcm.samples.resize(frames * pcm.channels);
    for (std::size_t i = 0; i < pcm.samples.size(); ++i) {
        if (format.is16Bit)
            pcm.samples[i] = std::int16_t(std::uint16_t(data[2 * i] | (data[2 * i + 1] << 8)));
        else
            pcm.samples[i] = std::int16_t((int(data[i]) - 128) << 8);  // 8-bit samples are unsigned
    }
    return pcm;
}

}  // namespace swf::audio
