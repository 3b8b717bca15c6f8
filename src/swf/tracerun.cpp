#include "swf/tracerun.h"

#include "swf/player.h"

#include <algorithm>

namespace swf {

namespace {

class Collector : public PlayerListener {
public:
    explicit Collector(TraceOutput& out) : m_out(out) {}
    void trace(const std::string& line) override { m_out.lines.push_back(line); }
    void warning(const std::string& text) override { m_out.warnings.push_back(text); }
    void fsCommand(const std::string& command, const std::string& argument) override
    {
        m_out.commands.emplace_back(command, argument);
        if (command == "quit")
            m_out.quit = true;
    }

private:
    TraceOutput& m_out;
};

}  // namespace

TraceOutput traceMovie(const std::uint8_t* data, std::size_t size, int frames, double tickMs)
{
    TraceOutput out;
    auto player = Player::fromBytes(data, size);
    if (!player) {
        out.readable = false;
        return out;
    }
    Player& p = *player.value();
    Collector collector(out);
    p.setListener(&collector);
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
