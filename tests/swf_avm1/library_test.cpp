// String and Array edges, and the flash.geom classes, called from C++ as scripts would call them.
#include "swf/avm1/runner.h"
#include "swf/avm1/vm.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace swf::avm1;

struct Machine {
    explicit Machine(int version = 8) : host(1), vm(host, version) { host.attach(vm); }
    Value global(const std::string& name) { return vm.get(Value(vm.global()), name); }
    Value geom(const std::string& name) { return vm.get(vm.get(global("flash"), "geom"), name); }
    Value callMethod(const Value& self, const std::string& name, std::vector<Value> args = {})
    {
        return vm.call(vm.get(self, name), self, args);
    }
    std::string str(const Value& v) { return vm.toString(v); }
    HeadlessHost host;
    Vm vm;
};

TEST(Avm1Library, StringPositionsWrapAndMissingArgumentsGiveUndefined)
{
    Machine m;
    const Value s("Hello test test");
    const struct {
        const char* method;
        std::vector<Value> args;
        const char* expected;
    } cases[] = {
        {"charAt", {Value(4294967297.0)}, "e"},
        {"indexOf", {Value("test"), Value(4294967303.0)}, "11"},
        {"indexOf", {Value(""), Value(100)}, "-1"},
        {"indexOf", {Value(""), Value(15)}, "15"},
        {"indexOf", {}, "undefined"},
        {"lastIndexOf", {}, "undefined"},
        {"slice", {Value(4294967296.0), Value(4294967298.0)}, "He"},
        {"substr", {Value(4294967296.0), Value(-4294967294.0)}, "He"},
        {"substring", {Value(4294967296.0), Value(-4294967294.0)}, "He"},
        {"slice", {}, "undefined"},
        {"substr", {}, "undefined"},
        {"substring", {}, "undefined"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m.str(m.callMethod(s, c.method, c.args)), c.expected) << c.method;
    }
}

TEST(Avm1Library, FromCharCodeStopsAtNulAndReplacesSurrogates)
{
    Machine m;
    const Value string = m.global("String");
    EXPECT_EQ(m.str(m.callMethod(string, "fromCharCode", {Value(80), Value(0), Value(82)})), "P");
    EXPECT_EQ(m.str(m.callMethod(string, "fromCharCode", {Value(0xD801)})), "\xEF\xBF\xBD");
}

TEST(Avm1Library, CharCodeAtPastTheEndDependsOnTheVersion)
{
    for (int version : {5, 6}) {
        Machine m(version);
        const Value s("abc");
        EXPECT_EQ(m.str(m.callMethod(s, "charCodeAt", {Value(3)})), version == 5 ? "0" : "NaN") << version;
        EXPECT_EQ(m.str(m.callMethod(s, "charCodeAt", {Value(-1)})), "NaN") << version;
        EXPECT_EQ(m.str(m.callMethod(s, "charCodeAt", {Value(1)})), "98") << version;
    }
}

TEST(Avm1Library, CaseChangesFollowFlashsUnicodeTable)
{
    Machine m;
    const struct {
        const char* text;
        const char* upper;
        const char* lower;
    } cases[] = {
        {"teST\xF0\x9F\x98\x8B", "TEST\xF0\x9F\x98\x8B", "test\xF0\x9F\x98\x8B"},  // a pair stays as it is
        {"\xC3\xA9\xC3\x89", "\xC3\x89\xC3\x89", "\xC3\xA9\xC3\xA9"},                   // é É
        {"\xD0\x96\xD0\xB6", "\xD0\x96\xD0\x96", "\xD0\xB6\xD0\xB6"},                   // Ж ж
        {"\xCF\x82", "\xCE\xA2", "\xCF\x82"},                                             // ς pairs with U+03A2
        {"\xE1\x82\xA0", "\xE1\x82\xA0", "\xE1\x83\x90"},                               // Georgian Ⴀ lowers to ა
        {"\xE1\x83\x90", "\xE1\x83\x90", "\xE1\x83\x90"},                               // ა has no capital
        {"\xE1\xBE\x80", "\xE1\xBE\x88", "\xE1\xBE\x80"},                               // ᾀ to ᾈ, one unit
        {"\xC4\xB0", "\xC4\xB0", "i"},                                                  // İ
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m.str(m.callMethod(Value(c.text), "toUpperCase")), c.upper) << c.text;
        EXPECT_EQ(m.str(m.callMethod(Value(c.text), "toLowerCase")), c.lower) << c.text;
    }
}

