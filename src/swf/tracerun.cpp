#include "swf/tracerun.h"

#include "swf/limits.h"
#include "swf/player.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace swf {

namespace {

class Collector : public PlayerListener {
public:
    Collector(TraceOutput& out, std::string moviePath) : m_out(out), m_moviePath(std::move(moviePath)) {}
    void trace(const std::string& line) override { m_out.lines.push_back(line); }
    void warning(const std::string& text) override { m_out.warnings.push_back(text); }
    void fsCommand(const std::string& command, const std::string& argument) override
    {
        m_out.commands.emplace_back(command, argument);
        if (command == "quit")
            m_out.quit = true;
    }
    bool loadMovie(const std::string& url, std::vector<std::uint8_t>& bytes) override
    {
        return readLocalMovie(m_moviePath, url, bytes);
    }

private:
    TraceOutput& m_out;
    std::string m_moviePath;
};

}  // namespace

bool readLocalMovie(const std::string& moviePath, const std::string& url, std::vector<std::uint8_t>& bytes)
{
    const std::string path = localMoviePath(moviePath, url);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > limits::kMaxMovieBytes)
        return false;
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return bool(in) || in.eof();
}

std::string localMoviePath(const std::string& moviePath, const std::string& url)
{
    namespace fs = std::filesystem;
    std::string file = url;
    // Schemes, drive letters and absolute paths name places a movie may not choose.
    if (moviePath.empty() || file.empty() || file.find("://") != std::string::npos || file.find(':') != std::string::npos)
        return {};
    std::replace(file.begin(), file.end(), '\\', '/');
    const fs::path relative = fs::path(file).lexically_normal();
    if (relative.is_absolute() || relative.empty() || *relative.begin() == "..")
        return {};
    return (fs::path(moviePath).parent_path() / relative).string();
}

TraceOutput traceMovie(const std::uint8_t* data, std::size_t size, int frames, double tickMs, const std::string& moviePath)
{
    TraceOutput out;
    Collector collector(out, moviePath);
    // The listener comes first, so the movie's imports can be read while it is decoded.
    Player p;
    p.setListener(&collector);
    if (!p.appendBytes(data, size)) {
        out.readable = false;
        return out;
    }
    p.finishLoading();
    if (p.header().signature.empty()) {
        out.readable = false;
        return out;
    }
    double rate = p.header().framesPerSecond();
    double tick = tickMs > 0 ? tickMs : 1000.0 / (rate > 0 ? rate : 12);
    for (int i = 0; i < frames && !out.quit; ++i) {
        if (i == 0)
            p.runScripts();
        else
            p.advance();
        p.tick(tick);
        ++out.framesRun;
    }
    // A CR inside a traced string shows as a line break.
    for (std::string& line : out.lines)
        std::replace(line.begin(), line.end(), '\r', '\n');
    p.setListener(nullptr);
    return out;
}

}  // namespace swf
