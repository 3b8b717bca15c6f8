// The music-video demo: a 16-second stream sound (a bass line, a kick on every beat and a little
// melody) with pictures made from the same score, so a player that keeps sound and pictures together
// shows the circle pulsing on the kick and each bar jumping with its note.
#include "swfwriter/benchmovies.h"
#include "swfwriter/demomovies.h"
#include "swfwriter/soundparts.h"

#include <algorithm>
#include <cmath>

namespace kivamo::test {

namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kSoundStreamHead2 = 45, kSoundStreamBlock = 19;
constexpr int kFramesPerSecond = 12;
constexpr int kSeconds = 16;
constexpr int kSampleRate = 11025;  // rate code 1
constexpr double kBeatSeconds = 0.5;   // 120 beats per minute
constexpr double kNoteSeconds = 0.25;  // the melody moves in eighths
constexpr int kBars = 8;

// The melody: a note of the scale below (or -1 for a rest) for each eighth, repeating.
constexpr int kMelody[16] = {0, 2, 4, 5, 4, 2, -1, 3, 5, 7, 6, 4, -1, 2, 1, 0};
constexpr double kScale[kBars] = {440.0, 493.88, 554.37, 659.25, 739.99, 880.0, 987.77, 1108.73};
constexpr double kBassNotes[4] = {110.0, 87.31, 130.81, 98.0};  // one per two seconds

double sampleAt(double t)
{
    const double twoPi = 2 * M_PI;
    double sinceBeat = std::fmod(t, kBeatSeconds);
    double kick = 0.45 * std::sin(twoPi * 60 * sinceBeat) * std::exp(-sinceBeat * 12);
    double bassFrequency = kBassNotes[int(t / 2) % 4];
    double bass = 0.16 * std::sin(twoPi * bassFrequency * t) * (0.6 + 0.4 * std::exp(-sinceBeat * 4));
    int step = int(t / kNoteSeconds);
    double sinceNote = t - step * kNoteSeconds;
    int note = kMelody[step % 16];
    double melody = 0;
    if (note >= 0) {
        double f = kScale[note];
        melody = 0.18 * (std::sin(twoPi * f * t) + 0.3 * std::sin(2 * twoPi * f * t)) * std::exp(-sinceNote * 6);
    }
    return std::clamp(kick + bass + melody, -1.0, 1.0);
}

// The samples of movie frame f: from its start time to the next frame's, so the blocks add up exactly.
Bytes streamBlock(int frame)
{
    long from = std::lround(double(frame) * kSampleRate / kFramesPerSecond);
    long to = std::lround(double(frame + 1) * kSampleRate / kFramesPerSecond);
    std::vector<std::int16_t> samples;
    for (long i = from; i < to; ++i)
        samples.push_back(std::int16_t(std::lrint(sampleAt(double(i) / kSampleRate) * 32000)));
    return pcmBytes(samples);
}

// How high bar k stands at time t: it jumps when its note starts and sinks back.
double barHeight(int k, double t)
{
    int step = int(t / kNoteSeconds);
    for (int back = 0; back < 16 && step - back >= 0; ++back) {
        if (kMelody[(step - back) % 16] == k)
            return 0.2 + 1.3 * std::exp(-(t - (step - back) * kNoteSeconds) * 5);
    }
    return 0.2;
}

Placement placeAt(std::uint16_t depth, std::optional<std::uint16_t> id, const WriterMatrix& m)
{
    Placement p;
    p.depth = depth;
    p.characterId = id;
    p.move = !id;
    p.matrix = m;
    return p;
}

}  // namespace

DemoMovie musicVideo()
{
    SwfWriter w(8, {0, 11000, 0, 8000}, kFramesPerSecond << 8);
    w.backgroundColour(16, 12, 40);
    ShapeBuilder circle(1, 3);
    int glow = circle.gradientFill(0x12, {0.1, 0, 0, 0.1, 0, 0},
                                   {{0, {255, 250, 200, 255}}, {140, {255, 120, 60, 255}}, {255, {120, 20, 90, 255}}});
    addCircle(circle, 0, 0, 1600, glow);
    w.tag(circle.tagCode(), circle.body());
    ShapeBuilder bar(2, 3);
    int white = bar.solidFill({255, 255, 255, 255});
    bar.rectangle({-400, 400, -2000, 0}, white);
    w.tag(bar.tagCode(), bar.body());
    w.tag(kSoundStreamHead2, soundStreamHeadBody(soundFormatByte(3, 1, true, false),
                                                 std::uint16_t(kSampleRate / kFramesPerSecond + 1)));
    for (int f = 0; f < kFramesPerSecond * kSeconds; ++f) {
        double t = double(f) / kFramesPerSecond;
        double pulse = 0.7 + 0.6 * std::exp(-std::fmod(t, kBeatSeconds) * 8);
        std::int32_t x = 5500 + std::int32_t(2500 * std::sin(t * 0.8));
        w.tag(kPlaceObject2, placeObject2(placeAt(1, f == 0 ? std::optional<std::uint16_t>(1) : std::nullopt,
                                                  {pulse, 0, 0, pulse, x, 3300})));
        for (int k = 0; k < kBars; ++k) {
            Placement p = placeAt(std::uint16_t(10 + k), f == 0 ? std::optional<std::uint16_t>(2) : std::nullopt,
                                  {1, 0, 0, barHeight(k, t), 1300 + k * 1200, 7700});
            if (f == 0) {
                WriterColourTransform tint;
                tint.rMult = std::int16_t(120 + 17 * k);
                tint.gMult = std::int16_t(230 - 20 * k);
                tint.bMult = 255;
                p.colourTransform = tint;
            }
            w.tag(kPlaceObject2, placeObject2(p));
        }
        w.tag(kSoundStreamBlock, streamBlock(f));
        w.showFrame();
    }
    return {"musicvideo.swf", "a 16-second tune as stream sound with a circle pulsing on the beat and bars jumping with the notes",
            w.finish(SwfCompression::Zlib)};
}

}  // namespace kivamo::test
