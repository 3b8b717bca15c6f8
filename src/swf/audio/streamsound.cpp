#include "swf/audio/streamsound.h"

namespace swf::audio {

StreamSound::StreamSound(const SoundStreamHeadTag& head, double framesPerSecond)
    : m_decoder(head), m_framesPerMovieFrame(StreamDecoder::outputFramesPerMovieFrame(framesPerSecond))
{
}

void StreamSound::enterFrame(std::uint32_t frame, const std::uint8_t* block, std::size_t size, Mixer& mixer)
{
    bool continues = m_lastFrame && *m_lastFrame + 1 == frame;
    m_lastFrame = frame;
    if (!continues)
        mixer.clearStream();
    if (block == nullptr || !m_decodable)
        return;
    m_buffer.clear();
    m_decodable = m_decoder.decodeBlock(block, size, m_buffer, !continues);
    mixer.queueStream(m_buffer);
}

void StreamSound::stop(Mixer& mixer)
{
    mixer.clearStream();
    m_lastFrame.reset();
}

}  // namespace swf::audio
