// The machine on hand-assembled action blocks: semantics, the SWF version rules, control flow, and the limits
// that keep hostile scripts from hanging or crashing the player.
#include "asm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using namespace avm1test;

TEST(Avm1Machine, ArithmeticAndConcatenationFollowTheOperandTypes)
{
    Machine m;
    EXPECT_EQ(m.run(Asm().num(1).num(2).a(op::Add2).trace()), Lines{"3"});
    EXPECT_EQ(m.run(Asm().str("1").num(2).a(op::Add2).trace()), Lines{"12"});
    EXPECT_EQ(m.run(Asm().str("7").num(2).a(op::Subtract).trace()), Lines{"5"});
    EXPECT_EQ(m.run(Asm().num(1).num(0).a(op::Divide).trace()), Lines{"Infinity"});
    EXPECT_EQ(m.run(Asm().num(7).num(3).a(op::Modulo).trace()), Lines{"1"});
    EXPECT_EQ(m.run(Asm().num(-1).num(28).a(op::BitURShift).trace()), Lines{"15"});
    EXPECT_EQ(m.run(Asm().undef().trace()), Lines{"undefined"});
}

TEST(Avm1Machine, Swf4RulesForDivisionAndBooleans)
{
    Machine m(4);
    EXPECT_EQ(m.run(Asm().num(1).num(0).a(op::Divide).trace()), Lines{"#ERROR#"});
    EXPECT_EQ(m.run(Asm().num(1).a(op::Not).trace()), Lines{"0"});
    EXPECT_EQ(m.run(Asm().num(1).num(2).a(op::Less).trace()), Lines{"1"});
    EXPECT_EQ(m.run(Asm().str("x").num(2).a(op::Add).trace()), Lines{"2"});
}

TEST(Avm1Machine, EqualityAndOrderingTables)
{
    Machine m;
    const struct {
        Asm lhs;
        Asm rhs;
        const char* equals;
        const char* less;
    } cases[] = {
        {Asm().num(1), Asm().str("1"), "true", "false"},
        {Asm().undef(), Asm().record(op::Push, {2}), "true", "undefined"},
        {Asm().str("a"), Asm().str("b"), "false", "true"},
        {Asm().str("10"), Asm().str("9"), "false", "true"},
        {Asm().num(10), Asm().str("9"), "false", "false"},
        {Asm().num(NAN), Asm().num(NAN), "false", "undefined"},
        {Asm().record(op::Push, {5, 1}), Asm().num(1), "true", "false"},
    };
    for (const auto& c : cases) {
        Asm eq;
        eq.bytes = c.lhs.bytes;
        eq.bytes.insert(eq.bytes.end(), c.rhs.bytes.begin(), c.rhs.bytes.end());
        Asm lt = eq;
        eq.a(op::Equals2).trace();
        lt.a(op::Less2).trace();
        EXPECT_EQ(m.run(eq), Lines{c.equals});
        EXPECT_EQ(m.run(lt), Lines{c.less});
    }
}

TEST(Avm1Machine, EqualityUsesValueOfWithoutFallingBackToToString)
{
    Machine m;
    // o.toString() gives "test" but o.valueOf() gives o itself: o == "test" is false, while o + "" is "test".
    Object* o = m.vm.newObject();
    m.vm.method(o, "toString", [](Vm&, const Value&, const std::vector<Value>&) { return Value("test"); });
    m.vm.set(Value(m.vm.global()), "o", Value(o));
    EXPECT_EQ(m.run(Asm().get("o").str("test").a(op::Equals2).trace()), Lines{"false"});
    EXPECT_EQ(m.run(Asm().get("o").str("").a(op::Add2).trace()), Lines{"test"});
    m.vm.method(o, "valueOf", [](Vm&, const Value&, const std::vector<Value>&) { return Value(7); });
    EXPECT_EQ(m.run(Asm().get("o").num(7).a(op::Equals2).trace()), Lines{"true"});
}

