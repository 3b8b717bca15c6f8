// Key presses reaching buttons' key-press conditions (DefineButton2) and onClipEvent(keyPress) handlers.
#include "scriptmovie.h"

#include "swfwriter/scriptparts.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// A key-press condition as the writer takes it: the key code sits above the OverDownToIdle bit of the
// condition's second byte.
std::uint16_t keyCondition(int buttonKey)
{
    return std::uint16_t(buttonKey << 1);
}

// The desktop's numbers of some keys.
constexpr int kReturnKey = 0x01000004;
constexpr int kLeftKey = 0x01000012;
constexpr int kF1Key = 0x01000030;

TEST(ScriptButtonKeys, KeyPressConditionsAnswerSpecialKeysAndCharacters)
{
    // A button on the stage with no shapes answers Enter (13), the left arrow (1) and the letter a (97); B and F1
    // are keys it does not answer.
    SwfWriter w(8);
    w.tag(tag::DefineButton2, kivamo::test::defineButton2(3, {}, {{keyCondition(13), traceBlock("enter")},
                                                                   {keyCondition(1), traceBlock("left")},
                                                                   {keyCondition('a'), traceBlock("a")}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 3, "keys"));
    w.tag(tag::DoAction, block(Asm().a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    for (int key : {int('A'), kLeftKey, kReturnKey, int('B'), kF1Key})
        run.player->keyPress(key);
    EXPECT_EQ(run.out.lines, (Lines{"a", "left", "enter"}));
}

TEST(ScriptButtonKeys, ButtonKeyActionsRunOnTheButtonsTimeline)
{
    // The button sits in sprite 4 named "holder"; its key action traces the path of the timeline it runs on.
    SwfWriter w(8);
    Bytes traceThis = block(Asm().get("this").trace());
    w.tag(tag::DefineButton2, kivamo::test::defineButton2(3, {}, {{keyCondition('x'), traceThis}}));
    std::vector<std::pair<std::uint16_t, Bytes>> tags{{tag::PlaceObject2, placeNamed(1, 3, "button")},
                                                       {tag::ShowFrame, {}}};
    w.tag(tag::DefineSprite, kivamo::test::spriteBody(4, 1, tags));
    w.tag(tag::PlaceObject2, placeNamed(1, 4, "holder"));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    run.player->keyPress('X');
    EXPECT_EQ(run.out.lines, Lines{"_level0.holder"});
}

}  // namespace
