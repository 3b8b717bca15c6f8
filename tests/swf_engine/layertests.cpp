// Layers: blend modes composed on groups, group alpha, the modes worked pixel by pixel, blurs and
// shadows.
#include "helpers.h"
#include "swf/qt/filters.h"
#include "swf/qt/layers.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kPlaceObject3 = 70, kDefineSprite = 39;
constexpr std::uint8_t kLayer = 2, kMultiply = 3;

// Depth 1: the whole stage in (200, 100, 50). Depth 2: a sprite of two overlapping grey squares,
// 20..60 and 40..80 px, placed with the blend mode and colour transform given.
QImage groupPicture(std::uint8_t blend, std::optional<WriterColourTransform> colours)
{
    SwfWriter w = smallMovie();
    auto ground = rectangleShape(1, {0, 2000, 0, 2000}, {200, 100, 50, 255});
    auto left = rectangleShape(2, {400, 1200, 400, 1200}, {128, 128, 128, 255});
    auto right = rectangleShape(3, {800, 1600, 800, 1600}, {128, 128, 128, 255});
    w.tag(ground.first, ground.second).tag(left.first, left.second).tag(right.first, right.second);
    std::vector<std::pair<std::uint16_t, Bytes>> inside = {{kPlaceObject2, placeObject2(placeAt(1, 2))},
                                                           {kPlaceObject2, placeObject2(placeAt(2, 3))},
                                                           {1, Bytes()}};
    w.tag(kDefineSprite, spriteBody(10, 1, inside));
    Placement group = placeAt(2, 10);
    group.blendMode = blend;
    group.colourTransform = colours;
    w.tag(kPlaceObject2, placeObject2(placeAt(1, 1))).tag(kPlaceObject3, placeObject2(group)).showFrame();
    return renderFrame(*playerFor(w.finish()), swf::Quality::Low);
}

TEST(Layers, MultiplyComposesTheWholeGroupOnceOverTheBackground)
{
    QImage image = groupPicture(kMultiply, std::nullopt);
    const QColor multiplied(100, 50, 25);  // 200 * 128 / 255, ...
    EXPECT_TRUE(near(image, 30, 30, multiplied, 1));
    EXPECT_TRUE(near(image, 50, 50, multiplied, 1));  // the overlap is not multiplied twice
    EXPECT_TRUE(near(image, 70, 70, multiplied, 1));
    EXPECT_TRUE(near(image, 10, 90, QColor(200, 100, 50), 0));
}

TEST(Layers, LayerModeTakesTheAlphaOnTheGroupSoOverlapsDoNotShowThrough)
{
    WriterColourTransform half{256, 256, 256, 128, 0, 0, 0, 0};
    QImage image = groupPicture(kLayer, half);
    QColor single = image.pixelColor(30, 30);
    EXPECT_NEAR(single.red(), (200 + 128) / 2, 2);
    EXPECT_EQ(image.pixel(50, 50), image.pixel(30, 30));
    EXPECT_EQ(image.pixel(70, 70), image.pixel(30, 30));
}

TEST(Layers, AlphaModeKeepsWhatLiesBelowWhereItsShapeIsFullyClear)
{
    // A sprite in layer mode holds a red square over the whole stage and, in alpha mode, a sprite
    // with a shape whose left half is clear (alpha 0) and right half half-clear (alpha 128).
    SwfWriter w = smallMovie();
    auto red = rectangleShape(1, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    ShapeBuilder halves(2, 3);
    int clear = halves.solidFill({0, 0, 0, 0});
    int half = halves.solidFill({0, 0, 0, 128});
    halves.rectangle({0, 1000, 0, 2000}, clear).rectangle({1000, 2000, 0, 2000}, half);
    w.tag(red.first, red.second).tag(halves.tagCode(), halves.body());
    w.tag(kDefineSprite, spriteBody(11, 1, {{kPlaceObject2, placeObject2(placeAt(1, 2))}, {1, Bytes()}}));
    Placement alpha = placeAt(2, 11);
    alpha.blendMode = 11;
    w.tag(kDefineSprite, spriteBody(10, 1, {{kPlaceObject2, placeObject2(placeAt(1, 1))},
                                            {kPlaceObject3, placeObject2(alpha)}, {1, Bytes()}}));
    Placement group = placeAt(1, 10);
    group.blendMode = kLayer;
    w.tag(kPlaceObject3, placeObject2(group)).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()), swf::Quality::Low);
    EXPECT_TRUE(near(image, 25, 50, QColor(255, 0, 0), 0));
    EXPECT_TRUE(near(image, 75, 50, QColor(255, 127, 127), 2));
}