TEST(Avm1Library, ParseFloatReadsAsFlashDoes)
{
    Machine m;
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"  12.5abc", "12.5"},
        {"1.2345.678", "1.2345678"},  // a second point is skipped, the digits go on
        {"1.2345.6e50", "1.23456"},   // and then no exponent is read
        {"1e4294967297", "10"},       // the exponent wraps at 32 bits
        {"10e-", "10"},
        {"-034.1+e20", "-34.1"},
        {".2E20E1", "2e+19"},
        {"9e99999", "Infinity"},
        {"Infinity", "NaN"},
        {"-", "NaN"},
        {"", "NaN"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m.str(m.vm.call(m.global("parseFloat"), Value(), {Value(c.text)})), c.expected) << c.text;
    }
    // Decimals are added with a falling scale, not rounded to the nearest double.
    EXPECT_EQ(m.vm.call(m.global("parseFloat"), Value(), {Value(".1499999")}).asNumber(), 0.14999990000000005);
}

TEST(Avm1Library, SplitDependsOnTheVersion)
{
    const Value s("a,b");
    for (int version : {5, 6}) {
        Machine m(version);
        const bool swf5 = version == 5;
        EXPECT_EQ(m.str(m.vm.get(m.callMethod(s, "split"), "length")), swf5 ? "2" : "1") << version;
        EXPECT_EQ(m.str(m.vm.get(m.callMethod(s, "split", {Value("")}), "length")), swf5 ? "1" : "3") << version;
        EXPECT_EQ(m.str(m.vm.get(m.callMethod(s, "split", {Value(","), Value(-1)}), "length")), "0") << version;
    }
}

TEST(Avm1Library, ArrayMethodsWorkOnArrayLikeObjects)
{
    Machine m;
    const Value o(m.vm.newObject());
    m.vm.set(o, "0", Value("a"));
    m.vm.set(o, "1", Value("b"));
    m.vm.set(o, "length", Value(2));
    const Value proto = m.vm.get(m.global("Array"), "prototype");
    auto apply = [&](const std::string& name, std::vector<Value> args) {
        return m.vm.call(m.vm.get(proto, name), o, args);
    };
    EXPECT_EQ(m.str(apply("join", {Value("-")})), "a-b");
    EXPECT_EQ(m.str(apply("push", {Value("c")})), "3");
    EXPECT_EQ(m.str(m.vm.get(o, "2")), "c");
    EXPECT_EQ(m.str(apply("shift", {})), "a");
    EXPECT_EQ(m.str(m.vm.get(o, "length")), "2");
    EXPECT_EQ(m.str(m.vm.get(o, "2")), "undefined");  // the element past the new end is gone
    EXPECT_EQ(apply("reverse", {}).asObject(), o.asObject());
    EXPECT_EQ(m.str(apply("concat", {Value(1)})), "c,b,1");
    // An undefined or negative count makes splice do nothing.
    EXPECT_TRUE(apply("splice", {Value(0), Value()}).isUndefined());
    EXPECT_TRUE(apply("splice", {Value(0), Value(-1)}).isUndefined());
    EXPECT_EQ(m.str(m.vm.get(o, "length")), "2");
}

