// Mixes event sounds (with their in and out points, loops and envelopes) and the stream sound into
// sample buffers at 44.1 kHz stereo; it never touches an audio device.
#pragma once

#include "swf/audio/sounddecoder.h"
#include "swf/audio/soundtags.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace swf::audio {

class Mixer {
public:
    // Starts an event sound as a StartSound tag asks: "sync stop" stops every playing instance of the
    // sound, "no multiple" starts it only when none plays. Returns whether a voice started (not when the
    // in point lies at or after the out point or the end, nor beyond the voice limit).
    bool startSound(std::uint32_t soundKey, std::shared_ptr<const DecodedSound> sound, const SoundInfo& info)
    {
        return startVoice(soundKey, std::move(sound), info) != 0;
    }
    // The same, returning the new voice's id (never 0), or 0 when none started.
    std::uint32_t startVoice(std::uint32_t soundKey, std::shared_ptr<const DecodedSound> sound,
                             const SoundInfo& info);
    void stopSound(std::uint32_t soundKey);
    void stopVoice(std::uint32_t voiceId);
    void stopAll();
    bool isPlaying(std::uint32_t soundKey) const;
    bool isVoicePlaying(std::uint32_t voiceId) const { return findVoice(voiceId) != nullptr; }
    std::size_t voiceCount() const { return m_voices.size(); }
    // A voice's own levels per side (1 = as recorded), on top of its envelope.
    void setVoiceGain(std::uint32_t voiceId, float left, float right);
    // Frames a voice has played of its current loop, counted from the sound's start.
    std::optional<std::size_t> voicePosition(std::uint32_t voiceId) const;
    // Voices that have played to their end since the last call, in the order they ended.
    std::vector<std::uint32_t> takeFinished();

    // Stream sounds, one queue per key (a timeline): output frames a StreamDecoder produced, played in
    // order. A queue exists from its first queueStream until clearStream.
    void queueStream(const std::vector<float>& frames, std::uint32_t key = 0);
    void clearStream(std::uint32_t key = 0) { m_streams.erase(key); }
    void clearStreams() { m_streams.clear(); }
    // Frames of stream sound not yet mixed; the timeline compares it with its own position to keep
    // the pictures in step with the sound.
    std::size_t queuedStreamFrames(std::uint32_t key = 0) const;
    // Output frames mixed while the queue existed but was empty: how far the pictures lag the sound.
    std::size_t starvedStreamFrames(std::uint32_t key = 0) const;
    void forgiveStarvation(std::uint32_t key, std::size_t frames);

    // Master level, 0 to 1.
    void setVolume(float volume);

    // Fills `frames` interleaved stereo frames (overwriting them) and advances every voice.
    void mix(float* out, std::size_t frames);
    void mix(std::int16_t* out, std::size_t frames);

private:
    struct Voice {
        std::uint32_t id = 0;
        std::uint32_t key = 0;
        float gainLeft = 1.0f, gainRight = 1.0f;
        std::shared_ptr<const DecodedSound> sound;
        std::size_t begin = 0, end = 0;  // frames of one loop
        std::size_t position = 0;        // next frame to play
        std::uint32_t loopsLeft = 1;
        std::uint64_t elapsed = 0;       // frames played, counted across loops, for the envelope
        std::vector<EnvelopePoint> envelope;
    };

    // Mixes one voice into out; returns false once the voice has finished.
    bool mixVoice(Voice& voice, float* out, std::size_t frames) const;
    void mixStreams(float* out, std::size_t frames);
    const Voice* findVoice(std::uint32_t voiceId) const;

    struct Stream {
        std::deque<float> samples;
        std::size_t starved = 0;
    };

    std::vector<Voice> m_voices;
    std::vector<std::uint32_t> m_finished;
    std::uint32_t m_nextVoiceId = 1;
    std::map<std::uint32_t, Stream> m_streams;
    float m_volume = 1.0f;
};

// The envelope's left and right levels (1 = full) after `elapsed` frames: linear between points, the
// first point's levels before it and the last point's after it, full level without points.
void envelopeLevels(const std::vector<EnvelopePoint>& envelope, std::uint64_t elapsed, float& left,
                    float& right);

}  // namespace swf::audio
