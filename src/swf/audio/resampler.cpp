#include "swf/audio/resampler.h"

#include <algorithm>
#include <cmath>

namespace swf::audio {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Zero crossings of the sinc on each side: more means a steeper filter and more work per frame.
constexpr int kZeroCrossings = 32;
// Kernel samples per unit of distance; taps between them are interpolated linearly.
constexpr int kKernelResolution = 256;

double blackman(double u)
{
    return 0.42 + 0.5 * std::cos(kPi * u) + 0.08 * std::cos(2 * kPi * u);
}

}  // namespace

Resampler::Resampler(double inputRate, double outputRate, int channels)
    : m_step(inputRate / outputRate), m_channels(std::max(1, channels)),
      m_passThrough(std::fabs(inputRate - outputRate) < 1e-9)
{
    // The pass band ends a little inside the lower Nyquist frequency, so that the transition band
    // lies below it: downsampling folds nothing back, upsampling adds no images of the source.
    m_cutoff = std::min(1.0, outputRate / inputRate) * 0.95;
    m_halfWidth = int(std::ceil(kZeroCrossings / m_cutoff));
    std::size_t size = std::size_t(m_halfWidth) * kKernelResolution + 2;
    m_kernel.resize(size);
    for (std::size_t i = 0; i < size; ++i) {
        double x = double(i) / kKernelResolution;
        double u = std::min(1.0, x / m_halfWidth);
        double arg = kPi * m_cutoff * x;
        double sinc = x == 0 ? 1.0 : std::sin(arg) / arg;
        m_kernel[i] = float(m_cutoff * sinc * blackman(u));
    }
    reset();
}

void Resampler::reset()
{
    // Silence before the first frame, so the first output frame lines up with the first input frame.
    m_history.assign(std::size_t(m_halfWidth) * m_channels, 0.0f);
    m_position = m_halfWidth;
    m_inputFrames = 0;
    m_outputFrames = 0;
}

float Resampler::tap(double distance) const
{
    double at = std::fabs(distance) * kKernelResolution;
    std::size_t i = std::size_t(at);
    if (i + 1 >= m_kernel.size())
        return 0.0f;
    float fraction = float(at - double(i));
    return m_kernel[i] + (m_kernel[i + 1] - m_kernel[i]) * fraction;
}

const std::vector<float>& Resampler::weightsFor(double fraction)
{
    for (const PhaseWeights& phase : m_phases)
        if (phase.fraction == fraction)
            return phase.weights;
    std::vector<float>* target = &m_weights;
    if (m_phases.size() < kCachedPhases) {
        m_phases.push_back({fraction, {}});
        target = &m_phases.back().weights;
    }
    target->resize(std::size_t(2 * m_halfWidth));
    for (long k = 0; k < 2 * m_halfWidth; ++k)
        (*target)[std::size_t(k)] = tap(double(k - m_halfWidth + 1) - fraction);
    return *target;
}

void Resampler::produce(std::vector<float>& out, std::uint64_t limit)
{
    std::size_t available = m_history.size() / m_channels;
    while (m_outputFrames < limit) {
        long centre = long(std::floor(m_position));
        if (centre + m_halfWidth >= long(available))
            break;
        long first = centre - m_halfWidth + 1;
        const std::vector<float>& weights = weightsFor(m_position - double(centre));
        for (int c = 0; c < m_channels; ++c) {
            const float* input = m_history.data() + std::size_t(first) * m_channels + c;
            float sum = 0.0f;
            for (long k = 0; k < 2 * m_halfWidth; ++k)
                sum += input[std::size_t(k) * m_channels] * weights[std::size_t(k)];
            out.push_back(sum);
        }
        ++m_outputFrames;
        m_position += m_step;
    }
    // Drop the frames no later output frame reaches.
    long keepFrom = std::max(0L, long(std::floor(m_position)) - m_halfWidth + 1);
    keepFrom = std::min<long>(keepFrom, long(available));
    m_history.erase(m_history.begin(), m_history.begin() + keepFrom * m_channels);
    m_position -= double(keepFrom);
}

void Resampler::push(const float* input, std::size_t frames, std::vector<float>& out)
{
    if (m_passThrough) {
        out.insert(out.end(), input, input + frames * m_channels);
        return;
    }
    m_inputFrames += frames;
    m_history.insert(m_history.end(), input, input + frames * m_channels);
    produce(out, UINT64_MAX);
}

void Resampler::finish(std::vector<float>& out)
{
    if (m_passThrough)
        return;
    auto expected = std::uint64_t(std::ceil(double(m_inputFrames) / m_step - 1e-9));
    m_history.insert(m_history.end(), std::size_t(m_halfWidth + 2) * m_channels, 0.0f);
    produce(out, expected);
    reset();
}

}  // namespace swf::audio
