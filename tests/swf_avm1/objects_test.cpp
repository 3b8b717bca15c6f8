// Objects at their edges: the order Flash's sort leaves equal elements in, sortOn's fields, the __proto__ link as a
// property (watched, protected, deleted), super beyond classes, paths through primitives and the stand-in globals.
#include "asm.h"
#include "swf/avm1/builtins.h"

#include <gtest/gtest.h>

namespace {

using namespace avm1test;

Value array(Vm& vm, const std::vector<Value>& elements)
{
    return Value(static_cast<Object*>(vm.newArray(elements)));
}

std::vector<Value> strings(const std::vector<std::string>& items)
{
    std::vector<Value> out;
    for (const std::string& s : items) {
        out.push_back(Value(s));
    }
    return out;
}

TEST(Avm1Objects, SortLeavesEqualElementsWhereFlashsQuicksortDoes)
{
    Machine m;
    const double caseless = 1;
    const double descending = 2;
    const double unique = 4;
    const struct {
        std::vector<std::string> items;
        double flags;
        const char* expected;
    } cases[] = {
        // The first element is the pivot: equal elements after it may swap places.
        {{"TeSt", "hëllo", "HËLLO", "test"}, caseless, "HËLLO,hëllo,TeSt,test"},
        {{"hëllo", "HËLLO", "TeSt", "test"}, caseless, "hëllo,HËLLO,TeSt,test"},
        // DESCENDING turns the ascending result around, equal elements included.
        {{"b", "a", "B"}, caseless + descending, "B,b,a"},
        {{"d", "c", "a", "b"}, descending, "d,c,b,a"},
        {{"4", "1", "3", "22", "2"}, 0, "1,2,22,3,4"},
        // A duplicate fails UNIQUESORT (0) and leaves the array as it was.
        {{"b", "a", "B"}, caseless + unique, "0"},
        {{"b", "a", "c"}, unique, "a,b,c"},
        {{}, 0, ""},
        {{"x"}, descending, "x"},
    };
    for (const auto& c : cases) {
        const Value a = array(m.vm, strings(c.items));
        const Value result = m.vm.call(m.vm.get(a, "sort"), a, {Value(c.flags)});
        EXPECT_EQ(m.vm.toString(result), c.expected) << c.items.size() << " items, flags " << c.flags;
    }
}

TEST(Avm1Objects, SortWithAnInconsistentOrderStaysInItsRange)
{
    Machine m;
    // An order function that answers at random must not read or write outside the array.
    Asm body;
    body.callMethod(Asm().get("Math"), "random", 0).num(0.5).a(op::Subtract).a(op::Return);
    Asm code;
    code.function("chaos", {}, body);
    code.str("a").num(9).num(8).num(7).num(6).num(5).num(4).num(3).num(2).num(1).num(9).a(op::InitArray);
    code.a(op::SetVariable);
    code.get("chaos").callMethod(Asm().get("a"), "sort", 1).a(op::Pop);
    code.get("a").str("length").a(op::GetMember).trace();
    EXPECT_EQ(m.run(code), Lines{"9"});
}

TEST(Avm1Objects, SortOnComparesOwnStoredFieldsOnly)
{
    Machine m;
    Vm& vm = m.vm;
    // Fields found on the prototype or behind a getter count as undefined, so the order stays as the first element
    // as pivot leaves it; the getter never runs. Primitives compare as themselves.
    Object* first = vm.newObject();
    first->put("name", Value("first"));
    first->setProto(vm.newObject());
    first->proto()->put("order", Value(2));
    Object* second = vm.newObject();
    second->put("name", Value("second"));
    bool getterRan = false;
    addGetter(vm, second, "order", [&getterRan](Vm&, const Value&, const std::vector<Value>&) {
        getterRan = true;
        return Value(1);
    });
    const Value objects = array(vm, {Value(first), Value(second)});
    vm.call(vm.get(objects, "sortOn"), objects, {Value("order"), Value(16)});
    EXPECT_EQ(vm.toString(vm.get(vm.get(objects, "0"), "name")), "first");
    EXPECT_FALSE(getterRan);

    const Value words = array(vm, strings({"test", "bar", "a"}));
    vm.call(vm.get(words, "sortOn"), words, {Value("length"), Value(16)});
    EXPECT_EQ(vm.toString(words), "a,bar,test");
}

TEST(Avm1Objects, TheProtoLinkIsWatchedProtectedAndDeletable)
{
    Machine m;
    Vm& vm = m.vm;
    Object* proto = vm.newObject();
    proto->put("inherited", Value("yes"));
    Object* o = vm.newObject(proto);
    const Value self(o);

    // delete fails while the link keeps its flags; cleared, it cuts the object from its prototypes.
    EXPECT_FALSE(vm.remove(o, "__proto__"));
    EXPECT_EQ(vm.toString(vm.get(self, "inherited")), "yes");
    vm.call(vm.get(Value(vm.global()), "ASSetPropFlags"), Value(), {self, Value("__proto__"), Value(0), Value(7)});
    EXPECT_TRUE(vm.remove(o, "__proto__"));
    EXPECT_TRUE(vm.get(self, "__proto__").isUndefined());
    EXPECT_TRUE(vm.get(self, "inherited").isUndefined());
    EXPECT_FALSE(vm.remove(o, "__proto__"));

    // A watcher sees the assignment of the link, and its answer is what is kept.
    int calls = 0;
    FunctionObject* watcher = vm.newNative("w", [&calls](Vm&, const Value&, const std::vector<Value>& args) {
        ++calls;
        return args.size() > 2 ? args[2] : Value();
    });
    // The object has no prototypes now: Object.prototype.watch is called on it directly.
    const Value watch = vm.get(Value(vm.builtins().objectProto), "watch");
    vm.call(watch, self, {Value("__proto__"), Value(static_cast<Object*>(watcher))});
    vm.set(self, "__proto__", Value(proto));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(vm.get(self, "__proto__").asObject(), proto);

    // Read-only, the link keeps its object.
    vm.call(vm.get(Value(vm.global()), "ASSetPropFlags"), Value(), {self, Value("__proto__"), Value(4)});
    vm.set(self, "__proto__", Value::null());
    EXPECT_EQ(o->proto(), proto);
}

TEST(Avm1Objects, TheProtoLinkIgnoresCaseOnlyWhereNamesDo)
{
    for (const int version : {6, 7}) {
        Machine m(version);
        Object* o = m.vm.newObject();
        const Value link = m.vm.get(Value(o), "__PROTO__");
        EXPECT_EQ(link.asObject() == m.vm.builtins().objectProto, version == 6) << version;
    }
}

TEST(Avm1Objects, SuperCallsTheConstructorAboveAnOwnMethodsObject)
{
    // obj = {__constructor__: ctor, f: function () { trace(super()); }}; obj.f();
    // An own method's super starts above obj; once the prototype above holds __constructor__, super() runs it.
    Asm ctor;
    ctor.str("ctor").trace().str("made").a(op::Return);
    Asm method;
    method.num(0).get("super").undef().a(op::CallMethod).trace();
    Asm code;
    code.function("ctor", {}, ctor);
    code.str("obj").str("__constructor__").get("ctor").str("f").function("", {}, method).num(2).a(op::InitObject);
    code.a(op::SetVariable);
    code.num(0).get("obj").str("f").a(op::CallMethod).a(op::Pop);
    code.get("obj").str("__proto__").str("__constructor__").get("ctor").num(1).a(op::InitObject).a(op::SetMember);
    code.num(0).get("obj").str("f").a(op::CallMethod).a(op::Pop);
    // With a clip as the prototype above, super gives nothing.
    code.get("obj").str("__proto__").get("_root").a(op::SetMember);
    code.get("_root").str("__constructor__").get("ctor").a(op::SetMember);
    code.num(0).get("obj").str("f").a(op::CallMethod).a(op::Pop);
    Machine m;
    EXPECT_EQ(m.run(code), (Lines{"undefined", "ctor", "made", "undefined"}));
}

TEST(Avm1Objects, DeletingThroughAPrimitiveIsReported)
{
    const std::string report = "Parameters of primitive types are no longer coerced into the required type - Object.";
    const struct {
        Asm value;
        Lines expected;
    } cases[] = {
        {Asm().str("text"), {report, "false"}},
        {Asm().num(2), {report, "false"}},
        {Asm().boolean(true), {report, "false"}},
        {Asm().undef(), {"false"}},
        {Asm().null(), {"false"}},
    };
    for (const auto& c : cases) {
        Asm code;
        code.str("o").num(0).a(op::InitObject).a(op::SetVariable);
        code.get("o").str("t").append(c.value).a(op::SetMember);
        code.str("o.t.y").a(op::Delete2).trace();
        Machine m;
        EXPECT_EQ(m.run(code), c.expected);
    }
}

TEST(Avm1Objects, PathsEndAtTheLastColonOrDot)
{
    // o.c = {f: 1, g: 2}; delete "o:c.f"; delete "o.c:g"
    Asm code;
    code.str("o").num(0).a(op::InitObject).a(op::SetVariable);
    code.get("o").str("c").str("f").num(1).str("g").num(2).num(2).a(op::InitObject).a(op::SetMember);
    code.str("o:c.f").a(op::Delete2).trace().str("o.c:g").a(op::Delete2).trace();
    code.str("o:c.f").a(op::GetVariable).trace().str("o.c:g").a(op::GetVariable).trace();
    Machine m;
    EXPECT_EQ(m.run(code), (Lines{"true", "true", "undefined", "undefined"}));
}

TEST(Avm1Objects, StandInGlobalsHaveTheKindsFlashGivesThemByVersion)
{
    const struct {
        int version;
        const char* path;
        const char* type;
    } cases[] = {
        {6, "Camera", "function"},
        {6, "Accessibility", "object"},
        {6, "System.IME", "object"},
        {6, "flash", "undefined"},
        {6, "TextField.StyleSheet", "undefined"},
        {7, "TextField.StyleSheet", "function"},
        {8, "flash.filters.BlurFilter", "function"},
        {8, "flash.display", "object"},
        {8, "Math.max", "function"},
        {8, "CustomActions", "undefined"},
    };
    for (const auto& c : cases) {
        Machine m(c.version);
        Object* textField = m.vm.newObject();
        m.vm.global()->put("TextField", Value(textField));
        installRemainingGlobals(m.vm);
        Value v(m.vm.global());
        std::string path = c.path;
        for (std::size_t start = 0; start <= path.size();) {
            const std::size_t dot = std::min(path.find('.', start), path.size());
            v = m.vm.get(v, path.substr(start, dot - start));
            start = dot + 1;
        }
        EXPECT_EQ(m.vm.typeOf(v), c.type) << c.version << " " << c.path;
    }
    // A class the engine implements is kept, not replaced by a stand-in.
    Machine m(8);
    const Value point = geomClass(m.vm, "Point");
    installRemainingGlobals(m.vm);
    EXPECT_EQ(geomClass(m.vm, "Point").asObject(), point.asObject());
}

}  // namespace

