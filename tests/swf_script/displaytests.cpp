// Display features scripts reach: flash.geom.Transform, BitmapData with attachBitmap, hitTest with the shape
// flag, opaqueBackground, and intervals that run as the clock moves.
#include "scriptmovie.h"

#include "swf/limits.h"
#include "swf/render/commands.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// new flash.<package>.<name>(args…)
Asm construct(const std::string& package, const std::string& name, const std::vector<double>& args)
{
    Asm a;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        a.num(*it);
    return a.num(double(args.size())).get("flash").str(package).a(op::GetMember).str(name).a(op::NewMethod);
}

Asm setVariable(const std::string& name, const Asm& value)
{
    return Asm().str(name).append(value).a(op::SetVariable);
}

Asm setMember(const std::string& object, const std::string& member, const Asm& value)
{
    return Asm().get(object).str(member).append(value).a(op::SetMember);
}

Asm member(const std::string& object, const std::string& path)
{
    Asm a = Asm().get(object);
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t dot = path.find('.', start);
        a.str(path.substr(start, dot - start)).a(op::GetMember);
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return a;
}

Asm callOn(const std::string& object, const std::string& name, const std::vector<double>& args)
{
    Asm a;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        a.num(*it);
    return a.callMethod(Asm().get(object), name, int(args.size()));
}

