#include "swf/audio/mixer.h"

#include "swf/limits.h"

#include <algorithm>
#include <cmath>

namespace swf::audio {

void envelopeLevels(const std::vector<EnvelopePoint>& envelope, std::uint64_t elapsed, float& left, float& right)
{
    constexpr float kFull = 32768.0f;
    if (envelope.empty()) {
        left = right = 1.0f;
        return;
    }
    auto after = std::find_if(envelope.begin(), envelope.end(),
                              [elapsed](const EnvelopePoint& p) { return p.position44 > elapsed; });
    if (after == envelope.begin() || after == envelope.end()) {
        const EnvelopePoint& p = after == envelope.end() ? envelope.back() : envelope.front();
        left = p.left / kFull;
        right = p.right / kFull;
        return;
    }
    const EnvelopePoint& a = *(after - 1);
    const EnvelopePoint& b = *after;
    float t = float(elapsed - a.position44) / float(b.position44 - a.position44);
    left = (a.left + (float(b.left) - a.left) * t) / kFull;
    right = (a.right + (float(b.right) - a.right) * t) / kFull;
}

std::uint32_t Mixer::startVoice(std::uint32_t soundKey, std::shared_ptr<const DecodedSound> sound,
                              const SoundInfo& info)
{
    if (info.syncStop) {
        stopSound(soundKey);
        return 0;
    }
    if (!sound || (info.syncNoMultiple && isPlaying(soundKey)) || m_voices.size() >= limits::kMaxSoundVoices)
        return 0;
    Voice voice;
    voice.key = soundKey;
    voice.begin = info.hasInPoint ? std::min<std::size_t>(info.inPoint, sound->frames()) : 0;
    voice.end = info.hasOutPoint ? std::min<std::size_t>(info.outPoint, sound->frames()) : sound->frames();
    if (voice.begin >= voice.end)
        return 0;
    voice.position = voice.begin;
    voice.loopsLeft = std::max<std::uint32_t>(1, info.loopCount);
    voice.envelope = info.envelope;
    voice.sound = std::move(sound);
    voice.id = m_nextVoiceId++;
    if (m_nextVoiceId == 0)
        m_nextVoiceId = 1;
    m_voices.push_back(std::move(voice));
    return m_voices.back().id;
}

void Mixer::stopVoice(std::uint32_t voiceId)
{
    m_voices.erase(std::remove_if(m_voices.begin(), m_voices.end(),
                                  [voiceId](const Voice& v) { return v.id == voiceId; }),
                   m_voices.end());
}

const Mixer::Voice* Mixer::findVoice(std::uint32_t voiceId) const
{
    auto it = std::find_if(m_voices.begin(), m_voices.end(), [voiceId](const Voice& v) { return v.id == voiceId; });
    return it == m_voices.end() ? nullptr : &*it;
}

void Mixer::setVoiceGain(std::uint32_t voiceId, float left, float right)
{
    if (const Voice* found = findVoice(voiceId)) {
        Voice& voice = const_cast<Voice&>(*found);
        voice.gainLeft = std::max(0.0f, left);
        voice.gainRight = std::max(0.0f, right);
    }
}

std::optional<std::size_t> Mixer::voicePosition(std::uint32_t voiceId) const
{
    const Voice* voice = findVoice(voiceId);
    if (!voice)
        return std::nullopt;
    return voice->position;
}

std::vector<std::uint32_t> Mixer::takeFinished()
{
    std::vector<std::uint32_t> finished;
    finished.swap(m_finished);
    return finished;
}

void Mixer::stopSound(std::uint32_t soundKey)
{
    m_voices.erase(std::remove_if(m_voices.begin(), m_voices.end(),
                                  [soundKey](const Voice& v) { return v.key == soundKey; }),
                   m_voices.end());
}

void Mixer::stopAll()
{
    m_voices.clear();
    m_streams.clear();
}

bool Mixer::isPlaying(std::uint32_t soundKey) const
{
    return std::any_of(m_voices.begin(), m_voices.end(), [soundKey](const Voice& v) { return v.key == soundKey; });
}

void Mixer::queueStream(const std::vector<float>& frames, std::uint32_t key)
{
    std::deque<float>& queue = m_streams[key].samples;
    queue.insert(queue.end(), frames.begin(), frames.end() - std::ptrdiff_t(frames.size() % 2));
    // Where nothing plays the queue out (no output), the oldest sound gives way.
    std::size_t limit = std::size_t(limits::kMaxQueuedStreamSeconds * kOutputRate) * 2;
    if (queue.size() > limit)
        queue.erase(queue.begin(), queue.begin() + std::ptrdiff_t(queue.size() - limit));
}

std::size_t Mixer::queuedStreamFrames(std::uint32_t key) const
{
    auto it = m_streams.find(key);
    return it == m_streams.end() ? 0 : it->second.samples.size() / 2;
}

std::size_t Mixer::starvedStreamFrames(std::uint32_t key) const
{
    auto it = m_streams.find(key);
    return it == m_streams.end() ? 0 : it->second.starved;
}

void Mixer::forgiveStarvation(std::uint32_t key, std::size_t frames)
{
    auto it = m_streams.find(key);
    if (it != m_streams.end())
        it->second.starved -= std::min(frames, it->second.starved);
}

void Mixer::mixStreams(float* out, std::size_t frames)
{
    for (auto& [key, stream] : m_streams) {
        std::deque<float>& queue = stream.samples;
        std::size_t fromStream = std::min(queue.size(), 2 * frames);
        for (std::size_t i = 0; i < fromStream; ++i)
            out[i] += queue[i];
        queue.erase(queue.begin(), queue.begin() + std::ptrdiff_t(fromStream));
        stream.starved += frames - fromStream / 2;
    }
}

void Mixer::setVolume(float volume)
{
    m_volume = std::clamp(volume, 0.0f, 1.0f);
}

bool Mixer::mixVoice(Voice& voice, float* out, std::size_t frames) const
{
    const float* samples = voice.sound->samples.data();
    for (std::size_t f = 0; f < frames; ++f) {
        if (voice.position >= voice.end) {
            if (--voice.loopsLeft == 0)
                return false;
            voice.position = voice.begin;
        }
        float left = 1.0f, right = 1.0f;
        if (!voice.envelope.empty())
            envelopeLevels(voice.envelope, voice.elapsed, left, right);
        out[2 * f] += samples[2 * voice.position] * left * voice.gainLeft;
        out[2 * f + 1] += samples[2 * voice.position + 1] * right * voice.gainRight;
        ++voice.position;
        ++voice.elapsed;
    }
    // A voice that has just played its last frame is done now rather than on the next call.
    return !(voice.position >= voice.end && voice.loopsLeft == 1);
}

void Mixer::mix(float* out, std::size_t frames)
{
    std::fill(out, out + 2 * frames, 0.0f);
    for (std::size_t i = 0; i < m_voices.size();) {
        if (mixVoice(m_voices[i], out, frames)) {
            ++i;
        } else {
            m_finished.push_back(m_voices[i].id);
            m_voices.erase(m_voices.begin() + std::ptrdiff_t(i));
        }
    }
    mixStreams(out, frames);
    for (std::size_t i = 0; i < 2 * frames; ++i)
        out[i] = std::clamp(out[i] * m_volume, -1.0f, 1.0f);
}

void Mixer::mix(std::int16_t* out, std::size_t frames)
{
    std::vector<float> buffer(2 * frames);
    mix(buffer.data(), frames);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        out[i] = std::int16_t(std::lrint(buffer[i] * 32767.0f));
}

}  // namespace swf::audio