namespace {

// The array's enumerable element names, newest first as for-in visits them.
std::string forInOrder(Vm& vm, const Value& a)
{
    std::vector<std::string> names = vm.enumerate(a.asObject());
    std::string out;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        out += *it + ",";
    }
    return out;
}

TEST(Avm1Objects, ArrayMethodsRewriteElementsAsFlashDoes)
{
    // [1,2,3,4,5], one element given flags by ASSetPropFlags, then a method: the array's text and for-in's order.
    const struct {
        const char* method;
        int element;
        double flags;
        const char* text;
        const char* order;
    } cases[] = {
        // Moved elements are new properties; the middle of a reverse is untouched.
        {"reverse", -1, 0, "5,4,3,2,1", "3,1,4,0,2,"},
        {"shift", -1, 0, "2,3,4,5", "3,2,1,0,"},
        {"unshift", -1, 0, "9,1,2,3,4,5", "0,1,2,3,4,5,"},
        // A hidden element shows again once it is written anew, but not when it is not moved.
        {"reverse", 0, 1, "5,4,3,2,1", "3,1,4,0,2,"},
        {"reverse", 2, 1, "5,4,3,2,1", "3,1,4,0,"},
        // A protected element keeps its place in the order; read-only, it keeps its value too.
        {"reverse", 3, 2, "5,4,3,2,1", "1,4,0,3,2,"},
        {"reverse", 0, 6, "1,4,3,2,1", "3,1,4,2,0,"},
        {"unshift", 0, 6, "1,1,2,3,4,5", "1,2,3,4,5,0,"},
        // After a shift a protected last element stays behind the shorter length.
        {"shift", 4, 2, "2,3,4,5", "3,2,1,0,4,"},
        {"shift", 4, 6, "2,3,4,5", "3,2,1,0,4,"},
    };
    for (const auto& c : cases) {
        Machine m;
        Vm& vm = m.vm;
        const Value a = array(vm, {Value(1), Value(2), Value(3), Value(4), Value(5)});
        if (c.element >= 0) {
            vm.call(vm.get(Value(vm.global()), "ASSetPropFlags"), Value(),
                {a, Value(std::to_string(c.element)), Value(c.flags)});
        }
        const std::vector<Value> args = std::string(c.method) == "unshift" ? std::vector<Value>{Value(9)}
                                                                           : std::vector<Value>{};
        vm.call(vm.get(a, c.method), a, args);
        EXPECT_EQ(vm.toString(a), c.text) << c.method << " " << c.element << " " << c.flags;
        EXPECT_EQ(forInOrder(vm, a), c.order) << c.method << " " << c.element << " " << c.flags;
    }
}

