// Scripts acting on the display tree: FSCommands, script-made clips and their removal, properties, limits.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

TEST(ScriptTree, AFrameScriptStopsWhenItsOwnClipIsRemoved)
{
    SwfWriter w(8);
    // The script-made child removes itself half-way through its frame script.
    Asm kid = Asm().str("before").trace();
    kid.callMethod(Asm().get("this"), "removeMovieClip", 0).a(op::Pop).str("after").trace();
    w.tag(tag::DefineSprite, sprite(5, {block(kid)}));
    w.tag(tag::ExportAssets, kivamo::test::ByteWriter().u16(1).u16(5).cstring("kid").data());
    w.tag(tag::DoAction, block(Asm().num(1).str("k").str("kid").callMethod(Asm().get("this"), "attachMovie", 3)
                                   .a(op::Pop).a(op::Stop)));
    w.showFrame();
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, Lines{"before"});
}

TEST(ScriptTree, ScriptDepthsWrapTo32Bits)
{
    SwfWriter w(8);
    Asm script;
    script.num(0).str("a").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    // 2^32 wraps to depth 0: the new clip takes the place of the first.
    script.num(4294967296.0).str("b").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    script.get("a").a(op::TypeOf).trace();
    script.callMethod(Asm().get("b"), "getDepth", 0).trace().a(op::Stop);
    w.tag(tag::DoAction, block(script));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"undefined", "0"}));
}

TEST(ScriptTree, FsCommandsFromScriptsReachTheListener)
{
    SwfWriter w(8);
    // getURL with an "FSCommand:" address, both as the fixed action and from the stack.
    w.tag(tag::DoAction, kivamo::test::actions({kivamo::test::actionGetUrl("FSCommand:fullscreen", "true")}));
    w.tag(tag::DoAction, block(Asm().str("fscommand:quit").str("").record(op::GetURL2, {0}).a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    ASSERT_EQ(run.out.commands.size(), 2u);
    EXPECT_EQ(run.out.commands[0], (std::pair<std::string, std::string>{"fullscreen", "true"}));
    EXPECT_EQ(run.out.commands[1].first, "quit");
    EXPECT_TRUE(run.out.urls.empty());
}

TEST(ScriptTree, AnEndlessLoopStopsTheMovieWithAWarning)
{
    SwfWriter w(8);
    // A jump back onto itself never ends.
    w.tag(tag::DoAction, block(Asm().jump(op::Jump, -5))).showFrame();
    w.tag(tag::DoAction, traceBlock("never")).showFrame();
    MovieRun run(w.finish());
    run.frames(3);
    EXPECT_TRUE(run.player->scriptsHalted());
    EXPECT_FALSE(run.player->isPlaying());
    ASSERT_FALSE(run.out.warnings.empty());
    EXPECT_NE(run.out.warnings[0].find("slowly"), std::string::npos);
    EXPECT_TRUE(run.out.lines.empty());
}

TEST(ScriptTree, ASmallerScriptBudgetStopsALongLoopThatTheNormalOneLetsFinish)
{
    // n counts to 5000 (some 40,000 actions), then "done" is traced.
    SwfWriter w(8);
    Asm loop = Asm().str("n").get("n").a(op::Increment).a(op::SetVariable).get("n").num(5000).a(op::Less);
    loop.jump(op::If, -int(loop.bytes.size()) - 5);
    Asm start = Asm().str("n").num(0).a(op::SetVariable);
    w.tag(tag::DoAction, block(start.append(loop).str("done").trace())).showFrame();
    w.showFrame();
    for (bool small : {false, true}) {
        MovieRun run(w.finish());
        if (small)
            run.player->setScriptBudget(1000, 60'000);
        run.frames(1);
        EXPECT_EQ(run.player->scriptsHalted(), small);
        EXPECT_EQ(run.out.lines.empty(), small);
    }
}

TEST(ScriptTree, ScriptMadeClipsOutliveTheTimelineUntilRemoved)
{
    SwfWriter w(8);
    // Frame 1 makes the clip the first time only.
    Asm make = Asm().num(3).str("made").callMethod(Asm().get("_root"), "createEmptyMovieClip", 2).a(op::Pop)
                   .str("once").boolean(true).a(op::SetVariable);
    Asm report = Asm().get("made").a(op::TypeOf).trace();
    w.tag(tag::DoAction, block(Asm().get("once").jump(op::If, int(make.bytes.size())).append(make).append(report)));
    w.showFrame();
    w.tag(tag::DoAction, block(report)).showFrame();
    MovieRun run(w.finish());
    run.frames(3);  // frame 1, frame 2, back to frame 1
    EXPECT_EQ(run.out.lines, (Lines{"movieclip", "movieclip", "movieclip"}));
}

TEST(ScriptTree, RemoveMovieClipTakesOnlyScriptDepths)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "placed"));
    w.tag(tag::DoAction,
          block(Asm().num(7).str("made").callMethod(Asm().get("_root"), "createEmptyMovieClip", 2).a(op::Pop)
                    .callMethod(Asm().get("made"), "getDepth", 0).trace()
                    .callMethod(Asm().get("made"), "removeMovieClip", 0).a(op::Pop)
                    .callMethod(Asm().get("placed"), "removeMovieClip", 0).a(op::Pop)
                    .get("made").a(op::TypeOf).trace()
                    .get("placed").a(op::TypeOf).trace()
                    .callMethod(Asm().get("_root"), "getNextHighestDepth", 0).trace()
                    .a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"7", "undefined", "movieclip", "0"}));
}

