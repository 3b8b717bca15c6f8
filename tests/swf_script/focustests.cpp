// Keyboard focus: Selection's focus calls, the focus handlers of fields and its listeners, typing into input fields.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// this.createTextField(name, depth, 0, 0, 100, 20) without its answer, made an input field (fields made
// by script start dynamic).
Asm makeField(const std::string& name, int depth)
{
    return Asm().num(20).num(100).num(0).num(0).num(depth).str(name)
        .callMethod(Asm().get("this"), "createTextField", 6).a(op::Pop)
        .get(name).str("type").str("input").a(op::SetMember);
}

// object.name = function (params) { body };
Asm setHandler(const std::string& object, const std::string& name, const std::vector<std::string>& params,
               const Asm& body)
{
    return Asm().get(object).str(name).function("", params, body).a(op::SetMember);
}

Asm traceCall(const std::string& object, const std::string& method, const Asm& args, int argc)
{
    return Asm().append(args).callMethod(Asm().get(object), method, argc).trace();
}

TEST(ScriptFocus, SelectionMovesFocusAndTellsHandlersAndListeners)
{
    SwfWriter w(8);
    Asm s = makeField("field", 1);
    s.append(makeField("other", 2));
    s.append(setHandler("field", "onSetFocus", {"old"}, Asm().str("field set ").get("old").a(op::Add2).trace()));
    s.append(setHandler("field", "onKillFocus", {"now"}, Asm().str("field kill ").get("now").a(op::Add2).trace()));
    s.str("listener").num(0).a(op::InitObject).a(op::SetVariable);
    s.append(setHandler("listener", "onSetFocus", {"o", "n"},
        Asm().str("heard ").get("o").a(op::Add2).str(" ").a(op::Add2).get("n").a(op::Add2).trace()));
    s.get("listener").callMethod(Asm().get("Selection"), "addListener", 1).a(op::Pop);
    s.append(traceCall("Selection", "getFocus", Asm(), 0));
    s.append(traceCall("Selection", "setFocus", Asm().str("field"), 1));
    s.append(traceCall("Selection", "getFocus", Asm(), 0));
    s.append(traceCall("Selection", "setFocus", Asm().str("field"), 1));  // no change: nothing is told
    s.append(traceCall("Selection", "setFocus", Asm().get("other"), 1));
    s.append(traceCall("Selection", "getFocus", Asm(), 0));
    s.append(traceCall("Selection", "setFocus", Asm().str("nothing"), 1));
    s.append(traceCall("Selection", "setFocus", Asm().null(), 1));
    s.append(traceCall("Selection", "getFocus", Asm(), 0));
    s.a(op::Stop);
    w.tag(tag::DoAction, block(s)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"null", "field set null", "heard null _level0.field", "true", "_level0.field",
                                    "true", "field kill _level0.other", "heard _level0.field _level0.other", "true",
                                    "_level0.other", "false", "heard _level0.other null", "true", "null"}));
}

TEST(ScriptFocus, FocusOnRemovedObjectIsCleared)
{
    SwfWriter w(8);
    Asm s = makeField("field", 1);
    s.append(traceCall("Selection", "setFocus", Asm().get("field"), 1));
    s.append(Asm().callMethod(Asm().get("field"), "removeTextField", 0).a(op::Pop));
    s.append(traceCall("Selection", "getFocus", Asm(), 0));
    s.num(5).str("kid").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    s.append(traceCall("Selection", "setFocus", Asm().get("kid"), 1));
    s.append(traceCall("Selection", "getFocus", Asm(), 0));
    s.str("kept").get("kid").a(op::SetVariable);
    s.append(Asm().callMethod(Asm().get("kid"), "removeMovieClip", 0).a(op::Pop));
    s.append(traceCall("Selection", "getFocus", Asm(), 0));
    s.append(traceCall("Selection", "setFocus", Asm().get("kept"), 1));  // gone: refused
    s.a(op::Stop);
    w.tag(tag::DoAction, block(s)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"true", "null", "true", "_level0.kid", "null", "false"}));
}

constexpr int kBackspace = 0x01000003, kEnter = 0x01000004;  // the desktop's numbers

// Keys typed into a focused field made by script with a type, a variable and a maxChars; each change traces the
// field's text and its variable.
TEST(ScriptFocus, TypedKeysChangeFocusedInputFields)
{
    const struct {
        const char* type;
        int maxChars;
        std::vector<int> keys;
        Lines expected;
    } cases[] = {
        {"input", 0, {'A', 'B', kBackspace}, {"a a", "ab ab", "a a"}},
        {"input", 2, {'A', 'B', 'C', kBackspace, 'D'}, {"a a", "ab ab", "a a", "ad ad"}},
        {"input", 0, {kBackspace, ' ', '1', kEnter}, {"   ", " 1  1"}},  // Enter adds nothing to a single line
        {"dynamic", 0, {'A', kBackspace}, {}},
    };
    for (const auto& c : cases) {
        SwfWriter w(8);
        Asm s = makeField("field", 1);
        s.get("field").str("type").str(c.type).a(op::SetMember);
        s.get("field").str("variable").str("v").a(op::SetMember);
        s.get("field").str("maxChars").num(c.maxChars).a(op::SetMember);
        s.append(setHandler("field", "onChanged", {"f"},
            Asm().get("f").str("text").a(op::GetMember).str(" ").a(op::Add2).get("v").a(op::Add2).trace()));
        s.get("field").callMethod(Asm().get("Selection"), "setFocus", 1).a(op::Pop);
        s.a(op::Stop);
        w.tag(tag::DoAction, block(s)).showFrame();
        MovieRun run(w.finish());
        run.frames(1);
        for (int key : c.keys) {
            run.player->keyPress(key);
            run.player->keyRelease(key);
        }
        EXPECT_EQ(run.out.lines, c.expected) << c.type << " " << c.maxChars;
    }
}