TEST(Avm1Objects, ArrayElementsKeepTheOrderTheyWereMadeIn)
{
    Machine m;
    Vm& vm = m.vm;
    const Value a = array(vm, {});
    vm.set(a, "6", Value(6));
    vm.set(a, "2", Value(2));
    EXPECT_EQ(forInOrder(vm, a), "2,6,");
    // Overwriting keeps the place; deleting and writing again makes the element the newest.
    vm.set(a, "6", Value(7));
    EXPECT_EQ(forInOrder(vm, a), "2,6,");
    vm.remove(a.asObject(), "6");
    vm.set(a, "6", Value(8));
    EXPECT_EQ(forInOrder(vm, a), "6,2,");
    // Appended elements come after everything recorded.
    vm.call(vm.get(a, "push"), a, {Value(9)});
    EXPECT_EQ(forInOrder(vm, a), "7,6,2,");
    // A shorter length forgets the dropped elements' places.
    vm.set(a, "length", Value(3));
    vm.set(a, "3", Value(3));
    EXPECT_EQ(forInOrder(vm, a), "3,2,");
}

TEST(Avm1Objects, ProtectedArrayElementsResistDeleteAndAssignment)
{
    Machine m;
    Vm& vm = m.vm;
    const Value a = array(vm, {Value(1), Value(2)});
    vm.call(vm.get(Value(vm.global()), "ASSetPropFlags"), Value(), {a, Value("0,1"), Value(6)});
    EXPECT_FALSE(vm.remove(a.asObject(), "0"));
    vm.set(a, "1", Value(5));
    EXPECT_EQ(vm.toString(a), "1,2");
    // Clearing the flags (null names every property) makes them ordinary again.
    vm.call(vm.get(Value(vm.global()), "ASSetPropFlags"), Value(), {a, Value::null(), Value(0), Value(7)});
    EXPECT_TRUE(vm.remove(a.asObject(), "0"));
    vm.set(a, "1", Value(5));
    EXPECT_EQ(vm.toString(a), "undefined,5");
}

}  // namespace

