#include "swf/audio/sounddecoder.h"

#include "swf/io/bytereader.h"
#include "swf/limits.h"

#include <algorithm>
#include <cmath>

namespace swf::audio {

namespace {

bool isUncompressed(Codec codec)
{
    return codec == Codec::UncompressedNative || codec == Codec::UncompressedLittleEndian;
}

bool isNellymoser(Codec codec)
{
    return codec == Codec::Nellymoser || codec == Codec::Nellymoser8k || codec == Codec::Nellymoser16k;
}

// Drops `count` frames from the start.
void skipFrames(Pcm& pcm, std::size_t count)
{
    std::size_t samples = std::min(pcm.samples.size(), count * std::size_t(pcm.channels));
    pcm.samples.erase(pcm.samples.begin(), pcm.samples.begin() + samples);
}

Result<Pcm> decodeSource(const SoundFormat& format, const std::uint8_t* data, std::size_t size,
                         std::size_t maxFrames)
{
    if (isUncompressed(format.codec))
        return decodeUncompressed(format, data, size, maxFrames);
    if (format.codec == Codec::Adpcm) {
        std::string problem;
        Pcm pcm = decodeAdpcm(format, data, size, maxFrames, &problem);
        if (!problem.empty())
            return Result<Pcm>::failure(problem);
        return pcm;
    }
    if (format.codec == Codec::Mp3) {
        ByteReader reader(data, size);
        std::int16_t seek = reader.s16();
        Pcm pcm;
        pcm.channels = format.channels();
        pcm.rate = format.rate;
        Mp3Decoder decoder;
        std::size_t skip = seek > 0 ? std::size_t(seek) : 0;
        decoder.decode(reader.current(), reader.remaining(), pcm, maxFrames + skip);
        skipFrames(pcm, skip);
        return pcm;
    }
    if (isNellymoser(format.codec))
        return decodeNellymoser(format, data, size, maxFrames);
    return Result<Pcm>::failure("sound codec " + std::to_string(int(format.codec)) + " is not supported");
}

}  // namespace

std::size_t maxSourceFrames(double rate)
{
    return std::size_t(std::max(1.0, rate) * limits::kMaxSoundSeconds);
}

void appendOutput(const Pcm& pcm, Resampler& resampler, std::vector<float>& out)
{
    std::vector<float> source(pcm.samples.size());
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = float(pcm.samples[i]) / 32768.0f;
    if (resampler.channels() == 2) {
        resampler.push(source.data(), pcm.frames(), out);
        return;
    }
    std::vector<float> mono;
    resampler.push(source.data(), pcm.frames(), mono);
    out.reserve(out.size() + mono.size() * 2);
    for (float v : mono) {
        out.push_back(v);
        out.push_back(v);
    }
}

Result<DecodedSound> decodeSound(const SoundFormat& format, std::uint32_t sampleCount, const std::uint8_t* data,
                                 std::size_t size)
{
    std::size_t limit = maxSourceFrames(format.rate);
    if (sampleCount > 0)
        limit = std::min<std::size_t>(limit, sampleCount);
    Result<Pcm> pcm = decodeSource(format, data, data ? size : 0, limit);
    if (!pcm)
        return Result<DecodedSound>::failure(pcm.error());
    DecodedSound sound;
    Resampler resampler(pcm->rate, kOutputRate, pcm->channels);
    appendOutput(pcm.value(), resampler, sound.samples);
    std::vector<float> tail;
    resampler.finish(tail);
    if (resampler.channels() == 2) {
        sound.samples.insert(sound.samples.end(), tail.begin(), tail.end());
    } else {
        for (float v : tail) {
            sound.samples.push_back(v);
            sound.samples.push_back(v);
        }
    }
    return sound;
}

Result<DecodedSound> decodeSound(const DefineSoundTag& tag)
{
    return decodeSound(tag.format, tag.sampleCount, tag.data.data(), tag.data.size());
}

Result<DecodedSound> decodeMp3File(const std::uint8_t* data, std::size_t size)
{
    // An MP3 file is what a DefineSound holds after its seek count; the first frame tells rate and channels,
    // and the rate given here only bounds the length at the longest sound a movie may have.
    std::vector<std::uint8_t> body(2, 0);
    if (data)
        body.insert(body.end(), data, data + size);
    SoundFormat format;
    format.codec = Codec::Mp3;
    format.rate = 48000;
    format.stereo = true;
    Result<DecodedSound> sound = decodeSound(format, 0, body.data(), body.size());
    if (sound && sound->frames() == 0)
        return Result<DecodedSound>::failure("no MP3 frame could be decoded");
    return sound;
}

StreamDecoder::StreamDecoder(const SoundStreamHeadTag& head) : m_head(head)
{
    if (head.stream.codec == Codec::Mp3)
        m_mp3 = std::make_unique<Mp3Decoder>();
    if (isNellymoser(head.stream.codec))
        m_nellymoser = std::make_unique<NellymoserDecoder>();
}

Pcm StreamDecoder::decodeMp3Block(const std::uint8_t* body, std::size_t size, bool startsPlayback)
{
    // Sample count for the block, then the samples of the block's first MP3 frame that belong before it.
    ByteReader reader(body, size);
    reader.u16();
    std::int16_t seek = reader.s16();
    Pcm pcm;
    pcm.channels = m_head.stream.channels();
    pcm.rate = m_head.stream.rate;
    if (startsPlayback)
        m_mp3->reset();
    std::size_t skip = startsPlayback && seek > 0 ? std::size_t(seek) : 0;
    m_mp3->decode(reader.current(), reader.remaining(), pcm, maxSourceFrames(pcm.rate) + skip);
    skipFrames(pcm, skip);
    return pcm;
}

Pcm StreamDecoder::decodeNellymoserBlock(const std::uint8_t* body, std::size_t size, bool startsPlayback)
{
    Pcm pcm;
    pcm.channels = 1;
    pcm.rate = m_head.stream.rate;
    if (startsPlayback)
        m_nellymoser->reset();
    m_nellymoser->decode(body, size, pcm, maxSourceFrames(pcm.rate));
    return pcm;
}

bool StreamDecoder::decodeBlock(const std::uint8_t* body, std::size_t size, std::vector<float>& out,
                                bool startsPlayback)
{
    const SoundFormat& format = m_head.stream;
    Pcm pcm;
    if (format.codec == Codec::Mp3)
        pcm = decodeMp3Block(body, size, startsPlayback);
    else if (format.codec == Codec::Adpcm)
        pcm = decodeAdpcm(format, body, size, maxSourceFrames(format.rate));  // every block restarts ADPCM
    else if (isUncompressed(format.codec))
        pcm = decodeUncompressed(format, body, size, maxSourceFrames(format.rate));
    else if (m_nellymoser)
        pcm = decodeNellymoserBlock(body, size, startsPlayback);
    else
        return false;
    if (pcm.frames() == 0)
        return true;
    if (startsPlayback || !m_resampler || m_resamplerRate != pcm.rate || m_resamplerChannels != pcm.channels) {
        m_resampler = std::make_unique<Resampler>(pcm.rate, kOutputRate, pcm.channels);
        m_resamplerRate = pcm.rate;
        m_resamplerChannels = pcm.channels;
    }
    appendOutput(pcm, *m_resampler, out);
    return true;
}

}  // namespace swf::audio
