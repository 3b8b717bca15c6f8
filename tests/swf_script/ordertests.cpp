// Frame scripts, init scripts and clip events run through the player in the order the timeline gives them.
#include "scriptmovie.h"

#include "swf/format/place.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

TEST(ScriptOrder, RootFrameScriptsRunOncePerFrameAndLoop)
{
    SwfWriter w(8);
    w.tag(tag::DoAction, traceBlock("one")).showFrame();
    w.tag(tag::DoAction, traceBlock("two")).showFrame();
    MovieRun run(w.finish());
    ASSERT_TRUE(run.player);
    run.frames(3);
    EXPECT_EQ(run.out.lines, (Lines{"one", "two", "one"}));
}

TEST(ScriptOrder, InitActionsRunOnceAndBeforeTheFrameScript)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::DoAction, traceBlock("frame"));
    w.tag(tag::DoInitAction, initAction(5, Asm().str("init").trace()));
    w.showFrame();
    w.tag(tag::DoAction, traceBlock("second")).showFrame();
    MovieRun run(w.finish());
    run.frames(4);
    EXPECT_EQ(run.out.lines, (Lines{"init", "frame", "second", "frame", "second"}));
}

TEST(ScriptOrder, ChildScriptsSeeTheirOwnTimelineAndTheRoot)
{
    SwfWriter w(8);
    // The child sets a variable on itself and traces its path; the root reads it a frame later.
    w.tag(tag::DefineSprite, sprite(5, {block(Asm().str("x").num(5).a(op::SetVariable)
                                                   .str("_target").a(op::GetVariable).trace()
                                                   .a(op::Stop))}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid")).showFrame();
    w.tag(tag::DoAction, block(Asm().str("kid.x").a(op::GetVariable).trace()
                                   .str("/kid:x").a(op::GetVariable).trace()
                                   .str("_root.kid._name").a(op::GetVariable).trace()
                                   .str("kid").a(op::GetVariable).trace()
                                   .a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(3);
    EXPECT_EQ(run.out.lines, (Lines{"/kid", "5", "5", "kid", "_level0.kid"}));
}

TEST(ScriptOrder, GotoFromAScriptRunsTheTargetFrameAndSkipsTheOnesBetween)
{
    SwfWriter w(8);
    w.tag(tag::DoAction, block(Asm().num(3).callMethod(Asm().get("_root"), "gotoAndStop", 1).a(op::Pop))).showFrame();
    w.tag(tag::DoAction, traceBlock("two")).showFrame();
    w.tag(tag::DoAction, block(Asm().str("three").trace().str("_currentframe").a(op::GetVariable).trace()));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(3);
    EXPECT_EQ(run.out.lines, (Lines{"three", "3"}));
    EXPECT_EQ(run.player->currentFrame(), 2u);
    EXPECT_FALSE(run.player->isPlaying());
}

TEST(ScriptOrder, GotoFrameNumbersWrapTo32BitsAndFractionsNameNoFrame)
{
    // gotoAndStop(n) through GotoFrame2, then _currentframe; the root has four frames.
    auto gotoAndTrace = [](double n) {
        return Asm().num(n).record(op::GotoFrame2, {0}).str("_currentframe").a(op::GetVariable).trace();
    };
    SwfWriter w(8);
    Asm first = gotoAndTrace(2.5);  // no frame: stays on 1
    first.append(gotoAndTrace(0)).append(gotoAndTrace(-100));
    first.append(gotoAndTrace(4294967298.0));                       // wraps to 2
    first.append(gotoAndTrace(2147483648.0));                       // wraps negative: past the end, the last frame
    w.tag(tag::DoAction, block(first.a(op::Stop))).showFrame();
    w.showFrame();
    w.showFrame();
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"1", "1", "1", "2", "4"}));
}

TEST(ScriptOrder, GotoFramePastTheLastFrameDoesNothing)
{
    SwfWriter w(8);
    w.tag(tag::DoAction, block(Asm().record(op::GotoFrame, {9, 0}).str("_currentframe").a(op::GetVariable).trace()));
    w.showFrame();
    w.tag(tag::DoAction, block(Asm().str("two").trace().a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"1", "two"}));
}

TEST(ScriptOrder, GotoFrame2PastTheLastFrameShowsItWithoutItsScripts)
{
    // Frame 1: gotoAndStop(9) on a three-frame root, then _currentframe and the clip frame 3 places. Frame 3
    // places "kid" and has a script of its own, which must not run.
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::DoAction, block(Asm().num(9).record(op::GotoFrame2, {0}).get("_currentframe").trace()
                                   .get("kid._name").trace()));
    w.showFrame();
    w.showFrame();
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid"));
    w.tag(tag::DoAction, traceBlock("three")).showFrame();
    MovieRun run(w.finish());
    run.frames(3);
    EXPECT_EQ(run.out.lines, (Lines{"3", "kid"}));
    EXPECT_EQ(run.player->currentFrame(), 2u);
}

TEST(ScriptOrder, GotoAndStopWithAPathAndFrameMovesTheNamedClip)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}, Bytes{}, Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid"));
    // this.gotoAndStop("/kid:3") moves the clip at /kid, not the root.
    w.tag(tag::DoAction, block(Asm().str("/kid:3").callMethod(Asm().get("this"), "gotoAndStop", 1).a(op::Pop)
                                   .str("kid._currentframe").a(op::GetVariable).trace()
                                   .str("_currentframe").a(op::GetVariable).trace()
                                   .a(op::Stop)));
    w.showFrame();
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"3", "1"}));
}