TEST(Avm1Library, PointArithmeticAndEdges)
{
    Machine m;
    const Value point = m.geom("Point");
    auto make = [&](std::vector<Value> args) { return m.vm.construct(point, args); };
    EXPECT_EQ(m.str(make({})), "(x=0, y=0)");
    EXPECT_EQ(m.str(make({Value(1)})), "(x=1, y=undefined)");
    const Value p = make({Value(100), Value(200)});
    EXPECT_EQ(m.str(m.callMethod(p, "add", {make({Value(1), Value(2)})})), "(x=101, y=202)");
    EXPECT_EQ(m.str(m.callMethod(p, "subtract", {Value()})), "(x=NaN, y=NaN)");
    EXPECT_EQ(m.str(m.vm.get(make({Value(0), Value(-200)}), "length")), "200");
    EXPECT_EQ(m.str(m.callMethod(point, "distance", {make({Value(-100), Value(200)}), make({Value(100), Value(200)})})),
        "200");
    EXPECT_EQ(m.str(m.callMethod(point, "interpolate", {make({Value(-100), Value(-200)}), p, Value(0.5)})),
        "(x=0, y=0)");
    EXPECT_EQ(m.str(m.callMethod(point, "polar", {Value(5), Value(std::atan(0.75))})), "(x=4, y=3)");
    // Normalizing a point of no length, or to a length that is not a number, follows Flash.
    const Value zero = make({});
    m.callMethod(zero, "normalize", {Value(10)});
    EXPECT_EQ(m.str(zero), "(x=0, y=0)");
    const Value q = make({Value(-200), Value(100)});
    m.callMethod(q, "normalize", {});
    EXPECT_EQ(m.str(q), "(x=NaN, y=NaN)");
    EXPECT_FALSE(m.callMethod(p, "equals", {Value(m.vm.newObject())}).asBool());
    EXPECT_TRUE(m.callMethod(p, "equals", {m.callMethod(p, "clone")}).asBool());
}

TEST(Avm1Library, ColorTransformRgbAndConcat)
{
    Machine m;
    const Value ctor = m.geom("ColorTransform");
    const Value identity = m.vm.construct(ctor, {});
    EXPECT_EQ(m.str(identity),
        "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=0, greenOffset=0, "
        "blueOffset=0, alphaOffset=0)");
    m.vm.set(identity, "rgb", Value(0xFF1900));
    EXPECT_EQ(m.str(m.vm.get(identity, "rgb")), "16718080");
    EXPECT_EQ(m.str(m.vm.get(identity, "redMultiplier")), "0");
    const Value half = m.vm.construct(ctor, {Value(0.5), Value(0.5), Value(0.5), Value(0.5), Value(10), Value(20),
                                                Value(30), Value(40)});
    const Value other = m.vm.construct(ctor, {Value(0.5), Value(0.5), Value(0.5), Value(0.5), Value(50), Value(60),
                                                 Value(70), Value(80)});
    m.callMethod(half, "concat", {other});
    EXPECT_EQ(m.str(half),
        "(redMultiplier=0.25, greenMultiplier=0.25, blueMultiplier=0.25, alphaMultiplier=0.25, redOffset=35, "
        "greenOffset=50, blueOffset=65, alphaOffset=80)");
    // Members read on an object that is not a ColorTransform give undefined.
    EXPECT_TRUE(m.vm.call(m.vm.get(m.vm.get(ctor, "prototype"), "concat"), Value(m.vm.newObject()), {other})
                    .isUndefined());
}

TEST(Avm1Library, XmlParsesPrintsAndReportsMalformedInput)
{
    Machine m;
    const struct {
        const char* text;
        double status;
        const char* printed;
    } cases[] = {
        {"<a x=\"1&amp;2\">t&lt;<b/></a>", 0, "<a x=\"1&amp;2\">t&lt;<b /></a>"},
        {"<?xml version=\"1.0\"?><a/>", 0, "<?xml version=\"1.0\"?><a />"},
        {"<a><![CDATA[<raw>]]></a>", 0, "<a>&lt;raw&gt;</a>"},
        {"<a>&#65;&#x42;&unknown;</a>", 0, "<a>AB&amp;unknown;</a>"},
        {"<a><!-- note --></a>", 0, "<a />"},
        {"<a><![CDATA[x</a>", -2, "<a />"},
        {"<?xml", -3, ""},
        {"<!DOCTYPE a", -4, ""},
        {"<a><!-- x", -5, "<a />"},
        {"<a", -6, ""},
        {"<a x=\"1></a>", -8, "<a />"},
        {"<a><b></a>", -9, "<a><b /></a>"},
        {"<a>", -9, "<a />"},
        {"</a>", -10, ""},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        const Value xml = m.vm.construct(m.global("XML"), {Value(c.text)});
        EXPECT_EQ(m.vm.toNumber(m.vm.get(xml, "status")), c.status) << c.text;
        EXPECT_EQ(m.str(xml), c.printed) << c.text;
    }
}

