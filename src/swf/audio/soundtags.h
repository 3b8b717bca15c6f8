// Sound tags: DefineSound, SoundStreamHead 1-2, StartSound 1-2 and their sound-info records.
#pragma once

#include "swf/result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {
class ByteReader;
}

namespace swf::audio {

// The coding of a sound's samples, by the numbers sound tags use.
enum class Codec : std::uint8_t {
    UncompressedNative = 0,  // written by x86 tools, so little-endian in practice
    Adpcm = 1,
    Mp3 = 2,
    UncompressedLittleEndian = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Speex = 11,
};

// The output rate every decoded sound is converted to, and the mixer's rate.
inline constexpr std::uint32_t kOutputRate = 44100;

struct SoundFormat {
    Codec codec = Codec::UncompressedLittleEndian;
    double rate = 5512.5;  // samples per second per channel
    bool is16Bit = true;
    bool stereo = false;

    int channels() const { return stereo ? 2 : 1; }
};

// Reads the packed format byte (codec in the top four bits, then rate, size, type); the Nellymoser
// variants with a fixed rate override the rate field.
SoundFormat formatFromByte(std::uint8_t packed);

struct DefineSoundTag {
    std::uint16_t id = 0;
    SoundFormat format;
    std::uint32_t sampleCount = 0;  // per channel
    std::vector<std::uint8_t> data;
};
Result<DefineSoundTag> parseDefineSound(const std::uint8_t* body, std::size_t size);

struct SoundStreamHeadTag {
    SoundFormat playback;  // what the player is advised to use
    SoundFormat stream;    // how the blocks are coded
    std::uint16_t samplesPerBlock = 0;
    std::int16_t latencySeek = 0;  // MP3 only: samples of encoder delay at the start
};
Result<SoundStreamHeadTag> parseSoundStreamHead(const std::uint8_t* body, std::size_t size);

struct EnvelopePoint {
    std::uint32_t position44 = 0;  // in 44.1 kHz samples from where playback starts
    std::uint16_t left = 32768, right = 32768;  // 32768 is full level
};

struct SoundInfo {
    bool syncStop = false;
    bool syncNoMultiple = false;
    bool hasInPoint = false, hasOutPoint = false;
    std::uint32_t inPoint = 0, outPoint = 0;  // in 44.1 kHz samples
    std::uint16_t loopCount = 1;
    std::vector<EnvelopePoint> envelope;
};

// Reads a sound-info record at the reader's position (DefineButtonSound holds four of them); the
// reader's overrun flag tells whether it was complete.
SoundInfo readSoundInfo(ByteReader& reader);

struct StartSoundTag {
    std::uint16_t soundId = 0;  // StartSound
    std::string className;      // StartSound2
    SoundInfo info;
};
Result<StartSoundTag> parseStartSound(const std::uint8_t* body, std::size_t size);
Result<StartSoundTag> parseStartSound2(const std::uint8_t* body, std::size_t size);

}  // namespace swf::audio
