// The drawing API, setMask and the Color class: what scripts draw becomes shapes below a clip's children,
// a script mask clips in the command list, and colour changes reach the clip's transform.
#include "scriptmovie.h"

#include "swf/drawingapi.h"
#include "swf/render/commands.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// mc.name(args…), the arguments given in order.
Asm call(const std::string& clip, const std::string& name, const std::vector<double>& args)
{
    Asm a;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        a.num(*it);
    return a.callMethod(Asm().get(clip), name, int(args.size())).a(op::Pop);
}

Asm makeClip(const std::string& name, int depth)
{
    return Asm().num(depth).str(name).callMethod(Asm().get("_root"), "createEmptyMovieClip", 2).a(op::Pop);
}

Asm traceProperty(const std::string& clip, const std::string& property)
{
    return Asm().get(clip).str(property).a(op::GetMember).trace();
}

std::vector<swf::DrawCommand::Kind> commandKinds(swf::Player& player)
{
    swf::GeometryCache cache;
    swf::CommandList list;
    swf::buildCommands(*player.root(), *player.movie(), cache, list);
    std::vector<swf::DrawCommand::Kind> kinds;
    for (const auto& c : list.commands)
        kinds.push_back(c.kind);
    return kinds;
}

swf::FillStyle solid(std::uint8_t r)
{
    swf::FillStyle f;
    f.colour = {r, 0, 0, 255};
    return f;
}

TEST(Drawing, FillsCloseThemselvesAndKeepTheirOrderWithTheirLines)
{
    swf::Drawing d;
    swf::LineStyle line;
    line.width = 40;
    d.lineStyle(line);
    d.beginFill(solid(1));
    d.moveTo(0, 0);
    d.lineTo(100, 0);
    d.lineTo(100, 100);  // left open: the next fill closes it with a stroked edge
    d.beginFill(solid(2));
    d.lineTo(200, 200);
    d.lineTo(0, 200);
    d.endFill();
    auto g = d.geometry();
    ASSERT_TRUE(g);
    ASSERT_EQ(g->layers.size(), 2u);
    ASSERT_EQ(g->layers[0].fills.size(), 1u);
    EXPECT_EQ(g->layers[0].fills[0].style.colour.r, 1);
    EXPECT_EQ(g->layers[1].fills[0].style.colour.r, 2);
    ASSERT_EQ(g->layers[0].strokes.size(), 1u);
    auto shape = d.shape();
    long lines = std::count_if(shape->records.begin(), shape->records.end(),
                               [](const swf::ShapeRecord& r) { return r.kind == swf::ShapeRecord::Kind::Line; });
    EXPECT_EQ(lines, 3 + 3 + 3 + 3);  // each fill's three edges, then the same three stroked
    // The bounds take in half the line width.
    EXPECT_EQ(shape->bounds.xMin, -20);
    EXPECT_EQ(shape->bounds.yMax, 220);
}

TEST(Drawing, AFillLeftOpenIsShownClosedWithItsClosingEdgeStroked)
{
    swf::Drawing d;
    swf::LineStyle line;
    line.width = 20;
    d.beginFill(solid(3));
    d.lineStyle(line);
    d.moveTo(0, 0);
    d.lineTo(100, 0);
    d.lineTo(100, 100);
    auto strokes = [](const swf::Shape& s) {
        int lines = 0, current = 0;
        for (const auto& r : s.records) {
            if (r.kind == swf::ShapeRecord::Kind::Style)
                current = r.line;
            else
                lines += current > 0;
        }
        return lines;
    };
    EXPECT_EQ(strokes(*d.shape()), 3);
    // Drawing goes on from the open fill's pen, not from the closed outline.
    d.lineTo(0, 100);
    EXPECT_EQ(strokes(*d.shape()), 4);
}

