// Buttons answer the pointer: their states, their condition actions, handler properties and the hand cursor.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// A DefineButton2 body: one square (character 1) in every state and as the hit area, then condition actions.
Bytes buttonBody(std::uint16_t id, const std::vector<std::pair<std::uint16_t, Asm>>& conditionActions)
{
    kivamo::test::ByteWriter w;
    w.u16(id).u8(0);
    std::size_t offsetAt = w.data().size();
    w.u16(0);
    w.u8(0x0F).u16(1).u16(1).bytes(kivamo::test::matrixBytes({}));
    w.bytes(kivamo::test::colourTransformBytes({}, true));
    w.u8(0);  // end of records
    std::size_t actionsAt = w.data().size();
    w.data()[offsetAt] = std::uint8_t(actionsAt - offsetAt);
    for (std::size_t i = 0; i < conditionActions.size(); ++i) {
        Bytes body = block(conditionActions[i].second);
        bool last = i + 1 == conditionActions.size();
        w.u16(last ? 0 : std::uint16_t(body.size() + 4)).u16(conditionActions[i].first).bytes(body);
    }
    return w.data();
}

// A 100 x 100 pixel square at the stage's top left, and a button over it placed at depth 1 as "btn".
Bytes buttonMovie(const std::vector<std::pair<std::uint16_t, Asm>>& conditionActions, const Bytes& frameScript = {})
{
    SwfWriter w(8);
    kivamo::test::ShapeBuilder square(1);
    square.rectangle({0, 2000, 0, 2000}, square.solidFill({200, 0, 0, 255}));
    w.tag(square.tagCode(), square.body());
    w.tag(tag::DefineButton2, buttonBody(2, conditionActions));
    w.tag(tag::PlaceObject2, placeNamed(1, 2, "btn"));
    if (!frameScript.empty())
        w.tag(tag::DoAction, frameScript);
    w.tag(tag::DoAction, block(Asm().a(op::Stop)));
    w.showFrame();
    return w.finish();
}

TEST(Buttons, TypeofCallsAButtonAnObject)
{
    MovieRun run(buttonMovie({}, block(Asm().get("btn").a(op::TypeOf).trace().get("this").a(op::TypeOf).trace())));
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"object", "movieclip"}));
}

TEST(Buttons, PressAndReleaseRunTheirConditionActions)
{
    MovieRun run(buttonMovie({{swf::buttoncond::Press, Asm().str("press").trace()},
                              {swf::buttoncond::Release, Asm().str("release").trace()},
                              {swf::buttoncond::RollOver, Asm().str("over").trace()},
                              {swf::buttoncond::RollOut, Asm().str("out").trace()}}));
    run.frames(1);
    // Without a rendered view, target pixels are stage pixels.
    run.player->pointerMove(50, 50);
    EXPECT_TRUE(run.player->handCursor());
    run.player->pointerPress(50, 50);
    run.player->pointerRelease(50, 50);
    run.player->pointerMove(300, 300);
    EXPECT_FALSE(run.player->handCursor());
    EXPECT_EQ(run.out.lines, (Lines{"over", "press", "release", "out"}));
}

TEST(Buttons, ReleasingOutsideIsNotARelease)
{
    MovieRun run(buttonMovie({{swf::buttoncond::Release, Asm().str("release").trace()},
                              {swf::buttoncond::DragOut, Asm().str("drag out").trace()},
                              {swf::buttoncond::ReleaseOutside, Asm().str("outside").trace()}}));
    run.frames(1);
    run.player->pointerMove(50, 50);
    run.player->pointerPress(50, 50);
    run.player->pointerMove(300, 300);
    run.player->pointerRelease(300, 300);
    EXPECT_EQ(run.out.lines, (Lines{"drag out", "outside"}));
}

TEST(Buttons, ButtonActionsControlTheTimelineAndSendCommands)
{
    // A replay button: its release sends an FSCommand and goes to frame 1 of the timeline holding it.
    MovieRun run(buttonMovie({{swf::buttoncond::Release,
                               Asm().str("FSCommand:replay").str("1").record(op::GetURL2, {0})
                                   .num(1).callMethod(Asm().get("this"), "gotoAndStop", 1).a(op::Pop)}}));
    run.frames(1);
    run.player->pointerPress(50, 50);
    run.player->pointerRelease(50, 50);
    ASSERT_EQ(run.out.commands.size(), 1u);
    EXPECT_EQ(run.out.commands[0], (std::pair<std::string, std::string>{"replay", "1"}));
    EXPECT_EQ(run.player->currentFrame(), 0u);
}

TEST(Buttons, ClipsWithPressHandlersActAsButtons)
{
    SwfWriter w(8);
    kivamo::test::ShapeBuilder square(1);
    square.rectangle({0, 2000, 0, 2000}, square.solidFill({0, 0, 200, 255}));
    w.tag(square.tagCode(), square.body());
    w.tag(tag::DefineSprite, kivamo::test::spriteBody(5, 1, {{tag::PlaceObject2, placeNamed(1, 1, "")},
                                                             {tag::ShowFrame, {}}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "box"));
    w.tag(tag::DoAction, block(Asm().get("box").str("onPress").function("", {}, Asm().str("pressed").trace())
                                   .a(op::SetMember).a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    run.player->pointerMove(10, 10);
    EXPECT_TRUE(run.player->handCursor());
    run.player->pointerPress(10, 10);
    run.player->pointerRelease(10, 10);
    EXPECT_EQ(run.out.lines, (Lines{"pressed"}));
    run.player->pointerMove(300, 10);
    EXPECT_FALSE(run.player->handCursor());
}

}  // namespace