namespace {

TEST(Avm1Objects, PathsMixSlashesDotsAndColonsAsFlashReadsThem)
{
    // o = {a: {b: {c: "deep"}}} on the timeline; each path read with GetVariable.
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"o.a.b.c", "deep"},
        {"o:a:b.c", "deep"},
        {":::o.a:::b.c", "deep"},      // leading colons are skipped
        {"o.a/b.c", "deep"},           // a slash after dots
        {"o/a.b.c", "undefined"},      // after a slash a dot no longer separates: "a.b" is one name
        {"o.a..b.c", "undefined"},     // an empty name leads nowhere
        {"_root:o.a.b.c", "deep"},
        {"/:o.a.b.c", "undefined"},    // a leading slash makes a slash path too: "o.a.b" is one name
        {"o.a.b.", "undefined"},       // no variable after the last dot
        {"o.a.b:missing", "undefined"},
        {"/", "_level0"},              // a slash path without a variable is the clip itself
    };
    for (const auto& c : cases) {
        Asm code;
        code.str("o").str("a").str("b").str("c").str("deep").num(1).a(op::InitObject).num(1).a(op::InitObject);
        code.num(1).a(op::InitObject).a(op::SetVariable);
        code.str(c.path).a(op::GetVariable).trace();
        Machine m;
        EXPECT_EQ(m.run(code), Lines{c.expected}) << c.path;
    }
}