TEST(Avm1Library, XmlIgnoreWhiteAndTreeEdits)
{
    Machine m;
    const Value xml = m.vm.construct(m.global("XML"), {});
    m.vm.set(xml, "ignoreWhite", Value(true));
    m.callMethod(xml, "parseXML", {Value("<r> <a/>\n <b> x </b> </r>")});
    const Value root = m.vm.get(xml, "firstChild");
    EXPECT_EQ(m.str(m.vm.get(m.vm.get(root, "childNodes"), "length")), "2");
    EXPECT_EQ(m.str(m.vm.get(m.vm.get(m.vm.get(root, "lastChild"), "firstChild"), "nodeValue")), " x ");
    const Value a = m.vm.get(root, "firstChild");
    const Value b = m.vm.get(root, "lastChild");
    // Moving a node takes it out of its old place; a node cannot become its own descendant.
    m.callMethod(root, "insertBefore", {b, a});
    EXPECT_EQ(m.str(xml), "<r><b> x </b><a /></r>");
    m.callMethod(b, "appendChild", {root});
    EXPECT_EQ(m.str(xml), "<r><b> x </b><a /></r>");
    EXPECT_TRUE(m.vm.get(a, "nextSibling").isNull());
    EXPECT_EQ(m.vm.get(a, "previousSibling").asObject(), b.asObject());
    const Value copy = m.callMethod(root, "cloneNode", {Value(true)});
    m.callMethod(a, "removeNode");
    EXPECT_EQ(m.str(xml), "<r><b> x </b></r>");
    EXPECT_EQ(m.str(copy), "<r><b> x </b><a /></r>");
    EXPECT_TRUE(m.vm.get(copy, "parentNode").isNull());
    const Value named = m.callMethod(xml, "createElement", {Value("p:q")});
    EXPECT_EQ(m.str(m.vm.get(named, "prefix")), "p");
    EXPECT_EQ(m.str(m.vm.get(named, "localName")), "q");
    // The document takes a name, and undefined leaves it.
    m.vm.set(xml, "nodeName", Value("doc"));
    m.vm.set(xml, "nodeName", Value());
    EXPECT_EQ(m.str(xml), "<doc><r><b> x </b></r></doc>");
}

TEST(Avm1Library, FunctionCalledPlainlyAndWatchersThatThrow)
{
    Machine m;
    const Value function = m.global("Function");
    // Function() gives a bare object with no prototype; Function(x) gives x back.
    const Value bare = m.vm.call(function, Value(), {});
    EXPECT_EQ(m.str(bare), "[type Object]");
    EXPECT_TRUE(m.vm.get(bare, "__proto__").isUndefined());
    EXPECT_EQ(m.str(m.vm.call(function, Value(), {Value("return 5")})), "return 5");
    // A watcher that throws leaves the watched property undefined, and the throw goes on.
    const Value o(m.vm.newObject());
    m.vm.set(o, "v", Value(18));
    const Value thrower(m.vm.newNative("thrower", [](Vm& vm, const Value&, const std::vector<Value>&) {
        vm.throwValue(Value("too high"));
        return Value();
    }));
    m.callMethod(o, "watch", {Value("v"), thrower});
    m.vm.set(o, "v", Value(21));
    EXPECT_TRUE(m.vm.throwing());
    EXPECT_EQ(m.str(m.vm.takeThrown()), "too high");
    EXPECT_TRUE(m.vm.get(o, "v").isUndefined());
}