TEST(Avm1Machine, AdditionAsksToStringOnlyWhenTheOtherSideIsAString)
{
    Machine m;
    // o.toString() traces and gives "X"; o.valueOf() is Object's and gives o itself.
    Object* o = m.vm.newObject();
    m.vm.method(o, "toString", [](Vm& vm, const Value&, const std::vector<Value>&) {
        vm.host().trace("toString");
        return Value("X");
    });
    m.vm.set(Value(m.vm.global()), "o", Value(o));
    EXPECT_EQ(m.run(Asm().get("o").str("s").a(op::Add2).trace()), (Lines{"toString", "Xs"}));
    EXPECT_EQ(m.run(Asm().str("s").get("o").a(op::Add2).trace()), (Lines{"toString", "sX"}));
    EXPECT_EQ(m.run(Asm().get("o").get("o").a(op::Add2).trace()), Lines{"NaN"});
    EXPECT_EQ(m.run(Asm().num(1).get("o").a(op::Add2).trace()), Lines{"NaN"});
}

TEST(Avm1Machine, AToStringThatGivesNoStringLeavesTheTypeName)
{
    Machine m;
    Object* o = m.vm.newObject();
    m.vm.set(Value(m.vm.global()), "o", Value(o));
    for (const Value& given : {Value(), Value::null(), Value(4), Value(true)}) {
        m.vm.method(o, "toString", [given](Vm&, const Value&, const std::vector<Value>&) { return given; });
        EXPECT_EQ(m.run(Asm().get("o").trace()), Lines{"[type Object]"});
    }
    m.vm.method(o, "toString", [](Vm&, const Value&, const std::vector<Value>&) { return Value("fine"); });
    EXPECT_EQ(m.run(Asm().get("o").trace()), Lines{"fine"});
}

TEST(Avm1Machine, GetPropertyTruncatesTheIndex)
{
    Machine m;
    auto typeOfProperty = [&](double index) {
        return m.run(Asm().str("").num(index).a(op::GetProperty).a(op::TypeOf).trace());
    };
    EXPECT_EQ(typeOfProperty(-0.8), Lines{"number"});  // _x
    EXPECT_EQ(typeOfProperty(0.9), Lines{"number"});
    EXPECT_EQ(typeOfProperty(-1), Lines{"undefined"});
    EXPECT_EQ(typeOfProperty(22), Lines{"undefined"});
}

TEST(Avm1Machine, DefineLocal2LeavesANameTheTimelineInheritsOrHas)
{
    Machine m;
    // The root inherits "inherited" from a prototype: a declaration neither shadows nor clears it.
    Object* proto = m.vm.newObject();
    m.vm.set(Value(proto), "inherited", Value("from proto"));
    m.host.root()->setProto(proto);
    m.vm.set(Value(m.host.root()), "own", Value("mine"));
    EXPECT_EQ(m.run(Asm().str("inherited").a(op::DefineLocal2).get("inherited").trace()), Lines{"from proto"});
    EXPECT_EQ(m.run(Asm().str("own").a(op::DefineLocal2).get("own").trace()), Lines{"mine"});
    EXPECT_EQ(m.run(Asm().str("fresh").a(op::DefineLocal2).get("fresh").a(op::TypeOf).trace()), Lines{"undefined"});
}

TEST(Avm1Machine, Flash5FunctionsKeepNoScope)
{
    // function f() { var foo = "f"; return function () { trace(foo); }; } foo = "root"; f()();
    Asm inner = Asm().get("foo").trace();
    Asm outer = Asm().str("foo").str("f").a(op::DefineLocal).function("", {}, inner).a(op::Return);
    Asm code = Asm().function("f", {}, outer).str("foo").str("root").a(op::SetVariable);
    code.num(0).callFunction("f", 0).str("").a(op::CallMethod).a(op::Pop);
    Machine swf5(5);
    EXPECT_EQ(swf5.run(code), Lines{"root"});
    Machine swf6(6);
    EXPECT_EQ(swf6.run(code), Lines{"f"});
}