TEST(Avm1Objects, SettingASlashOnlyPathMakesAVariableOfThatName)
{
    Asm code;
    code.str("o").num(0).a(op::InitObject).a(op::SetVariable);
    code.str("o:x").num(1).a(op::SetVariable).get("o").str("x").a(op::GetMember).trace();
    code.str("p/q").num(2).a(op::SetVariable).get("_root").str("p/q").a(op::GetMember).trace();
    Machine m;
    EXPECT_EQ(m.run(code), (Lines{"1", "2"}));
}

TEST(Avm1Objects, MoviesUpToSwf6AndLaterOnesEachHaveTheirGlobalsAndClasses)
{
    Machine m(8);
    Object* later = m.vm.global();
    Object* laterObjectProto = m.vm.builtins().objectProto;
    m.vm.setVersion(6);
    Object* earlier = m.vm.global();
    ASSERT_NE(earlier, later);
    EXPECT_NE(m.vm.builtins().objectProto, laterObjectProto);
    EXPECT_EQ(m.vm.newObject()->proto(), m.vm.builtins().objectProto);
    EXPECT_FALSE(earlier->caseSensitive());
    // SWF 5 shares the SWF 6 set; SWF 7 the SWF 8 one.
    m.vm.setVersion(5);
    EXPECT_EQ(m.vm.global(), earlier);
    m.vm.setVersion(7);
    EXPECT_EQ(m.vm.global(), later);
    // Code of SWF 7 and later reads the older objects with case; SWF 6 code without.
    EXPECT_TRUE(m.vm.get(Value(earlier), "OBJECT").isUndefined());
    EXPECT_TRUE(m.vm.get(Value(earlier), "Object").isObject());
    m.vm.setVersion(6);
    EXPECT_TRUE(m.vm.get(Value(earlier), "OBJECT").isObject());
}

TEST(Avm1Objects, PropertiesAddedInLaterVersionsAreHiddenFromOlderCode)
{
    Machine m(5);
    Object* o = m.vm.newObject();
    o->put("late", Value(1)).since = 6;
    EXPECT_TRUE(m.vm.get(Value(o), "late").isUndefined());
    EXPECT_FALSE(m.vm.has(o, "late"));
    // An object further down the chain that has the name is found past the hidden one.
    Object* child = m.vm.newObject(o);
    o->setProto(m.vm.builtins().objectProto);
    m.vm.builtins().objectProto->put("late", Value(2));
    EXPECT_EQ(m.vm.get(Value(child), "late").asNumber(), 2);
    m.vm.setVersion(6);
    EXPECT_EQ(m.vm.get(Value(child), "late").asNumber(), 1);
    EXPECT_TRUE(m.vm.has(o, "late"));
}

}  // namespace