TEST(Avm1Library, SortArgumentsAndSortOnFlagsPerField)
{
    Machine m;
    auto array = [&](std::vector<Value> elements) { return Value(static_cast<Object*>(m.vm.newArray(elements))); };
    const double caseInsensitive = 1, descending = 2, numeric = 16;
    // A primitive that is neither flags nor a function makes sort do nothing; an object counts as no function.
    EXPECT_TRUE(m.callMethod(array({Value(2), Value(1)}), "sort", {Value(true)}).isUndefined());
    EXPECT_EQ(m.str(m.callMethod(array({Value(2), Value(1)}), "sort", {Value(m.vm.newObject())})), "1,2");
    // Flags given second win over a number first, unless they are undefined.
    EXPECT_EQ(m.str(m.callMethod(array({Value(2), Value(3), Value(1)}), "sort", {Value(descending), Value(numeric)})),
        "1,2,3");
    const Value undefinedFlags = m.callMethod(array({Value(2), Value(3), Value(1)}), "sort", {Value(descending), Value()});
    EXPECT_EQ(m.str(undefinedFlags), "3,2,1");
    // NUMERIC compares numbers as numbers and anything else as strings.
    EXPECT_EQ(m.str(m.callMethod(array({Value("9"), Value(10), Value(2)}), "sort", {Value(numeric)})), "2,10,9");
    auto record = [&](const char* n, double b) {
        Object* o = m.vm.newObject();
        o->put("n", Value(n));
        o->put("b", Value(b));
        return Value(o);
    };
    const Value records = array({record("foo", 1), record("BAR", 22), record("bar", 3)});
    const Value fields = array({Value("n"), Value("b")});
    m.callMethod(records, "sortOn", {fields, array({Value(caseInsensitive), Value(numeric)})});
    auto order = [&] {
        std::string out;
        for (int i = 0; i < 3; ++i) {
            out += m.str(m.vm.get(m.vm.get(records, std::to_string(i)), "b")) + ";";
        }
        return out;
    };
    EXPECT_EQ(order(), "3;22;1;");
    // A flags array whose length differs from the fields' is ignored.
    m.callMethod(records, "sortOn", {fields, array({Value(descending)})});
    EXPECT_EQ(order(), "22;3;1;");
    EXPECT_TRUE(m.callMethod(records, "sortOn", {}).isUndefined());
}

TEST(Avm1Library, RectangleEdgesComparisonsAndSetOperations)
{
    Machine m;
    const Value ctor = m.geom("Rectangle");
    auto make = [&](double x, double y, double w, double h) {
        return m.vm.construct(ctor, {Value(x), Value(y), Value(w), Value(h)});
    };
    const Value r = make(1, 3, 5, 7);
    EXPECT_EQ(m.str(r), "(x=1, y=3, w=5, h=7)");
    EXPECT_EQ(m.str(m.vm.get(r, "bottomRight")), "(x=6, y=10)");
    // Moving the left edge keeps the right one.
    m.vm.set(r, "left", Value(0));
    EXPECT_EQ(m.str(r), "(x=0, y=3, w=6, h=7)");
    m.vm.set(r, "left", Value(1));
    const struct {
        std::vector<Value> args;
        const char* expected;
    } containsCases[] = {
        {{Value(1), Value(3)}, "true"},
        {{Value(6), Value(10)}, "false"},
        {{Value(1), Value(2)}, "false"},
        {{Value(4), Value(NAN)}, "undefined"},  // a comparison with NaN answers undefined
        {{}, "undefined"},
    };
    for (const auto& c : containsCases) {
        EXPECT_EQ(m.str(m.callMethod(r, "contains", c.args)), c.expected) << c.expected;
    }
    EXPECT_EQ(m.str(m.callMethod(r, "intersection", {make(3, 5, 7, 9)})), "(x=3, y=5, w=3, h=5)");
    EXPECT_EQ(m.str(m.callMethod(r, "intersection", {make(100, 100, 1, 1)})), "(x=0, y=0, w=0, h=0)");
    EXPECT_TRUE(m.callMethod(r, "intersects", {make(3, 5, 7, 9)}).asBool());
    EXPECT_EQ(m.str(m.callMethod(r, "union", {make(-1, -3, 5, 7)})), "(x=-1, y=-3, w=7, h=13)");
    EXPECT_EQ(m.str(m.callMethod(r, "union", {})), "(x=NaN, y=NaN, w=NaN, h=NaN)");
    EXPECT_TRUE(m.callMethod(make(1, 2, NAN, 4), "isEmpty").asBool());
    EXPECT_FALSE(m.callMethod(make(1, 2, INFINITY, INFINITY), "isEmpty").asBool());
    m.callMethod(r, "inflate", {Value(1), Value(2)});
    EXPECT_EQ(m.str(r), "(x=0, y=1, w=7, h=11)");
}