TEST(Avm1Machine, PreloadingSkipsTheMissingParentAndAVariableHidesGlobal)
{
    Machine m;
    // On the root (no parent), _parent takes no register: _global lands in r1 and r2 stays empty.
    const std::uint16_t flags = fn2::SuppressThis | fn2::SuppressArguments | fn2::SuppressSuper |
                                fn2::PreloadParent | fn2::PreloadGlobal;
    Asm body = Asm().reg(1).a(op::TypeOf).trace().reg(2).a(op::TypeOf).trace();
    EXPECT_EQ(m.run(Asm().function2("f", 3, flags, {}, body).callFunction("f", 0).a(op::Pop)),
              (Lines{"object", "undefined"}));
    // A timeline variable named _global hides the global object.
    EXPECT_EQ(m.run(Asm().get("_global").a(op::TypeOf).trace()), Lines{"object"});
    EXPECT_EQ(m.run(Asm().str("_global").str("fake").a(op::SetVariable).get("_global").trace()), Lines{"fake"});
}

TEST(Avm1Machine, AFunctionCalledByAPathRunsOnTheObjectThePathLeadsTo)
{
    Machine m;
    Object* o = m.vm.newObject();
    m.vm.set(Value(o), "name", Value("o"));
    m.vm.method(o, "who", [](Vm& vm, const Value& self, const std::vector<Value>&) { return vm.get(self, "name"); });
    m.vm.set(Value(m.vm.global()), "o", Value(o));
    m.vm.set(Value(m.host.root()), "name", Value("root"));
    EXPECT_EQ(m.run(Asm().callFunction("o.who", 0).trace()), Lines{"o"});
    EXPECT_EQ(m.run(Asm().callFunction("o:who", 0).trace()), Lines{"o"});
    // Without a path the function runs on the timeline.
    m.vm.set(Value(m.vm.global()), "who", m.vm.get(Value(o), "who"));
    EXPECT_EQ(m.run(Asm().callFunction("who", 0).trace()), Lines{"root"});
}

TEST(Avm1Machine, AFunctionFoundInLocalVariablesRunsOnTheActivation)
{
    Machine m;
    // function outer() { var inner = function () { this.v = 5; }; inner(); trace(v); } outer();
    Asm inner = Asm().get("this").str("v").num(5).a(op::SetMember);
    Asm outer = Asm().str("inner").function("", {}, inner).a(op::DefineLocal);
    outer.callFunction("inner", 0).a(op::Pop).get("v").trace();
    EXPECT_EQ(m.run(Asm().function("outer", {}, outer).callFunction("outer", 0).a(op::Pop)), Lines{"5"});
    // The timeline's own functions still run on the timeline.
    EXPECT_EQ(m.run(Asm().get("v").a(op::TypeOf).trace()), Lines{"undefined"});
}

TEST(Avm1Machine, OrderingStopsAtAnObjectThatValueOfLeavesAnObject)
{
    Machine m(6);
    Object* plain = m.vm.newObject();
    Object* counted = m.vm.newObject();
    m.vm.method(counted, "valueOf", [](Vm& vm, const Value&, const std::vector<Value>&) {
        vm.host().trace("valueOf");
        return Value(1);
    });
    m.vm.set(Value(m.vm.global()), "plain", Value(plain));
    m.vm.set(Value(m.vm.global()), "counted", Value(counted));
    // A plain object is never ordered, not even against a string; the other side is then left unconverted.
    EXPECT_EQ(m.run(Asm().get("plain").str("0").a(op::Less2).trace()), Lines{"false"});
    EXPECT_EQ(m.run(Asm().get("plain").get("counted").a(op::Less2).trace()), Lines{"false"});
    EXPECT_EQ(m.run(Asm().get("counted").get("plain").a(op::Less2).trace()), (Lines{"valueOf", "false"}));
    EXPECT_EQ(m.run(Asm().num(0).get("counted").a(op::Less2).trace()), (Lines{"valueOf", "true"}));
    // A clip compares as NaN, even with a string; equality still sees its target path.
    EXPECT_EQ(m.run(Asm().str("a").get("this").a(op::Less2).trace()), Lines{"undefined"});
    EXPECT_EQ(m.run(Asm().get("this").str("a").a(op::Greater).trace()), Lines{"undefined"});
    EXPECT_EQ(m.run(Asm().boolean(true).get("this").a(op::Less2).trace()), Lines{"undefined"});
}

