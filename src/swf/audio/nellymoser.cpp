// Nellymoser decoding. A block opens with 116 bits of band energies (a 6-bit start level and 22 5-bit
// level changes for 23 bands); the levels decide how many of the 198 detail bits each of 124 spectral
// lines gets, and two halves of detail bits, read with the same allocation, give two MDCT frames of
// 128 samples each. Bits are read least significant first. Lines without bits are filled with noise
// at the band's level.
#include "swf/audio/nellymoser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace swf::audio {

namespace {

constexpr int kBands = 23;
constexpr int kLines = 124;         // spectral lines that carry sound; the top four stay zero
constexpr int kHeaderBits = 116;
constexpr int kDetailBits = 198;    // bits of one half of the block
constexpr int kMaxLineBits = 6;
constexpr int kOffsetScale = 4228;  // converts an excess of bits into a level offset (fixed point)
constexpr int kOffsetShift = 19;
constexpr float kOutputScale = 1.0f / (32768.0f * 8.0f);
constexpr float kNoiseLevel = 0.70710678f;  // lines without bits get noise at 1/√2 of the band's level

constexpr int kBandWidths[kBands] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 7, 8, 9, 10, 12, 14, 15};

// The first band's level, by its 6-bit code (levels are log2 of the amplitude times 2048).
constexpr int kStartLevels[64] = {
    3134,  5342,  6870,  7792,  8569,  9185,  9744,  10191, 10631, 11061, 11434, 11770, 12116,
    12513, 12925, 13300, 13674, 14027, 14352, 14716, 15117, 15477, 15824, 16157, 16513, 16804,
    17090, 17401, 17679, 17948, 18238, 18520, 18764, 19078, 19381, 19640, 19921, 20205, 20500,
    20813, 21162, 21465, 21794, 22137, 22453, 22756, 23067, 23350, 23636, 23926, 24227, 24521,
    24819, 25107, 25414, 25730, 26120, 26497, 26895, 27344, 27877, 28463, 29426, 31355};

// The change of level from one band to the next, by its 5-bit code.
constexpr int kLevelSteps[32] = {-11725, -9420, -7910, -6801, -5948, -5233, -4599, -4039, -3507, -3030, -2596,
                                 -2170,  -1774, -1383, -1016, -660,  -329,  -1,    337,   696,   1085,  1512,
                                 1962,   2433,  2968,  3569,  4314,  5279,  6622,  8154,  10076, 12975};

// Reconstruction values of a line coded with n bits: entries (2^n - 1) to (2^(n+1) - 2), by code.
constexpr float kLineValues[127] = {
    0.0000000000f,  -0.8472560048f, 0.7224709988f,  -1.5247479677f, -0.4531480074f, 0.3753609955f,
    1.4717899561f,  -1.9822579622f, -1.1929379702f, -0.5829370022f, -0.0693780035f, 0.3909569979f,
    0.9069200158f,  1.4862740040f,  2.2215409279f,  -2.3887870312f, -1.8067539930f, -1.4105420113f,
    -1.0773609877f, -0.7995010018f, -0.5558109879f, -0.3334020078f, -0.1324490011f, 0.0568020009f,
    0.2548770010f,  0.4773550034f,  0.7386850119f,  1.0443060398f,  1.3954459429f,  1.8098750114f,
    2.3918759823f,  -2.3893830776f, -1.9884680510f, -1.7514040470f, -1.5643119812f, -1.3922129869f,
    -1.2164649963f, -1.0469499826f, -0.8905100226f, -0.7645580173f, -0.6454579830f, -0.5259280205f,
    -0.4059549868f, -0.3029719889f, -0.2096900046f, -0.1239869967f, -0.0479229987f, 0.0257730000f,
    0.1001340002f,  0.1737180054f,  0.2585540116f,  0.3522900045f,  0.4569880068f,  0.5767750144f,
    0.7003160119f,  0.8425520062f,  1.0093879700f,  1.1821349859f,  1.3534560204f,  1.5320819616f,
    1.7332619429f,  1.9722349644f,  2.3978140354f,  -2.5756309032f, -2.0573320389f, -1.8984919786f,
    -1.7727810144f, -1.6662600040f, -1.5742180347f, -1.4993319511f, -1.4316639900f, -1.3652280569f,
    -1.3000990152f, -1.2280930281f, -1.1588579416f, -1.0921250582f, -1.0135740042f, -0.9202849865f,
    -0.8287050128f, -0.7374889851f, -0.6447759867f, -0.5590940118f, -0.4857139885f, -0.4110319912f,
    -0.3459700048f, -0.2851159871f, -0.2341620028f, -0.1870580018f, -0.1442500055f, -0.1107169986f,
    -0.0739680007f, -0.0365610011f, -0.0073290002f, 0.0203610007f,  0.0479039997f,  0.0751969963f,
    0.0980999991f,  0.1220389977f,  0.1458999962f,  0.1694349945f,  0.1970459968f,  0.2252430022f,
    0.2556869984f,  0.2870100141f,  0.3197099864f,  0.3525829911f,  0.3889069855f,  0.4334920049f,
    0.4769459963f,  0.5204820037f,  0.5644530058f,  0.6122040153f,  0.6685929894f,  0.7341650128f,
    0.8032159805f,  0.8784040213f,  0.9566209912f,  1.0397069454f,  1.1293770075f,  1.2211159468f,
    1.3080279827f,  1.4024800062f,  1.5056819916f,  1.6227730513f,  1.7724959850f,  1.9430880547f,
    2.2903931141f};

