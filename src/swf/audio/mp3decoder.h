// MP3 frames through libmpg123, fed in pieces as DefineSound and SoundStreamBlock deliver them.
#pragma once

#include "swf/audio/pcm.h"

#include <cstddef>
#include <cstdint>

struct mpg123_handle_struct;

namespace swf::audio {

class Mp3Decoder {
public:
    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // False when libmpg123 could not be started; decode then produces nothing.
    bool ok() const { return m_handle != nullptr; }

    // Feeds the bytes and appends every frame that can be decoded so far to out, at most until out holds
    // maxFrames frames. The first frame fixes out's rate and channels; a later change of channel count is
    // converted to them. Damaged frames are skipped by the decoder's own resynchronisation.
    void decode(const std::uint8_t* data, std::size_t size, Pcm& out, std::size_t maxFrames);

    // Forgets buffered input and the bit reservoir, as after a jump in a stream.
    void reset();

private:
    void open();
    void append(const std::int16_t* samples, std::size_t count, Pcm& out, std::size_t maxFrames);

    mpg123_handle_struct* m_handle = nullptr;
    int m_channels = 0;
    long m_rate = 0;
    bool m_formatKnown = false;
};

}  // namespace swf::audio
