// Mixes event sounds (with their in and out points, loops and envelopes) and the stream sound into
// sample buffers at 44.1 kHz stereo; it never touches an audio device.
#pragma once

#include "swf/audio/sounddecoder.h"
#include "swf/audio/soundtags.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace swf::audio {

class Mixer {
public:
    // Starts an event sound as a StartSound tag asks: "sync stop" stops every playing instance of the
    // sound, "no multiple" starts it only when none plays. Returns whether a voice started (not when the
    // in point lies at or after the out point or the end, nor beyond the voice limit).
    bool startSound(std::uint32_t soundKey, std::shared_ptr<const DecodedSound> sound, const SoundInfo& info);
    void stopSound(std::uint32_t soundKey);
    void stopAll();
    bool isPlaying(std::uint32_t soundKey) const;
    std::size_t voiceCount() const { return m_voices.size(); }

    // The stream sound: output frames the timeline's StreamDecoder produced, played in order.
    void queueStream(const std::vector<float>& frames);
    void clearStream() { m_stream.clear(); }
    // Frames of stream sound not yet mixed; the timeline compares it with its own position to keep
    // the pictures in step with the sound.
    std::size_t queuedStreamFrames() const { return m_stream.size() / 2; }

    // Master level, 0 to 1.
    void setVolume(float volume);

    // Fills `frames` interleaved stereo frames (overwriting them) and advances every voice.
    void mix(float* out, std::size_t frames);
    void mix(std::int16_t* out, std::size_t frames);

private:
    struct Voice {
        std::uint32_t key = 0;
        std::shared_ptr<const DecodedSound> sound;
        std::size_t begin = 0, end = 0;  // frames of one loop
        std::size_t position = 0;        // next frame to play
        std::uint32_t loopsLeft = 1;
        std::uint64_t elapsed = 0;       // frames played, counted across loops, for the envelope
        std::vector<EnvelopePoint> envelope;
    };

    // Mixes one voice into out; returns false once the voice has finished.
    bool mixVoice(Voice& voice, float* out, std::size_t frames) const;

    std::vector<Voice> m_voices;
    std::deque<float> m_stream;
    float m_volume = 1.0f;
};

// The envelope's left and right levels (1 = full) after `elapsed` frames: linear between points, the
// first point's levels before it and the last point's after it, full level without points.
void envelopeLevels(const std::vector<EnvelopePoint>& envelope, std::uint64_t elapsed, float& left,
                    float& right);

}  // namespace swf::audio
