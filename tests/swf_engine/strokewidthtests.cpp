// Stroke widths under placement matrices: a round pen in the space of the clip holding the shape, widened by the
// shape's own matrix by one factor; stretched parents stretch the strokes with everything else.
#include "helpers.h"

#include "swf/render/strokewidth.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kDefineSprite = 39;
constexpr std::uint8_t kNoHScale = 0x04, kNoVScale = 0x02;

swf::Matrix scale(double sx, double sy)
{
    swf::Matrix m;
    m.a = sx;
    m.d = sy;
    return m;
}

TEST(StrokeWidth, TheOwnMatrixWidensThePenByOneFactorAndTheParentDecidesWhereItIsRound)
{
    using Space = swf::StrokeWidth::Space;
    swf::LineStyle scaling;
    scaling.width = 40;
    swf::LineStyle fixed = scaling, noH = scaling, noV = scaling;
    fixed.noHScale = fixed.noVScale = true;
    noH.noHScale = true;
    noV.noVScale = true;
    swf::Matrix turned;  // 90 degrees and twice the size
    turned.a = turned.d = 0;
    turned.b = 2;
    turned.c = -2;
    swf::Matrix skewed;
    skewed.a = 3;
    skewed.c = 1;
    skewed.d = 2;
    struct Case {
        const char* what;
        const swf::LineStyle& style;
        std::optional<swf::Matrix> own;
        swf::Matrix full;
        Space space;
        double width;
    } cases[] = {
        {"no own matrix, scaling", scaling, std::nullopt, scale(4, 1), Space::Shape, 40},
        {"no own matrix, fixed", fixed, std::nullopt, scale(4, 1), Space::Stage, 40},
        {"turned, scaling", scaling, turned, turned, Space::Shape, 40},
        {"turned, fixed, parent plain", fixed, turned, turned, Space::Stage, 40},
        {"turned, fixed, parent three times", fixed, turned, scale(3, 3) * turned, Space::Stage, 120},
        {"turned, fixed, parent stretched", fixed, turned, scale(4, 1) * turned, Space::Shape, 20},
        {"stretched, scaling: the smaller scale", scaling, scale(4, 1), scale(4, 1), Space::Stage, 40},
        {"stretched, no horizontal scale", noH, scale(4, 1), scale(4, 1), Space::Stage, 40},
        {"stretched, no vertical scale", noV, scale(4, 1), scale(4, 1), Space::Stage, 160},
        {"stretched, fixed", fixed, scale(4, 1), scale(4, 1), Space::Stage, 40},
        {"stretched in a doubled parent", noV, scale(4, 1), scale(2, 2) * scale(4, 1), Space::Stage, 320},
        {"skewed in a stretched parent", scaling, skewed, scale(1, 5) * skewed, Space::Parent, 40 * std::sqrt(5.0)},
    };
    for (const Case& c : cases) {
        const swf::StrokeWidth w = swf::strokeWidth(c.style, c.own, c.full);
        EXPECT_EQ(w.space, c.space) << c.what;
        EXPECT_NEAR(w.width, c.width, 1e-6) << c.what;
    }
}

TEST(StrokeWidth, RotationsFromFixedPointRecordsStillKeepTheShape)
{
    swf::Matrix m;
    m.a = 46341 / 65536.0;  // 45 degrees as a 16.16 record holds it
    m.b = 46340 / 65536.0;
    m.c = -46340 / 65536.0;
    m.d = 46341 / 65536.0;
    EXPECT_TRUE(swf::keepsShape(m));
    EXPECT_FALSE(swf::keepsShape(scale(1, 1.01)));
    EXPECT_FALSE(swf::keepsShape(scale(0, 0)));
}

// A 200x100 pixel stage; a 20 px square outline (a 2 px round line) placed as asked.
struct Outline {
    std::uint16_t id;
    std::uint8_t flags;
};

Bytes squareOutline(const Outline& o)
{
    ShapeBuilder s(o.id, 4);
    int line = s.lineStyle(40, {0, 0, 0, 255}, o.flags);
    s.styles(0, 0, line).moveTo(0, 0).lineTo(400, 0).lineTo(400, 400).lineTo(0, 400).lineTo(0, 0);
    return s.body();
}

// Dark pixels along a row from x0 to x1.
int darkRun(const QImage& image, int y, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x <= x1; ++x)
        n += qGray(image.pixel(x, y)) < 128;
    return n;
}

