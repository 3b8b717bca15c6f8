// Pixels of rendered frames: fills, winding, gradients, strokes, transforms, colour transforms, masks,
// morphs, text, scale modes and the background.
#include "helpers.h"

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kDefineMorphShape = 46, kDefineFont = 10, kDefineText = 11;

const QColor kWhite(255, 255, 255), kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 255, 0);

// One frame with a 50x50 pixel red square at (20, 20) on a 100x100 white stage.
Bytes squareMovie(const Placement& placement)
{
    SwfWriter w = smallMovie();
    auto red = rectangleShape(1, {0, 1000, 0, 1000}, {255, 0, 0, 255});
    w.tag(red.first, red.second).tag(kPlaceObject2, placeObject2(placement)).showFrame();
    return w.finish();
}

TEST(Render, SolidFillCoversItsPixelsAndNothingElse)
{
    auto player = playerFor(squareMovie(placeAt(1, 1, 400, 400)));
    QImage image = renderFrame(*player);
    ASSERT_EQ(image.size(), QSize(100, 100));
    struct Probe {
        int x, y;
        QColor colour;
    };
    const Probe probes[] = {{21, 21, kRed}, {68, 68, kRed}, {45, 30, kRed}, {19, 40, kWhite}, {71, 40, kWhite},
                            {40, 71, kWhite}, {0, 0, kWhite}, {99, 99, kWhite}};
    for (const Probe& p : probes)
        EXPECT_TRUE(near(image, p.x, p.y, p.colour)) << p.x << "," << p.y;
}

TEST(Render, MatrixAndColourTransformApplyToTheObject)
{
    Placement p = placeAt(1, 1, 0, 0);
    p.matrix = WriterMatrix{2, 0, 0, 0.5, 0, 200};  // 100 px wide, 25 px tall, 10 px down
    p.colourTransform = WriterColourTransform{0, 256, 256, 256, 0, 0, 255, 0};  // red -> blue
    auto player = playerFor(squareMovie(p));
    QImage image = renderFrame(*player);
    EXPECT_TRUE(near(image, 90, 20, QColor(0, 0, 255)));
    EXPECT_TRUE(near(image, 50, 5, kWhite));
    EXPECT_TRUE(near(image, 50, 40, kWhite));
}

TEST(Render, EvenOddAndNonZeroWindingDifferInTheOverlap)
{
    // Two overlapping squares drawn with the same fill on the same side: the overlap is a hole under the
    // even-odd rule and filled under the non-zero rule (DefineShape4's flag).
    for (bool nonZero : {false, true}) {
        ShapeBuilder s(1, 4);
        int fill = s.solidFill({0, 0, 255, 255});
        s.rectangle({0, 1200, 0, 1200}, fill).rectangle({600, 1800, 600, 1800}, fill).nonZeroWinding(nonZero);
        SwfWriter w = smallMovie();
        w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
        auto player = playerFor(w.finish());
        QImage image = renderFrame(*player);
        EXPECT_TRUE(near(image, 10, 10, kBlue)) << nonZero;
        EXPECT_TRUE(near(image, 80, 80, kBlue)) << nonZero;
        EXPECT_TRUE(near(image, 45, 45, nonZero ? kBlue : kWhite)) << nonZero;
    }
}

TEST(Render, Fill0AndFill1SidesBuildOneShapeFromSharedEdges)
{
    // Two squares side by side sharing their middle edge: the left uses fill0 on its edges drawn
    // counter-clockwise, the shared edge carries fill0 = right colour and fill1 = left colour.
    ShapeBuilder s(1, 3);
    int red = s.solidFill({255, 0, 0, 255});
    int green = s.solidFill({0, 255, 0, 255});
    s.styles(0, red, 0).moveTo(0, 0).lineTo(1000, 0);
    s.styles(green, red, 0).lineTo(1000, 1000);
    s.styles(0, red, 0).lineTo(0, 1000).lineTo(0, 0);
    s.styles(0, green, 0).moveTo(1000, 0).lineTo(2000, 0).lineTo(2000, 1000).lineTo(1000, 1000);
    SwfWriter w = smallMovie();
    w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()));
    EXPECT_TRUE(near(image, 25, 25, kRed));
    EXPECT_TRUE(near(image, 75, 25, kGreen));
    EXPECT_TRUE(near(image, 50, 75, kWhite));
}