TEST(Drawing, AMoveInsideAFillClosesTheOutlineDrawnSoFar)
{
    // A fill begun where an earlier move left the pen, a move inside it, and a second fill begun after that move.
    swf::Drawing d;
    swf::LineStyle line;
    line.width = 20;
    d.lineStyle(line);
    d.moveTo(300, -50);
    d.beginFill(solid(4));
    d.lineTo(300, -150);
    d.lineTo(400, -150);
    d.moveTo(400, 150);
    d.beginFill(solid(5));
    d.lineTo(400, 50);
    d.lineTo(500, 50);
    // The stroked edges as (from, to) pairs, in the order drawn.
    std::vector<std::pair<std::pair<double, double>, std::pair<double, double>>> edges;
    double x = 0, y = 0;
    int current = 0;
    for (const auto& r : d.shape()->records) {
        if (r.kind == swf::ShapeRecord::Kind::Style && r.line >= 0)
            current = r.line;
        if (r.kind != swf::ShapeRecord::Kind::Style && current > 0)
            edges.push_back({{x, y}, {r.x, r.y}});
        if (r.kind != swf::ShapeRecord::Kind::Style || r.hasMove)
            x = r.x, y = r.y;
    }
    using Edge = std::pair<std::pair<double, double>, std::pair<double, double>>;
    // The move closes the first outline from its last point; the second fill starts at the moved pen.
    EXPECT_EQ(edges, (std::vector<Edge>{{{300, -50}, {300, -150}}, {{300, -150}, {400, -150}},
                                        {{400, -150}, {300, -50}}, {{400, 150}, {400, 50}}, {{400, 50}, {500, 50}},
                                        {{500, 50}, {400, 150}}}));
}

TEST(Drawing, GeometryIsKeptUntilTheDrawingChangesAndClearEmptiesIt)
{
    swf::Drawing d;
    d.lineTo(50, 50);  // no fill and no line: only the pen moves
    EXPECT_TRUE(d.empty());
    EXPECT_FALSE(d.geometry());
    d.beginFill(solid(9));
    d.lineTo(100, 50);
    d.lineTo(100, 100);
    auto first = d.geometry();
    EXPECT_EQ(d.geometry(), first);
    d.curveTo(50, 120, 50, 50);
    auto second = d.geometry();
    EXPECT_NE(second, first);
    // The fill began where the pen stood.
    EXPECT_EQ(d.shape()->records.front().x, 50);
    d.clear();
    EXPECT_TRUE(d.empty());
    EXPECT_FALSE(d.geometry());
}

TEST(Drawing, BoundsOfFarAwayOrUndefinedPointsStopAtWholeTwips)
{
    swf::Drawing d;
    d.beginFill(solid(3));
    d.lineTo(-1.1e10, 5);
    d.lineTo(3e12, 4e15);
    d.lineTo(std::nan(""), 10);
    const auto shape = d.shape();
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->bounds.xMin, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(shape->bounds.xMax, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(shape->bounds.yMin, 0);
    EXPECT_EQ(shape->bounds.yMax, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(d.geometry());
}

TEST(Drawing, ScriptsDrawWithBoundsAndClearRemovesTheShape)
{
    SwfWriter w(8);
    Asm code = makeClip("mc", 1)
                   .append(call("mc", "beginFill", {0xFF0000, 100}))
                   .append(call("mc", "moveTo", {10, 10}))
                   .append(call("mc", "lineTo", {50, 10}))
                   .append(call("mc", "lineTo", {50, 40}))
                   .append(call("mc", "endFill", {}))
                   .append(traceProperty("mc", "_width"))
                   .append(traceProperty("mc", "_height"));
    w.tag(tag::DoAction, block(code)).showFrame();
    w.tag(tag::DoAction, block(call("mc", "clear", {}).append(traceProperty("mc", "_width")))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"40", "30"}));
    swf::Clip* mc = run.player->root()->childNamed("mc");
    ASSERT_TRUE(mc && mc->drawing());
    auto kinds = commandKinds(*run.player);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), swf::DrawCommand::Kind::Shape), 1);
    run.player->advance();
    EXPECT_EQ(run.out.lines.back(), "0");
    EXPECT_TRUE(commandKinds(*run.player).empty());
}