QImage filled(QRgb colour, int size = 4)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

TEST(Layers, SubtractAndInvertWorkPixelByPixelAndAlphaEraseNeedALayer)
{
    struct Case {
        swf::BlendMode mode;
        bool nested;
        QRgb source, dest, expected;
    };
    const Case cases[] = {
        {swf::BlendMode::Subtract, false, qRgb(100, 50, 200), qRgb(150, 20, 250), qRgb(50, 0, 50)},
        {swf::BlendMode::Invert, false, qRgb(1, 2, 3), qRgb(200, 0, 55), qRgb(55, 255, 200)},
        {swf::BlendMode::Add, false, qRgb(100, 50, 200), qRgb(150, 20, 250), qRgb(250, 70, 255)},
        {swf::BlendMode::Alpha, true, qRgba(0, 0, 0, 0), qRgb(10, 20, 30), qRgba(0, 0, 0, 0)},
        {swf::BlendMode::Erase, true, qRgb(0, 0, 0), qRgb(10, 20, 30), qRgba(0, 0, 0, 0)},
        {swf::BlendMode::Erase, false, qRgb(5, 6, 7), qRgb(10, 20, 30), qRgb(5, 6, 7)},  // on the stage: normal
    };
    for (const Case& c : cases) {
        QImage target = filled(c.dest);
        {
            QPainter painter(&target);
            swf::composeLayer(painter, filled(c.source), QPoint(0, 0), c.mode, c.nested, QRegion(0, 0, 4, 4));
        }
        EXPECT_EQ(target.pixel(1, 1), c.expected) << int(c.mode);
    }
}

TEST(Layers, ASmallLayerComposesAtItsOriginEvenWherePartOfItLiesOffTheTarget)
{
    const QRgb below = qRgb(150, 20, 250), layerColour = qRgb(100, 50, 200);
    for (swf::BlendMode mode : {swf::BlendMode::Normal, swf::BlendMode::Subtract, swf::BlendMode::Invert}) {
        QImage target = filled(below);
        {
            QPainter painter(&target);
            swf::composeLayer(painter, filled(layerColour, 2), QPoint(1, 2), mode, false, QRegion());
            swf::composeLayer(painter, filled(layerColour, 2), QPoint(-1, -1), mode, false, QRegion());
            swf::composeLayer(painter, filled(layerColour, 2), QPoint(9, 9), mode, false, QRegion());
        }
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool covered = (x >= 1 && x <= 2 && y >= 2) || (x == 0 && y == 0);
                if (covered)
                    EXPECT_NE(target.pixel(x, y), below) << int(mode) << " at " << x << "," << y;
                else
                    EXPECT_EQ(target.pixel(x, y), below) << int(mode) << " at " << x << "," << y;
            }
    }
}

TEST(Filters, BoxBlurSpreadsAPixelWithFractionalEdgesCutToWholeSteps)
{
    QImage line(9, 1, QImage::Format_ARGB32_Premultiplied);
    line.fill(Qt::transparent);
    line.setPixel(4, 0, qRgba(255, 255, 255, 255));
    QImage three = line;
    swf::blurPass(three, 3, true);  // weights 1, 1, 1
    EXPECT_EQ(qAlpha(three.pixel(3, 0)), 85);
    EXPECT_EQ(qAlpha(three.pixel(4, 0)), 85);
    EXPECT_EQ(qAlpha(three.pixel(5, 0)), 85);
    EXPECT_EQ(qAlpha(three.pixel(2, 0)), 0);
    QImage two = line;
    swf::blurPass(two, 2, true);  // weights 127/255, 1, 127/255 over 2
    EXPECT_EQ(qAlpha(two.pixel(4, 0)), 127);
    EXPECT_EQ(qAlpha(two.pixel(3, 0)), 63);
    QImage none = line;
    swf::blurPass(none, 1, true);
    EXPECT_EQ(none, line);
    swf::blurPass(line, 3, false);  // a one-pixel-high image loses its light above and below
    EXPECT_EQ(qAlpha(line.pixel(4, 0)), 85);
}