// A press on an input field focuses it; a press on nothing takes the focus from it; dynamic fields never take it.
TEST(ScriptFocus, PressOnInputFieldFocusesIt)
{
    SwfWriter w(8);
    Asm s = makeField("field", 1);
    // "shown" stays as script makes it: dynamic.
    s.num(20).num(100).num(0).num(200).num(2).str("shown").callMethod(Asm().get("this"), "createTextField", 6).a(op::Pop);
    s.str("listener").num(0).a(op::InitObject).a(op::SetVariable);
    s.append(setHandler("listener", "onSetFocus", {"o", "n"},
        Asm().str("focus ").get("o").a(op::Add2).str(" ").a(op::Add2).get("n").a(op::Add2).trace()));
    s.get("listener").callMethod(Asm().get("Selection"), "addListener", 1).a(op::Pop);
    s.a(op::Stop);
    w.tag(tag::DoAction, block(s)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    for (auto [x, y] : {std::pair{10, 10}, {10, 10}, {210, 10}, {300, 300}}) {
        run.player->pointerPress(x, y);
        run.player->pointerRelease(x, y);
    }
    EXPECT_EQ(run.out.lines, (Lines{"focus null _level0.field", "focus _level0.field null"}));
}

constexpr int kTab = 0x01000001, kShift = 0x01000020;

// Tab walks named input fields and tab-enabled clips in depth order, or by tabIndex once any has one; Shift+Tab
// goes back. Each focus change traces the new focus.
TEST(ScriptFocus, TabMovesFocusInTabOrder)
{
    const struct {
        const char* name;
        Asm setup;
        std::vector<std::pair<int, bool>> keys;  // key, with Shift held
        Lines expected;
    } cases[] = {
        {"depth order", Asm(), {{kTab, false}, {kTab, false}, {kTab, false}, {kTab, false}},
         {"_level0.b", "_level0.kid", "_level0.a", "_level0.b"}},
        {"backwards", Asm(), {{kTab, true}, {kTab, true}}, {"_level0.a", "_level0.kid"}},
        {"tab indexes", Asm().get("a").str("tabIndex").num(1).a(op::SetMember)
                             .get("kid").str("tabIndex").num(2).a(op::SetMember),
         {{kTab, false}, {kTab, false}, {kTab, false}}, {"_level0.a", "_level0.kid", "_level0.a"}},
        {"not enabled", Asm().get("b").str("tabEnabled").boolean(false).a(op::SetMember),
         {{kTab, false}, {kTab, false}}, {"_level0.kid", "_level0.a"}},
    };
    for (const auto& c : cases) {
        SwfWriter w(8);
        Asm s = makeField("a", 30);
        s.append(makeField("b", 10));
        s.append(makeField("c", 40));
        s.get("c").str("type").str("dynamic").a(op::SetMember);
        s.num(20).str("kid").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
        s.get("kid").str("tabEnabled").boolean(true).a(op::SetMember);
        s.num(25).str("plain").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
        s.append(c.setup);
        s.str("listener").num(0).a(op::InitObject).a(op::SetVariable);
        s.append(setHandler("listener", "onSetFocus", {"o", "n"}, Asm().get("n").trace()));
        s.get("listener").callMethod(Asm().get("Selection"), "addListener", 1).a(op::Pop);
        s.a(op::Stop);
        w.tag(tag::DoAction, block(s)).showFrame();
        MovieRun run(w.finish());
        run.frames(1);
        for (auto [key, shift] : c.keys) {
            if (shift)
                run.player->keyPress(kShift);
            run.player->keyPress(key);
            run.player->keyRelease(key);
            if (shift)
                run.player->keyRelease(kShift);
        }
        EXPECT_EQ(run.out.lines, c.expected) << c.name;
    }
}

// Enter or Space on a focused clip with button handlers presses and releases it; typed keys reach no field then.
TEST(ScriptFocus, EnterOnFocusedButtonClicks)
{
    SwfWriter w(8);
    Asm s;
    s.num(20).str("kid").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    s.append(setHandler("kid", "onPress", {}, Asm().str("press").trace()));
    s.append(setHandler("kid", "onRelease", {}, Asm().str("release").trace()));
    s.get("kid").callMethod(Asm().get("Selection"), "setFocus", 1).a(op::Pop);
    s.a(op::Stop);
    w.tag(tag::DoAction, block(s)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    for (int key : {kEnter, int('A'), int(' ')}) {
        run.player->keyPress(key);
        run.player->keyRelease(key);
    }
    EXPECT_EQ(run.out.lines, (Lines{"press", "release", "press", "release"}));
}

// A field's listeners hear onChanged until removed (this one removes itself).
TEST(ScriptFocus, FieldListenersHearTypedChanges)
{
    SwfWriter w(8);
    Asm s = makeField("field", 1);
    s.str("listener").num(0).a(op::InitObject).a(op::SetVariable);
    s.append(setHandler("listener", "onChanged", {"f"}, Asm().str("heard ").get("f").str("text").a(op::GetMember)
                                                            .a(op::Add2).trace()
                                                            .append(traceCall("f", "removeListener",
                                                                              Asm().get("listener"), 1))));
    s.append(traceCall("field", "addListener", Asm().get("listener"), 1));
    s.get("field").callMethod(Asm().get("Selection"), "setFocus", 1).a(op::Pop);
    s.a(op::Stop);
    w.tag(tag::DoAction, block(s)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    run.player->keyPress('X');
    run.player->keyRelease('X');
    run.player->keyPress('Y');
    run.player->keyRelease('Y');
    EXPECT_EQ(run.out.lines, (Lines{"true", "heard x", "true"}));
}

}  // namespace
