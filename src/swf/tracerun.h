// Running a movie through the Player for its trace() output, as `kivamo-swf trace` and the tests do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

struct TraceOutput {
    bool readable = true;
    std::vector<std::string> lines;
    std::vector<std::string> warnings;
    std::vector<std::pair<std::string, std::string>> commands;  // FSCommands sent
    int framesRun = 0;
    bool quit = false;
};

// Runs `frames` frames, moving the clock by tickMs after each (the frame rate's interval when tickMs <= 0),
// and stops after the frame in which the movie sent FSCommand "quit".
TraceOutput traceMovie(const std::uint8_t* data, std::size_t size, int frames, double tickMs);

}  // namespace swf
