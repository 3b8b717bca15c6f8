#include "swf/audio/mp3decoder.h"

#include <mpg123.h>

#include <vector>

namespace swf::audio {

namespace {

constexpr std::size_t kOutputChunk = 16384;  // bytes per decode call
// Calls that produce neither output nor a request for input before giving up on the data.
constexpr int kMaxIdleCalls = 64;

}  // namespace

Mp3Decoder::Mp3Decoder()
{
    open();
}

Mp3Decoder::~Mp3Decoder()
{
    if (m_handle != nullptr) {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
    }
}

void Mp3Decoder::open()
{
    int error = MPG123_OK;
    m_handle = mpg123_new(nullptr, &error);
    if (m_handle == nullptr)
        return;
    mpg123_param(m_handle, MPG123_FLAGS, MPG123_QUIET, 0.0);
    // Always 16-bit output at the stream's own rate; resampling is done afterwards.
    mpg123_format_none(m_handle);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(m_handle) != MPG123_OK) {
        mpg123_delete(m_handle);
        m_handle = nullptr;
    }
}

void Mp3Decoder::reset()
{
    if (m_handle != nullptr) {
        mpg123_close(m_handle);
        if (mpg123_open_feed(m_handle) != MPG123_OK) {
            mpg123_delete(m_handle);
            m_handle = nullptr;
        }
    }
}

void Mp3Decoder::append(const std::int16_t* samples, std::size_t count, Pcm& out, std::size_t maxFrames)
{
    std::size_t frames = count / std::size_t(m_channels);
    for (std::size_t f = 0; f < frames && out.frames() < maxFrames; ++f) {
        const std::int16_t* frame = samples + f * m_channels;
        if (out.channels == m_channels) {
            out.samples.insert(out.samples.end(), frame, frame + m_channels);
        } else if (out.channels == 2) {
            out.samples.push_back(frame[0]);
            out.samples.push_back(frame[0]);
        } else {
            out.samples.push_back(std::int16_t((int(frame[0]) + frame[1]) / 2));
        }
    }
}

void Mp3Decoder::decode(const std::uint8_t* data, std::size_t size, Pcm& out, std::size_t maxFrames)
{
    if (m_handle == nullptr)
        return;
    if (size > 0 && mpg123_feed(m_handle, data, size) != MPG123_OK)
        return;
    std::vector<unsigned char> buffer(kOutputChunk);
    int idle = 0;
    while (out.frames() < maxFrames && idle < kMaxIdleCalls) {
        std::size_t done = 0;
        int status = mpg123_read(m_handle, buffer.data(), buffer.size(), &done);
        if (status == MPG123_NEW_FORMAT) {
            int channels = 0, encoding = 0;
            long rate = 0;
            mpg123_getformat(m_handle, &rate, &channels, &encoding);
            m_channels = channels == 2 ? 2 : 1;
            if (!m_formatKnown) {
                m_formatKnown = true;
                m_rate = rate;
                if (out.samples.empty()) {
                    out.channels = m_channels;
                    out.rate = double(rate);
                }
            }
        }
        if (done > 0 && m_channels > 0) {
            append(reinterpret_cast<const std::int16_t*>(buffer.data()), done / 2, out, maxFrames);
            idle = 0;
        } else {
            ++idle;
        }
        if (status == MPG123_NEED_MORE || status == MPG123_DONE)
            break;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT)
            break;
    }
}

}  // namespace swf::audio
