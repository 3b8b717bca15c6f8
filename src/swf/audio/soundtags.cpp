#include "swf/audio/soundtags.h"

#include "swf/io/bytereader.h"

namespace swf::audio {

namespace {

// The two-bit rate field: 5.5, 11, 22 and 44 kHz. "5.5 kHz" is an eighth of 44.1 kHz.
constexpr double kRates[4] = {5512.5, 11025.0, 22050.0, 44100.0};

}  // namespace

SoundInfo readSoundInfo(ByteReader& reader)
{
    SoundInfo info;
    std::uint8_t flags = reader.u8();
    info.syncStop = flags & 0x20;
    info.syncNoMultiple = flags & 0x10;
    bool hasEnvelope = flags & 0x08, hasLoops = flags & 0x04;
    info.hasOutPoint = flags & 0x02;
    info.hasInPoint = flags & 0x01;
    if (info.hasInPoint)
        info.inPoint = reader.u32();
    if (info.hasOutPoint)
        info.outPoint = reader.u32();
    if (hasLoops)
        info.loopCount = reader.u16();
    if (hasEnvelope) {
        std::uint8_t count = reader.u8();
        for (std::uint8_t i = 0; i < count && !reader.overrun(); ++i) {
            EnvelopePoint point;
            point.position44 = reader.u32();
            point.left = reader.u16();
            point.right = reader.u16();
            info.envelope.push_back(point);
        }
    }
    return info;
}

SoundFormat formatFromByte(std::uint8_t packed)
{
    SoundFormat format;
    format.codec = static_cast<Codec>(packed >> 4);
    format.rate = kRates[(packed >> 2) & 3];
    format.is16Bit = packed & 0x02;
    format.stereo = packed & 0x01;
    if (format.codec == Codec::Nellymoser16k)
        format.rate = 16000;
    else if (format.codec == Codec::Nellymoser8k)
        format.rate = 8000;
    return format;
}

Result<DefineSoundTag> parseDefineSound(const std::uint8_t* body, std::size_t size)
{
    ByteReader reader(body, size);
    DefineSoundTag tag;
    tag.id = reader.u16();
    tag.format = formatFromByte(reader.u8());
    tag.sampleCount = reader.u32();
    if (reader.overrun())
        return Result<DefineSoundTag>::failure("DefineSound is cut short");
    tag.data.assign(reader.current(), reader.current() + reader.remaining());
    return tag;
}

Result<SoundStreamHeadTag> parseSoundStreamHead(const std::uint8_t* body, std::size_t size)
{
    ByteReader reader(body, size);
    SoundStreamHeadTag tag;
    tag.playback = formatFromByte(reader.u8() & 0x0F);
    tag.stream = formatFromByte(reader.u8());
    tag.samplesPerBlock = reader.u16();
    if (reader.overrun())
        return Result<SoundStreamHeadTag>::failure("SoundStreamHead is cut short");
    // Some tools leave the latency field out; it is then zero.
    if (tag.stream.codec == Codec::Mp3 && reader.remaining() >= 2)
        tag.latencySeek = reader.s16();
    return tag;
}

Result<StartSoundTag> parseStartSound(const std::uint8_t* body, std::size_t size)
{
    ByteReader reader(body, size);
    StartSoundTag tag;
    tag.soundId = reader.u16();
    tag.info = readSoundInfo(reader);
    if (reader.overrun())
        return Result<StartSoundTag>::failure("StartSound is cut short");
    return tag;
}

Result<StartSoundTag> parseStartSound2(const std::uint8_t* body, std::size_t size)
{
    ByteReader reader(body, size);
    StartSoundTag tag;
    tag.className = reader.cstring();
    tag.info = readSoundInfo(reader);
    if (reader.overrun())
        return Result<StartSoundTag>::failure("StartSound2 is cut short");
    return tag;
}

}  // namespace swf::audio