// Reads bit fields of one block least significant bit first; bits past the block's end read as 0
// (damaged levels can ask for more detail bits than a block holds).
class BitFields {
public:
    BitFields(const std::uint8_t* data, int startBit) : m_data(data), m_bit(startBit) {}
    unsigned read(int count)
    {
        constexpr int kBlockBits = int(NellymoserDecoder::kBlockBytes) * 8;
        unsigned value = 0;
        for (int i = 0; i < count && m_bit < kBlockBits; ++i, ++m_bit)
            value |= unsigned((m_data[m_bit >> 3] >> (m_bit & 7)) & 1) << i;
        return value;
    }

private:
    const std::uint8_t* m_data;
    int m_bit;
};

// The codec's fixed-point arithmetic wraps on absurd levels (only damaged data has them); the wide
// types here keep that free of undefined behaviour without changing any result for real data.
std::int64_t shiftBy(std::int64_t value, int shift)
{
    return shift > 0 ? std::int64_t(std::uint64_t(value) << std::min(shift, 40)) : value >> std::min(-shift, 62);
}

// Scales a nonzero value up until its top bit sits just below the sign bit; returns the shift (31 for 0).
int normalise(int& value)
{
    if (value == 0)
        return 31;
    int shift = 0;
    for (unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value); magnitude < 0x40000000u;
         magnitude <<= 1)
        ++shift;
    value = int(unsigned(value) << shift);
    return shift;
}

int bitsFor(std::int16_t level, int shift, std::int64_t offset)
{
    int b = level - std::int16_t(offset);
    b = ((b >> (shift - 1)) + 1) >> 1;
    return std::clamp(b, 0, kMaxLineBits);
}

int totalBits(const std::int16_t* levels, int shift, std::int64_t offset)
{
    int total = 0;
    for (int i = 0; i < kLines; ++i)
        total += bitsFor(levels[i], shift, offset);
    return total;
}

// Shares the 198 detail bits among the lines by their levels: a level offset is searched (first in
// steps, then by halving) so that lines above it by more get more bits and the total comes nearest 198;
// an excess is cut from the last lines. Encoder and decoder must agree bit for bit, so this works in
// the codec's own fixed-point arithmetic.
void allocateBits(const int* levels, int* bits)
{
    int peak = 0;
    for (int i = 0; i < kLines; ++i)
        peak = std::max(peak, levels[i]);
    int shift = normalise(peak) - 16;
    std::int16_t scaled[kLines];
    int sum = 0;
    for (int i = 0; i < kLines; ++i) {
        scaled[i] = std::int16_t(shiftBy(levels[i], shift));
        scaled[i] = std::int16_t((3 * scaled[i]) >> 2);
        sum += scaled[i];
    }
    shift += 11;
    const int levelShift = shift;
    sum = int(std::uint32_t(sum) - (std::uint32_t(kDetailBits) << shift));
    shift += normalise(sum);
    std::int64_t low = (kOffsetScale * (sum >> 16)) >> 15;
    low = shiftBy(low, levelShift - (kOffsetShift + shift - 31));
    int total = totalBits(scaled, levelShift, low);

    if (total != kDetailBits) {
        std::int64_t step = total - kDetailBits;
        int stepShift = 0;
        for (; std::abs(step) <= 16383; ++stepShift)
            step *= 2;
        step = (step * kOffsetScale) >> 15;
        step = shiftBy(step, levelShift - (kOffsetShift + stepShift - 15));

        std::int64_t previousOffset = low;
        int previousTotal = total, round = 1;
        for (; round < 20; ++round) {
            previousOffset = low;
            previousTotal = total;
            low += step;
            total = totalBits(scaled, levelShift, low);
            if ((total - kDetailBits) * (previousTotal - kDetailBits) <= 0)
                break;
        }
        std::int64_t high;
        int highTotal, lowTotal;
        if (total > kDetailBits) {
            high = low, highTotal = total;
            low = previousOffset, lowTotal = previousTotal;
        } else {
            high = previousOffset, highTotal = previousTotal;
            lowTotal = total;
        }
        for (; total != kDetailBits && round <= 19; ++round) {
            std::int64_t middle = (high + low) >> 1;
            total = totalBits(scaled, levelShift, middle);
            if (total > kDetailBits)
                high = middle, highTotal = total;
            else
                low = middle, lowTotal = total;
        }
        if (std::abs(highTotal - kDetailBits) >= std::abs(lowTotal - kDetailBits)) {
            total = lowTotal;
        } else {
            low = high;
            total = highTotal;
        }
    }

    for (int i = 0; i < kLines; ++i) {
        std::int64_t b = ((scaled[i] - low) >> (levelShift - 1)) + 1;
        bits[i] = int(std::clamp<std::int64_t>(b >> 1, 0, kMaxLineBits));
    }
    if (total > kDetailBits) {
        int used = 0, i = 0;
        while (used < kDetailBits && i < kLines)
            used += bits[i++];
        bits[i - 1] -= used - kDetailBits;
        std::fill(bits + i, bits + kLines, 0);
    }
}