TEST(Render, LinearGradientRunsFromFirstToLastStopAcrossItsSquare)
{
    // The gradient square (32768 twips) scaled to 2000 twips and centred on the stage: red at the left, blue
    // at the right, pad spread beyond.
    ShapeBuilder s(1, 3);
    double scale = 2000.0 / 32768;
    int fill = s.gradientFill(0x10, {scale, 0, 0, scale, 1000, 1000}, {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}});
    s.rectangle({0, 2000, 0, 2000}, fill);
    SwfWriter w = smallMovie();
    w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()));
    EXPECT_TRUE(near(image, 0, 50, kRed, 8));
    EXPECT_TRUE(near(image, 99, 50, kBlue, 8));
    QColor middle = image.pixelColor(50, 50);
    EXPECT_NEAR(middle.red(), 127, 8);
    EXPECT_NEAR(middle.blue(), 127, 8);
}

TEST(Render, StrokesHaveTheirWidthAndNeverVanishBelowOnePixel)
{
    for (std::uint16_t width : {std::uint16_t(200), std::uint16_t(1)}) {
        ShapeBuilder s(1, 3);
        int line = s.lineStyle(width, {0, 0, 255, 255});
        s.styles(0, 0, line).moveTo(0, 1000).lineTo(2000, 1000);
        SwfWriter w = smallMovie();
        w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
        QImage image = renderFrame(*playerFor(w.finish()));
        bool centre = near(image, 50, 50, kBlue, 40) || near(image, 50, 49, kBlue, 40);
        EXPECT_TRUE(centre) << width;
        EXPECT_EQ(near(image, 50, 46, kBlue, 40), width == 200) << width;  // 10 px wide: reaches 5 px up
        EXPECT_TRUE(near(image, 50, 40, kWhite)) << width;
    }
}

TEST(Render, ClipDepthMasksTheDepthsAboveItUpToTheClipDepth)
{
    // Depth 1: a 40x40 px mask at the top-left clipping depths 2..3; depth 2: a full-stage red square;
    // depth 4: a blue square in the bottom-right, unmasked.
    SwfWriter w = smallMovie();
    auto mask = rectangleShape(1, {0, 800, 0, 800}, {0, 0, 0, 255});
    auto red = rectangleShape(2, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    auto blue = rectangleShape(3, {1400, 2000, 1400, 2000}, {0, 0, 255, 255});
    w.tag(mask.first, mask.second).tag(red.first, red.second).tag(blue.first, blue.second);
    Placement m = placeAt(1, 1);
    m.clipDepth = 3;
    w.tag(kPlaceObject2, placeObject2(m)).tag(kPlaceObject2, placeObject2(placeAt(2, 2)));
    w.tag(kPlaceObject2, placeObject2(placeAt(4, 3))).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()));
    EXPECT_TRUE(near(image, 20, 20, kRed));
    EXPECT_TRUE(near(image, 60, 20, kWhite));   // the red square is cut off outside the mask
    EXPECT_TRUE(near(image, 85, 85, kBlue));    // depth 4 is beyond the clip depth
    EXPECT_FALSE(near(image, 10, 10, QColor(0, 0, 0)));  // the mask itself is not drawn
}

