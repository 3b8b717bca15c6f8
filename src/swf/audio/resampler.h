// Sample-rate conversion by band-limited (windowed sinc) interpolation, for any pair of rates, fed in
// pieces; the output of pieces joined equals the output of the whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf::audio {

class Resampler {
public:
    Resampler(double inputRate, double outputRate, int channels);

    // Converts the interleaved input frames and appends what can be produced so far to out; a few input
    // frames stay buffered until later input (or finish) shows what follows them.
    void push(const float* input, std::size_t frames, std::vector<float>& out);
    // Produces the buffered tail, as if silence followed; out then holds exactly
    // ceil(input frames × outputRate / inputRate) frames overall.
    void finish(std::vector<float>& out);
    // Forgets buffered input, as after a jump.
    void reset();

    int channels() const { return m_channels; }

private:
    void produce(std::vector<float>& out, std::uint64_t limit);
    float tap(double distance) const;

    double m_step;    // input frames per output frame
    double m_cutoff;  // fraction of the input's Nyquist frequency kept
    int m_channels;
    int m_halfWidth;  // input frames on each side an output frame depends on
    bool m_passThrough;
    std::vector<float> m_kernel;  // the window-weighted sinc, sampled finely
    // Tap weights by the output frame's offset between input frames. Converting the SWF rates to
    // 44.1 kHz repeats a few offsets exactly (an eighth, a quarter, a half), so they are kept.
    struct PhaseWeights {
        double fraction;
        std::vector<float> weights;
    };
    static constexpr std::size_t kCachedPhases = 8;
    const std::vector<float>& weightsFor(double fraction);
    std::vector<PhaseWeights> m_phases;
    std::vector<float> m_weights;  // for an offset not kept
    std::vector<float> m_history;
    double m_position = 0;  // of the next output frame, in frames of m_history
    std::uint64_t m_inputFrames = 0;
    std::uint64_t m_outputFrames = 0;
};

}  // namespace swf::audio