// cos(2π/256 · (n + 64 + 64.5) · (k + 0.5)): the middle half of a 256-point inverse MDCT, which holds
// everything the windowed overlap needs.
const std::vector<float>& transformTable()
{
    static const std::vector<float> table = [] {
        std::vector<float> t(128 * kLines);
        const double pi = std::acos(-1.0);
        for (int n = 0; n < 128; ++n)
            for (int k = 0; k < kLines; ++k)
                t[std::size_t(n) * kLines + std::size_t(k)] =
                    float(std::cos(2.0 * pi / 256.0 * (n + 64 + 64.5) * (k + 0.5)));
        return t;
    }();
    return table;
}

// The rising half of a 256-point sine window.
const std::vector<float>& sineWindow()
{
    static const std::vector<float> window = [] {
        std::vector<float> w(128);
        const double pi = std::acos(-1.0);
        for (int i = 0; i < 128; ++i)
            w[std::size_t(i)] = float(std::sin((i + 0.5) * pi / 256.0));
        return w;
    }();
    return window;
}

}  // namespace

float NellymoserDecoder::noiseSign()
{
    m_noise = m_noise * 1664525u + 1013904223u;
    return (m_noise & 0x80000000u) ? -1.0f : 1.0f;
}

void NellymoserDecoder::reset()
{
    m_previous.fill(0.0f);
    m_noise = 1;
}

void NellymoserDecoder::decodeBlock(const std::uint8_t* block, float* samples)
{
    int levels[kLines];
    float amplitudes[kLines];
    BitFields header(block, 0);
    int level = kStartLevels[header.read(6)];
    for (int band = 0, line = 0; band < kBands; ++band) {
        if (band > 0)
            level += kLevelSteps[header.read(5)];
        float amplitude = -std::exp2(float(level) / 2048.0f) * kOutputScale;
        for (int i = 0; i < kBandWidths[band]; ++i, ++line) {
            levels[line] = level;
            amplitudes[line] = amplitude;
        }
    }
    int bits[kLines];
    allocateBits(levels, bits);

    const std::vector<float>& table = transformTable();
    const std::vector<float>& window = sineWindow();
    for (int half = 0; half < 2; ++half) {
        BitFields detail(block, kHeaderBits + half * kDetailBits);
        float lines[kLines];
        for (int j = 0; j < kLines; ++j) {
            if (bits[j] <= 0)
                lines[j] = kNoiseLevel * amplitudes[j] * noiseSign();
            else
                lines[j] = kLineValues[(1 << bits[j]) - 1 + int(detail.read(bits[j]))] * amplitudes[j];
        }
        std::array<float, kHalf> current;
        for (std::size_t n = 0; n < kHalf; ++n) {
            const float* row = table.data() + n * kLines;
            float value = 0;
            for (int k = 0; k < kLines; ++k)
                value += lines[k] * row[k];
            current[n] = value;
        }
        // Overlap: the previous frame's falling half with this frame's rising half, whose first quarter
        // mirrors (negated) what the stored middle half holds.
        float* out = samples + half * kHalf;
        for (std::size_t m = 0; m < kHalf / 2; ++m) {
            float previous = m_previous[kHalf / 2 + m];
            float mirrored = current[kHalf / 2 - 1 - m];
            out[m] = previous * window[kHalf - 1 - m] - mirrored * window[m];
            out[kHalf - 1 - m] = previous * window[m] + mirrored * window[kHalf - 1 - m];
        }
        m_previous = current;
    }
}

void NellymoserDecoder::decode(const std::uint8_t* data, std::size_t size, Pcm& out, std::size_t maxFrames)
{
    float samples[kBlockSamples];
    for (std::size_t at = 0; data && at + kBlockBytes <= size && out.samples.size() < maxFrames; at += kBlockBytes) {
        decodeBlock(data + at, samples);
        std::size_t take = std::min(kBlockSamples, maxFrames - out.samples.size());
        for (std::size_t i = 0; i < take; ++i) {
            float value = samples[i] * 32768.0f;
            if (std::isnan(value))  // damaged levels can overflow the transform
                value = 0;
            out.samples.push_back(std::int16_t(std::lrint(std::clamp(value, -32768.0f, 32767.0f))));
        }
    }
}

Pcm decodeNellymoser(const SoundFormat& format, const std::uint8_t* data, std::size_t size, std::size_t maxFrames)
{
    Pcm pcm;
    pcm.channels = 1;
    pcm.rate = format.rate;
    NellymoserDecoder decoder;
    decoder.decode(data, size, pcm, maxFrames);
    return pcm;
}

}  // namespace swf::audio