TEST(Avm1Machine, TheMoviesRecursionLimitCountsTheTimelineAsTheFirstLevel)
{
    // function f() { trace("x"); f(); } f();
    Asm body;
    body.str("x").trace().callFunction("f", 0).a(op::Pop);
    Asm code;
    code.function("f", {}, body).callFunction("f", 0).a(op::Pop).str("after").trace();
    for (int depth : {1, 5}) {
        Machine m;
        m.vm.setMaxCallDepth(depth);
        // The script stops at the limit, so "after" never comes.
        EXPECT_EQ(m.run(code), Lines(std::size_t(depth - 1), "x")) << depth;
        EXPECT_TRUE(m.vm.aborted());
    }
}

TEST(Avm1Machine, GlobalHasNoPrimitiveAndSwf6FindsNaNEqual)
{
    for (int version : {6, 7}) {
        Machine m(version);
        const bool swf6 = version == 6;
        // _global has no prototype: it traces as "[type Object]" and its number conversion is undefined.
        EXPECT_EQ(m.run(Asm().get("_global").trace()), Lines{"[type Object]"});
        EXPECT_EQ(m.run(Asm().get("_global").undef().a(op::Equals2).trace()), Lines{"true"});
        EXPECT_EQ(m.run(Asm().get("_global").null().a(op::Equals2).trace()), Lines{"true"});
        EXPECT_EQ(m.run(Asm().num(NAN).num(NAN).a(op::Equals2).trace()), Lines{swf6 ? "true" : "false"}) << version;
        // An ordinary object is never equal to undefined.
        EXPECT_EQ(m.run(Asm().num(0).a(op::InitObject).undef().a(op::Equals2).trace()), Lines{"false"});
    }
}

TEST(Avm1Machine, StringConversionAsksToStringOnly)
{
    Machine m;
    // o.toString() gives an object and o.valueOf() gives 5: the text is "[type Object]", the number 5.
    Object* o = m.vm.newObject();
    m.vm.method(o, "toString", [](Vm& vm, const Value&, const std::vector<Value>&) { return Value(vm.newObject()); });
    m.vm.method(o, "valueOf", [](Vm&, const Value&, const std::vector<Value>&) { return Value(5); });
    m.vm.set(Value(m.vm.global()), "o", Value(o));
    EXPECT_EQ(m.run(Asm().get("o").trace()), Lines{"[type Object]"});
    EXPECT_EQ(m.run(Asm().get("o").num(1).a(op::Add2).trace()), Lines{"6"});
    // Without a valueOf function the number conversion is undefined, whatever toString says.
    o->put("valueOf", Value());
    EXPECT_EQ(m.run(Asm().get("o").num(1).a(op::Add2).trace()), Lines{"NaN"});
}

TEST(Avm1Machine, NamesAreCaseInsensitiveBeforeSwf7)
{
    for (int version : {6, 7}) {
        Machine m(version);
        Lines lines = m.run(Asm().str("Foo").num(1).a(op::SetVariable).get("foo").trace());
        EXPECT_EQ(lines, Lines{version < 7 ? "1" : "undefined"}) << version;
    }
}

TEST(Avm1Machine, FunctionsSeeTheirArgumentsAndClosures)
{
    Machine m;
    Asm body;
    body.get("a").get("b").a(op::Add2).a(op::Return);
    Asm code;
    code.function("add", {"a", "b"}, body).num(4).num(3).num(2).str("add").a(op::CallFunction).trace();
    EXPECT_EQ(m.run(code), Lines{"7"});
}

TEST(Avm1Machine, TryCatchFinallyRunInOrder)
{
    Machine m;
    // try { trace("try"); throw "boom"; } catch (e) { trace(e); } finally { trace("finally"); } trace("after");
    Asm tryBody;
    tryBody.str("try").trace().str("boom").a(op::Throw);
    Asm catchBody;
    catchBody.get("e").trace();
    Asm finallyBody;
    finallyBody.str("finally").trace();
    std::vector<std::uint8_t> header{3};
    for (std::size_t size : {tryBody.bytes.size(), catchBody.bytes.size(), finallyBody.bytes.size()}) {
        header.push_back(std::uint8_t(size));
        header.push_back(std::uint8_t(size >> 8));
    }
    header.push_back('e');
    header.push_back(0);
    Asm code;
    code.record(op::Try, header);
    for (const Asm* part : {&tryBody, &catchBody, &finallyBody}) {
        code.bytes.insert(code.bytes.end(), part->bytes.begin(), part->bytes.end());
    }
    code.str("after").trace();
    EXPECT_EQ(m.run(code), (Lines{"try", "boom", "finally", "after"}));
}

