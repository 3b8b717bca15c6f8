// The Key and Mouse objects and their listeners, fed by the player's key and pointer input.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

constexpr int kLeftKey = 0x01000012;  // the desktop's number of the left arrow

TEST(ScriptInput, KeyListenersHearPressesWithFlashKeyCodes)
{
    SwfWriter w(8);
    // listener = {}; listener.onKeyDown = function () { trace(Key.getCode()); trace(Key.isDown(Key.LEFT)); };
    Asm onDown = Asm().callMethod(Asm().get("Key"), "getCode", 0).trace()
                     .get("Key").str("LEFT").a(op::GetMember)
                     .callMethod(Asm().get("Key"), "isDown", 1).trace();
    Asm onUp = Asm().callMethod(Asm().get("Key"), "getAscii", 0).trace();
    Asm script = Asm().str("listener").num(0).a(op::InitObject).a(op::SetVariable)
                     .get("listener").str("onKeyDown").function("", {}, onDown).a(op::SetMember)
                     .get("listener").str("onKeyUp").function("", {}, onUp).a(op::SetMember)
                     .get("listener").callMethod(Asm().get("Key"), "addListener", 1).a(op::Pop)
                     .a(op::Stop);
    w.tag(tag::DoAction, block(script)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    run.player->keyPress(kLeftKey);
    run.player->keyRelease(kLeftKey);
    run.player->keyPress('A');
    run.player->keyRelease('A');
    EXPECT_EQ(run.out.lines, (Lines{"37", "true", "0", "65", "false", "97"}));
}

TEST(ScriptInput, MouseListenersAndClipMouseEvents)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid", {{swf::clipevent::MouseDown, Asm().str("clip down").trace()}}));
    Asm onUp = Asm().str("listener up").trace();
    Asm script = Asm().str("listener").num(0).a(op::InitObject).a(op::SetVariable)
                     .get("listener").str("onMouseUp").function("", {}, onUp).a(op::SetMember)
                     .get("listener").callMethod(Asm().get("Mouse"), "addListener", 1).a(op::Pop)
                     .a(op::Stop);
    w.tag(tag::DoAction, block(script)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    run.player->pointerPress(10, 10);
    run.player->pointerRelease(10, 10);
    EXPECT_EQ(run.out.lines, (Lines{"clip down", "listener up"}));
}

}  // namespace
