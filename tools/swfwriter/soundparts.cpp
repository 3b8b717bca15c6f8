#include "swfwriter/soundparts.h"

namespace kivamo::test {

std::uint8_t soundFormatByte(unsigned codec, unsigned rateCode, bool is16Bit, bool stereo)
{
    return std::uint8_t((codec << 4) | ((rateCode & 3) << 2) | (is16Bit ? 2 : 0) | (stereo ? 1 : 0));
}

Bytes pcmBytes(const std::vector<std::int16_t>& samples)
{
    ByteWriter w;
    for (std::int16_t s : samples)
        w.s16(s);
    return w.data();
}

Bytes defineSoundBody(std::uint16_t id, std::uint8_t format, std::uint32_t sampleCount, const Bytes& data)
{
    ByteWriter w;
    w.u16(id).u8(format).u32(sampleCount).bytes(data);
    return w.data();
}

Bytes soundStreamHeadBody(std::uint8_t format, std::uint16_t samplesPerBlock, std::int16_t latencySeek)
{
    ByteWriter w;
    // The playback byte keeps only rate, size and channels; the stream byte has the codec too.
    w.u8(format & 0x0F).u8(format).u16(samplesPerBlock);
    if ((format >> 4) == 2)
        w.s16(latencySeek);
    return w.data();
}

Bytes soundInfoBytes(const WriterSoundInfo& info)
{
    ByteWriter w;
    std::uint8_t flags = std::uint8_t((info.syncStop ? 0x20 : 0) | (info.noMultiple ? 0x10 : 0) |
                                      (info.envelope.empty() ? 0 : 0x08) | (info.loops ? 0x04 : 0) |
                                      (info.outPoint ? 0x02 : 0) | (info.inPoint ? 0x01 : 0));
    w.u8(flags);
    if (info.inPoint)
        w.u32(info.inPoint);
    if (info.outPoint)
        w.u32(info.outPoint);
    if (info.loops)
        w.u16(info.loops);
    if (!info.envelope.empty()) {
        w.u8(std::uint8_t(info.envelope.size()));
        for (const auto& [position, levels] : info.envelope)
            w.u32(position).u16(levels.first).u16(levels.second);
    }
    return w.data();
}

Bytes startSoundBody(std::uint16_t id, const WriterSoundInfo& info)
{
    ByteWriter w;
    w.u16(id).bytes(soundInfoBytes(info));
    return w.data();
}

Bytes exportAssetsBody(const std::vector<std::pair<std::uint16_t, std::string>>& names)
{
    ByteWriter w;
    w.u16(std::uint16_t(names.size()));
    for (const auto& [id, name] : names)
        w.u16(id).cstring(name);
    return w.data();
}

}  // namespace kivamo::test
