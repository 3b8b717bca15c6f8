// kivamo-swf render and bench: run a movie for some frames, then paint a frame or time the work.
#include "commands.h"

#include "swf/player.h"
#include "swf/qt/framerenderer.h"
#include "swf/qt/painterbackend.h"
#include "swf/tracerun.h"

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sys/resource.h>
#include <vector>

namespace kivamo_swf {

namespace {

struct RenderOptions {
    std::string movie, output;
    long frames = 1;
    int width = 0, height = 0;
    swf::Quality quality = swf::Quality::High;
};

bool parseSize(const std::string& text, int& width, int& height)
{
    auto x = text.find('x');
    if (x == std::string::npos)
        return false;
    try {
        width = std::stoi(text.substr(0, x));
        height = std::stoi(text.substr(x + 1));
    } catch (...) {
        return false;
    }
    return width > 0 && height > 0 && width <= 16384 && height <= 16384;
}

bool parseQuality(const std::string& text, swf::Quality& quality)
{
    static const std::pair<const char*, swf::Quality> names[] = {
        {"low", swf::Quality::Low}, {"medium", swf::Quality::Medium}, {"high", swf::Quality::High},
        {"best", swf::Quality::Best}, {"autolow", swf::Quality::AutoLow}, {"autohigh", swf::Quality::AutoHigh}};
    for (const auto& [name, value] : names)
        if (text == name) {
            quality = value;
            return true;
        }
    return false;
}

// Reads the options shared by render and bench; returns a usage message, or empty on success.
std::string parseOptions(const Arguments& args, RenderOptions& o, bool needOutput)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == "--frames" && hasValue) {
            try {
                o.frames = std::stol(args[++i]);
            } catch (...) {
                return "--frames needs a number";
            }
            if (o.frames < 1)
                return "--frames needs a number of at least 1";
        } else if (a == "--size" && hasValue) {
            if (!parseSize(args[++i], o.width, o.height))
                return "--size needs WIDTHxHEIGHT";
        } else if (a == "--quality" && hasValue) {
            if (!parseQuality(args[++i], o.quality))
                return "--quality needs low, medium, high or best";
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
    if (needOutput && o.output.empty())
        return "no output file given (-o OUT.png)";
    return {};
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::unique_ptr<swf::Player> openMovie(const std::string& path, swf::FilesBeside& files, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readFile(path, bytes)) {
        error = path + ": cannot read";
        return nullptr;
    }
    auto player = swf::Player::fromBytes(bytes.data(), bytes.size(), &files);
    if (!player) {
        error = path + ": " + player.error();
        return nullptr;
    }
    return std::move(player).value();
}

// QImage needs a GUI application object for fonts; one is made off screen when none exists.
std::unique_ptr<QGuiApplication> guiApplication()
{
    if (QGuiApplication::instance())
        return nullptr;
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    static int argc = 1;
    static char name[] = "kivamo-swf";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void printTimes(const char* what, std::vector<double> times)
{
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    double median = times[times.size() / 2];
    double p95 = times[std::min(times.size() - 1, times.size() * 95 / 100)];
    std::printf("%s: median %.3f ms, p95 %.3f ms (%zu frames)\n", what, median, p95, times.size());
}

}  // namespace

int runRender(const Arguments& args)
{
    RenderOptions o;
    std::string usage = parseOptions(args, o, true);
    if (!usage.empty())
        return fail(kExitUsage, usage + "\nusage: kivamo-swf render MOVIE.swf --frames N [--size WxH] "
                                        "[--quality low|medium|high|best] -o OUT.png");
    auto app = guiApplication();
    std::string error;
    swf::FilesBeside files(o.movie);
    auto player = openMovie(o.movie, files, error);
    if (!player)
        return fail(kExitUnreadable, error);
    // The clock moves one frame's interval with each frame, as in `trace`, so timeouts come in their frames.
    const double rate = player->header().framesPerSecond();
    const double interval = 1000.0 / (rate > 0 ? rate : 12);
    player->runScripts();
    player->tick(interval);
    for (long i = 1; i < o.frames; ++i) {
        player->advance();
        player->tick(interval);
    }
    swf::View view;
    view.width = o.width;
    view.height = o.height;
    view.quality = o.quality;
    QImage image = swf::renderImage(*player, view);
    if (!image.save(QString::fromStdString(o.output), "PNG"))
        return fail(kExitUnreadable, o.output + ": cannot write the image");
    return kExitOk;
}

int runBench(const Arguments& args)
{
    RenderOptions o;
    o.frames = 100;
    std::string usage = parseOptions(args, o, false);
    if (!usage.empty())
        return fail(kExitUsage, usage + "\nusage: kivamo-swf bench MOVIE.swf [--frames N] [--size WxH]");
    auto app = guiApplication();
    std::vector<std::uint8_t> bytes;
    if (!readFile(o.movie, bytes))
        return fail(kExitUnreadable, o.movie + ": cannot read");
    auto start = Clock::now();
    auto loaded = swf::Player::fromBytes(bytes.data(), bytes.size());
    double parse = millisecondsSince(start);
    if (!loaded)
        return fail(kExitUnreadable, o.movie + ": " + loaded.error());
    auto player = std::move(loaded).value();
    swf::View view;
    view.width = o.width;
    view.height = o.height;
    view.quality = o.quality;
    // Three ways of painting each frame: as the player shows it (the frame renderer repaints what
    // changed), the same painted whole, and the four-sample picture snapshots and thumbnails take.
    swf::FrameRenderer shown, whole;
    std::vector<double> advances, renders, wholeRenders, pictures;
    for (long i = 0; i < o.frames; ++i) {
        start = Clock::now();
        player->advance();
        advances.push_back(millisecondsSince(start));
        start = Clock::now();
        shown.render(*player, view);
        renders.push_back(millisecondsSince(start));
        whole.invalidate();
        start = Clock::now();
        whole.render(*player, view);
        wholeRenders.push_back(millisecondsSince(start));
        start = Clock::now();
        swf::renderImage(*player, view);
        pictures.push_back(millisecondsSince(start));
    }
    std::printf("parse: %.3f ms (%zu bytes)\n", parse, bytes.size());
    printTimes("advance", advances);
    printTimes("render", renders);
    printTimes("render whole", wholeRenders);
    printTimes("picture", pictures);
    struct rusage usageNow {};
    getrusage(RUSAGE_SELF, &usageNow);
    std::printf("peak memory: %ld KiB\n", usageNow.ru_maxrss);
    return kExitOk;
}

}  // namespace kivamo_swf
