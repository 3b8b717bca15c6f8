// LoadVars and XML loading through the host, LoadVars' text form, and System.capabilities.
#include "swf/avm1/runner.h"
#include "swf/avm1/vm.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace swf::avm1;

// A host that serves texts from a table and reports a language.
class TextHost : public HeadlessHost {
public:
    TextHost() : HeadlessHost(1) {}
    bool loadText(const std::string& url, std::string& text) override
    {
        const auto found = texts.find(url);
        if (found == texts.end()) {
            return false;
        }
        text = found->second;
        return true;
    }
    std::string language() override { return "zh-CN"; }
    std::map<std::string, std::string> texts;
};

struct Machine {
    Machine() : vm(host, 8) { host.attach(vm); }
    Value make(const char* name) { return vm.construct(vm.get(Value(vm.global()), name), {}); }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {})
    {
        return vm.call(vm.get(self, name), self, args);
    }
    // An onLoad that records its success argument in the object's "result".
    void recordOnLoad(const Value& target)
    {
        target.asObject()->put("onLoad", Value(vm.newNative("onLoad", [](Vm& vm, const Value& self,
                                                                          const std::vector<Value>& args) {
            vm.set(self, "result", args.empty() ? Value() : args[0]);
            return Value();
        })));
    }
    TextHost host;
    Vm vm;
};

TEST(Avm1LoadVars, DecodeAndToString)
{
    Machine m;
    const Value vars = m.make("LoadVars");
    m.call(vars, "decode", {Value("a=1&b=x%20y+z&empty&=skipped&c=%26")});
    EXPECT_EQ(m.vm.toString(m.vm.get(vars, "a")), "1");
    EXPECT_EQ(m.vm.toString(m.vm.get(vars, "b")), "x y z");
    EXPECT_EQ(m.vm.toString(m.vm.get(vars, "empty")), "");
    EXPECT_EQ(m.vm.toString(m.vm.get(vars, "c")), "&");
    const Value fresh = m.make("LoadVars");
    m.vm.set(fresh, "name", Value("a b&c"));
    m.vm.set(fresh, "n", Value(2));
    // Newest first, as for..in visits them; methods on the prototype are not variables.
    EXPECT_EQ(m.vm.toString(fresh), "n=2&name=a%20b%26c");
}

TEST(Avm1LoadVars, LoadDeliversOnTheNextTimerRunAndReportsFailure)
{
    Machine m;
    m.host.texts["vars.txt"] = "score=42";
    const Value vars = m.make("LoadVars");
    m.recordOnLoad(vars);
    EXPECT_TRUE(m.call(vars, "load", {Value("vars.txt")}).asBool());
    EXPECT_TRUE(m.vm.get(vars, "result").isUndefined());  // nothing arrives inside the asking script
    m.vm.runTimers();
    EXPECT_TRUE(m.vm.get(vars, "result").asBool());
    EXPECT_EQ(m.vm.toString(m.vm.get(vars, "score")), "42");
    EXPECT_TRUE(m.vm.get(vars, "loaded").asBool());
    const Value missing = m.make("LoadVars");
    m.recordOnLoad(missing);
    m.call(missing, "load", {Value("nowhere.txt")});
    m.vm.runTimers();
    EXPECT_FALSE(m.vm.get(missing, "result").asBool());
    EXPECT_FALSE(m.vm.get(missing, "loaded").asBool());
}

TEST(Avm1LoadVars, XmlLoadParsesWhatTheHostGives)
{
    Machine m;
    m.host.texts["a.xml"] = "<a><b/></a>";
    const Value xml = m.make("XML");
    m.recordOnLoad(xml);
    m.call(xml, "load", {Value("a.xml")});
    m.vm.runTimers();
    EXPECT_TRUE(m.vm.get(xml, "result").asBool());
    EXPECT_EQ(m.vm.toString(xml), "<a><b /></a>");
}

TEST(Avm1LoadVars, CapabilitiesDescribeALinuxPlayer)
{
    Machine m;
    const Value capabilities = m.vm.get(m.vm.get(Value(m.vm.global()), "System"), "capabilities");
    EXPECT_EQ(m.vm.toString(m.vm.get(capabilities, "os")), "Linux");
    EXPECT_EQ(m.vm.toString(m.vm.get(capabilities, "version")).substr(0, 4), "LNX ");
    EXPECT_EQ(m.vm.toString(m.vm.get(capabilities, "language")), "zh-CN");
    EXPECT_FALSE(m.vm.get(capabilities, "isDebugger").asBool());
}

}  // namespace
