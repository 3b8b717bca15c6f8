// The built-in classes called from C++ through the machine, as scripts would call them.
#include "swf/avm1/runner.h"
#include "swf/avm1/vm.h"

#include <gtest/gtest.h>

namespace {

using namespace swf::avm1;

struct Machine {
    explicit Machine(int version = 8) : host(1), vm(host, version) { host.attach(vm); }
    Value global(const std::string& name) { return vm.get(Value(vm.global()), name); }
    Value callMethod(const Value& self, const std::string& name, std::vector<Value> args = {})
    {
        return vm.call(vm.get(self, name), self, args);
    }
    Value array(std::vector<Value> elements) { return Value(static_cast<Object*>(vm.newArray(std::move(elements)))); }
    std::string str(const Value& v) { return vm.toString(v); }
    HeadlessHost host;
    Vm vm;
};

TEST(Avm1Builtins, ArraySortHonoursItsFlags)
{
    Machine m;
    const double caseInsensitive = 1, descending = 2, unique = 4, indexed = 8, numeric = 16;
    const struct {
        std::vector<Value> input;
        double flags;
        const char* expected;
    } cases[] = {
        {{Value(10), Value(9), Value(100)}, 0, "10,100,9"},
        {{Value(10), Value(9), Value(100)}, numeric, "9,10,100"},
        {{Value(10), Value(9), Value(100)}, numeric + descending, "100,10,9"},
        {{Value("b"), Value("B"), Value("a")}, 0, "B,a,b"},
        {{Value("b"), Value("C"), Value("a")}, caseInsensitive, "a,b,C"},
        {{Value(3), Value(1), Value(2)}, numeric + indexed, "1,2,0"},
        {{Value(1), Value(1)}, unique, "0"},
    };
    for (const auto& c : cases) {
        Value a = m.array(c.input);
        EXPECT_EQ(m.str(m.callMethod(a, "sort", {Value(c.flags)})), c.expected) << c.flags;
    }
}

TEST(Avm1Builtins, CallAndApplyRunOnTheGlobalObjectWithoutAThisAndTakeArrayLikeArguments)
{
    Machine m;
    Value seenThis;
    std::vector<Value> seenArgs;
    Value fn(static_cast<Object*>(m.vm.newNative("f", [&](Vm&, const Value& self, const std::vector<Value>& args) {
        seenThis = self;
        seenArgs = args;
        return Value();
    })));
    const Value global(m.vm.global());
    for (const Value& none : {Value(), Value::null()}) {
        m.callMethod(fn, "call", {none, Value(1)});
        EXPECT_EQ(seenThis.asObject(), m.vm.global());
        m.callMethod(fn, "apply", {none});
        EXPECT_EQ(seenThis.asObject(), m.vm.global());
    }
    m.callMethod(fn, "call", {Value(123)});
    EXPECT_EQ(m.str(seenThis), "123");

    Object* fake = m.vm.newObject();
    m.vm.set(Value(fake), "length", Value(2));
    m.vm.set(Value(fake), "0", Value("first"));
    m.vm.set(Value(fake), "1", Value(5));
    m.callMethod(fn, "apply", {global, Value(fake)});
    ASSERT_EQ(seenArgs.size(), 2u);
    EXPECT_EQ(m.str(seenArgs[0]), "first");
    EXPECT_EQ(m.str(seenArgs[1]), "5");
    m.vm.set(Value(fake), "length", Value(-3));
    m.callMethod(fn, "apply", {global, Value(fake)});
    EXPECT_TRUE(seenArgs.empty());
}

TEST(Avm1Builtins, ArraySpliceSliceConcatJoin)
{
    Machine m;
    Value a = m.array({Value(1), Value(2), Value(3), Value(4)});
    EXPECT_EQ(m.str(m.callMethod(a, "slice", {Value(-2)})), "3,4");
    EXPECT_EQ(m.str(m.callMethod(a, "splice", {Value(1), Value(2), Value("x")})), "2,3");
    EXPECT_EQ(m.str(a), "1,x,4");
    EXPECT_EQ(m.str(m.callMethod(a, "concat", {m.array({Value(5)}), Value(6)})), "1,x,4,5,6");
    EXPECT_EQ(m.str(m.callMethod(a, "join", {Value("-")})), "1-x-4");
    m.vm.set(a, "length", Value(1));
    EXPECT_EQ(m.str(a), "1");
    // A length is a 32-bit number; 10^12 wraps to a negative one, which leaves no elements and allocates nothing.
    m.vm.set(a, "length", Value(1e12));
    EXPECT_EQ(m.vm.toNumber(m.vm.get(a, "length")), -727379968.0);
    EXPECT_EQ(m.str(a), "");
}

TEST(Avm1Builtins, StringMethodsCountCharacters)
{
    Machine m;
    const Value s("h\xC3\xA9llo");
    EXPECT_EQ(m.vm.toNumber(m.vm.get(s, "length")), 5);
    EXPECT_EQ(m.str(m.callMethod(s, "charAt", {Value(1)})), "\xC3\xA9");
    EXPECT_EQ(m.str(m.callMethod(s, "substr", {Value(-3), Value(2)})), "ll");
    EXPECT_EQ(m.str(m.callMethod(s, "substring", {Value(3), Value(1)})), "\xC3\xA9l");
    EXPECT_EQ(m.str(m.callMethod(s, "slice", {Value(1), Value(-1)})), "\xC3\xA9ll");
    EXPECT_EQ(m.vm.toNumber(m.callMethod(s, "indexOf", {Value("l")})), 2);
    EXPECT_EQ(m.vm.toNumber(m.callMethod(s, "lastIndexOf", {Value("l")})), 3);
    EXPECT_EQ(m.str(m.callMethod(Value("a,b,,c"), "split", {Value(",")})), "a,b,,c");
    EXPECT_EQ(m.vm.toNumber(m.vm.get(m.callMethod(Value("a,b,,c"), "split", {Value(",")}), "length")), 4);
    EXPECT_EQ(m.str(m.callMethod(Value("MiXeD"), "toUpperCase")), "MIXED");
}

TEST(Avm1Builtins, GlobalParsersAndEscapes)
{
    Machine m;
    auto call = [&](const char* name, std::vector<Value> args) { return m.vm.call(m.global(name), Value(), args); };
    EXPECT_EQ(m.str(call("parseInt", {Value("0x1F")})), "31");
    EXPECT_EQ(m.str(call("parseInt", {Value("010")})), "8");
    EXPECT_EQ(m.str(call("parseInt", {Value(" 010")})), "10");
    EXPECT_EQ(m.str(call("parseInt", {Value("0x-10")})), "-16");
    EXPECT_EQ(m.str(call("parseInt", {Value("10"), Value()})), "NaN");
    EXPECT_TRUE(call("parseInt", {}).isUndefined());
    EXPECT_EQ(m.str(call("parseInt", {Value("12px")})), "12");
    EXPECT_EQ(m.str(call("parseInt", {Value("z"), Value(36)})), "35");
    EXPECT_EQ(m.str(call("parseInt", {Value("px")})), "NaN");
    EXPECT_EQ(m.str(call("parseFloat", {Value(" 3.5e2abc")})), "350");
    EXPECT_EQ(m.str(call("escape", {Value("a b&c@.")})), "a%20b%26c%40%2E");
    EXPECT_EQ(m.str(call("unescape", {Value("a%20b%26c")})), "a b&c");
    EXPECT_EQ(m.str(call("isNaN", {Value("x")})), "true");
}

TEST(Avm1Builtins, PropFlagsHideAndProtect)
{
    Machine m;
    Object* o = m.vm.newObject();
    o->put("a", Value(1));
    o->put("b", Value(2));
    m.vm.call(m.global("ASSetPropFlags"), Value(), {Value(o), Value("a"), Value(1 | 4)});
    EXPECT_EQ(m.vm.enumerate(o), std::vector<std::string>{"b"});
    m.vm.set(Value(o), "a", Value(5));
    EXPECT_EQ(m.vm.toNumber(m.vm.get(Value(o), "a")), 1);
    EXPECT_TRUE(m.vm.remove(o, "a"));
}

TEST(Avm1Builtins, ASetterThatGrowsOrEmptiesItsObjectLeavesTheAssignmentSafe)
{
    // The setter adds many properties (the object's table grows and moves) or deletes its own property;
    // the assignment still ends with a defined state.
    Machine m;
    Object* o = m.vm.newObject();
    FunctionObject* getter = m.vm.newNative("get", [](Vm&, const Value&, const std::vector<Value>&) { return Value(7); });
    FunctionObject* grower = m.vm.newNative("set", [](Vm& vm, const Value& self, const std::vector<Value>&) {
        for (int i = 0; i < 500; ++i)
            vm.set(self, "filler" + std::to_string(i), Value(i));
        return Value();
    });
    m.callMethod(Value(o), "addProperty", {Value("p"), Value(static_cast<Object*>(getter)), Value(static_cast<Object*>(grower))});
    m.vm.set(Value(o), "p", Value(1));
    EXPECT_EQ(m.vm.toNumber(m.vm.get(Value(o), "p")), 7);
    EXPECT_EQ(m.vm.toNumber(m.vm.get(Value(o), "filler499")), 499);

    FunctionObject* remover = m.vm.newNative("set", [](Vm& vm, const Value& self, const std::vector<Value>&) {
        vm.remove(self.asObject(), "q");
        return Value();
    });
    m.callMethod(Value(o), "addProperty", {Value("q"), Value(static_cast<Object*>(getter)), Value(static_cast<Object*>(remover))});
    m.vm.set(Value(o), "q", Value(2));
    EXPECT_TRUE(m.vm.get(Value(o), "q").isUndefined());
}

TEST(Avm1Builtins, GettersWatchersAndPrototypeCyclesEndCleanly)
{
    Machine m;
    Object* o = m.vm.newObject();
    // A getter that reads its own property recurses until the machine's guard stops it.
    FunctionObject* getter = m.vm.newNative("get", [](Vm& vm, const Value& self, const std::vector<Value>&) {
        return Value(vm.toNumber(vm.get(self, "p")) + 1);
    });
    m.callMethod(Value(o), "addProperty", {Value("p"), Value(static_cast<Object*>(getter)), Value::null()});
    EXPECT_NO_FATAL_FAILURE(m.vm.get(Value(o), "p"));
    // A watcher changes the stored value.
    FunctionObject* doubler = m.vm.newNative("w", [](Vm& vm, const Value&, const std::vector<Value>& args) {
        return Value(vm.toNumber(args[2]) * 2);
    });
    m.callMethod(Value(o), "watch", {Value("q"), Value(static_cast<Object*>(doubler))});
    m.vm.set(Value(o), "q", Value(21));
    EXPECT_EQ(m.vm.toNumber(m.vm.get(Value(o), "q")), 42);
    // Two objects that are each other's prototype.
    Object* x = m.vm.newObject();
    Object* y = m.vm.newObject(x);
    x->setProto(y);
    EXPECT_TRUE(m.vm.get(Value(x), "missing").isUndefined());
    EXPECT_FALSE(m.vm.instanceOf(Value(x), m.vm.builtins().arrayCtor));
}

TEST(Avm1Builtins, ConstructorsBoxAndConvert)
{
    Machine m;
    Value boxed = m.vm.construct(m.global("String"), {Value("abc")});
    EXPECT_EQ(m.vm.typeOf(boxed), "object");
    EXPECT_EQ(m.str(boxed), "abc");
    EXPECT_EQ(m.vm.typeOf(m.vm.call(m.global("String"), Value(), {Value(5)})), "string");
    EXPECT_EQ(m.str(m.vm.construct(m.global("Array"), {Value(3)})), "undefined,undefined,undefined");
    EXPECT_EQ(m.str(m.callMethod(Value(255), "toString", {Value(16)})), "ff");
    Value error = m.vm.construct(m.global("Error"), {Value("bad")});
    EXPECT_EQ(m.str(error), "bad");
    Value date = m.vm.construct(m.global("Date"), {Value(2000), Value(1), Value(29)});
    EXPECT_EQ(m.str(m.callMethod(date, "getDate")), "29");
    EXPECT_EQ(m.str(m.callMethod(date, "getDay")), "2");
}

}  // namespace
