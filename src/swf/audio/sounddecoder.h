// Turns the samples of DefineSound and SoundStreamBlock tags into stereo float frames at the output rate.
#pragma once

#include "swf/audio/mp3decoder.h"
#include "swf/audio/nellymoser.h"
#include "swf/audio/pcm.h"
#include "swf/audio/resampler.h"
#include "swf/audio/soundtags.h"
#include "swf/result.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace swf::audio {

// A sound ready for mixing: interleaved stereo float frames (-1 to 1) at kOutputRate.
struct DecodedSound {
    std::vector<float> samples;

    std::size_t frames() const { return samples.size() / 2; }
};

// Decodes an event sound. sampleCount (frames at the source rate, 0 = unknown) trims what the codec
// adds at the end; MP3 data opens with the number of samples to skip at its start (encoder delay).
// Speex is not decoded: it fails with a message.
Result<DecodedSound> decodeSound(const SoundFormat& format, std::uint32_t sampleCount, const std::uint8_t* data,
                                 std::size_t size);
Result<DecodedSound> decodeSound(const DefineSoundTag& tag);
// An MP3 file as a whole (Sound.loadSound); fails when no frame of it decodes.
Result<DecodedSound> decodeMp3File(const std::uint8_t* data, std::size_t size);

// Largest number of source frames a sound of this rate may decode to.
std::size_t maxSourceFrames(double rate);

// Converts decoded samples to output frames through the resampler, mono spread to both sides.
void appendOutput(const Pcm& pcm, Resampler& resampler, std::vector<float>& out);

// Decodes a stream sound block by block. The timeline hands over the SoundStreamBlock of each frame it
// enters; the frames go to the mixer's stream queue.
class StreamDecoder {
public:
    explicit StreamDecoder(const SoundStreamHeadTag& head);

    // Decodes one SoundStreamBlock body and appends its output frames. startsPlayback marks the first
    // block after playback starts or jumps: decoder state is dropped and an MP3 block's seek count (the
    // samples that belong to the frame before) is skipped. Returns false for a codec that is not decoded.
    bool decodeBlock(const std::uint8_t* body, std::size_t size, std::vector<float>& out,
                     bool startsPlayback = false);

    const SoundStreamHeadTag& head() const { return m_head; }

    // Output frames one movie frame lasts, which a stream's blocks deliver on average.
    static double outputFramesPerMovieFrame(double framesPerSecond)
    {
        return framesPerSecond > 0 ? kOutputRate / framesPerSecond : 0;
    }

private:
    Pcm decodeMp3Block(const std::uint8_t* body, std::size_t size, bool startsPlayback);
    Pcm decodeNellymoserBlock(const std::uint8_t* body, std::size_t size, bool startsPlayback);

    SoundStreamHeadTag m_head;
    std::unique_ptr<Mp3Decoder> m_mp3;
    std::unique_ptr<NellymoserDecoder> m_nellymoser;
    std::unique_ptr<Resampler> m_resampler;
    double m_resamplerRate = 0;
    int m_resamplerChannels = 0;
};

}  // namespace swf::audio