// Any box, however wide, gives what weighing every pixel under it gives: a box of whole-weight pixels and
// one fractional-weight pixel at each end, the sum cut to a whole step.
TEST(Filters, WideBoxesWeighEveryPixelUnderThemAsNarrowOnesDo)
{
    QImage row(300, 1, QImage::Format_ARGB32_Premultiplied);
    for (int x = 0; x < row.width(); ++x) {
        int a = (x * 37 + x * x * 11) % 256;
        row.setPixel(x, 0, qRgba(a / 3, a / 2, a, a));
    }
    for (double size : {2.0, 4.5, 17.3, 99.0, 254.6}) {
        QImage blurred = row;
        swf::blurPass(blurred, size, true);
        double radius = (size - 1) / 2;
        int m = std::max(int(std::ceil(radius)) - 1, 0);
        double edge = std::floor((radius - (int(std::ceil(radius)) - 1)) * 255) / 255;
        for (int x = 0; x < row.width(); ++x) {
            double alpha = 0;
            for (int k = -m - 1; k <= m + 1; ++k) {
                int at = x + k;
                if (at >= 0 && at < row.width())
                    alpha += qAlpha(row.pixel(at, 0)) * (std::abs(k) == m + 1 ? edge : 1);
            }
            EXPECT_EQ(qAlpha(blurred.pixel(x, 0)), std::clamp(int(std::floor(alpha / size + 1e-9)), 0, 255))
                << "size " << size << " at " << x;
        }
        // Down a column, the same numbers come out.
        QImage column = row.transformed(QTransform(0, 1, 1, 0, 0, 0));
        swf::blurPass(column, size, false);
        for (int y = 0; y < row.width(); ++y)
            ASSERT_EQ(column.pixel(0, y), blurred.pixel(y, 0)) << "size " << size << " at " << y;
        // An alpha-only picture (what shadows and glows blur) gets the same alphas, along rows and columns.
        QImage alphaRow = row.convertToFormat(QImage::Format_Alpha8);
        QImage alphaColumn = row.transformed(QTransform(0, 1, 1, 0, 0, 0)).convertToFormat(QImage::Format_Alpha8);
        swf::blurPass(alphaRow, size, true);
        swf::blurPass(alphaColumn, size, false);
        for (int x = 0; x < row.width(); ++x) {
            ASSERT_EQ(alphaRow.constScanLine(0)[x], qAlpha(blurred.pixel(x, 0))) << "size " << size << " at " << x;
            ASSERT_EQ(alphaColumn.constScanLine(x)[0], qAlpha(blurred.pixel(x, 0))) << "size " << size << " at " << x;
        }
    }
}

// A red bar two pixels high (rows 40 and 41) across the stage, in a sprite placed by PlaceObject3
// with one blur filter of the given vertical size (no horizontal blur, one pass).
QImage blurredBar(std::uint16_t blurY)
{
    SwfWriter w = smallMovie();
    auto bar = rectangleShape(1, {0, 2000, 800, 840}, {255, 0, 0, 255});
    w.tag(bar.first, bar.second);
    w.tag(kDefineSprite, spriteBody(2, 1, {{kPlaceObject2, placeObject2(placeAt(1, 1))}, {1, Bytes()}}));
    ByteWriter place;
    place.u8(0x06).u8(0x01).u16(1).u16(2).bytes(matrixBytes({}));  // matrix, character; filters
    place.u8(1).u8(1).u32(0).u32(std::uint32_t(blurY) << 16).u8(1 << 3);
    w.tag(kPlaceObject3, place.data()).showFrame();
    return renderFrame(*playerFor(w.finish()), swf::Quality::Low);
}