TEST(Render, MorphShapeFollowsItsRatio)
{
    // A morph from a red square at the left to a blue square at the right (MORPHFILLSTYLE solid, RGBA).
    ByteWriter body;
    // Edge records without style arrays; the start edges select fill 1 (fill1) at their move.
    auto recordsOnly = [](TwipsRect r, bool withStyle) {
        BitWriter bits;
        bits.ub(1, 4);
        bits.ub(0, 4);
        bits.ub(0, 1);
        bits.ub(withStyle ? 0x05 : 0x01, 5);
        unsigned n = 13;
        bits.ub(n, 5);
        bits.sb(r.xMin, n);
        bits.sb(r.yMin, n);
        if (withStyle)
            bits.ub(1, 1);
        std::int32_t pts[4][2] = {{r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}, {r.xMin, r.yMin}};
        std::int32_t x = r.xMin, y = r.yMin;
        for (auto& p : pts) {
            bits.ub(1, 1);
            bits.ub(1, 1);
            bits.ub(13 - 2, 4);
            bits.ub(1, 1);
            bits.sb(p[0] - x, 13);
            bits.sb(p[1] - y, 13);
            x = p[0];
            y = p[1];
        }
        bits.ub(0, 6);
        return bits.bytes();
    };
    Bytes startEdges = recordsOnly({0, 400, 800, 1200}, true);
    Bytes endEdges = recordsOnly({1600, 2000, 800, 1200}, false);
    ByteWriter styles;
    styles.u8(1).u8(0x00).u8(255).u8(0).u8(0).u8(255).u8(0).u8(0).u8(255).u8(255);  // red -> blue
    styles.u8(0);                                                                    // no lines
    body.u16(1).bytes(rectBytes({0, 400, 800, 1200})).bytes(rectBytes({1600, 2000, 800, 1200}));
    body.u32(static_cast<std::uint32_t>(styles.data().size() + startEdges.size()));
    body.bytes(styles.data()).bytes(startEdges).bytes(endEdges);
    for (std::uint16_t ratio : {std::uint16_t(0), std::uint16_t(32768), std::uint16_t(65535)}) {
        SwfWriter w = smallMovie();
        Placement p = placeAt(1, 1);
        p.ratio = ratio;
        w.tag(kDefineMorphShape, body.data()).tag(kPlaceObject2, placeObject2(p)).showFrame();
        QImage image = renderFrame(*playerFor(w.finish()));
        int x = ratio == 0 ? 10 : ratio == 65535 ? 90 : 50;
        QColor c = image.pixelColor(x, 50);
        EXPECT_GT(c.alpha(), 250) << ratio;
        EXPECT_NE(c, kWhite) << ratio;
        if (ratio == 0) {
            EXPECT_TRUE(near(image, x, 50, kRed)) << ratio;
        }
        if (ratio == 65535) {
            EXPECT_TRUE(near(image, x, 50, kBlue)) << ratio;
        }
        EXPECT_TRUE(near(image, ratio == 0 ? 90 : 10, 50, kWhite)) << ratio;
    }
}

TEST(Render, StaticTextDrawsGlyphShapesInTheTextColour)
{
    // DefineFont with one glyph: a filled square covering the em square's top half.
    ByteWriter font;
    font.u16(5).u16(2).bytes(squareGlyph());
    // DefineText: one record, font 5, green, at (500, 1500), height 800 twips (40 px), glyph 0.
    ByteWriter text;
    text.u16(6).bytes(rectBytes({0, 2000, 0, 2000})).bytes(matrixBytes({})).u8(1).u8(8);
    text.u8(0x8F).u16(5).u8(0).u8(160).u8(0).s16(500).s16(1500).u16(800).u8(1);
    BitWriter entries;
    entries.ub(0, 1);
    entries.sb(0, 8);
    text.bytes(entries.bytes()).u8(0);
    SwfWriter w = smallMovie();
    w.tag(kDefineFont, font.data()).tag(kDefineText, text.data()).tag(kPlaceObject2, placeObject2(placeAt(1, 6)));
    w.showFrame();
    QImage image = renderFrame(*playerFor(w.finish()));
    EXPECT_TRUE(near(image, 45, 55, QColor(0, 160, 0)));  // inside the 40x40 px glyph above the baseline
    EXPECT_TRUE(near(image, 45, 80, kWhite));             // below the baseline
    EXPECT_TRUE(near(image, 20, 55, kWhite));             // left of the pen position
}

TEST(Render, ScaleModesZoomAndBackgroundOverride)
{
    auto player = playerFor(squareMovie(placeAt(1, 1, 0, 0)));  // red 50x50 px at the top-left
    struct Case {
        swf::ScaleMode mode;
        int width, height;
        QPoint red, white;
    };
    const Case cases[] = {
        {swf::ScaleMode::ShowAll, 200, 100, {60, 40}, {40, 40}},     // 100x100 centred: 50 px bars
        {swf::ScaleMode::ExactFit, 200, 100, {90, 40}, {110, 40}},   // stretched: 100 px wide red
        {swf::ScaleMode::NoScale, 200, 100, {60, 40}, {110, 40}},    // 1:1, centred
        {swf::ScaleMode::NoBorder, 200, 100, {90, 40}, {110, 60}},   // 200x200 cropped
    };
    for (const Case& c : cases) {
        swf::View view;
        view.quality = swf::Quality::Low;
        view.width = c.width;
        view.height = c.height;
        view.scaleMode = c.mode;
        QImage image = swf::renderImage(*player, view);
        EXPECT_TRUE(near(image, c.red.x(), c.red.y(), kRed)) << int(c.mode);
        EXPECT_TRUE(near(image, c.white.x(), c.white.y(), kWhite)) << int(c.mode);
    }
    swf::View zoom;
    zoom.quality = swf::Quality::Low;
    zoom.zoom = swf::Rect{0, 500, 0, 500};  // the top-left quarter of the square fills the target
    zoom.background = swf::Rgba{0, 0, 0, 255};
    QImage zoomed = swf::renderImage(*player, zoom);
    EXPECT_TRUE(near(zoomed, 99, 99, kRed));
    swf::View black;
    black.quality = swf::Quality::Low;
    black.background = swf::Rgba{0, 0, 0, 255};
    EXPECT_TRUE(near(swf::renderImage(*player, black), 90, 90, QColor(0, 0, 0)));
}

