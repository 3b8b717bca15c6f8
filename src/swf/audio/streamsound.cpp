#include "swf/audio/streamsound.h"

namespace swf::audio {

StreamSound::StreamSound(const SoundStreamHeadTag& head, double framesPerSecond, std::uint32_t key)
    : m_decoder(head), m_framesPerMovieFrame(StreamDecoder::outputFramesPerMovieFrame(framesPerSecond)), m_key(key)
{
}

void StreamSound::enterFrame(std::uint32_t frame, const std::uint8_t* block, std::size_t size, Mixer& mixer,
                             bool skipped, std::optional<std::uint32_t> lastFrame)
{
    bool continues = m_lastFrame && *m_lastFrame + 1 == frame;
    bool loops = m_lastFrame && lastFrame && *m_lastFrame == *lastFrame && frame == 0;
    m_lastFrame = frame;
    if (!continues && !loops)
        mixer.clearStream(m_key);
    m_sounding = false;
    if (block == nullptr || !m_decodable)
        return;
    m_buffer.clear();
    m_decodable = m_decoder.decodeBlock(block, size, m_buffer, !continues);
    m_sounding = !m_buffer.empty();
    if (!skipped)
        mixer.queueStream(m_buffer, m_key);
}

void StreamSound::stop(Mixer& mixer)
{
    m_sounding = false;
    mixer.clearStream(m_key);
    m_lastFrame.reset();
}

}  // namespace swf::audio