Lines runScript(const Asm& script)
{
    SwfWriter w(8);
    w.tag(tag::DoAction, block(Asm(script).a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    return run.out.lines;
}

std::string signedPixel(std::uint32_t argb)
{
    return std::to_string(std::int32_t(argb));
}

TEST(DisplayScripts, BitmapPixelsReadBackRoundedAsFlashStoresThem)
{
    struct Case {
        bool transparent;
        std::uint32_t fill, readBack;
    };
    // Transparent bitmaps keep colours premultiplied: partial alpha loses precision, zero alpha loses the colour.
    const Case cases[] = {{true, 0xAABBCCDD, 0xAABBCCDC}, {true, 0x98765432, 0x98755432}, {true, 0x0000000A, 0},
                          {true, 0xFFFFFFFE, 0xFFFFFFFE}, {false, 0x12345678, 0xFF345678}};
    for (const Case& c : cases) {
        Asm script = setVariable("b", Asm()
                                          .num(double(c.fill))
                                          .boolean(c.transparent)
                                          .num(2)
                                          .num(2)
                                          .num(4)
                                          .get("flash")
                                          .str("display")
                                          .a(op::GetMember)
                                          .str("BitmapData")
                                          .a(op::NewMethod));
        script.append(callOn("b", "getPixel32", {1, 1}).trace());
        EXPECT_EQ(runScript(script), (Lines{signedPixel(c.readBack)})) << std::hex << c.fill;
    }
}

TEST(DisplayScripts, FillRectFillsThePartInsideTheBitmapAndRefusesIncompleteRectangles)
{
    struct Case {
        Asm rectangle;
        Lines out;  // fillRect's answer, then the pixels at (0, 0) and (3, 3)
    };
    auto rect = [](double x, double y, double w, double h) { return construct("geom", "Rectangle", {x, y, w, h}); };
    const Case cases[] = {
        {rect(0, 0, 2, 2), {"0", "255", "0"}},
        {rect(-5, -5, 6, 6), {"0", "255", "0"}},
        {rect(2, 2, 10, 10), {"0", "0", "255"}},
        {rect(3, 3, -2, -2), {"0", "0", "0"}},
        {Asm().str("x").num(0).str("y").num(0).str("width").num(4).num(3).a(op::InitObject), {"-1", "0", "0"}},
        {Asm().null(), {"-1", "0", "0"}},
    };
    for (const Case& c : cases) {
        Asm script = setVariable("b", construct("display", "BitmapData", {4, 4, 0, 0}));
        script.num(255).append(c.rectangle).callMethod(Asm().get("b"), "fillRect", 2).trace();
        script.append(callOn("b", "getPixel", {0, 0}).trace()).append(callOn("b", "getPixel", {3, 3}).trace());
        EXPECT_EQ(runScript(script), c.out);
    }
    // A disposed bitmap has no size and refuses every change.
    Asm disposed = setVariable("b", construct("display", "BitmapData", {4, 4})).append(callOn("b", "dispose", {}).a(op::Pop));
    disposed.append(member("b", "width").trace());
    disposed.num(1).append(construct("geom", "Rectangle", {0, 0, 1, 1})).callMethod(Asm().get("b"), "fillRect", 2).trace();
    EXPECT_EQ(runScript(disposed), (Lines{"-1", "-1"}));
}

TEST(DisplayScripts, AnAttachedBitmapShowsLaterChangesToItsPixels)
{
    SwfWriter w(8);
    Asm script = setVariable("b", construct("display", "BitmapData", {3, 2, 0, 0x00FF00}));
    script.num(1).get("b").callMethod(Asm().get("this"), "attachBitmap", 2).a(op::Pop);
    w.tag(tag::DoAction, block(script)).showFrame();
    w.tag(tag::DoAction, block(Asm().num(0xFF).append(construct("geom", "Rectangle", {0, 0, 1, 1}))
                                   .callMethod(Asm().get("b"), "fillRect", 2).a(op::Pop)))
        .showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    auto firstPixel = [&run]() -> std::uint32_t {
        swf::GeometryCache cache;
        swf::CommandList list;
        swf::buildCommands(*run.player->root(), *run.player->movie(), cache, list);
        for (const auto& c : list.commands)
            if (c.kind == swf::DrawCommand::Kind::Bitmap && c.bitmap && c.bitmap->width == 3)
                return c.bitmap->pixels[0];
        return 0;
    };
    EXPECT_EQ(firstPixel(), 0xFF00FF00u);
    run.player->advance();
    EXPECT_EQ(firstPixel(), 0xFF0000FFu);
}

TEST(DisplayScripts, TransformsReadAndWriteTheClipAndCombineItsParents)
{
    Asm script = Asm().num(1).str("a").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    script.num(1).str("b").callMethod(Asm().get("a"), "createEmptyMovieClip", 2).a(op::Pop);
    script.append(setMember("_root", "_x", Asm().num(3)))
        .append(setMember("a", "_x", Asm().num(10)))
        .append(setMember("a", "_xscale", Asm().num(200)))
        .append(setVariable("t", member("a", "b.transform")));
    script.append(setMember("t", "matrix", construct("geom", "Matrix", {1, 0, 0, 1, 7, 8})));
    script.append(member("t", "concatenatedMatrix").trace());
    // Offsets of the combined colour transform wrap at 16 bits, as Flash keeps them.
    script.append(Asm().get("a").str("transform").a(op::GetMember).str("colorTransform")
                      .append(construct("geom", "ColorTransform", {1, 1, 127, 1, 0, 0, 1000, 0})).a(op::SetMember));
    script.append(setMember("t", "colorTransform", construct("geom", "ColorTransform", {1, 1, 1, 1, 0, 0, 255, 0})));
    script.append(member("t", "concatenatedColorTransform.blueOffset").trace());
    // Values that are no Matrix leave the clip where it is.
    script.append(setMember("t", "matrix", Asm().num(0).a(op::InitObject)));
    script.append(member("t", "matrix").trace());
    script.append(Asm().num(0).get("flash").str("geom").a(op::GetMember).str("Transform").a(op::NewMethod).a(op::TypeOf).trace());
    EXPECT_EQ(runScript(script), (Lines{"(a=2, b=0, c=0, d=1, tx=27, ty=8)", "-32151", "(a=1, b=0, c=0, d=1, tx=7, ty=8)",
                                        "undefined"}));
}

TEST(DisplayScripts, HitTestWithTheShapeFlagFindsTheHoleInARing)
{
    SwfWriter w(8);
    kivamo::test::ShapeBuilder ring(1, 3);
    const int fill = ring.solidFill({0, 0, 255, 255});
    ring.rectangle({0, 2000, 0, 2000}, fill).rectangle({500, 1500, 500, 1500}, fill);  // even-odd: a hole
    w.tag(ring.tagCode(), ring.body());
    w.tag(tag::DefineSprite, kivamo::test::spriteBody(2, 1, {{tag::PlaceObject2, kivamo::test::ByteWriter().u8(0x02).u16(1).u16(1).data()},
                                                            {tag::ShowFrame, {}}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 2, "ring"));
    struct Case {
        double x, y;
        bool shapeFlag;
        const char* hit;
    };
    // Points are in the root's space: moving the root moves them with the ring.
    const Case cases[] = {{10, 10, true, "true"}, {50, 50, true, "false"}, {50, 50, false, "true"},
                          {99, 99, true, "true"}, {101, 50, true, "false"}, {std::nan(""), 1, true, "false"}};
    Asm script = setMember("_root", "_x", Asm().num(40));
    Lines expected;
    for (const Case& c : cases) {
        script.boolean(c.shapeFlag).num(c.y).num(c.x).callMethod(Asm().get("ring"), "hitTest", 3).trace();
        expected.push_back(c.hit);
    }
    w.tag(tag::DoAction, block(script.a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, expected);
}

TEST(DisplayScripts, AHairlineIsHitWithinHalfAStagePixelHoweverTheClipIsScaled)
{
    // A hairline from (0, 0) to (100, 0) in a clip scaled eight times: half a stage pixel is a sixteenth of a
    // pixel in the clip.
    SwfWriter w(8);
    Asm script = Asm().num(1).str("a").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    script.append(callOn("a", "lineStyle", {0}).a(op::Pop))
        .append(callOn("a", "lineTo", {100, 0}).a(op::Pop))
        .append(setMember("a", "_xscale", Asm().num(800)))
        .append(setMember("a", "_yscale", Asm().num(800)));
    for (double y : {0.4, 3.0, -3.0})
        script.boolean(true).num(y).num(400).callMethod(Asm().get("a"), "hitTest", 3).trace();
    w.tag(tag::DoAction, block(script.a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"true", "false", "false"}));
}

TEST(DisplayScripts, OpaqueBackgroundPaintsTheClipsBoundsBehindIt)
{
    SwfWriter w(8);
    Asm script = Asm().num(1).str("a").callMethod(Asm().get("this"), "createEmptyMovieClip", 2).a(op::Pop);
    script.append(callOn("a", "beginFill", {0xFF}).a(op::Pop))
        .append(callOn("a", "moveTo", {10, 10}).a(op::Pop))
        .append(callOn("a", "lineTo", {30, 10}).a(op::Pop))
        .append(callOn("a", "lineTo", {30, 20}).a(op::Pop))
        .append(setMember("a", "opaqueBackground", Asm().num(0x00FF00)))
        .append(member("a", "opaqueBackground").trace());
    w.tag(tag::DoAction, block(script.a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"65280"}));
    swf::GeometryCache cache;
    swf::CommandList list;
    swf::buildCommands(*run.player->root(), *run.player->movie(), cache, list);
    ASSERT_EQ(list.commands.size(), 2u);
    const auto& back = *list.commands[0].geometry;
    EXPECT_EQ(back.layers.at(0).fills.at(0).style.colour.g, 255);
    EXPECT_EQ(back.bounds.xMin, 200);
    EXPECT_EQ(back.bounds.yMax, 400);
}

TEST(DisplayScripts, ShortIntervalsCatchUpWithinOneTickUpToTheLimit)
{
    // count = 0; setInterval(function () { trace(count++); if (count == stopAt) clearInterval(id); }, interval)
    auto movie = [](double interval, double stopAt) {
        Asm clear = Asm().get("id").num(1).str("clearInterval").a(op::CallFunction).a(op::Pop);
        Asm body = Asm().get("count").trace().str("count").get("count").a(op::Increment).a(op::SetVariable);
        body.get("count").num(stopAt).a(op::Equals2).a(op::Not).jump(op::If, int(clear.bytes.size())).append(clear);
        Asm script = setVariable("count", Asm().num(0));
        script.str("id").num(interval).function("", {}, body).num(2).str("setInterval").a(op::CallFunction).a(op::SetVariable);
        SwfWriter w(8);
        w.tag(tag::DoAction, block(script.a(op::Stop))).showFrame();
        return w.finish();
    };
    struct Case {
        double interval, stopAt;
        std::size_t fired;
    };
    const Case cases[] = {{1, 4, 4}, {40, 100, 2}, {1, 1000, std::size_t(swf::limits::kAvm1MaxTimerRounds)}, {150, 100, 0}};
    for (const Case& c : cases) {
        MovieRun run(movie(c.interval, c.stopAt));
        run.frames(1);
        run.player->tick(100);
        EXPECT_EQ(run.out.lines.size(), c.fired) << c.interval;
    }
}

}  // namespace
