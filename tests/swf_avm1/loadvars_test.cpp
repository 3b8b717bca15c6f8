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
    // Web requests are answered later by the test through Vm::textArrived; "refused" ones are not started.
    int requestText(const std::string& url, const std::string& method, const std::string& body) override
    {
        if (url.find("refused") != std::string::npos) {
            return 0;
        }
        requests.push_back({url, method, body});
        return static_cast<int>(requests.size()) + 100;
    }
    void getUrl(const std::string& url, const std::string& target, int) override { opened = {url, target}; }
    struct Request {
        std::string url, method, body;
    };
    std::map<std::string, std::string> texts;
    std::vector<Request> requests;
    std::pair<std::string, std::string> opened;
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

TEST(Avm1LoadVars, WebLoadsWaitForTheHostsAnswer)
{
    Machine m;
    const Value vars = m.make("LoadVars");
    m.recordOnLoad(vars);
    EXPECT_TRUE(m.call(vars, "load", {Value("http://example.com/v.txt")}).asBool());
    ASSERT_EQ(m.host.requests.size(), 1u);
    EXPECT_EQ(m.host.requests[0].method, "GET");
    m.vm.runTimers();
    EXPECT_TRUE(m.vm.get(vars, "result").isUndefined());  // still on its way
    EXPECT_TRUE(m.vm.textArrived(101, true, "level=3"));
    EXPECT_FALSE(m.vm.textArrived(101, true, "level=4"));  // answered already
    EXPECT_FALSE(m.vm.textArrived(7, true, "x=1"));        // never asked
    m.vm.runTimers();
    EXPECT_TRUE(m.vm.get(vars, "result").asBool());
    EXPECT_EQ(m.vm.toString(m.vm.get(vars, "level")), "3");

    // A failed request and one the host cannot start both end in onLoad(false).
    const Value failed = m.make("LoadVars"), refused = m.make("LoadVars");
    m.recordOnLoad(failed);
    m.recordOnLoad(refused);
    m.call(failed, "load", {Value("http://example.com/missing.txt")});
    m.call(refused, "load", {Value("http://refused/x.txt")});
    EXPECT_TRUE(m.vm.textArrived(102, false, "ignored"));
    m.vm.runTimers();
    EXPECT_FALSE(m.vm.get(failed, "result").asBool());
    EXPECT_FALSE(m.vm.get(failed, "loaded").asBool());
    EXPECT_FALSE(m.vm.get(refused, "result").asBool());
}

TEST(Avm1LoadVars, SendAndLoadCarriesTheVariables)
{
    Machine m;
    const Value form = m.make("LoadVars"), reply = m.make("LoadVars");
    m.recordOnLoad(reply);
    m.vm.set(form, "name", Value("a b"));
    m.vm.set(form, "score", Value(9));
    EXPECT_TRUE(m.call(form, "sendAndLoad", {Value("http://example.com/post"), reply}).asBool());
    EXPECT_TRUE(m.call(form, "sendAndLoad", {Value("http://example.com/get?x=1"), reply, Value("get")}).asBool());
    EXPECT_FALSE(m.call(form, "sendAndLoad", {Value("http://example.com/post")}).asBool());  // no target
    ASSERT_EQ(m.host.requests.size(), 2u);
    EXPECT_EQ(m.host.requests[0].method, "POST");
    EXPECT_EQ(m.host.requests[0].body, "score=9&name=a%20b");
    EXPECT_EQ(m.host.requests[1].method, "GET");
    EXPECT_EQ(m.host.requests[1].url, "http://example.com/get?x=1&score=9&name=a%20b");
    EXPECT_TRUE(m.host.requests[1].body.empty());
    m.vm.textArrived(101, true, "ok=1");
    m.vm.runTimers();
    EXPECT_TRUE(m.vm.get(reply, "result").asBool());
    EXPECT_EQ(m.vm.toString(m.vm.get(reply, "ok")), "1");
    EXPECT_TRUE(m.vm.get(form, "ok").isUndefined());  // the answer goes to the target only

    m.call(form, "send", {Value("http://example.com/show"), Value("_blank")});
    EXPECT_EQ(m.host.opened.first, "http://example.com/show?score=9&name=a%20b");
    EXPECT_EQ(m.host.opened.second, "_blank");

    // XML sends its markup.
    const Value xml = m.make("XML"), answer = m.make("XML");
    m.call(xml, "parseXML", {Value("<q id=\"1\" />")});
    m.recordOnLoad(answer);
    m.call(xml, "sendAndLoad", {Value("http://example.com/x"), answer});
    ASSERT_EQ(m.host.requests.size(), 3u);
    EXPECT_EQ(m.host.requests[2].body, "<q id=\"1\" />");
    m.vm.textArrived(103, true, "<r/>");
    m.vm.runTimers();
    EXPECT_TRUE(m.vm.get(answer, "result").asBool());
    EXPECT_EQ(m.vm.toString(answer), "<r />");
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
