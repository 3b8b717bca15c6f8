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
    // `key` names the mixer's stream queue this sound fills (one per timeline).
    StreamSound(const SoundStreamHeadTag& head, double framesPerSecond, std::uint32_t key = 0);

    // Called for every frame the timeline enters, in order, with the frame's SoundStreamBlock body
    // (nullptr and 0 when it has none). A frame that does not follow the previous one (a goto, a
    // rewind, the first frame played) restarts the decoder and drops sound still queued from before.
    // A skipped frame (the timeline catching up with the sound) is decoded but not heard: its time
    // has already passed. When the timeline loops from its last frame (lastFrame) to the first, the
    // decoder starts afresh but the sound still queued plays out first.
    void enterFrame(std::uint32_t frame, const std::uint8_t* block, std::size_t size, Mixer& mixer,
                    bool skipped = false, std::optional<std::uint32_t> lastFrame = std::nullopt);
    // The timeline stopped: queued stream sound stops with it, and the next frame starts afresh.
    void stop(Mixer& mixer);

    // Output frames one movie frame lasts.
    double outputFramesPerMovieFrame() const { return m_framesPerMovieFrame; }
    // False once a block was met in a codec that is not decoded (the stream then stays silent).
    bool decodable() const { return m_decodable; }
    std::uint32_t key() const { return m_key; }
    const SoundStreamHeadTag& head() const { return m_decoder.head(); }
    // Whether the last frame entered carried a block that gave sound.
    bool sounding() const { return m_sounding; }

private:
    StreamDecoder m_decoder;
    double m_framesPerMovieFrame;
    std::uint32_t m_key;
    bool m_sounding = false;
    std::optional<std::uint32_t> m_lastFrame;
    bool m_decodable = true;
    std::vector<float> m_buffer;
};

}  // namespace swf::audio
