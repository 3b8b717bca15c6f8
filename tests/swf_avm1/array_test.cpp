// Arrays as scripts see them: elements that may be missing, a 32-bit length kept apart from the stored slots, and
// the methods over both.
#include "swf/avm1/runner.h"
#include "swf/avm1/vm.h"
#include "swf/limits.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace swf::avm1;

struct Machine {
    Machine() : host(1), vm(host, 8) { host.attach(vm); }
    Value make(std::vector<Value> elements = {}) { return Value(static_cast<Object*>(vm.newArray(std::move(elements)))); }
    Value construct(std::vector<Value> args) { return vm.construct(vm.get(Value(vm.global()), "Array"), args); }
    Value call(const Value& self, const std::string& name, std::vector<Value> args = {})
    {
        return vm.call(vm.get(self, name), self, args);
    }
    double length(const Value& a) { return vm.toNumber(vm.get(a, "length")); }
    std::string str(const Value& v) { return vm.toString(v); }
    std::string keys(const Value& a)
    {
        std::vector<std::string> names = vm.enumerate(a.asObject());
        std::sort(names.begin(), names.end());
        std::string out;
        for (const std::string& n : names) {
            out += n + ";";
        }
        return out;
    }
    HeadlessHost host;
    Vm vm;
};

TEST(Avm1Array, MissingElementsReadUndefinedButAreNoProperties)
{
    Machine m;
    const Value a = m.make();
    m.vm.set(a, "4", Value(4));
    EXPECT_EQ(m.length(a), 5);
    EXPECT_EQ(m.keys(a), "4;");
    EXPECT_FALSE(m.vm.has(a.asObject(), "0"));
    EXPECT_TRUE(m.vm.get(a, "0").isUndefined());
    EXPECT_EQ(m.str(a), "undefined,undefined,undefined,undefined,4");

    // An element set to undefined exists; a deleted one does not, and the length stays.
    m.vm.set(a, "1", Value());
    EXPECT_TRUE(m.vm.has(a.asObject(), "1"));
    EXPECT_TRUE(m.vm.remove(a.asObject(), "4"));
    EXPECT_FALSE(m.vm.has(a.asObject(), "4"));
    EXPECT_FALSE(m.vm.remove(a.asObject(), "4"));
    EXPECT_EQ(m.length(a), 5);
    EXPECT_EQ(m.keys(a), "1;");

    // Growing the length adds holes; cutting it drops elements for good.
    m.vm.set(a, "length", Value(7));
    EXPECT_EQ(m.keys(a), "1;");
    m.vm.set(a, "length", Value(1));
    m.vm.set(a, "length", Value(3));
    EXPECT_EQ(m.keys(a), "");
}

TEST(Avm1Array, MethodsOverHolesLeaveEveryMovedElementAProperty)
{
    Machine m;
    for (const char* method : {"shift", "reverse", "unshift", "sort"}) {
        const Value a = m.make();
        m.vm.set(a, "3", Value(3));
        m.call(a, method);
        EXPECT_EQ(m.keys(a), method == std::string("shift") ? "0;1;2;" : "0;1;2;3;") << method;
    }
    const Value b = m.make({Value(1), Value(2), Value(3)});
    m.vm.remove(b.asObject(), "2");
    EXPECT_TRUE(m.call(b, "pop").isUndefined());
    m.call(b, "push", {Value(9)});
    EXPECT_EQ(m.keys(b), "0;1;2;");
    EXPECT_EQ(m.str(b), "1,2,9");
    const Value c = m.make({Value(1), Value(2)});
    m.vm.remove(c.asObject(), "0");
    EXPECT_EQ(m.str(m.call(c, "slice")), "undefined,2");
    EXPECT_EQ(m.str(m.call(c, "join", {Value("-")})), "undefined-2");
}

TEST(Avm1Array, TheLengthIsASigned32BitNumberThatIndexesMoveOnward)
{
    Machine m;
    const Value a = m.make({Value(1), Value(2)});
    // Indexes below the length, negative ones and ones wrapping below it leave the length alone.
    m.vm.set(a, "-5", Value("x"));
    m.vm.set(a, "2147483648", Value("x"));
    EXPECT_EQ(m.length(a), 2);
    EXPECT_EQ(m.str(m.vm.get(a, "-5")), "x");
    EXPECT_EQ(m.str(m.vm.get(a, "2147483648")), "x");

    // One past 2^31 - 1 wraps to the lowest length, which drops every element.
    m.vm.set(a, "2147483647", Value("y"));
    EXPECT_EQ(m.length(a), -2147483648.0);
    EXPECT_FALSE(m.vm.has(a.asObject(), "0"));
    EXPECT_EQ(m.str(m.vm.get(a, "2147483647")), "y");
    m.vm.set(a, "4294967295", Value());  // wraps to -1
    EXPECT_EQ(m.length(a), 0);
    m.vm.set(a, "302231454903657293676544", Value());  // 2^78 wraps to 0
    EXPECT_EQ(m.length(a), 1);
}

TEST(Avm1Array, OddLengthsStayBounded)
{
    Machine m;
    const Value a = m.make({Value(1), Value(2), Value(3)});
    m.vm.set(a, "length", Value(4294967295.0));
    EXPECT_EQ(m.length(a), -1);
    EXPECT_EQ(m.str(a), "");
    m.vm.set(a, "0", Value(7));
    EXPECT_EQ(m.length(a), 1);
    EXPECT_EQ(m.str(a), "7");

    m.vm.set(a, "length", Value(std::nan("")));
    EXPECT_EQ(m.length(a), 0);
    m.vm.set(a, "length", Value(2.9));
    EXPECT_EQ(m.length(a), 2);

    // A length past the engine's limit is reported but allocates nothing.
    m.vm.set(a, "length", Value(2000000000.0));
    EXPECT_EQ(m.length(a), 2000000000.0);
    EXPECT_LE(static_cast<ArrayObject*>(a.asObject())->elements.size(), swf::limits::kAvm1MaxArrayLength);
    m.vm.set(a, "1999999999", Value("last"));
    EXPECT_EQ(m.length(a), 2000000000.0);
    EXPECT_EQ(m.str(m.vm.get(a, "1999999999")), "last");
    // A method works on the stored slots again.
    EXPECT_EQ(m.vm.toNumber(m.call(a, "push", {Value(5)})), 3);

    const Value negative = m.construct({Value(-1)});
    EXPECT_EQ(m.length(negative), -1);
    EXPECT_EQ(m.str(negative), "");
    const Value huge = m.construct({Value(4294967296.0 + 3)});
    EXPECT_EQ(m.length(huge), 3);
    EXPECT_EQ(m.keys(huge), "");
}

}  // namespace