TEST(Render, OversizedTargetsShrinkToTheRenderLimitKeepingTheirShape)
{
    auto player = playerFor(squareMovie(placeAt(1, 1, 0, 0)));
    struct Case {
        int width, height;
        QSize expected;
    };
    const Case cases[] = {
        {40000, 300, {16384, 300}},  // each side is capped
        {16384, 16384, {8192, 8192}},  // the pixel count is capped, aspect kept
        {0, 0, {100, 100}},            // the stage size
    };
    for (const Case& c : cases) {
        swf::View view;
        view.quality = swf::Quality::Low;
        view.width = c.width;
        view.height = c.height;
        EXPECT_EQ(swf::renderImage(*player, view).size(), c.expected) << c.width << "x" << c.height;
    }
}

TEST(Render, RenderingTheSameFrameTwiceGivesTheSamePixels)
{
    auto player = playerFor(squareMovie(placeAt(1, 1, 333, 177)));
    QImage first = renderFrame(*player, swf::Quality::High);
    QImage second = renderFrame(*player, swf::Quality::High);
    EXPECT_EQ(first, second);
}

TEST(Render, BandsPaintingTheSameNewShapesAtOnceAgreeEveryTime)
{
    // Large images are painted in bands on several threads that share the shapes' converted paths;
    // a shape seen for the first time must come out the same (and never hang or crash) on every load.
    ShapeBuilder s(1, 3);
    int fill = s.solidFill({255, 0, 0, 255});
    int line = s.lineStyle(60, {0, 0, 255, 255});
    s.styles(0, fill, line).moveTo(100, 100).curveTo(1000, -200, 1900, 100).lineTo(1900, 1900).lineTo(100, 1900).lineTo(100, 100);
    SwfWriter w = smallMovie();
    w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    const Bytes movie = w.finish();
    QImage first = renderFrame(*playerFor(movie), swf::Quality::High, 900, 900);
    for (int load = 0; load < 40; ++load)
        ASSERT_EQ(renderFrame(*playerFor(movie), swf::Quality::High, 900, 900), first) << load;
}

TEST(Render, QualityLowDrawsHardEdgesAndHighAntiAliases)
{
    // An edge at x = 30.5 px: low quality gives only pure colours, high quality a blended column.
    auto player = playerFor(squareMovie(placeAt(1, 1, 10, 0)));
    auto blended = [](const QImage& image) {
        for (int x = 0; x < 100; ++x) {
            QColor c = image.pixelColor(x, 20);
            if (c != kWhite && c != kRed)
                return true;
        }
        return false;
    };
    EXPECT_FALSE(blended(renderFrame(*player, swf::Quality::Low)));
    EXPECT_TRUE(blended(renderFrame(*player, swf::Quality::High)));
}

TEST(Render, StageMeasuresWholePixelsAndItsCornerLandsOnAWholePixel)
{
    swf::View view;
    // A 101.3 x 25.3 pixel movie is a 101 x 25 stage, drawn at its own size one to one.
    swf::Matrix m = swf::viewMatrix({0, 2026, 0, 506}, view, 101, 25);
    EXPECT_DOUBLE_EQ(m.a, 1 / 20.0);
    EXPECT_DOUBLE_EQ(m.d, 1 / 20.0);
    EXPECT_DOUBLE_EQ(m.tx, 0);
    EXPECT_DOUBLE_EQ(m.ty, 0);
    // Shown whole in a wider target, the stage's left edge moves to a whole pixel (275.5 -> 276).
    m = swf::viewMatrix({0, 11000, 0, 8000}, view, 1101, 400);
    EXPECT_DOUBLE_EQ(m.tx, 276);
    // A zoom rectangle keeps its fractional size.
    view.zoom = swf::Rect{0, 1010, 0, 1010};
    m = swf::viewMatrix({0, 11000, 0, 8000}, view, 101, 101);
    EXPECT_DOUBLE_EQ(m.a, 101 / 1010.0);
}

}  // namespace
}  // namespace kivamo::test