TEST(ScriptOrder, TargetPathsFindAChildClipBeforeAVariableOfTheSameName)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {block(Asm().str("x").str("inside").a(op::SetVariable).a(op::Stop))}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid")).showFrame();
    Asm script = Asm().str("kid").str("a variable").a(op::SetVariable);
    script.get("kid").trace();                                         // the variable
    script.str("kid").a(op::SetTarget2).str("").num(13).a(op::GetProperty).trace();  // tellTarget: the clip's _name
    script.record(op::SetTarget, {0});
    script.get("kid.x").trace();                                       // a path: the clip's variable
    script.get("/kid/:x").trace().get("/kid//:x").trace().a(op::Stop);  // two slashes in a row name nothing
    w.tag(tag::DoAction, block(script));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"a variable", "kid", "inside", "inside", "undefined"}));
}

TEST(ScriptOrder, AMissingTellTargetLeavesTheRootsVariables)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {block(Asm().str("n").str("kid").a(op::SetVariable).a(op::Stop))}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid")).showFrame();
    Asm script = Asm().str("n").str("root").a(op::SetVariable);
    auto tellTarget = [](const std::string& path) {
        std::vector<std::uint8_t> body(path.begin(), path.end());
        body.push_back(0);
        return body;
    };
    script.record(op::SetTarget, tellTarget("kid")).get("n").trace();
    // Paths lead from the script's own clip, not from the last target: "kid" again is the same clip.
    script.record(op::SetTarget, tellTarget("kid")).get("n").trace();
    script.record(op::SetTarget, tellTarget("missing")).get("n").trace();
    script.record(op::SetTarget, tellTarget("")).get("n").trace().a(op::Stop);
    w.tag(tag::DoAction, block(script));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"kid", "kid", "root", "root"}));
}

TEST(ScriptOrder, CalledFrameActionsWorkOnTheCallersStack)
{
    SwfWriter w(8);
    // Frame 2 leaves "a" on the stack; frame 1 calls it and adds "b" to what it left.
    w.tag(tag::DoAction, block(Asm().str("2").a(op::Call).str("b").a(op::Add2).trace().a(op::Stop)));
    w.showFrame();
    w.tag(tag::DoAction, block(Asm().str("a")));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, Lines{"ab"});
}

TEST(ScriptOrder, ClipEventsLoadEnterFrameAndUnload)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid", {{swf::clipevent::Load, Asm().str("load").trace()},
                                                      {swf::clipevent::EnterFrame, Asm().str("enter").trace()},
                                                      {swf::clipevent::Unload, Asm().str("unload").trace()}}));
    w.tag(tag::DoAction, traceBlock("root1")).showFrame();
    w.tag(tag::DoAction, traceBlock("root2")).showFrame();
    w.tag(tag::RemoveObject2, kivamo::test::removeObject2(1));
    w.tag(tag::DoAction, block(Asm().str("root3").trace().a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(4);
    // A clip's load follows its placement in the frame's tags; its enterFrame comes before its parent's script.
    EXPECT_EQ(run.out.lines, (Lines{"load", "root1", "enter", "root2", "unload", "root3"}));
}

TEST(ScriptOrder, ARemovedClipWithAnUnloadHandlerWaitsAFrameBelowTheTimeline)
{
    // Frame 2 removes "kid" (with onClipEvent(unload)) and "plain" (without), then its script looks for both;
    // frame 3's script looks for kid again.
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid", {{swf::clipevent::Unload, Asm().str("unload").trace()}}));
    w.tag(tag::PlaceObject2, placeNamed(2, 5, "plain")).showFrame();
    w.tag(tag::RemoveObject2, kivamo::test::removeObject2(1));
    w.tag(tag::RemoveObject2, kivamo::test::removeObject2(2));
    w.tag(tag::DoAction, block(Asm().num(0).get("kid").str("getDepth").a(op::CallMethod).trace().get("plain").trace()));
    w.showFrame();
    w.tag(tag::DoAction, block(Asm().get("kid").trace().a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(3);
    // Its unload comes at the removal, before the frame's script; it sits at depth -(1 + 1) until the next frame.
    EXPECT_EQ(run.out.lines, (Lines{"unload", "-16386", "undefined", "undefined"}));
}

TEST(ScriptOrder, RemoveMovieClipOfAClipWithOnUnloadRunsItAfterTheScript)
{
    SwfWriter w(8);
    // ref = createEmptyMovieClip("c", 0) with an onUnload; ref.removeMovieClip(); then its depth. Frame 2 looks
    // for the child "c".
    Asm script = Asm().str("ref").num(0).str("c").callMethod(Asm().get("this"), "createEmptyMovieClip", 2);
    script.a(op::SetVariable);
    script.get("ref").str("onUnload").function("", {}, Asm().str("bye").trace()).a(op::SetMember);
    script.num(0).get("ref").str("removeMovieClip").a(op::CallMethod).a(op::Pop);
    script.str("after").trace().num(0).get("ref").str("getDepth").a(op::CallMethod).trace();
    w.tag(tag::DoAction, block(script)).showFrame();
    w.tag(tag::DoAction, block(Asm().get("c").trace().a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"after", "-32769", "bye", "undefined"}));
}

TEST(ScriptOrder, OnEnterFrameSetByAScriptRunsEachFrame)
{
    SwfWriter w(8);
    Asm body = Asm().str("tick").trace();
    w.tag(tag::DoAction, block(Asm().get("this").str("onEnterFrame").function("", {}, body).a(op::SetMember)
                                   .a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(3);
    EXPECT_EQ(run.out.lines, (Lines{"tick", "tick"}));
}

}  // namespace