int darkColumn(const QImage& image, int x, int y0, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        n += qGray(image.pixel(x, y)) < 128;
    return n;
}

TEST(StrokeWidth, AStretchedShapeKeepsRoundStrokesWhileAStretchedSpriteStretchesThem)
{
    SwfWriter w(10, {0, 4000, 0, 2000}, 12 << 8);
    w.backgroundColour(255, 255, 255);
    w.tag(83, squareOutline({1, 0}));                      // scales
    w.tag(83, squareOutline({2, kNoHScale | kNoVScale}));  // does not
    w.tag(kDefineSprite, spriteBody(3, 1, {{kPlaceObject2, placeObject2(placeAt(1, 2))}, {1, Bytes()}}));
    Placement stretched = placeAt(1, 1);
    stretched.matrix = WriterMatrix{4, 0, 0, 1, 200, 200};  // 80 x 20 px at (10, 10)
    Placement stretchedFixed = placeAt(2, 2);
    stretchedFixed.matrix = WriterMatrix{4, 0, 0, 1, 200, 1200};  // at (10, 60)
    Placement sprite = placeAt(3, 3);
    sprite.matrix = WriterMatrix{4, 0, 0, 1, 2200, 200};  // the fixed outline inside, at (110, 10)
    // The scaling outline stretched twice its width inside a sprite stretched three times its height: the pen is
    // round in the sprite, 2 px there, so 2 px sides and 6 px top and bottom, 40 x 60 px at (150, 20).
    Placement wide = placeAt(1, 1);
    wide.matrix = WriterMatrix{2, 0, 0, 1, 0, 0};
    w.tag(kDefineSprite, spriteBody(4, 1, {{kPlaceObject2, placeObject2(wide)}, {1, Bytes()}}));
    Placement tall = placeAt(4, 4);
    tall.matrix = WriterMatrix{1, 0, 0, 3, 3000, 400};
    w.tag(kPlaceObject2, placeObject2(stretched)).tag(kPlaceObject2, placeObject2(stretchedFixed));
    w.tag(kPlaceObject2, placeObject2(sprite)).tag(kPlaceObject2, placeObject2(tall)).showFrame();
    const QImage image = renderFrame(*playerFor(w.finish()), swf::Quality::Low);
    // Placed stretched, both lines are 2 px across every side: 4 times by 1 leaves a factor of 1.
    EXPECT_EQ(darkRun(image, 20, 4, 16), 2);
    EXPECT_EQ(darkColumn(image, 50, 4, 16), 2);
    EXPECT_EQ(darkRun(image, 70, 4, 16), 2);
    EXPECT_EQ(darkColumn(image, 50, 54, 66), 2);
    // Inside a stretched sprite the line that does not scale stretches with the sprite: 8 px sides, 2 px top.
    EXPECT_EQ(darkRun(image, 20, 100, 120), 8);
    EXPECT_EQ(darkColumn(image, 150, 4, 16), 2);
    EXPECT_EQ(darkRun(image, 50, 144, 156), 2);
    EXPECT_EQ(darkColumn(image, 170, 12, 28), 6);
    EXPECT_EQ(darkColumn(image, 170, 72, 88), 6);
}

TEST(StrokeWidth, StrokesWiderThanAPenHoldsAreDrawnAtTheirWidth)
{
    // 33,000 twips (1,650 px) wide in the shape, which is placed at a fiftieth: 33 px on the stage, from y 33.5
    // to 66.5. QPen keeps no width that large.
    SwfWriter w(10, {0, 4000, 0, 2000}, 12 << 8);
    w.backgroundColour(255, 255, 255);
    ShapeBuilder s(1, 4);
    int line = s.lineStyle(33000, {0, 0, 0, 255}, 0x40 | 0x10);  // square caps, bevel joins
    s.styles(0, 0, line).moveTo(0, 0).lineTo(60000, 0);
    w.tag(s.tagCode(), s.body());
    Placement small = placeAt(1, 1);
    small.matrix = WriterMatrix{0.02, 0, 0, 0.02, 1000, 1000};
    w.tag(kPlaceObject2, placeObject2(small)).showFrame();
    const QImage image = renderFrame(*playerFor(w.finish()), swf::Quality::Low);
    EXPECT_NEAR(darkColumn(image, 80, 0, 99), 33, 1);  // the scale is a 16.16 number a hair over 0.02
}

}  // namespace
}  // namespace kivamo::test
