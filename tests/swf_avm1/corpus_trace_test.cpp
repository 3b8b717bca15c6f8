// Runs the trace corpus's cases through the player (scripts joined to the display tree) and compares their trace
// output with Flash's; cases that do not pass yet are listed in tests/corpus/expected-failures.txt ("MANIFEST_trace.tsv <dir> <reason>").
#include "swf/avm1/runner.h"
#include "swf/tracerun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

using namespace swf::avm1;

const std::string kCorpus = KIVAMO_CORPUS_DIR;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::uint8_t> readBytes(const std::string& path)
{
    const std::string text = readText(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Removes NUL characters, turns CR LF and lone CR into LF and drops the debugger's "Warning:" lines.
std::string normalise(const std::string& text)
{
    std::string flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            continue;
        }
        if (text[i] == '\r') {
            flat += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            continue;
        }
        flat += text[i];
    }
    std::stringstream in(flat);
    std::string line;
    std::string out;
    while (std::getline(in, line)) {
        if (line.rfind("Warning:", 0) != 0) {
            out += line + "\n";
        }
    }
    return out;
}

int tomlNumber(const std::string& toml, const std::string& key, int fallback)
{
    std::stringstream in(toml);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0 && line.find('=') != std::string::npos) {
            return std::atoi(line.c_str() + line.find('=') + 1);
        }
    }
    return fallback;
}

struct CaseResult {
    bool passed = false;
    std::string reason;
};

// Child movies a case loads or imports are read from its folder.
CaseResult runCase(const std::string& dir)
{
    const std::string base = kCorpus + "/" + dir;
    const bool ofdb = dir.rfind("ofdb-avm1/", 0) == 0;
    const std::string moviePath = base + (ofdb ? "/main.swf" : "/test.swf");
    const std::vector<std::uint8_t> bytes = readBytes(moviePath);
    auto movie = swf::parseSwf(bytes.data(), bytes.size());
    if (!movie) {
        return {false, "the movie could not be read"};
    }
    MovieScripts scripts = collectRootScripts(movie.value());
    int frames = 2;
    double tick = 1000.0 / scripts.frameRate;
    if (ofdb) {
        // Frame 1 runs the case's raw DoAction bytes (main.avm1) with the helpers the movie defines beside them.
        const std::vector<std::uint8_t> main = readBytes(base + "/main.avm1");
        bool found = false;
        for (ActionCode& code : scripts.frames.empty() ? std::vector<ActionCode>{} : scripts.frames[0].actions) {
            found = found || *code == main;
        }
        if (!found) {
            return {false, "main.avm1 is not frame 1's script"};
        }
    } else {
        const std::string toml = readText(base + "/test.toml");
        frames = tomlNumber(toml, "num_frames", tomlNumber(toml, "num_ticks", 1));
        const int rate = tomlNumber(toml, "tick_rate", 0);
        if (rate > 0) {
            tick = rate;
        }
    }
    const swf::TraceOutput run = swf::traceMovie(bytes.data(), bytes.size(), frames, tick, moviePath);
    std::string output;
    for (const std::string& line : run.lines) {
        output += line + "\n";
    }
    const std::string expected = normalise(readText(base + (ofdb ? "/main.log" : "/output.txt")));
    const std::string actual = normalise(output);
    if (expected == actual) {
        return {true, ""};
    }
    if (const char* dump = std::getenv("KIVAMO_AVM1_DUMP")) {
        std::ofstream(std::string(dump) + "/" + std::to_string(std::hash<std::string>()(dir)) + ".txt")
            << dir << "\n" << actual;
    }
    std::stringstream e(expected);
    std::stringstream a(actual);
    std::string le;
    std::string la;
    int line = 1;
    while (std::getline(e, le)) {
        if (!std::getline(a, la) || la != le) {
            break;
        }
        ++line;
    }
    return {false, "output differs from line " + std::to_string(line)};
}

std::map<std::string, std::string> expectedFailures()
{
    std::map<std::string, std::string> listed;
    std::ifstream in(std::string(KIVAMO_TEST_SOURCE_DIR) + "/corpus/expected-failures.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::stringstream s(line);
        std::string manifest;
        std::string dir;
        s >> manifest >> dir;
        if (manifest == "MANIFEST_trace.tsv") {
            std::string reason;
            std::getline(s, reason);
            listed[dir] = reason;
        }
    }
    return listed;
}

TEST(Avm1Corpus, TraceCasesMatchFlashOrAreListed)
{
    std::ifstream manifest(kCorpus + "/MANIFEST_trace.tsv");
    ASSERT_TRUE(manifest) << "no trace manifest under " << kCorpus;
    const auto listed = expectedFailures();
    std::string row;
    std::getline(manifest, row);
    int total = 0;
    int passed = 0;
    // KIVAMO_AVM1_REPORT names a file that receives the failing cases as expected-failure lines.
    const char* reportPath = std::getenv("KIVAMO_AVM1_REPORT");
    std::ofstream report;
    if (reportPath) {
        report.open(reportPath);
    }
    while (std::getline(manifest, row)) {
        std::vector<std::string> cols;
        std::stringstream s(row);
        std::string col;
        while (std::getline(s, col, '\t')) {
            cols.push_back(col);
        }
        if (cols.size() < 3) {
            continue;
        }
        const std::string dir = cols[2];
        const CaseResult r = runCase(dir);
        ++total;
        passed += r.passed ? 1 : 0;
        if (!r.passed && reportPath) {
            report << "trace " << dir << " " << r.reason << "\n";
        }
        const bool isListed = listed.count(dir) > 0;
        EXPECT_EQ(r.passed, !isListed) << dir << (r.passed ? ": passes now; remove it from the expected failures"
                                                            : ": fails (" + r.reason + ") and is not listed");
    }
    std::cout << "trace corpus: " << passed << " of " << total << " cases pass\n";
}

}  // namespace