namespace {

// try { body } with an optional catch (into the variable "e") and finally.
Asm tryStatement(const Asm& body, const Asm* catchBody, const Asm* finallyBody)
{
    const Asm none;
    const Asm& c = catchBody ? *catchBody : none;
    const Asm& f = finallyBody ? *finallyBody : none;
    std::vector<std::uint8_t> header{std::uint8_t((catchBody ? 1 : 0) | (finallyBody ? 2 : 0))};
    for (std::size_t size : {body.bytes.size(), c.bytes.size(), f.bytes.size()}) {
        header.push_back(std::uint8_t(size));
        header.push_back(std::uint8_t(size >> 8));
    }
    header.push_back('e');
    header.push_back(0);
    Asm code;
    code.record(op::Try, header);
    code.append(body).append(c).append(f);
    return code;
}

}  // namespace

TEST(Avm1Machine, AReturnCutShortByAThrowInItsFinallyLeavesAfterTheCatchWithoutItsValue)
{
    Machine m;
    // function f() { try { try { return "ok"; } finally { throw "x"; } } catch (e) { trace(e); } trace("end"); }
    Asm inner = Asm().str("ok").a(op::Return);
    Asm thrower = Asm().str("x").a(op::Throw);
    Asm catcher = Asm().get("e").trace();
    Asm body = tryStatement(tryStatement(inner, nullptr, &thrower), &catcher, nullptr);
    body.str("end").trace();
    Asm code = Asm().function("f", {}, body).callFunction("f", 0).trace();
    EXPECT_EQ(m.run(code), (Lines{"x", "undefined"}));

    // With a finally on the outer statement too, that finally still runs before the function leaves.
    Asm outerFinally = Asm().str("outer finally").trace();
    Asm body2 = tryStatement(tryStatement(inner, nullptr, &thrower), &catcher, &outerFinally);
    body2.str("end").trace();
    Asm code2 = Asm().function("g", {}, body2).callFunction("g", 0).trace();
    EXPECT_EQ(m.run(code2), (Lines{"x", "outer finally", "undefined"}));

    // A throw the catch takes without a return under way carries on after the statement.
    Asm plain = tryStatement(thrower, &catcher, nullptr);
    plain.str("end").trace();
    EXPECT_EQ(m.run(plain), (Lines{"x", "end"}));
}

TEST(Avm1Machine, ACaughtThrowDropsWhatTheTryBodyPushed)
{
    Machine m;
    // push "kept"; push 1; try { pop; push "inside"; push "more"; throw "e"; } catch (e) {} trace(); trace();
    // The stack is cut back to its size at the try (two values), not refilled: "kept" and "inside" remain.
    Asm tryBody;
    tryBody.a(op::Pop).str("inside").str("more").str("e").a(op::Throw);
    Asm catchBody;
    std::vector<std::uint8_t> header{1};
    for (std::size_t size : {tryBody.bytes.size(), catchBody.bytes.size(), std::size_t(0)}) {
        header.push_back(std::uint8_t(size));
        header.push_back(std::uint8_t(size >> 8));
    }
    header.push_back('e');
    header.push_back(0);
    Asm code;
    code.str("kept").num(1).record(op::Try, header);
    code.bytes.insert(code.bytes.end(), tryBody.bytes.begin(), tryBody.bytes.end());
    code.trace().trace();
    EXPECT_EQ(m.run(code), (Lines{"inside", "kept"}));
}

TEST(Avm1Machine, AnUncaughtThrowEndsOnlyItsBlock)
{
    Machine m;
    EXPECT_EQ(m.run(Asm().str("x").a(op::Throw).str("never").trace()), Lines{});
    EXPECT_EQ(m.run(Asm().str("next").trace()), Lines{"next"});
}

