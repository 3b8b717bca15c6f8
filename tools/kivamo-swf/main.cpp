// kivamo-swf: the engine from the command line (movie facts, tag listings, and more as the engine grows).
#include "commands.h"

#include <cstdio>
#include <cstring>
#include <iostream>

namespace kivamo_swf {

int fail(int status, const std::string& message)
{
    std::cerr << "kivamo-swf: " << message << '\n';
    return status;
}

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Arguments&);
};

constexpr Command kCommands[] = {
    {"info", "info MOVIE.swf                 header and summary (tags, characters, frames, scripts)", runInfo},
    {"tags", "tags MOVIE.swf                 one line per tag: offset, code, name, length", runTags},
    {"trace", "trace MOVIE.swf --frames N [--tick-ms T]\n"
              "                                 runs N frames (T ms of clock each) and prints the trace() lines; stops\n"
              "                                 after the frame that sends FSCommand \"quit\"", runTrace},
    {"render", "render MOVIE.swf --frames N [--size WxH] [--quality low|medium|high|best] -o OUT.png\n"
               "                                 runs N frames, then paints the current frame to a PNG", runRender},
    {"bench", "bench MOVIE.swf [--frames N] [--size WxH]\n"
              "                                 parse time, per-frame advance and render times (as the player\n"
              "                                 shows frames, painted whole, and as snapshot pictures), peak\n"
              "                                 memory", runBench},
    {"thumbnail", "thumbnail MOVIE.swf OUT.png SIZE\n"
                  "                                 the first frame that draws anything, SIZE pixels on its longer side",
     runThumbnail},
    {"audio", "audio MOVIE.swf --frames N [--rate R] -o OUT.wav\n"
              "                                 runs N frames and writes the sound they made (16-bit stereo, R Hz,\n"
              "                                 44100 unless given)",
     runAudio},
};

void printUsage(std::FILE* to)
{
    std::fprintf(to, "usage: kivamo-swf COMMAND ARGUMENTS\n\ncommands:\n");
    for (const Command& c : kCommands)
        std::fprintf(to, "  %s\n", c.usage);
}

}  // namespace
}  // namespace kivamo_swf

int main(int argc, char** argv)
{
    using namespace kivamo_swf;
    if (argc < 2) {
        printUsage(stderr);
        return kExitUsage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        printUsage(stdout);
        return kExitOk;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("kivamo-swf %s\n", KIVAMO_VERSION);
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (!std::strcmp(argv[1], c.name))
            return c.run(Arguments(argv + 2, argv + argc));
    }
    fail(kExitUsage, std::string("unknown command \"") + argv[1] + "\"");
    printUsage(stderr);
    return kExitUsage;
}
