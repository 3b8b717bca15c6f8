// kivamo-swf audio: runs a movie for some frames and writes what its sound mixer produced meanwhile to
// a WAV file (16-bit stereo), so sound can be checked without an audio device.
#include "commands.h"

#include "swf/player.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace kivamo_swf {

namespace {

constexpr int kDefaultRate = 44100;
constexpr long kMaxFrames = 1000000;

struct AudioOptions {
    std::string movie, output;
    long frames = 1;
    int rate = kDefaultRate;
};

bool parseNumber(const std::string& text, long low, long high, long& value)
{
    try {
        std::size_t used = 0;
        value = std::stol(text, &used);
        return used == text.size() && value >= low && value <= high;
    } catch (...) {
        return false;
    }
}

std::string parseAudioOptions(const Arguments& args, AudioOptions& o)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        long number = 0;
        if (a == "--frames" && hasValue) {
            if (!parseNumber(args[++i], 1, kMaxFrames, number))
                return "--frames needs a number of at least 1";
            o.frames = number;
        } else if (a == "--rate" && hasValue) {
            if (!parseNumber(args[++i], 8000, 192000, number))
                return "--rate needs samples per second between 8000 and 192000";
            o.rate = int(number);
        } else if (a == "-o" && hasValue) {
            o.output = args[++i];
        } else if (!a.empty() && a[0] != '-' && o.movie.empty()) {
            o.movie = a;
        } else {
            return "unknown argument \"" + a + "\"";
        }
    }
    if (o.movie.empty())
        return "no movie given";
    if (o.output.empty())
        return "no output file given (-o OUT.wav)";
    return {};
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

void putU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

std::vector<std::uint8_t> wavFile(const std::vector<std::int16_t>& samples, int rate)
{
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    std::vector<std::uint8_t> out{'R', 'I', 'F', 'F'};
    putU32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putU32(out, 16);
    putU16(out, 1);  // integer PCM
    putU16(out, 2);
    putU32(out, std::uint32_t(rate));
    putU32(out, std::uint32_t(rate) * 4);
    putU16(out, 4);
    putU16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putU32(out, dataBytes);
    for (std::int16_t s : samples)
        putU16(out, std::uint16_t(s));
    return out;
}

}  // namespace

int runAudio(const Arguments& args)
{
    AudioOptions o;
    std::string problem = parseAudioOptions(args, o);
    if (!problem.empty())
        return fail(kExitUsage, problem);
    std::ifstream in(o.movie, std::ios::binary);
    if (!in)
        return fail(kExitUnreadable, o.movie + ": cannot read");
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    auto loaded = swf::Player::fromBytes(bytes.data(), bytes.size());
    if (!loaded)
        return fail(kExitUnreadable, o.movie + ": " + loaded.error());
    std::unique_ptr<swf::Player> player = std::move(loaded).value();
    double framesPerSecond = player->header().framesPerSecond();
    if (framesPerSecond <= 0)
        framesPerSecond = 12;
    // Each movie frame's share of sound is mixed, then the movie moves on, as an output would pull it.
    std::vector<std::int16_t> samples;
    std::size_t written = 0;
    for (long frame = 1; frame <= o.frames; ++frame) {
        std::size_t due = std::size_t(double(frame) * o.rate / framesPerSecond + 0.5);
        samples.resize(2 * due);
        player->mixAudio(samples.data() + 2 * written, due - written, o.rate);
        written = due;
        player->advance();
    }
    std::vector<std::uint8_t> wav = wavFile(samples, o.rate);
    std::ofstream out(o.output, std::ios::binary);
    if (!out.write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size())))
        return fail(kExitUnreadable, o.output + ": cannot write");
    return kExitOk;
}

}  // namespace kivamo_swf
