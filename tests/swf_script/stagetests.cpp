// The Stage object: scale mode and alignment set by script steer the view, its size follows the target
// when it does not scale, and onResize reaches its listeners only then.
#include "scriptmovie.h"

#include "swf/render/view.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// Keeps the placement of the last frame drawn; nothing is painted.
struct FrameCatcher : swf::RenderBackend {
    void drawFrame(const swf::RenderFrame& frame) override { last = frame; }
    swf::RenderFrame last;
};

Asm setStage(const std::string& name, const std::string& value)
{
    return Asm().get("Stage").str(name).str(value).a(op::SetMember);
}

Asm traceStage(const std::string& name)
{
    return Asm().get("Stage").str(name).a(op::GetMember).trace();
}

swf::View viewOf(int width, int height)
{
    swf::View v;
    v.width = width;
    v.height = height;
    return v;
}

// A 200 × 100-pixel movie whose first frame runs first and whose second frame runs second, then stops.
Bytes stageMovie(const Asm& first, const Asm& second)
{
    SwfWriter w(8, {0, 4000, 0, 2000});
    w.tag(tag::DoAction, block(first)).showFrame();
    w.tag(tag::DoAction, block(Asm(second).a(op::Stop))).showFrame();
    return w.finish();
}

TEST(ScriptStage, ScaleModeAndAlignSteerTheView)
{
    Asm first = traceStage("scaleMode");
    first.append(setStage("scaleMode", "NOSCALE")).append(traceStage("scaleMode"));
    first.append(setStage("scaleMode", "sideways")).append(traceStage("scaleMode"));  // not a mode: ignored
    first.append(setStage("align", "rb")).append(traceStage("align"));
    first.append(traceStage("width")).append(traceStage("height"));
    Asm second = traceStage("width");
    second.append(traceStage("height"));
    MovieRun run(stageMovie(first, second));
    run.frames(1);
    FrameCatcher target;
    run.player->render(target, viewOf(400, 300));
    run.player->advance();
    EXPECT_EQ(run.out.lines, (Lines{"showAll", "noScale", "noScale", "BR", "200", "100", "400", "300"}));
    // Not scaled, in the bottom right corner of the larger target.
    EXPECT_DOUBLE_EQ(target.last.stageToPixels.a, 1.0 / 20);
    EXPECT_DOUBLE_EQ(target.last.stageToPixels.tx, 200);
    EXPECT_DOUBLE_EQ(target.last.stageToPixels.ty, 200);
}

TEST(ScriptStage, AlignmentPlacesALetterboxedStage)
{
    const struct {
        const char* align;
        const char* readBack;
        double tx, ty;
    } cases[] = {
        {"", "", 100, 0},     // centred across, filling the height
        {"L", "L", 0, 0},
        {"tr", "TR", 200, 0},
        {"LRTB", "TL", 0, 0},  // both sides of an axis keep the first
        {"xyz", "", 100, 0},
    };
    for (const auto& c : cases) {
        Asm first = setStage("align", c.align);
        first.append(traceStage("align"));
        MovieRun run(stageMovie(first, Asm()));
        run.frames(1);
        FrameCatcher target;
        run.player->render(target, viewOf(600, 200));  // shown at twice the size, 200 pixels to spare across
        ASSERT_EQ(run.out.lines, Lines{c.readBack}) << c.align;
        EXPECT_DOUBLE_EQ(target.last.stageToPixels.a, 2.0 / 20) << c.align;
        EXPECT_DOUBLE_EQ(target.last.stageToPixels.tx, c.tx) << c.align;
        EXPECT_DOUBLE_EQ(target.last.stageToPixels.ty, c.ty) << c.align;
    }
}

TEST(ScriptStage, OnResizeOnlyForAStageThatDoesNotScale)
{
    // listener.onResize = function () { trace("resized " + Stage.width + "x" + Stage.height); }
    Asm onResize = Asm().str("resized ").get("Stage").str("width").a(op::GetMember).a(op::Add2)
                       .str("x").a(op::Add2).get("Stage").str("height").a(op::GetMember).a(op::Add2).trace();
    Asm listen = Asm().str("listener").num(0).a(op::InitObject).a(op::SetVariable)
                     .get("listener").str("onResize").function("", {}, onResize).a(op::SetMember)
                     .get("listener").callMethod(Asm().get("Stage"), "addListener", 1).a(op::Pop);
    for (bool noScale : {false, true}) {
        Asm first = listen;
        if (noScale)
            first.append(setStage("scaleMode", "noScale"));
        MovieRun run(stageMovie(first, Asm()));
        run.frames(1);
        FrameCatcher target;
        run.player->render(target, viewOf(400, 300));  // the first size is no change
        run.player->render(target, viewOf(400, 300));
        run.player->render(target, viewOf(500, 320));
        EXPECT_EQ(run.out.lines, noScale ? Lines{"resized 500x320"} : Lines{}) << noScale;
    }
}

}  // namespace
