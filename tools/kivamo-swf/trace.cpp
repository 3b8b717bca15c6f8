// kivamo-swf trace: runs a movie's frames through the player and prints its trace() lines.
#include "commands.h"

#include "swf/tracerun.h"

#include <fstream>
#include <iostream>
#include <iterator>

namespace kivamo_swf {

namespace {

struct TraceOptions {
    std::string movie;
    long frames = 0;
    double tickMs = 0;
};

bool parseNumber(const std::string& text, double& out)
{
    try {
        std::size_t used = 0;
        out = std::stod(text, &used);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

std::string parseTraceOptions(const Arguments& args, TraceOptions& o)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        double n = 0;
        if (a == "--frames" && hasValue) {
            if (!parseNumber(args[++i], n) || n < 1 || n > 1e9)
                return "--frames needs a number of at least 1";
            o.frames = long(n);
        } else if (a == "--tick-ms" && hasValue) {
            if (!parseNumber(args[++i], n) || n < 0)
                return "--tick-ms needs a number of milliseconds";
            o.tickMs = n;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option \"" + a + "\"";
        } else if (o.movie.empty()) {
            o.movie = a;
        } else {
            return "more than one movie given";
        }
    }
    if (o.movie.empty())
        return "no movie given";
    if (o.frames < 1)
        return "--frames is required";
    return "";
}

}  // namespace

int runTrace(const Arguments& args)
{
    TraceOptions o;
    if (std::string usage = parseTraceOptions(args, o); !usage.empty())
        return fail(kExitUsage, usage);
    std::ifstream in(o.movie, std::ios::binary);
    if (!in)
        return fail(kExitUnreadable, "cannot read " + o.movie);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Movies it loads or imports are read from beside it.
    swf::TraceOutput out = swf::traceMovie(bytes.data(), bytes.size(), int(o.frames), o.tickMs, o.movie);
    if (!out.readable)
        return fail(kExitUnreadable, o.movie + " is not an SWF movie");
    for (const std::string& line : out.lines)
        std::cout << line << '\n';
    for (const std::string& w : out.warnings)
        std::cerr << "kivamo-swf: " << w << '\n';
    return kExitOk;
}

}  // namespace kivamo_swf