TEST(Avm1Machine, LengthsThatLieAndBadJumpsEndTheBlockCleanly)
{
    Machine m;
    // A push whose length claims more bytes than the block has.
    Asm cut;
    cut.bytes = {op::Push, 0xFF, 0x00, 0x00, 'h', 'i'};
    EXPECT_NO_FATAL_FAILURE(m.run(cut));
    // A jump far past the end ends the block; one before the start too.
    EXPECT_EQ(m.run(Asm().jump(op::Jump, 30000).str("skipped").trace()), Lines{});
    EXPECT_EQ(m.run(Asm().jump(op::Jump, -30000).str("skipped").trace()), Lines{});
    // An unknown push type is corrupt data: the script stops with Flash's warning.
    m.host.warnings.clear();
    EXPECT_EQ(m.run(Asm().str("a").trace().record(op::Push, {42}).str("b").trace()), Lines{"a"});
    EXPECT_EQ(m.host.warnings, Lines{"Failed to parse corrupt data."});
}

TEST(Avm1Machine, EndlessLoopIsStoppedByTheActionBudget)
{
    Machine m;
    // A jump onto itself: 5 bytes back from the end of the record.
    EXPECT_EQ(m.run(Asm().jump(op::Jump, -5).str("never").trace()), Lines{});
    EXPECT_TRUE(m.vm.aborted());
    ASSERT_FALSE(m.host.warnings.empty());
    // The next frame runs again.
    EXPECT_EQ(m.run(Asm().str("again").trace()), Lines{"again"});
}

TEST(Avm1Machine, DeepRecursionStopsAtTheCallDepthLimit)
{
    Machine m;
    Asm body;
    body.num(0).str("f").a(op::CallFunction).a(op::Return);
    Asm code;
    code.function("f", {}, body).num(0).str("f").a(op::CallFunction).a(op::Pop).str("after").trace();
    EXPECT_EQ(m.run(code), Lines{});
    EXPECT_TRUE(m.vm.aborted());
    EXPECT_EQ(m.host.warnings.back(), "256 levels of recursion were exceeded in one action list.");
}

TEST(Avm1Machine, WithPutsTheObjectOnTheScopeChain)
{
    Machine m;
    Asm body;
    body.get("x").trace();
    Asm code;
    code.str("x").str("outer").a(op::SetVariable);
    code.str("x").str("inner").num(1).a(op::InitObject);
    code.record(op::With, {std::uint8_t(body.bytes.size()), 0});
    code.bytes.insert(code.bytes.end(), body.bytes.begin(), body.bytes.end());
    code.get("x").trace();
    EXPECT_EQ(m.run(code), (Lines{"inner", "outer"}));
}

TEST(Avm1Machine, TimersFollowTheHostClock)
{
    Machine m;
    Asm body;
    body.str("tick").trace();
    Asm code;
    code.function("", {}, body);  // pushes the function
    code.a(op::StackSwap);        // nothing below: swaps with undefined, kept for order below
    Asm setup;
    setup.num(100).function("", {}, body).num(2).str("setInterval").a(op::CallFunction).a(op::Pop);
    m.run(setup);
    m.host.lines.clear();
    m.host.clockMs = 50;
    m.vm.runTimers();
    EXPECT_TRUE(m.host.lines.empty());
    m.host.clockMs = 100;
    m.vm.runTimers();
    m.host.clockMs = 200;
    m.vm.runTimers();
    EXPECT_EQ(m.host.lines, (Lines{"tick", "tick"}));
}

TEST(Avm1Decoder, RecordsAreCutToTheBlock)
{
    const std::uint8_t block[] = {op::Push, 0x10, 0x00, 0x03, op::Trace};
    ActionRecord rec;
    ASSERT_TRUE(decodeAction(block, sizeof block, 0, rec));
    EXPECT_TRUE(rec.truncated);
    EXPECT_EQ(rec.length, 2u);
    EXPECT_EQ(rec.next, sizeof block);
    ASSERT_TRUE(decodeAction(block, 2, 0, rec));
    EXPECT_EQ(rec.length, 0u);
    EXPECT_FALSE(decodeAction(block, sizeof block, sizeof block, rec));
    EXPECT_STREQ(actionName(op::DefineFunction2), "ActionDefineFunction2");
    EXPECT_STREQ(actionName(0x01), "Unknown");
}

}  // namespace
