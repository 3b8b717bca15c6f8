// Semantics of the actions that scripts lean on: registers and preloads, closures, prototypes and classes,
// enumeration order, deletion, the string actions, targets and what reaches the host.
#include "asm.h"

#include <gtest/gtest.h>

namespace {

using namespace avm1test;

TEST(Avm1Semantics, DefineFunction2KeepsParametersInRegistersAndPreloads)
{
    Machine m;
    // Preloads fill registers from 1 in order (this, then _root); the parameter a lives in r3.
    Asm body;
    body.reg(1).trace().reg(2).trace().reg(3).trace().get("a").trace();
    Asm code;
    code.function2("f", 4, fn2::PreloadThis | fn2::PreloadRoot | fn2::SuppressArguments, {{3, "a"}}, body);
    code.str("arg").callFunction("f", 1).a(op::Pop);
    // The parameter lives only in its register, so the named lookup finds nothing.
    EXPECT_EQ(m.run(code), (Lines{"_level0", "_level0", "arg", "undefined"}));
}

TEST(Avm1Semantics, ClosuresKeepTheScopeTheyWereMadeIn)
{
    Machine m;
    // function outer(x) { return function () { return x; }; }  trace(outer("kept")());
    Asm inner;
    inner.get("x").a(op::Return);
    Asm outerBody;
    outerBody.function("", {}, inner).a(op::Return);
    Asm code;
    code.function("outer", {"x"}, outerBody);
    code.str("kept").callFunction("outer", 1).store(0).a(op::Pop);
    code.num(0).reg(0).undef().a(op::CallMethod).trace();
    EXPECT_EQ(m.run(code), Lines{"kept"});
}

TEST(Avm1Semantics, UndeclaredAssignmentsInFunctionsGoToTheTimeline)
{
    Machine m;
    Asm body;
    body.str("leak").str("out").a(op::SetVariable).str("local").str("in").a(op::DefineLocal);
    Asm code;
    code.function("f", {}, body).callFunction("f", 0).a(op::Pop).get("leak").trace().get("local").trace();
    EXPECT_EQ(m.run(code), (Lines{"out", "undefined"}));
}

TEST(Avm1Semantics, ClassesThroughExtendsInstanceOfCastAndSuper)
{
    Machine m;
    // function Base() { trace("Base"); }  function Sub() { super(); trace("Sub"); }  Sub extends Base
    Asm baseBody;
    baseBody.str("Base").trace();
    Asm subBody;
    subBody.num(0).get("super").undef().a(op::CallMethod).a(op::Pop).str("Sub").trace();
    Asm code;
    code.function("Base", {}, baseBody).function("Sub", {}, subBody);
    code.get("Sub").get("Base").a(op::Extends);
    code.str("o").num(0).str("Sub").a(op::NewObject).a(op::SetVariable);
    code.get("o").get("Base").a(op::InstanceOf).trace();
    code.get("o").get("Array").a(op::InstanceOf).trace();
    code.get("Base").get("o").a(op::CastOp).a(op::TypeOf).trace();
    code.get("Array").get("o").a(op::CastOp).trace();
    EXPECT_EQ(m.run(code), (Lines{"Base", "Sub", "true", "false", "object", "null"}));
}

TEST(Avm1Semantics, SuperConvertsOnlyWhenAToStringIsAboveItsPrototype)
{
    Machine m;
    // In a subclass's constructor super converts like the object; in a plain object's method it does not.
    Asm traceSuper;
    traceSuper.get("super").trace();
    Asm empty;
    Asm code;
    code.function("Base", {}, empty).function("Sub", {}, traceSuper);
    code.get("Sub").get("Base").a(op::Extends);
    code.num(0).str("Sub").a(op::NewObject).a(op::Pop);
    code.str("o").num(0).a(op::InitObject).a(op::SetVariable);
    code.get("o").str("f").function("", {}, traceSuper).a(op::SetMember);
    code.num(0).get("o").str("f").a(op::CallMethod).a(op::Pop);
    EXPECT_EQ(m.run(code), (Lines{"[object Object]", "[type Object]"}));
}

TEST(Avm1Semantics, ImplementsMakesInstanceOfTrue)
{
    Machine m;
    Asm empty;
    Asm code;
    code.function("I", {}, empty).function("C", {}, empty);
    code.get("I").num(1).get("C").a(op::ImplementsOp);
    code.num(0).str("C").a(op::NewObject).get("I").a(op::InstanceOf).trace();
    EXPECT_EQ(m.run(code), Lines{"true"});
}

TEST(Avm1Semantics, ForInVisitsNewestPropertiesFirst)
{
    Machine m;
    // o = {a:1, b:2}; o.c = 3; for (k in o) trace(k);
    Asm code;
    code.str("o").str("a").num(1).str("b").num(2).num(2).a(op::InitObject).a(op::SetVariable);
    code.get("o").str("c").num(3).a(op::SetMember);
    code.get("o").a(op::Enumerate2);
    // loop: r0 = pop; if (r0 == null) break; trace(r0)
    Asm loopBody;
    loopBody.reg(0).trace();
    const int bodySize = int(loopBody.bytes.size()) + 5;
    Asm loop;
    loop.store(0).null().a(op::Equals2).jump(op::If, bodySize).append(loopBody);
    const int back = -int(loop.bytes.size()) - 5;
    loop.jump(op::Jump, back);
    code.append(loop);
    EXPECT_EQ(m.run(code), (Lines{"c", "a", "b"}));
}

TEST(Avm1Semantics, DeleteRespectsDontDelete)
{
    Machine m;
    Asm code;
    code.str("x").num(1).a(op::SetVariable).str("x").a(op::Delete2).trace().get("x").trace();
    code.get("Math").str("PI").a(op::Delete).trace();
    code.str("nothing").a(op::Delete2).trace();
    EXPECT_EQ(m.run(code), (Lines{"true", "undefined", "false", "false"}));
}

TEST(Avm1Semantics, InitArrayKeepsSourceOrderAndTypeOfNamesKinds)
{
    Machine m;
    Asm code;
    code.num(3).num(2).num(1).num(3).a(op::InitArray).trace();
    for (Asm value : {Asm().num(1), Asm().str("s"), Asm().boolean(true), Asm().undef(), Asm().null(),
                      Asm().get("Math"), Asm().get("parseInt"), Asm().get("_root")}) {
        code.append(value).a(op::TypeOf).trace();
    }
    EXPECT_EQ(m.run(code), (Lines{"1,2,3", "number", "string", "boolean", "undefined", "null", "object", "function",
                                  "movieclip"}));
}

TEST(Avm1Semantics, StringActionsCountFromOneAndClamp)
{
    Machine m;
    const struct {
        double index;
        double count;
        const char* expected;
    } cases[] = {{1, 2, "ab"}, {0, 2, "ab"}, {3, 10, "cde"}, {6, 1, ""}, {2, -1, "bcde"}, {2, 0, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(m.run(Asm().str("abcde").num(c.index).num(c.count).a(op::StringExtract).trace()),
                  Lines{c.expected})
            << c.index << "," << c.count;
    }
    EXPECT_EQ(m.run(Asm().str("\xE4\xB8\xAD" "a").a(op::MBStringLength).trace()), Lines{"2"});
    EXPECT_EQ(m.run(Asm().num(0x4E2D).a(op::MBAsciiToChar).a(op::MBCharToAscii).trace()), Lines{"20013"});
    EXPECT_EQ(m.run(Asm().str("b").str("a").a(op::StringLess).trace()), Lines{"false"});
}

TEST(Avm1Semantics, MethodsOnPrimitivesAndConstantPools)
{
    Machine m;
    Asm code;
    code.callMethod(Asm().str("abc"), "toUpperCase", 0).trace();
    // A pool of two strings, pushed by index.
    code.record(op::ConstantPool, {2, 0, 'x', 0, 'y', 'z', 0});
    code.record(op::Push, {8, 1}).trace().record(op::Push, {9, 0, 0}).trace().record(op::Push, {8, 7}).trace();
    EXPECT_EQ(m.run(code), (Lines{"ABC", "yz", "x", "undefined"}));
}

TEST(Avm1Semantics, ReturnInsideTryRunsFinallyFirst)
{
    Machine m;
    // function f() { try { return "value"; } finally { trace("finally"); } }  trace(f());
    Asm tryBody;
    tryBody.str("value").a(op::Return);
    Asm finallyBody;
    finallyBody.str("finally").trace();
    Asm body;
    body.record(op::Try, {2, std::uint8_t(tryBody.bytes.size()), 0, 0, 0, std::uint8_t(finallyBody.bytes.size()), 0,
                          0});
    body.append(tryBody).append(finallyBody);
    Asm code;
    code.function("f", {}, body).callFunction("f", 0).trace();
    EXPECT_EQ(m.run(code), (Lines{"finally", "value"}));
}

TEST(Avm1Semantics, TimelineActionsAndUrlsReachTheHost)
{
    Machine m;
    m.host.commands.clear();
    Asm code;
    code.record(op::GetURL, {'F', 'S', 'C', 'o', 'm', 'm', 'a', 'n', 'd', ':', 'q', 'u', 'i', 't', 0, 0});
    code.str("FSCommand:fullscreen").str("true").record(op::GetURL2, {0});
    code.str("http://example.invalid/").str("_blank").record(op::GetURL2, {0});
    code.a(op::Stop).str("").num(4).a(op::GetProperty).trace();
    code.str("_root").a(op::TargetPath);
    m.run(code);
    ASSERT_EQ(m.host.commands.size(), 3u);
    EXPECT_EQ(m.host.commands[0], (std::pair<std::string, std::string>{"quit", ""}));
    EXPECT_EQ(m.host.commands[1], (std::pair<std::string, std::string>{"fullscreen", "true"}));
    EXPECT_EQ(m.host.commands[2].first, "getURL:http://example.invalid/");
    EXPECT_TRUE(m.host.quit);
    EXPECT_FALSE(m.host.playing);
    EXPECT_EQ(m.host.lines, Lines{"1"});
}

TEST(Avm1Semantics, GotoFrame2CountsFromOneAndSetTargetFallsBack)
{
    Machine m;
    Asm code;
    code.num(3).record(op::GotoFrame2, {1});
    code.record(op::SetTarget, {'n', 'o', 'p', 'e', 0}).str("still").trace();
    code.record(op::SetTarget, {0}).str("_currentframe").a(op::GetVariable).trace();
    m.host.frame = 0;
    m.run(code);
    EXPECT_EQ(m.host.frame, 0);  // a one-frame timeline clamps
    EXPECT_TRUE(m.host.playing);
    EXPECT_EQ(m.host.lines, (Lines{"still", "1"}));
}

TEST(Avm1Semantics, WithOnAPrimitiveBoxesItAndOnUndefinedSkipsTheBody)
{
    Machine m;
    Asm body;
    body.get("length").trace();
    Asm code;
    code.str("four");
    code.record(op::With, {std::uint8_t(body.bytes.size()), 0}).append(body);
    code.undef();
    code.record(op::With, {std::uint8_t(body.bytes.size()), 0}).append(body);
    code.str("end").trace();
    EXPECT_EQ(m.run(code), (Lines{"4", "end"}));
}

}  // namespace

namespace {

using namespace avm1test;

TEST(Avm1Semantics, AssigningThisMakesAVariableOfTheFunction)
{
    Machine m;
    // function foo() { trace(this); this = 1234; trace(this); } foo(); trace(this); this = "test"; trace(this);
    Asm body;
    body.get("this").trace().str("this").num(1234).a(op::SetVariable).get("this").trace();
    Asm code;
    code.function("foo", {}, body).callFunction("foo", 0).a(op::Pop).get("this").trace();
    code.str("this").str("test").a(op::SetVariable).get("this").trace();
    EXPECT_EQ(m.run(code), (Lines{"_level0", "1234", "_level0", "test"}));
}

TEST(Avm1Semantics, VarInsideWithGoesToTheWithObjectOnlyWhenItOwnsTheName)
{
    Machine m;
    // m = {b: 20}; n = {}; n.__proto__ = m; with (m) { var b = 10; } with (n) { var b = 30; }
    Object* mo = m.vm.newObject();
    mo->put("b", Value(20));
    Object* no = m.vm.newObject(mo);
    m.vm.set(Value(m.vm.global()), "m", Value(mo));
    m.vm.set(Value(m.vm.global()), "n", Value(no));
    Asm first;
    first.str("b").num(10).a(op::DefineLocal);
    Asm second;
    second.str("b").num(30).a(op::DefineLocal);
    Asm code;
    code.get("m").record(op::With, {std::uint8_t(first.bytes.size()), 0}).append(first);
    code.get("n").record(op::With, {std::uint8_t(second.bytes.size()), 0}).append(second);
    code.get("m").str("b").a(op::GetMember).trace().get("b").trace();
    EXPECT_EQ(m.run(code), (Lines{"10", "30"}));
}

TEST(Avm1Semantics, DeleteOfAPathRemovesTheMemberOfTheObjectItNames)
{
    Machine m;
    Object* o = m.vm.newObject();
    o->put("a", Value(1));
    o->put("b", Value(2));
    m.vm.set(Value(m.vm.global()), "o", Value(o));
    Asm code;
    code.str("o.a").a(op::Delete2).trace().str("o:b").a(op::Delete2).trace().str("o.zz").a(op::Delete2).trace();
    EXPECT_EQ(m.run(code), (Lines{"true", "true", "false"}));
    EXPECT_EQ(o->findOwn("a"), nullptr);
    EXPECT_EQ(o->findOwn("b"), nullptr);
}

TEST(Avm1Semantics, InterfacesThatExtendInterfacesCountForInstanceOf)
{
    Machine m;
    // interface Red {} interface Blue extends Red {} class C implements Blue {}; new C() instanceof Red
    Asm empty;
    Asm code;
    code.function("Red", {}, empty).function("Blue", {}, empty).function("C", {}, empty).function("D", {}, empty);
    code.get("Red").num(1).get("Blue").a(op::ImplementsOp);
    code.get("Blue").num(1).get("C").a(op::ImplementsOp);
    code.num(0).str("C").a(op::NewObject).get("Red").a(op::InstanceOf).trace();
    code.num(0).str("C").a(op::NewObject).get("D").a(op::InstanceOf).trace();
    EXPECT_EQ(m.run(code), (Lines{"true", "false"}));
}

TEST(Avm1Semantics, AMethodMissingFromABuiltInClassIsLoggedOnceByName)
{
    Machine m;
    // d = new Date(); d.noSuchMethod(); d.noSuchMethod(); o = {}; o.other();
    Asm code;
    code.num(0).str("Date").a(op::NewObject).store(0).a(op::Pop);
    code.num(0).reg(0).str("noSuchMethod").a(op::CallMethod).a(op::Pop);
    code.num(0).reg(0).str("noSuchMethod").a(op::CallMethod).a(op::Pop);
    code.num(0).num(0).a(op::InitObject).str("other").a(op::CallMethod).a(op::Pop);
    m.run(code);
    EXPECT_EQ(m.host.warnings, std::vector<std::string>{"Not implemented: Date.noSuchMethod"});
}

TEST(Avm1Semantics, WaitForFrameFindsLoadedFramesUpToTheFrameLimit)
{
    Machine m;
    // A movie of one frame, fully loaded: frames up to index 16000 count as loaded, later ones skip their two actions.
    Asm code;
    for (int frame : {0, 5, 16000, 16001, 65535}) {
        code.record(op::WaitForFrame, {std::uint8_t(frame & 0xFF), std::uint8_t(frame >> 8), 2});
        code.str(std::to_string(frame)).trace();
    }
    EXPECT_EQ(m.run(code), (Lines{"0", "5", "16000"}));
}

TEST(Avm1Semantics, SuperCalledAsAFunctionRunsTheClassAbove)
{
    Machine m;
    // function A() { trace("A"); } function B() { super(); trace("B"); } B extends A; new B();
    // with super() written as CallFunction "super", as compilers write it in constructors.
    Asm a;
    a.str("A").trace();
    Asm b;
    b.num(0).str("super").a(op::CallFunction).a(op::Pop).str("B").trace();
    Asm code;
    code.function("A", {}, a).function("B", {}, b);
    code.get("B").get("A").a(op::Extends);
    code.num(0).str("B").a(op::NewObject).a(op::Pop);
    EXPECT_EQ(m.run(code), (Lines{"A", "B"}));
}

TEST(Avm1Semantics, GettersSeeSuperAboveThePrototypeThatHoldsThem)
{
    Machine m;
    // Base.prototype.addProperty("p", function () { return "base"; }, null);
    // Derived.prototype.addProperty("p", function () { return super.p + "+derived"; }, null);
    // Derived extends Base; trace(new Derived().p);
    Asm empty;
    Asm baseGetter;
    baseGetter.str("base").a(op::Return);
    Asm derivedGetter;
    derivedGetter.get("super").str("p").a(op::GetMember).str("+derived").a(op::Add2).a(op::Return);
    Asm code;
    code.function("Base", {}, empty).function("Derived", {}, empty).function("getBase", {}, baseGetter);
    code.function("getDerived", {}, derivedGetter);
    code.get("Derived").get("Base").a(op::Extends);
    code.null().get("getBase").str("p");
    code.callMethod(Asm().get("Base").str("prototype").a(op::GetMember), "addProperty", 3).a(op::Pop);
    code.null().get("getDerived").str("p");
    code.callMethod(Asm().get("Derived").str("prototype").a(op::GetMember), "addProperty", 3).a(op::Pop);
    code.num(0).str("Derived").a(op::NewObject).str("p").a(op::GetMember).trace();
    EXPECT_EQ(m.run(code), Lines{"base+derived"});
}

}  // namespace
