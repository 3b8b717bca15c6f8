#include "swf/audio/soundplayer.h"

#include "swf/limits.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace swf::audio {

namespace {

constexpr double kMillisecondsPerOutputFrame = 1000.0 / kOutputRate;
// The stream may run this many movie frames ahead of the pictures before the timeline waits for it.
constexpr double kStreamLeadFrames = 3.0;
// Frames are skipped once the sound has run this many frames ahead: less can come from blocks of
// uneven length (an MP3 frame is longer than a movie frame at high frame rates), which make up for it.
constexpr double kSkipAfterFrames = 2.0;
// At most this many frames are skipped at once to catch up with the sound.
constexpr int kMaxSkippedFrames = 8;
constexpr std::size_t kMixChunk = 512;

void collectClips(const Clip& clip, std::unordered_set<const Clip*>& out, int nesting)
{
    out.insert(&clip);
    if (nesting > limits::kMaxSpriteNesting)
        return;
    for (const auto& [depth, object] : clip.displayList())
        if (object.clip)
            collectClips(*object.clip, out, nesting + 1);
}

bool sameStream(const SoundStreamHeadTag& a, const SoundStreamHeadTag& b)
{
    return a.stream.codec == b.stream.codec && a.stream.rate == b.stream.rate && a.stream.is16Bit == b.stream.is16Bit &&
           a.stream.stereo == b.stream.stereo && a.samplesPerBlock == b.samplesPerBlock;
}

}  // namespace

std::shared_ptr<const DecodedSound> SoundPlayer::decoded(std::uint32_t soundKey)
{
    auto cached = m_decoded.find(soundKey);
    if (cached != m_decoded.end())
        return cached->second;
    if (soundKey > 0xFFFF)
        return nullptr;  // a key addSound never gave
    const auto characterId = std::uint16_t(soundKey);
    std::shared_ptr<const DecodedSound> sound;
    if (m_movie) {
        auto tag = m_movie->sounds.find(characterId);
        if (tag != m_movie->sounds.end()) {
            auto result = decodeSound(*tag->second);
            if (result.ok())
                sound = std::make_shared<DecodedSound>(std::move(result.value()));
        }
    }
    m_decoded[characterId] = sound;  // a sound that cannot be decoded is not tried again
    return sound;
}

void SoundPlayer::startSound(const StartSoundTag& tag, const Movie* library)
{
    if (library == m_movie.get())
        library = nullptr;
    const Movie* movie = library ? library : m_movie.get();
    std::uint16_t id = tag.soundId;
    if (!tag.className.empty()) {
        if (!movie || !movie->exports.count(tag.className))
            return;
        id = movie->exports.at(tag.className);
    }
    const std::uint32_t key = library ? libraryKey(*library, id) : id;
    if (key == 0)
        return;
    if (tag.info.syncStop)
        m_mixer.stopSound(key);
    else
        m_mixer.startSound(key, decoded(key), tag.info);
}

std::uint32_t SoundPlayer::libraryKey(const Movie& library, std::uint16_t id)
{
    auto tag = library.sounds.find(id);
    if (tag == library.sounds.end() || !tag->second)
        return 0;
    auto known = m_librarySounds.find(tag->second);
    if (known != m_librarySounds.end())
        return known->second;
    auto result = decodeSound(*tag->second);
    // A sound that cannot be decoded keeps its key, so it is not tried again.
    const std::uint32_t key =
        addSound(result.ok() ? std::make_shared<DecodedSound>(std::move(result.value())) : nullptr);
    m_librarySounds.emplace(tag->second, key);
    return key;
}

void SoundPlayer::frameEntered(const Clip& clip, std::size_t frame)
{
    const Timeline* timeline = clip.timeline();
    auto found = m_streams.find(&clip);
    if (found != m_streams.end() && found->second.timeline != timeline) {
        // A streamed movie's root gets a grown timeline with the same stream: its sound goes on.
        if (timeline && timeline->streamHead && sameStream(found->second.sound->head(), *timeline->streamHead)) {
            found->second.timeline = timeline;
        } else {
            m_mixer.clearStream(found->second.sound->key());
            m_streams.erase(found);
            found = m_streams.end();
        }
    }
    if (!timeline || !timeline->streamHead || frame >= timeline->frames.size())
        return;
    if (found == m_streams.end()) {
        double rate = m_movie ? m_movie->header.framesPerSecond() : 0;
        TimelineStream stream;
        stream.timeline = timeline;
        stream.sound = std::make_unique<StreamSound>(*timeline->streamHead, rate, m_nextStreamKey++);
        stream.wasPlaying = clip.isPlaying();
        found = m_streams.emplace(&clip, std::move(stream)).first;
    }
    if (!found->second.wasPlaying && clip.isPlaying()) {
        // Playing again after a stop: what stepping queued meanwhile and was not heard is stale now.
        found->second.sound->stop(m_mixer);
        found->second.wasPlaying = true;
    }
    bool skipped = &clip == m_syncedClip && m_framesToSkip > 0;
    if (skipped)
        --m_framesToSkip;
    const std::vector<std::uint8_t>& block = timeline->frames[frame].streamBlock;
    found->second.sound->enterFrame(std::uint32_t(frame), block.empty() ? nullptr : block.data(), block.size(),
                                    m_mixer, skipped, std::uint32_t(timeline->frames.size() - 1));
}

void SoundPlayer::dropGoneStreams(const Clip& root)
{
    std::unordered_set<const Clip*> alive;
    collectClips(root, alive, 0);
    for (auto it = m_streams.begin(); it != m_streams.end();) {
        if (alive.count(it->first)) {
            ++it;
            continue;
        }
        m_mixer.clearStream(it->second.sound->key());
        it = m_streams.erase(it);
    }
}

