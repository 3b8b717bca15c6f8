// Running a movie through the Player for its trace() output, as `kivamo-swf trace` and the tests do.
#pragma once

#include "swf/player.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
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
// and stops after the frame in which the movie sent FSCommand "quit". Movies it loads or imports are read from
// files beside moviePath (none when it is empty).
TraceOutput traceMovie(const std::uint8_t* data, std::size_t size, int frames, double tickMs,
                       const std::string& moviePath = {});

// Reads the local file a movie at moviePath loads or imports by a relative address (see localMoviePath), up to
// the movie size limit; false when there is no such file or it is too large.
bool readLocalMovie(const std::string& moviePath, const std::string& url, std::vector<std::uint8_t>& bytes);

// Gives a movie the files beside it (readLocalMovie): the movies and pictures it loads into clips and levels,
// and its imports.
class FilesBeside : public PlayerListener {
public:
    explicit FilesBeside(std::string moviePath) : m_moviePath(std::move(moviePath)) {}
    bool loadMovie(const std::string& url, std::vector<std::uint8_t>& bytes) override
    {
        return readLocalMovie(m_moviePath, url, bytes);
    }

private:
    std::string m_moviePath;
};

// The local file a movie at moviePath means by a relative address: beside it or below its folder. Empty for web
// addresses, absolute paths and paths that climb out of the folder.
std::string localMoviePath(const std::string& moviePath, const std::string& url);

}  // namespace swf