TEST(ScriptTree, PropertiesWriteTheDisplayObject)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid"));
    w.tag(tag::DoAction, block(Asm().str("kid._x").num(12.5).a(op::SetVariable)
                                   .str("kid._xscale").num(200).a(op::SetVariable)
                                   .str("kid._alpha").num(50).a(op::SetVariable)
                                   .str("kid._x").a(op::GetVariable).trace()
                                   .str("kid._xscale").a(op::GetVariable).trace()
                                   .str("kid").num(0).a(op::GetProperty).trace()
                                   .a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"12.5", "200", "12.5"}));
    const auto& list = run.player->root()->displayList();
    ASSERT_EQ(list.count(1), 1u);
    EXPECT_DOUBLE_EQ(list.at(1).placement.matrix.tx, 250);
    EXPECT_DOUBLE_EQ(list.at(1).placement.matrix.a, 2);
    EXPECT_DOUBLE_EQ(list.at(1).placement.colorTransform.aMult, 0.5);
}

TEST(ScriptTree, AttachMovieMakesAnExportedSprite)
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {traceBlock("attached frame")}));
    w.tag(tag::ExportAssets, kivamo::test::ByteWriter().u16(1).u16(5).cstring("Thing").data());
    w.tag(tag::DoAction, block(Asm().num(4).str("thing").str("Thing")
                                   .callMethod(Asm().get("_root"), "attachMovie", 3).a(op::Pop)
                                   .str("thing._name").a(op::GetVariable).trace()
                                   .a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"thing", "attached frame"}));
}

TEST(ScriptTree, GetInstanceAtDepthAnswersTheHolderForAShape)
{
    SwfWriter w(8);
    kivamo::test::ShapeBuilder shape(3, 3);
    shape.rectangle({0, 200, 0, 200}, shape.solidFill({255, 0, 0, 255}));
    w.tag(shape.tagCode(), shape.body());
    w.tag(tag::PlaceObject2, kivamo::test::ByteWriter().u8(0x02).u16(1).u16(3).data());
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(2, 5, "kid"));
    Asm script;
    for (double depth : {-16384.0, -16383.0, -16382.0, -16383.0 + 65536})
        script.num(depth).callMethod(Asm().get("this"), "getInstanceAtDepth", 1).trace();
    w.tag(tag::DoAction, block(script.a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    // Nothing at the lowest depth; the shape answers for the root; the sprite is itself; depths do not wrap at 16 bits.
    EXPECT_EQ(run.out.lines, (Lines{"undefined", "_level0", "_level0.kid", "undefined"}));
}

TEST(ScriptTree, ClipMethodsConvertTheNameBeforeTheDepth)
{
    SwfWriter w(8);
    Asm script;
    // n.toString and d.valueOf trace when they run.
    script.str("n").num(0).str("Object").a(op::NewObject).a(op::SetVariable);
    script.get("n").str("toString").function("", {}, Asm().str("name").trace().str("a").a(op::Return)).a(op::SetMember);
    script.str("d").num(0).str("Object").a(op::NewObject).a(op::SetVariable);
    script.get("d").str("valueOf").function("", {}, Asm().str("depth").trace().num(3).a(op::Return)).a(op::SetMember);
    script.get("d").get("n").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    script.get("d").get("n").callMethod(Asm().get("a"), "duplicateMovieClip", 2).a(op::Pop);
    script.callMethod(Asm().get("a"), "getDepth", 0).trace().a(op::Stop);
    w.tag(tag::DoAction, block(script));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    // The copy takes the original's name and depth, so it replaces it.
    EXPECT_EQ(run.out.lines, (Lines{"name", "depth", "name", "depth", "3"}));
}

TEST(ScriptTree, ScriptDepthsReachFarPast16Bits)
{
    SwfWriter w(8);
    Asm script;
    auto make = [&script](const char* name, double depth) {
        script.num(depth).str(name).callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    };
    auto depthOf = [&script](const char* name) { script.callMethod(Asm().get(name), "getDepth", 0).trace(); };
    make("top", 2130690044);
    make("over", 2130690045);
    depthOf("top");
    script.callMethod(Asm().get("this"), "getNextHighestDepth", 0).trace();
    script.get("over").a(op::TypeOf).trace();
    // swapDepths ignores undefined and depths out of range, and takes a path string for a sibling.
    script.undef().callMethod(Asm().get("top"), "swapDepths", 1).a(op::Pop);
    script.num(-16385).callMethod(Asm().get("top"), "swapDepths", 1).a(op::Pop);
    depthOf("top");
    make("low", 5);
    script.str("../top").callMethod(Asm().get("low"), "swapDepths", 1).a(op::Pop);
    depthOf("low");
    // Clips at the very top of the range stay when a script removes them.
    script.callMethod(Asm().get("low"), "removeMovieClip", 0).a(op::Pop);
    script.get("low").a(op::TypeOf).trace();
    script.callMethod(Asm().get("top"), "removeMovieClip", 0).a(op::Pop);
    script.get("top").a(op::TypeOf).trace().a(op::Stop);
    w.tag(tag::DoAction, block(script));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"2130690044", "2130690045", "undefined", "2130690044", "2130690044",
                                    "movieclip", "undefined"}));
}

}  // namespace
