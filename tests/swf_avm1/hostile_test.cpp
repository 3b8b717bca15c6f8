// Hostile scripts: mutated corpus bytecode, random bytes, runaway growth. Each run must end with a defined result
// within the limits, and the machine must still run the next script.
#include "asm.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <sstream>

namespace {

using namespace avm1test;

// Reports the script time limit as passed after a number of checks, so runaway scripts stop quickly and
// deterministically (the machine asks every 4096 actions).
class ImpatientHost : public HeadlessHost {
public:
    ImpatientHost() : HeadlessHost(2) {}
    double scriptElapsedMs() const override { return ++m_checks > 16 ? 1e9 : 0; }
    void resetClock() { m_checks = 0; }

private:
    mutable int m_checks = 0;
};

struct HostileMachine {
    explicit HostileMachine(int version) : vm(host, version) { host.attach(vm); }
    void run(const std::vector<std::uint8_t>& code)
    {
        host.resetClock();
        vm.beginFrame();
        vm.runScript(std::make_shared<const std::vector<std::uint8_t>>(code), host.root());
        vm.runTimers();
    }
    bool stillRuns()
    {
        host.lines.clear();
        run(Asm().str("alive").trace().bytes);
        return host.lines == Lines{"alive"};
    }
    ImpatientHost host;
    Vm vm;
};

std::vector<std::vector<std::uint8_t>> corpusScripts()
{
    std::vector<std::vector<std::uint8_t>> scripts;
    const std::string dir = std::string(KIVAMO_CORPUS_DIR) + "/ofdb-avm1";
    DIR* d = opendir(dir.c_str());
    if (!d) {
        return scripts;
    }
    while (dirent* e = readdir(d)) {
        std::ifstream in(dir + "/" + e->d_name + "/main.avm1", std::ios::binary);
        if (in) {
            std::stringstream s;
            s << in.rdbuf();
            const std::string text = s.str();
            scripts.emplace_back(text.begin(), text.end());
        }
    }
    closedir(d);
    return scripts;
}

std::uint64_t nextRandom(std::uint64_t& state)
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

TEST(Avm1Hostile, MutatedCorpusScriptsEndCleanly)
{
    const auto seeds = corpusScripts();
    ASSERT_FALSE(seeds.empty()) << "no ofdb-avm1 scripts under the corpus folder";
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    HostileMachine m(15);
    int runs = 0;
    for (const auto& seed : seeds) {
        for (int mutant = 0; mutant < 24 && !seed.empty(); ++mutant) {
            std::vector<std::uint8_t> code = seed;
            const int edits = 1 + int(nextRandom(state) % 4);
            for (int i = 0; i < edits; ++i) {
                const std::size_t at = nextRandom(state) % code.size();
                switch (nextRandom(state) % 3) {
                case 0: code[at] = std::uint8_t(nextRandom(state)); break;
                case 1: code.resize(at + 1); break;
                default: code.insert(code.begin() + std::ptrdiff_t(at), std::uint8_t(nextRandom(state))); break;
                }
            }
            m.run(code);
            ++runs;
        }
    }
    EXPECT_GT(runs, 500);
    EXPECT_TRUE(m.stillRuns());
}

TEST(Avm1Hostile, RandomBytesEndCleanly)
{
    std::uint64_t state = 12345;
    for (int version : {4, 6, 8}) {
        HostileMachine m(version);
        for (int i = 0; i < 300; ++i) {
            std::vector<std::uint8_t> code(1 + nextRandom(state) % 200);
            for (auto& b : code) {
                b = std::uint8_t(nextRandom(state));
            }
            m.run(code);
        }
        EXPECT_TRUE(m.stillRuns()) << version;
    }
}

TEST(Avm1Hostile, GrowingStringsAndArraysHitTheirLimits)
{
    HostileMachine m(8);
    // s = "x"; while (true) s = s + s;
    Asm body;
    body.str("s").get("s").get("s").a(op::Add2).a(op::SetVariable);
    Asm code;
    code.str("s").str("x").a(op::SetVariable).append(body);
    code.jump(op::Jump, -int(body.bytes.size()) - 5);
    m.run(code.bytes);
    EXPECT_TRUE(m.vm.aborted());
    EXPECT_TRUE(m.stillRuns());
    // a = []; a[4000000000] = 1; a.length = 1e12 — nothing allocated; the length wraps to 32 bits as in Flash.
    Asm arrays;
    arrays.str("a").num(0).a(op::InitArray).a(op::SetVariable);
    arrays.get("a").num(4000000000.0).num(1).a(op::SetMember);
    arrays.get("a").str("length").num(1e12).a(op::SetMember);
    arrays.get("a").str("length").a(op::GetMember).trace();
    m.host.lines.clear();
    m.run(arrays.bytes);
    EXPECT_EQ(m.host.lines, Lines{"-727379968"});
}

TEST(Avm1Hostile, RecursiveGettersAndSettersStop)
{
    HostileMachine m(8);
    // o.addProperty("p", function () { return this.p; }, function (v) { this.p = v; }); o.p = 1; trace(o.p);
    Asm getter;
    getter.get("this").str("p").a(op::GetMember).a(op::Return);
    Asm setter;
    setter.get("this").str("p").get("v").a(op::SetMember);
    Asm code;
    code.str("o").num(0).a(op::InitObject).a(op::SetVariable);
    code.function("", {"v"}, setter).function("", {}, getter).str("p");
    code.callMethod(Asm().get("o"), "addProperty", 3).a(op::Pop);
    code.get("o").str("p").num(1).a(op::SetMember);
    code.get("o").str("p").a(op::GetMember).trace();
    m.run(code.bytes);
    // Both recursions stop at the depth limit; the getter past it reads the value the outermost assignment kept.
    EXPECT_EQ(m.host.lines, Lines{"1"});
    EXPECT_TRUE(m.stillRuns());
}

TEST(Avm1Hostile, RunawayTimersStopEachRound)
{
    HostileMachine m(8);
    // setInterval(function () { while (true) {} }, 10)
    Asm loop;
    loop.jump(op::Jump, -5);
    Asm code;
    code.num(10).function("", {}, loop).callFunction("setInterval", 2).a(op::Pop);
    m.run(code.bytes);
    for (int i = 1; i <= 3; ++i) {
        m.host.clockMs = 10.0 * i;
        m.host.resetClock();
        m.vm.runTimers();
        EXPECT_TRUE(m.vm.aborted()) << i;
    }
    EXPECT_TRUE(m.stillRuns());
}

}  // namespace
