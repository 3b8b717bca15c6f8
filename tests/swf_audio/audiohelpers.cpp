#include "audiohelpers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <lame/lame.h>

namespace kivamo::test {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Appends bit fields most significant bit first.
class BitPacker {
public:
    void put(std::uint32_t value, unsigned bits)
    {
        for (unsigned i = bits; i-- > 0;) {
            m_current = std::uint8_t((m_current << 1) | ((value >> i) & 1));
            if (++m_used == 8) {
                m_bytes.push_back(m_current);
                m_current = 0;
                m_used = 0;
            }
        }
    }
    Bytes finish()
    {
        if (m_used > 0)
            m_bytes.push_back(std::uint8_t(m_current << (8 - m_used)));
        return m_bytes;
    }

private:
    Bytes m_bytes;
    std::uint8_t m_current = 0;
    unsigned m_used = 0;
};

const int kSteps[89] = {7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
                        25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
                        88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
                        307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
                        1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
                        3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
                        12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Index adjustments of the SWF ADPCM coder, by code size and magnitude.
int indexShift(unsigned bits, unsigned magnitude)
{
    static const std::vector<std::vector<int>> shifts = {
        {-1, 2}, {-1, -1, 2, 4}, {-1, -1, -1, -1, 2, 4, 6, 8}, {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16}};
    return shifts[bits - 2][magnitude];
}

struct Predictor {
    int sample = 0;
    int index = 0;
};

// The decoded value of a code: the step times (magnitude + 0.5) / 2^(bits-2), built from shifted steps.
Predictor apply(Predictor p, unsigned code, unsigned bits)
{
    unsigned sign = 1u << (bits - 1);
    int step = kSteps[p.index];
    int diff = step >> (bits - 1);
    for (unsigned bit = 0; bit + 1 < bits; ++bit)
        if (code & (1u << bit))
            diff += step >> (bits - 2 - bit);
    p.sample = std::clamp(p.sample + ((code & sign) ? -diff : diff), -32768, 32767);
    p.index = std::clamp(p.index + indexShift(bits, code & (sign - 1)), 0, 88);
    return p;
}

unsigned bestCode(const Predictor& p, int target, unsigned bits)
{
    unsigned best = 0;
    long bestError = std::numeric_limits<long>::max();
    for (unsigned code = 0; code < (1u << bits); ++code) {
        long error = std::labs(long(apply(p, code, bits).sample) - target);
        if (error < bestError) {
            bestError = error;
            best = code;
        }
    }
    return best;
}

}  // namespace

std::vector<std::int16_t> tone(double frequency, double rate, std::size_t frames, double amplitude, int channels,
                               double rightFrequency)
{
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            double f = c == 1 && rightFrequency > 0 ? rightFrequency : frequency;
            out.push_back(std::int16_t(std::lrint(32767 * amplitude * std::sin(2 * kPi * f * double(i) / rate))));
        }
    return out;
}

Bytes encodeAdpcm(const std::vector<std::int16_t>& samples, int channels, unsigned bits)
{
    BitPacker packer;
    packer.put(bits - 2, 2);
    std::size_t frames = samples.size() / std::size_t(channels);
    Predictor predictors[2];
    for (std::size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            int target = samples[f * channels + c];
            Predictor& p = predictors[c];
            if (f % 4096 == 0) {
                p.sample = target;
                p.index = std::min(p.index, 63);  // the header holds six bits
                packer.put(std::uint16_t(target), 16);
                packer.put(unsigned(p.index), 6);
                continue;
            }
            unsigned code = bestCode(p, target, bits);
            packer.put(code, bits);
            p = apply(p, code, bits);
        }
    }
    return packer.finish();
}

Bytes encodeMp3(const std::vector<std::int16_t>& samples, int channels, int rate, int* delay)
{
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 1 ? MONO : STEREO);
    lame_set_brate(lame, 128);
    lame_set_bWriteVbrTag(lame, 0);
    lame_init_params(lame);
    std::size_t frames = samples.size() / std::size_t(channels);
    Bytes out(frames * 5 / 4 + 7200 + 16384);
    std::vector<short> copy(samples.begin(), samples.end());
    int written = channels == 1
                      ? lame_encode_buffer(lame, copy.data(), copy.data(), int(frames), out.data(), int(out.size()))
                      : lame_encode_buffer_interleaved(lame, copy.data(), int(frames), out.data(), int(out.size()));
    written += lame_encode_flush(lame, out.data() + written, int(out.size()) - written);
    out.resize(std::size_t(std::max(0, written)));
    if (delay)
        *delay = lame_get_encoder_delay(lame) + 529;
    lame_close(lame);
    return out;
}

std::vector<float> channel(const std::vector<float>& stereo, int index)
{
    std::vector<float> out;
    for (std::size_t i = std::size_t(index); i < stereo.size(); i += 2)
        out.push_back(stereo[i]);
    return out;
}

double measuredFrequency(const std::vector<float>& samples, double rate, std::size_t from, std::size_t to)
{
    to = std::min(to, samples.size());
    std::size_t first = 0, last = 0, crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return double(crossings - 1) * rate / double(last - first);
}

double rms(const std::vector<float>& samples, std::size_t from, std::size_t to)
{
    to = std::min(to, samples.size());
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

}  // namespace kivamo::test