TEST(Drawing, DuplicatesTakeACopyOfTheDrawing)
{
    SwfWriter w(8);
    Asm code = makeClip("mc", 1)
                   .append(call("mc", "beginFill", {0xFF}))
                   .append(call("mc", "lineTo", {20, 0}))
                   .append(call("mc", "lineTo", {20, 10}))
                   .append(Asm().num(2).str("copy").callMethod(Asm().get("mc"), "duplicateMovieClip", 2).a(op::Pop))
                   .append(call("mc", "clear", {}))
                   .append(traceProperty("copy", "_width"))
                   .append(traceProperty("mc", "_width"));
    w.tag(tag::DoAction, block(code)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"20", "0"}));
}

TEST(Drawing, SetMaskClipsTheClipAndHidesTheMaskUntilRemoved)
{
    using Kind = swf::DrawCommand::Kind;
    SwfWriter w(8);
    Asm code = makeClip("a", 1).append(makeClip("m", 2));
    for (const char* clip : {"a", "m"})
        code.append(call(clip, "beginFill", {0})).append(call(clip, "lineTo", {10, 0})).append(call(clip, "lineTo", {10, 10}));
    code.append(Asm().get("m").callMethod(Asm().get("a"), "setMask", 1).a(op::Pop));
    w.tag(tag::DoAction, block(code)).showFrame();
    w.tag(tag::DoAction, block(Asm().null().callMethod(Asm().get("a"), "setMask", 1).a(op::Pop))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(commandKinds(*run.player),
              (std::vector<Kind>{Kind::BeginMask, Kind::Shape, Kind::EndMask, Kind::Shape, Kind::PopMask}));
    run.player->advance();
    EXPECT_EQ(commandKinds(*run.player), (std::vector<Kind>{Kind::Shape, Kind::Shape}));
}

TEST(Drawing, RemovingTheMaskClipLeavesTheMaskedClipWhole)
{
    auto owner = std::make_shared<int>(0);
    auto parent = std::make_unique<swf::Clip>(owner, nullptr, nullptr);
    auto a = std::make_unique<swf::Clip>(owner, nullptr, parent.get());
    {
        auto mask = std::make_unique<swf::Clip>(owner, nullptr, parent.get());
        a->setMaskClip(mask.get());
        EXPECT_EQ(mask->maskedClip(), a.get());
        auto other = std::make_unique<swf::Clip>(owner, nullptr, parent.get());
        other->setMaskClip(mask.get());  // a mask serves one clip: the first loses it
        EXPECT_EQ(a->maskClip(), nullptr);
        EXPECT_EQ(other->maskClip(), mask.get());
        a->setMaskClip(mask.get());
        EXPECT_EQ(other->maskClip(), nullptr);
    }
    EXPECT_EQ(a->maskClip(), nullptr);
    a->setMaskClip(a.get());  // a clip cannot mask itself
    EXPECT_EQ(a->maskClip(), nullptr);
}

TEST(Drawing, AFieldMaskGoesWithEitherSideAndGivesWayToAClipMask)
{
    auto owner = std::make_shared<int>(0);
    auto parent = std::make_unique<swf::Clip>(owner, nullptr, nullptr);
    auto a = std::make_unique<swf::Clip>(owner, nullptr, parent.get());
    auto b = std::make_unique<swf::Clip>(owner, nullptr, parent.get());
    auto definition = std::make_shared<swf::EditText>();
    {
        swf::EditTextField field(definition);
        a->setMaskField(&field, parent.get());
        EXPECT_EQ(field.maskedClip(), a.get());
        EXPECT_EQ(a->maskFieldHolder(), parent.get());
        auto mask = std::make_unique<swf::Clip>(owner, nullptr, parent.get());
        a->setMaskClip(mask.get());  // one mask at a time: the clip replaces the field
        EXPECT_EQ(a->maskField(), nullptr);
        EXPECT_EQ(field.maskedClip(), nullptr);
        a->setMaskField(&field, parent.get());  // and the field the clip
        EXPECT_EQ(a->maskClip(), nullptr);
        EXPECT_EQ(mask->maskedClip(), nullptr);
        b->setMaskField(&field, parent.get());  // a field masks one clip: the first loses it
        EXPECT_EQ(a->maskField(), nullptr);
        EXPECT_EQ(b->maskField(), &field);
    }
    EXPECT_EQ(b->maskField(), nullptr);
    EXPECT_EQ(b->maskFieldHolder(), nullptr);
    swf::EditTextField field(definition);
    {
        auto masked = std::make_unique<swf::Clip>(owner, nullptr, parent.get());
        masked->setMaskField(&field, parent.get());
    }
    EXPECT_EQ(field.maskedClip(), nullptr);
}

Asm array(const std::vector<double>& values)
{
    Asm a;
    for (auto it = values.rbegin(); it != values.rend(); ++it)
        a.num(*it);
    return a.num(double(values.size())).a(op::InitArray);
}

// clip.beginGradientFill(type, [0xFF0000, 0xFF], [100, 100], ratios, {matrixType: "box", …}, "reflect", "RGB", 0.5)
Asm gradientCall(const std::string& clip, const std::string& type, const std::vector<double>& ratios,
                 double focal = 0.5)
{
    Asm box = Asm().str("matrixType").str("box").str("x").num(0).str("y").num(0).str("w").num(100).str("h").num(50)
                  .str("r").num(0).num(6).a(op::InitObject);
    Asm a = Asm().num(focal).str("RGB").str("reflect").append(box).append(array(ratios)).append(array({100, 100}))
                .append(array({0xFF0000, 0xFF})).str(type);
    return a.callMethod(Asm().get(clip), "beginGradientFill", 8).a(op::Pop);
}

TEST(Drawing, GradientFillsTakeTheBoxMatrixAndIgnoreArgumentsThatMakeNoGradient)
{
    SwfWriter w(8);
    Asm code = makeClip("good", 1).append(makeClip("bad", 2));
    code.append(gradientCall("good", "radial", {0, 255}));
    // Neither an unknown type nor a ratio past 255 replaces the solid fill.
    code.append(call("bad", "beginFill", {0x00FF00}))
        .append(gradientCall("bad", "LINEAR", {0, 255}))
        .append(gradientCall("bad", "linear", {0, 256}));
    for (const char* clip : {"good", "bad"})
        code.append(call(clip, "lineTo", {10, 0})).append(call(clip, "lineTo", {10, 10}));
    w.tag(tag::DoAction, block(code)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    auto fillOf = [&](const char* name) {
        auto* d = static_cast<swf::Drawing*>(run.player->root()->childNamed(name)->drawing());
        return d->shape()->styleTables.at(1).fills.at(0);
    };
    swf::FillStyle good = fillOf("good");
    EXPECT_EQ(good.kind, swf::FillKind::FocalGradient);
    EXPECT_EQ(good.gradient.spread, swf::SpreadMode::Reflect);
    EXPECT_DOUBLE_EQ(good.gradient.focalPoint, 0.5);
    ASSERT_EQ(good.gradient.stops.size(), 2u);
    EXPECT_EQ(good.gradient.stops[0].colour.r, 0xFF);
    EXPECT_EQ(good.gradient.stops[1].ratio, 255);
    // The gradient square spans the box: 100 by 50 pixels, centred on it.
    EXPECT_NEAR(good.matrix.a * 32768, 100 * 20, 1e-6);
    EXPECT_NEAR(good.matrix.d * 32768, 50 * 20, 1e-6);
    EXPECT_DOUBLE_EQ(good.matrix.tx, 50 * 20);
    EXPECT_DOUBLE_EQ(good.matrix.ty, 25 * 20);
    swf::FillStyle bad = fillOf("bad");
    EXPECT_EQ(bad.kind, swf::FillKind::Solid);
    EXPECT_EQ(bad.colour.g, 0xFF);
}

TEST(Drawing, GradientMatricesKeepSixteenBitFractionsCutTowardZero)
{
    // A 200 px box turned by 45 degrees: cos and sin times 200 / 1638.4 is 5656.85 / 65536, kept as
    // 5656 / 65536 (and -5656 for the negative entry), not rounded to 5657.
    SwfWriter w(8);
    Asm box = Asm().str("matrixType").str("box").str("x").num(0).str("y").num(0).str("w").num(200).str("h")
                  .num(200).str("r").num(M_PI / 4).num(6).a(op::InitObject);
    Asm fill = Asm().append(box).append(array({0, 255})).append(array({100, 100})).append(array({0xFF0000, 0xFF}))
                   .str("linear");
    Asm code = makeClip("turned", 1).append(fill.callMethod(Asm().get("turned"), "beginGradientFill", 5).a(op::Pop));
    code.append(call("turned", "lineTo", {10, 0})).append(call("turned", "lineTo", {10, 10}));
    w.tag(tag::DoAction, block(code)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    auto* d = static_cast<swf::Drawing*>(run.player->root()->childNamed("turned")->drawing());
    const swf::Matrix& m = d->shape()->styleTables.at(1).fills.at(0).matrix;
    EXPECT_DOUBLE_EQ(m.a * 65536, 5656);
    EXPECT_DOUBLE_EQ(m.b * 65536, 5656);
    EXPECT_DOUBLE_EQ(m.c * 65536, -5656);
    EXPECT_DOUBLE_EQ(m.d * 65536, 5656);
    EXPECT_DOUBLE_EQ(m.tx, 100 * 20);  // the box's centre stays on its twip
}

TEST(Drawing, FocalPointsKeepWhole256thsCutTowardZero)
{
    // A focal point is kept in steps of 1/256 as in a shape's gradient record: 0.9 is 230.4 steps,
    // kept as 230 either way round; beyond the rim it is held at 1.
    SwfWriter w(8);
    const std::vector<std::pair<const char*, double>> focals = {{"a", 0.9}, {"b", -0.9}, {"c", 0.5}, {"d", 7}};
    Asm code;
    int depth = 1;
    for (const auto& [name, focal] : focals) {
        code.append(makeClip(name, depth++)).append(gradientCall(name, "radial", {0, 255}, focal));
        code.append(call(name, "lineTo", {10, 0})).append(call(name, "lineTo", {10, 10}));
    }
    w.tag(tag::DoAction, block(code)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    auto focalOf = [&](const char* name) {
        auto* d = static_cast<swf::Drawing*>(run.player->root()->childNamed(name)->drawing());
        return d->shape()->styleTables.at(1).fills.at(0).gradient.focalPoint;
    };
    EXPECT_DOUBLE_EQ(focalOf("a"), 230 / 256.0);
    EXPECT_DOUBLE_EQ(focalOf("b"), -230 / 256.0);
    EXPECT_DOUBLE_EQ(focalOf("c"), 0.5);
    EXPECT_DOUBLE_EQ(focalOf("d"), 1.0);
}

TEST(ColorClass, SetRgbAndSetTransformChangeTheClipsColourTransform)
{
    SwfWriter w(8);
    // c = new Color(mc); c.setRGB(0x336699); trace(c.getRGB()); c.setTransform({ra: 50, ab: -20}); …
    Asm code = makeClip("mc", 1)
                   .append(Asm().get("mc").num(1).str("Color").a(op::NewObject).store(1).a(op::Pop))
                   .append(Asm().num(0x336699).callMethod(Asm().reg(1), "setRGB", 1).a(op::Pop))
                   .append(Asm().callMethod(Asm().reg(1), "getRGB", 0).trace())
                   .append(Asm().str("ra").num(50).str("ab").num(-20).num(2).a(op::InitObject)
                               .callMethod(Asm().reg(1), "setTransform", 1).a(op::Pop))
                   .append(Asm().callMethod(Asm().reg(1), "getTransform", 0).str("ra").a(op::GetMember).trace())
                   .append(Asm().callMethod(Asm().reg(1), "getRGB", 0).trace());
    w.tag(tag::DoAction, block(code)).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{std::to_string(0x336699), "50", std::to_string(0x336699)}));
    swf::Clip* mc = run.player->root()->childNamed("mc");
    ASSERT_TRUE(mc);
    const swf::ColorTransform& ct = mc->holder()->placement.colorTransform;
    EXPECT_DOUBLE_EQ(ct.rMult, 0.5);
    EXPECT_DOUBLE_EQ(ct.gMult, 0);
    EXPECT_DOUBLE_EQ(ct.aAdd, -20);
    EXPECT_DOUBLE_EQ(ct.bAdd, 0x99);
}

}  // namespace
