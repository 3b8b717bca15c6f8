// Plays a timeline's stream sound: the timeline reports each frame it enters with that frame's
// SoundStreamBlock, and the decoded audio goes to the mixer's stream queue.
#pragma once

#include "swf/audio/mixer.h"
#include "swf/audio/sounddecoder.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace swf::audio {

class StreamSound {
public:
    StreamSound(const SoundStreamHeadTag& head, double framesPerSecond);

    // Called for every frame the timeline enters, in order, with the frame's SoundStreamBlock body
    // (nullptr and 0 when it has none). A frame that does not follow the previous one (a goto, a
    // rewind, the first frame played) restarts the decoder and drops sound still queued from before.
    void enterFrame(std::uint32_t frame, const std::uint8_t* block, std::size_t size, Mixer& mixer);
    // The timeline stopped: queued stream sound stops with it, and the next frame starts afresh.
    void stop(Mixer& mixer);

    // Output frames one movie frame lasts.
    double outputFramesPerMovieFrame() const { return m_framesPerMovieFrame; }
    // False once a block was met in a codec that is not decoded (the stream then stays silent).
    bool decodable() const { return m_decodable; }

private:
    StreamDecoder m_decoder;
    double m_framesPerMovieFrame;
    std::optional<std::uint32_t> m_lastFrame;
    bool m_decodable = true;
    std::vector<float> m_buffer;
};

}  // namespace swf::audio