void SoundPlayer::afterFrame(const Clip& root)
{
    if (!m_streams.empty())
        dropGoneStreams(root);
    for (auto& [clip, stream] : m_streams) {
        bool playing = clip->isPlaying();
        // A timeline that stops silences its stream; one that was already stopped and stepped to a
        // frame lets that frame's sound play out.
        if (stream.wasPlaying && !playing)
            stream.sound->stop(m_mixer);
        stream.wasPlaying = playing;
    }
    for (Handle handle : m_mixer.takeFinished()) {
        if (m_scriptVoices.erase(handle) && m_onComplete)
            m_onComplete(handle);
    }
}

int SoundPlayer::framesToAdvance(const Clip& root, double framesPerSecond)
{
    std::size_t pulled = m_pulledSinceAdvance;
    m_pulledSinceAdvance = 0;
    m_syncedClip = &root;
    m_framesToSkip = 0;
    auto found = m_streams.find(&root);
    if (found == m_streams.end() || !found->second.sound->sounding() || pulled == 0 || framesPerSecond <= 0 ||
        !root.isPlaying())
        return 1;
    double perFrame = kOutputRate / framesPerSecond;
    std::uint32_t key = found->second.sound->key();
    if (double(m_mixer.queuedStreamFrames(key)) > kStreamLeadFrames * perFrame)
        return 0;
    std::size_t starved = m_mixer.starvedStreamFrames(key);
    if (double(starved) < kSkipAfterFrames * perFrame)
        return 1;
    int skip = std::min(kMaxSkippedFrames, int(double(starved) / perFrame));
    m_mixer.forgiveStarvation(key, starved);
    m_framesToSkip = skip;
    return 1 + skip;
}

void SoundPlayer::stopAll()
{
    m_mixer.stopAll();
    for (auto& [clip, stream] : m_streams)
        stream.sound->stop(m_mixer);
    m_scriptVoices.clear();
    m_pending.clear();
}

void SoundPlayer::applyVolume()
{
    m_mixer.setVolume(m_muted ? 0.0f : float(m_volume * m_scriptVolume));
}

void SoundPlayer::setScriptVolume(double volume)
{
    m_scriptVolume = std::clamp(volume, 0.0, 1.0);
    applyVolume();
}

void SoundPlayer::setVolume(double volume)
{
    m_volume = std::clamp(volume, 0.0, 1.0);
    applyVolume();
}

void SoundPlayer::setMuted(bool muted)
{
    m_muted = muted;
    applyVolume();
}

std::size_t SoundPlayer::mix(std::int16_t* out, std::size_t frames, int rate)
{
    m_pulledSinceAdvance += frames;
    if (rate <= 0 || rate == int(kOutputRate)) {
        m_mixer.mix(out, frames);
        return frames;
    }
    if (!m_outputResampler || m_outputRate != rate) {
        m_outputResampler = std::make_unique<Resampler>(kOutputRate, rate, 2);
        m_outputRate = rate;
        m_pending.clear();
    }
    std::vector<float> chunk(2 * kMixChunk);
    while (m_pending.size() < 2 * frames) {
        m_mixer.mix(chunk.data(), kMixChunk);
        m_outputResampler->push(chunk.data(), kMixChunk, m_pending);
    }
    for (std::size_t i = 0; i < 2 * frames; ++i)
        out[i] = std::int16_t(std::lrint(std::clamp(m_pending[i], -1.0f, 1.0f) * 32767.0f));
    m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(2 * frames));
    return frames;
}

std::uint32_t SoundPlayer::addSound(std::shared_ptr<const DecodedSound> sound)
{
    m_decoded[++m_lastAddedKey] = std::move(sound);
    return m_lastAddedKey;
}

SoundPlayer::Handle SoundPlayer::start(std::uint32_t soundKey, double offsetMs, int loops)
{
    SoundInfo info;
    if (offsetMs > 0) {
        info.hasInPoint = true;
        info.inPoint = std::uint32_t(std::min(offsetMs / kMillisecondsPerOutputFrame, 4.0e9));
    }
    info.loopCount = std::uint16_t(std::clamp(loops, 1, 65535));
    Handle handle = m_mixer.startVoice(soundKey, decoded(soundKey), info);
    if (handle)
        m_scriptVoices.insert(handle);
    return handle;
}

SoundPlayer::Handle SoundPlayer::start(const std::string& linkageName, double offsetMs, int loops)
{
    if (!m_movie)
        return 0;
    auto it = m_movie->exports.find(linkageName);
    return it == m_movie->exports.end() ? 0 : start(it->second, offsetMs, loops);
}

void SoundPlayer::stop(Handle handle)
{
    m_mixer.stopVoice(handle);
    m_scriptVoices.erase(handle);
}

void SoundPlayer::stopCharacter(std::uint32_t soundKey)
{
    m_mixer.stopSound(soundKey);
}

void SoundPlayer::setLevel(Handle handle, double level, double pan)
{
    level = std::max(0.0, level);
    pan = std::clamp(pan, -1.0, 1.0);
    m_mixer.setVoiceGain(handle, float(level * (pan > 0 ? 1 - pan : 1)), float(level * (pan < 0 ? 1 + pan : 1)));
}

bool SoundPlayer::isPlaying(Handle handle) const
{
    return m_mixer.isVoicePlaying(handle);
}

double SoundPlayer::positionMs(Handle handle) const
{
    auto position = m_mixer.voicePosition(handle);
    return position ? double(*position) * kMillisecondsPerOutputFrame : 0.0;
}

double SoundPlayer::durationMs(std::uint32_t soundKey)
{
    auto sound = decoded(soundKey);
    return sound ? double(sound->frames()) * kMillisecondsPerOutputFrame : 0.0;
}

}  // namespace swf::audio
