// Plays one movie's sounds: the event sounds its timelines start, the stream sounds of its timelines in
// step with their frames, and the sounds scripts start; fills output buffers at any rate.
#pragma once

#include "swf/audio/mixer.h"
#include "swf/audio/resampler.h"
#include "swf/audio/streamsound.h"
#include "swf/movie/clip.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace swf::audio {

class SoundPlayer : public SoundEvents {
public:
    using Handle = std::uint32_t;  // a sound a script started; 0 is none

    void setMovie(std::shared_ptr<const Movie> movie) { m_movie = std::move(movie); }

    // What the timelines report.
    void startSound(const StartSoundTag& tag, const Movie* library) override;
    void frameEntered(const Clip& clip, std::size_t frame) override;
    // After a frame or a jump of the whole movie: stream sounds of timelines that stopped or went away
    // stop, and scripts hear of sounds that finished.
    void afterFrame(const Clip& root);

    // How many frames the root timeline should move now to stay with its stream sound, when an output
    // plays the sound: 0 while the pictures are ahead (the timeline waits), more than 1 when the sound
    // has run ahead of them (frames are skipped), else 1.
    int framesToAdvance(const Clip& root, double framesPerSecond);

    // StopSounds, and stopping or resetting the movie: silence everything.
    void stopAll();

    // Master level 0 to 1, and mute, applied to everything.
    void setVolume(double volume);
    double volume() const { return m_volume; }
    void setMuted(bool muted);
    bool muted() const { return m_muted; }
    // The level scripts set for the whole movie, 0 to 1, heard under the master level.
    void setScriptVolume(double volume);
    double scriptVolume() const { return m_scriptVolume; }

    // Fills `frames` interleaved stereo 16-bit frames at `rate` samples per second; returns frames.
    std::size_t mix(std::int16_t* out, std::size_t frames, int rate);

    // For scripts (ActionScript's Sound): start a sound character (by id or by its linkage name) at an
    // offset, played `loops` times; stop it; its level 0 to 1 and pan -1 (left) to 1 (right); where it
    // is and how long it lasts in milliseconds; a callback when it has played to its end.
    // Sounds are named by their character id, or by the key addSound gave a sound a script loaded.
    Handle start(std::uint32_t soundKey, double offsetMs = 0, int loops = 1);
    Handle start(const std::string& linkageName, double offsetMs = 0, int loops = 1);
    void stop(Handle handle);
    void stopCharacter(std::uint32_t soundKey);
    void setLevel(Handle handle, double level, double pan);
    bool isPlaying(Handle handle) const;
    double positionMs(Handle handle) const;
    double durationMs(std::uint32_t soundKey);
    // Keeps a sound that came from outside the movie (Sound.loadSound); its key is above every character id.
    std::uint32_t addSound(std::shared_ptr<const DecodedSound> sound);
    void setCompletionCallback(std::function<void(Handle)> callback) { m_onComplete = std::move(callback); }

    Mixer& mixer() { return m_mixer; }

private:
    struct TimelineStream {
        const Timeline* timeline = nullptr;
        std::unique_ptr<StreamSound> sound;
        bool wasPlaying = true;
    };

    std::shared_ptr<const DecodedSound> decoded(std::uint32_t soundKey);
    // The key a sound of a loaded or imported movie plays under (its ids may be the player's movie's too); 0
    // when the movie has no such sound.
    std::uint32_t libraryKey(const Movie& library, std::uint16_t id);
    void applyVolume();
    void dropGoneStreams(const Clip& root);

    std::shared_ptr<const Movie> m_movie;
    Mixer m_mixer;
    std::unordered_map<std::uint32_t, std::shared_ptr<const DecodedSound>> m_decoded;
    std::uint32_t m_lastAddedKey = 0xFFFF;
    // Keys of other movies' sounds by their tag, which is held so that its address is not reused.
    std::map<std::shared_ptr<const DefineSoundTag>, std::uint32_t> m_librarySounds;
    std::map<const Clip*, TimelineStream> m_streams;
    std::uint32_t m_nextStreamKey = 1;
    std::function<void(Handle)> m_onComplete;
    std::set<Handle> m_scriptVoices;
    std::unique_ptr<Resampler> m_outputResampler;
    int m_outputRate = 0;
    std::vector<float> m_pending;  // resampled frames not yet handed out
    std::size_t m_pulledSinceAdvance = 0;
    const Clip* m_syncedClip = nullptr;  // the root timeline, whose stream sets the pace
    int m_framesToSkip = 0;              // frames of it about to be skipped, whose sound is not queued
    double m_volume = 1.0;
    double m_scriptVolume = 1.0;
    bool m_muted = false;
};

}  // namespace swf::audio