TEST(Avm1Library, MatrixOperations)
{
    Machine m;
    const Value ctor = m.geom("Matrix");
    auto make = [&](std::vector<Value> args) { return m.vm.construct(ctor, args); };
    EXPECT_EQ(m.str(make({})), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    EXPECT_EQ(m.str(make({Value(1)})), "(a=1, b=undefined, c=undefined, d=undefined, tx=undefined, ty=undefined)");
    const Value inverse = make({Value(2), Value(3), Value(5), Value(7), Value(9), Value(11)});
    m.callMethod(inverse, "invert");
    EXPECT_EQ(m.str(inverse), "(a=-7, b=3, c=5, d=-2, tx=8, ty=-5)");
    const Value t = make({Value(2), Value(3), Value(5), Value(7), Value(11), Value(13)});
    const Value one = m.vm.construct(m.geom("Point"), {Value(1), Value(1)});
    EXPECT_EQ(m.str(m.callMethod(t, "transformPoint", {one})), "(x=18, y=23)");
    EXPECT_EQ(m.str(m.callMethod(t, "deltaTransformPoint", {one})), "(x=7, y=10)");
    const Value s = make({Value(2), Value(0), Value(0), Value(2), Value(100), Value(100)});
    m.callMethod(s, "scale", {Value(7), Value(11)});
    EXPECT_EQ(m.str(s), "(a=14, b=0, c=0, d=22, tx=700, ty=1100)");
    m.callMethod(s, "translate", {Value(1), Value(2)});
    m.callMethod(s, "concat", {make({Value(1), Value(0), Value(0), Value(1), Value(-1), Value(-2)})});
    EXPECT_EQ(m.str(s), "(a=14, b=0, c=0, d=22, tx=700, ty=1100)");
    // createBox without a rotation has no angle to work with; the offsets default to 0.
    const Value box = make({});
    m.callMethod(box, "createBox", {Value(2), Value(3)});
    EXPECT_EQ(m.str(box), "(a=NaN, b=NaN, c=NaN, d=NaN, tx=0, ty=0)");
    m.callMethod(box, "createGradientBox", {Value(200), Value(300)});
    EXPECT_EQ(m.str(box), "(a=0.1220703125, b=0, c=0, d=0.18310546875, tx=100, ty=150)");
}

TEST(Avm1Library, AsNativeFindsTheOriginalFunctionsByNumber)
{
    Machine m;
    const Value asNative = m.global("ASnative");
    auto lookUp = [&](std::vector<Value> args) { return m.vm.call(asNative, Value(), args); };
    EXPECT_EQ(m.str(m.vm.call(lookUp({Value(100), Value(0)}), Value(), {Value("&")})), "%26");
    // The index is a 32-bit integer: 2^32 + 1 is 1 (unescape); 2^16 + 4 is no function.
    EXPECT_EQ(m.str(m.vm.call(lookUp({Value(100), Value(4294967297.0)}), Value(), {Value("%26")})), "&");
    EXPECT_TRUE(lookUp({Value(100), Value(65540)}).isUndefined());
    EXPECT_TRUE(lookUp({Value(100)}).isUndefined());
    EXPECT_TRUE(lookUp({Value(100), Value(0), Value(0)}).isUndefined());
    // A script that replaces escape does not change what ASnative gives.
    m.vm.set(Value(m.vm.global()), "escape", Value());
    EXPECT_TRUE(m.vm.isCallable(lookUp({Value("100"), Value("0")})));
    m.vm.call(lookUp({Value(100), Value(4)}), Value(), {Value("traced")});
    EXPECT_EQ(m.host.lines.back(), "traced");
    // Category 101 holds Object's methods: 5 is hasOwnProperty, which a class can borrow for its constants.
    const Value number = m.global("Number");
    const Value own = lookUp({Value(101), Value(5)});
    EXPECT_TRUE(m.vm.call(own, number, {Value("MAX_VALUE")}).asBool());
    EXPECT_FALSE(m.vm.call(own, number, {Value("toString")}).asBool());
    EXPECT_EQ(m.str(m.vm.call(lookUp({Value(101), Value(4)}), Value(m.vm.newObject()), {})), "[object Object]");
}

TEST(Avm1Library, TextFormatCoercesEachAttribute)
{
    Machine m;
    const Value format = m.vm.construct(m.global("TextFormat"), {Value("Arial"), Value(12.5)});
    EXPECT_EQ(m.str(m.vm.get(format, "font")), "Arial");
    EXPECT_EQ(m.str(m.vm.get(format, "size")), "12");  // halves round to even
    EXPECT_TRUE(m.vm.get(format, "bold").isNull());
    const struct {
        const char* name;
        Value value;
        const char* expected;
    } cases[] = {
        {"size", Value(-3.5), "-4"},
        {"size", Value(NAN), "-2147483648"},
        {"size", Value(4294967295.0), "-2147483648"},
        {"color", Value(-3), "4294967293"},
        {"color", Value(INFINITY), "0"},
        {"leftMargin", Value(-3), "0"},
        {"leftMargin", Value(NAN), "0"},
        {"leftMargin", Value(INFINITY), "-2147483648"},
        {"bold", Value("test"), "true"},
        {"bold", Value(""), "false"},
        {"letterSpacing", Value(2.5), "2.5"},
        {"align", Value("center"), "center"},
        {"align", Value("invalid"), "center"},  // an unknown alignment leaves the old one
        {"url", Value(), "null"},
    };
    for (const auto& c : cases) {
        m.vm.set(format, c.name, c.value);
        EXPECT_EQ(m.str(m.vm.get(format, c.name)), c.expected) << c.name;
    }
    m.vm.set(format, "tabStops", Value(static_cast<Object*>(m.vm.newArray({Value(2.5), Value(3.5)}))));
    EXPECT_EQ(m.str(m.vm.get(format, "tabStops")), "2,4");
}

TEST(Avm1Library, GlobalConversionsWithoutArgumentsAndOfObjects)
{
    for (int version : {5, 8}) {
        Machine m(version);
        auto callGlobal = [&](const char* name, std::vector<Value> args) {
            return m.str(m.vm.call(m.global(name), Value(), args));
        };
        EXPECT_EQ(callGlobal("isNaN", {}), "true") << version;
        EXPECT_EQ(callGlobal("isFinite", {}), "false") << version;
        EXPECT_TRUE(m.vm.call(m.global("Boolean"), Value(), {}).isUndefined()) << version;
        // An object is true, whatever its text says.
        EXPECT_EQ(callGlobal("Boolean", {Value(m.vm.newObject())}), "true") << version;
    }
}

TEST(Avm1Library, AddedPropertyComesBeforeAnArraysOwnLength)
{
    Machine m;
    const Value a(static_cast<Object*>(m.vm.newArray({Value(1), Value(2)})));
    const Value ten(m.vm.newNative("returnTen", [](Vm&, const Value&, const std::vector<Value>&) { return Value(10); }));
    EXPECT_TRUE(m.callMethod(a, "addProperty", {Value("length"), ten, Value::null()}).asBool());
    EXPECT_EQ(m.str(m.vm.get(a, "length")), "10");
    m.callMethod(a, "push", {Value(3)});
    EXPECT_EQ(m.str(m.vm.get(a, "length")), "10");
    EXPECT_EQ(m.str(a), "1,2,3");
}

}  // namespace
