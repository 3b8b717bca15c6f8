// Sound tag bodies for written movies: DefineSound, SoundStreamHead2, StartSound with its sound info,
// and ExportAssets for linkage names.
#pragma once

#include "swfwriter/swfwriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kivamo::test {

// The packed format byte: codec (0-15), rate code (0 = 5.5 kHz … 3 = 44 kHz), 16-bit, stereo.
std::uint8_t soundFormatByte(unsigned codec, unsigned rateCode, bool is16Bit, bool stereo);

// Uncompressed little-endian 16-bit samples (codec 3) as sound data.
Bytes pcmBytes(const std::vector<std::int16_t>& samples);

Bytes defineSoundBody(std::uint16_t id, std::uint8_t format, std::uint32_t sampleCount, const Bytes& data);
Bytes soundStreamHeadBody(std::uint8_t format, std::uint16_t samplesPerBlock, std::int16_t latencySeek = 0);

struct WriterSoundInfo {
    bool syncStop = false, noMultiple = false;
    std::uint32_t inPoint = 0, outPoint = 0;  // 0 = none
    std::uint16_t loops = 0;                  // 0 = none (plays once)
    std::vector<std::pair<std::uint32_t, std::pair<std::uint16_t, std::uint16_t>>> envelope;  // position44, levels
};
Bytes soundInfoBytes(const WriterSoundInfo& info);
Bytes startSoundBody(std::uint16_t id, const WriterSoundInfo& info = {});
Bytes exportAssetsBody(const std::vector<std::pair<std::uint16_t, std::string>>& names);

}  // namespace kivamo::test