TEST(Filters, BlurFilterWithFractionalBoxEndsComesOutAPixelHigher)
{
    // Size 4: weights 127/255, 1, 1, 1, 127/255 over 4, so the bar spreads to 31, 95, 127, 127, 95, 31
    // of 255, centred a pixel above the bar as in Flash's pictures.
    QImage even = blurredBar(4);
    const int evenRows[] = {36, 37, 38, 39, 40, 41, 42, 43};
    const int evenRed[] = {0, 31, 95, 127, 127, 95, 31, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(near(even, 50, evenRows[i], QColor(255, 255 - evenRed[i], 255 - evenRed[i]), 1)) << evenRows[i];
    // Size 3: whole weights, the blur stays centred on the bar (85, 170, 170, 85 of 255 on rows 39..42).
    QImage odd = blurredBar(3);
    const int oddRows[] = {38, 39, 40, 41, 42, 43};
    const int oddRed[] = {0, 85, 170, 170, 85, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(near(odd, 50, oddRows[i], QColor(255, 255 - oddRed[i], 255 - oddRed[i]), 1)) << oddRows[i];
}

TEST(Filters, ObjectsWithFiltersLandOnWholePixelsAsCachedBitmapsDo)
{
    // The same 9.8 px wide grey rectangle at x = 10.6 px twice: at depth 1 plain (rows 10..19), at
    // depth 2 with a blur of size 0 that changes no pixel (rows 40..49). Filters make Flash cache the
    // object as a bitmap at the nearest whole pixel, so the filtered copy spans 11..20.8 and covers
    // column 20, the plain one ends at 20.4 and does not.
    SwfWriter w = smallMovie();
    auto box = rectangleShape(1, {0, 196, 0, 200}, {100, 100, 100, 255});
    w.tag(box.first, box.second);
    w.tag(kPlaceObject2, placeObject2(placeAt(1, 1, 212, 200)));
    ByteWriter place;
    place.u8(0x06).u8(0x01).u16(2).u16(1).bytes(matrixBytes({1, 0, 0, 1, 212, 800}));
    place.u8(1).u8(1).u32(0).u32(0).u8(1 << 3);
    w.tag(kPlaceObject3, place.data()).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()), swf::Quality::Low);
    const QColor grey(100, 100, 100), white(255, 255, 255);
    EXPECT_TRUE(near(image, 10, 15, white, 0));
    EXPECT_TRUE(near(image, 11, 15, grey, 0));
    EXPECT_TRUE(near(image, 19, 15, grey, 0));
    EXPECT_TRUE(near(image, 20, 15, white, 0));
    EXPECT_TRUE(near(image, 10, 45, white, 0));
    EXPECT_TRUE(near(image, 11, 45, grey, 0));
    EXPECT_TRUE(near(image, 20, 45, grey, 0));
    EXPECT_TRUE(near(image, 21, 45, white, 0));
}

TEST(Filters, DropShadowFallsBehindTheLayerAtItsDistance)
{
    QImage layer(20, 20, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    for (int y = 5; y < 10; ++y)
        for (int x = 5; x < 10; ++x)
            layer.setPixel(x, y, qRgb(255, 0, 0));
    swf::Filter shadow;
    shadow.kind = swf::Filter::Kind::DropShadow;
    shadow.colour = {0, 0, 255, 255};
    shadow.distance = 4;
    shadow.angle = 0;  // to the right
    shadow.blurX = shadow.blurY = 1;
    swf::applyFilters(layer, {shadow}, QTransform::fromScale(0.05, 0.05));
    EXPECT_EQ(layer.pixel(7, 7), qRgb(255, 0, 0));   // the layer stays on top
    EXPECT_EQ(layer.pixel(12, 7), qRgb(0, 0, 255));  // the shadow shows beside it
    EXPECT_EQ(qAlpha(layer.pixel(7, 12)), 0);
}

}  // namespace
}  // namespace kivamo::test
