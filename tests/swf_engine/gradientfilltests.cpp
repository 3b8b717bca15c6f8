// Gradient fills: the shaded pixels against a pixel-by-pixel reference, and fills that shade only
// next to their path against fills from a picture of the whole gradient.
#include "swf/qt/aliasedfill.h"
#include "swf/qt/strokeoutline.h"
#include "swf/qt/gradientfill.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

using swf::FillKind;
using swf::FillStyle;
using swf::GradientRamp;
using swf::SpreadMode;

FillStyle gradientStyle(FillKind kind, SpreadMode spread, swf::Matrix matrix, double focal = 0)
{
    FillStyle style;
    style.kind = kind;
    style.matrix = matrix;
    style.gradient.spread = spread;
    style.gradient.focalPoint = focal;
    style.gradient.stops = {{0, {255, 0, 0, 255}}, {90, {20, 200, 40, 160}}, {255, {0, 0, 255, 40}}};
    return style;
}

// Each pixel on its own: its centre (moved by the shading offset) mapped to the gradient square, its
// position folded by the spread mode and rounded to the lookup's steps, the ramp read there.
QRgb referencePixel(const FillStyle& style, const swf::ColorTransform& colours, const QTransform& toGradient, int x,
                    int y, QPointF shading)
{
    QPointF g = toGradient.map(QPointF(x + 0.5, y + 0.5) + shading);
    double t = GradientRamp::spread(style.gradient.spread,
                                    GradientRamp::position(style.kind, style.gradient.focalPoint, g.x(), g.y()));
    const int steps = swf::GradientColours(style.gradient).steps();
    swf::RampColour c = GradientRamp(style.gradient).sample(std::floor(t * steps + 0.5) / steps, colours);
    auto premultiplied = [&c](float v) { return int(v * c.a * 255.0f + 0.5f); };
    return qRgba(premultiplied(c.r), premultiplied(c.g), premultiplied(c.b), int(c.a * 255.0f + 0.5f));
}

struct GradientCase {
    const char* name;
    FillStyle style;
    QTransform shapeToDevice;
    swf::ColorTransform colours;
    QPointF shading;
};

std::vector<GradientCase> gradientCases()
{
    const double s = 800.0 / 32768;  // the gradient square 800 twips, 40 device pixels wide at 1:20
    swf::ColorTransform tinted;
    tinted.rMult = 0.5;
    tinted.aMult = 0.75;
    tinted.bAdd = 30;
    swf::Matrix rotated{s * 0.8, s * 0.6, -s * 0.6, s * 0.8, 600, 500};
    std::vector<GradientCase> cases = {
        {"linear pad", gradientStyle(FillKind::LinearGradient, SpreadMode::Pad, {s, 0, 0, s, 600, 600}),
         QTransform::fromScale(0.05, 0.05), {}, {}},
        {"linear repeat, rotated", gradientStyle(FillKind::LinearGradient, SpreadMode::Repeat, rotated),
         QTransform::fromScale(0.05, 0.05), tinted, {}},
        {"radial reflect, sheared shape",
         gradientStyle(FillKind::RadialGradient, SpreadMode::Reflect, {s, 0, 0, s / 2, 700, 600}),
         QTransform(0.05, 0.01, 0.02, 0.04, 3.25, -2.5), {}, QPointF(0.125, -0.375)},
        {"radial pad, odd row widths",
         gradientStyle(FillKind::RadialGradient, SpreadMode::Pad, {s / 2, 0, 0, s, 500, 300}),
         QTransform(0.05, 0, 0, 0.05, 0.5, 0), tinted, QPointF(0.375, 0.125)},
        {"radial repeat", gradientStyle(FillKind::RadialGradient, SpreadMode::Repeat, {s / 3, 0, 0, s / 3, 500, 500}),
         QTransform::fromScale(0.05, 0.05), tinted, {}},
        {"focal pad", gradientStyle(FillKind::FocalGradient, SpreadMode::Pad, {s, 0, 0, s, 600, 600}, 0.6),
         QTransform::fromScale(0.05, 0.05), {}, {}},
        {"focal reflect, focus beyond the rim",
         gradientStyle(FillKind::FocalGradient, SpreadMode::Reflect, rotated, -1.5),
         QTransform::fromScale(0.05, 0.05), {}, QPointF(-0.25, 0.25)},
    };
    GradientCase linearLight{"linear light, mirrored", gradientStyle(FillKind::LinearGradient, SpreadMode::Reflect,
                                                                      {-s / 4, 0, 0, s, 600, 600}),
                             QTransform::fromScale(0.05, 0.05), {}, {}};
    linearLight.style.gradient.interpolation = swf::InterpolationMode::Linear;
    cases.push_back(linearLight);
    return cases;
}

TEST(GradientFill, ShadedPixelsEqualThePixelByPixelReference)
{
    const QRect area(-7, 3, 61, 47);  // reaching beyond the gradient square on every side
    for (const GradientCase& c : gradientCases()) {
        QImage image = swf::gradientImage(c.style, c.colours, c.shapeToDevice, area, c.shading);
        const swf::Matrix& m = c.style.matrix;
        QTransform toGradient = (QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty) * c.shapeToDevice).inverted();
        int differing = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                differing += image.pixel(x, y) !=
                             referencePixel(c.style, c.colours, toGradient, area.left() + x, area.top() + y, c.shading);
        EXPECT_EQ(differing, 0) << c.name;
    }
}

// A circle and a thin diagonal bar, partly off the device.
QPainterPath testPath()
{
    QPainterPath path;
    path.addEllipse(QPointF(500, 500), 420, 380);
    path.moveTo(-200, 1300);
    path.lineTo(1400, -100);
    path.lineTo(1420, -60);
    path.lineTo(-180, 1340);
    path.closeSubpath();
    return path;
}

QImage blank()
{
    QImage image(60, 50, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(10, 20, 30));
    return image;
}

// The fill as it was painted from one picture of the gradient over the whole device.
QImage filledFromWholePicture(const GradientCase& c, const QPainterPath& path, bool antialias, const QRect& clip)
{
    QImage image = blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialias);
    painter.setClipRect(clip);
    painter.setTransform(c.shapeToDevice);
    QBrush brush(swf::gradientImage(c.style, c.colours, c.shapeToDevice, image.rect(), c.shading));
    brush.setTransform(c.shapeToDevice.inverted());
    swf::fillShapePath(painter, path, brush, c.shapeToDevice, antialias);
    return image;
}

QImage filledNearThePath(const GradientCase& c, const QPainterPath& path, bool antialias, const QRect& clip,
                         const swf::GradientColours* gradient)
{
    QImage image = blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialias);
    painter.setClipRect(clip);
    painter.setTransform(c.shapeToDevice);
    swf::BrushContext context{c.colours, std::nullopt, nullptr, true, c.shading};
    swf::fillGradientPath(painter, path, c.style, gradient, context, c.shapeToDevice, antialias);
    return image;
}

int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

TEST(GradientFill, FillsShadingOnlyNearThePathPaintTheSamePixels)
{
    const QPainterPath path = testPath();
    QPen pen(Qt::black, 90);
    const QPainterPath stroke = swf::strokeOutline(path, pen, QTransform::fromScale(0.05, 0.05));
    // A slanted bar reaching twenty million twips beyond both sides of the device.
    const QPainterPath bar = [] {
        QPainterPath p;
        p.moveTo(-2e7, 300);
        p.lineTo(2e7, 700);
        p.lineTo(2e7, 760);
        p.lineTo(-2e7, 360);
        p.closeSubpath();
        return p;
    }();
    for (const GradientCase& c : gradientCases()) {
        const swf::GradientColours kept(c.style.gradient);
        for (bool antialias : {false, true}) {
            for (QRect clip : {QRect(0, 0, 60, 50), QRect(0, 17, 60, 16), QRect(-5, 40, 20, 30)}) {
                for (const QPainterPath* p : {&path, &stroke, &bar}) {
                    QImage expected = filledFromWholePicture(c, *p, antialias, clip);
                    EXPECT_EQ(differingPixels(filledNearThePath(c, *p, antialias, clip, nullptr), expected), 0)
                        << c.name << (antialias ? ", anti-aliased" : ", aliased") << ", clip row " << clip.top();
                    EXPECT_EQ(differingPixels(filledNearThePath(c, *p, antialias, clip, &kept), expected), 0) << c.name;
                }
            }
        }
    }
}

TEST(GradientFill, AntiAliasedHairlinesAreQtStrokesShadedWhereverTheyTouch)
{
    // A gradient hairline with anti-aliasing is Qt's cosmetic pen with the gradient as its brush; shading only
    // near the line must leave every pixel the pen touches as a picture of the whole gradient would.
    QPen hair(Qt::black, 1);
    hair.setCosmetic(true);
    const QPainterPath path = testPath();
    for (const GradientCase& c : gradientCases()) {
        for (QRect clip : {QRect(0, 0, 60, 50), QRect(0, 17, 60, 16)}) {
            QImage expected = blank();
            {
                QPainter painter(&expected);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setClipRect(clip);
                painter.setTransform(c.shapeToDevice);
                QBrush brush(swf::gradientImage(c.style, c.colours, c.shapeToDevice, expected.rect(), c.shading));
                brush.setTransform(c.shapeToDevice.inverted());
                QPen shaded = hair;
                shaded.setBrush(brush);
                painter.strokePath(path, shaded);
            }
            QImage stroked = blank();
            {
                QPainter painter(&stroked);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setClipRect(clip);
                painter.setTransform(c.shapeToDevice);
                swf::BrushContext context{c.colours, std::nullopt, nullptr, true, c.shading};
                swf::strokeGradientPath(painter, path, hair, c.style, nullptr, context, c.shapeToDevice, true);
            }
            EXPECT_GT(differingPixels(expected, blank()), 40) << c.name;  // the line crosses the picture
            EXPECT_EQ(differingPixels(stroked, expected), 0) << c.name << ", clip row " << clip.top();
        }
    }
}

TEST(GradientFill, ColourLookupIsKeptUntilTheColourTransformChanges)
{
    const swf::GradientColours gradient(gradientStyle(FillKind::LinearGradient, SpreadMode::Pad, {}).gradient);
    swf::ColorTransform half;
    half.aMult = 0.5;
    auto plain = gradient.lookup({});
    EXPECT_EQ(gradient.lookup({}), plain);
    ASSERT_EQ(plain->size(), std::size_t(gradient.steps() + 1));
    EXPECT_EQ(plain->front(), qRgba(255, 0, 0, 255));
    EXPECT_EQ(plain->back(), qRgba(0, 0, 40, 40));
    auto faded = gradient.lookup(half);
    EXPECT_NE(faded, plain);
    EXPECT_EQ(qAlpha(faded->front()), 128);
    EXPECT_EQ(*gradient.lookup({}), *plain);  // built again, the same colours
}

TEST(GradientFill, HardStepsBetweenNeighbouringEntriesAreCrossedInSmallSteps)
{
    // Red up to entry 100, blue from entry 101: the pixels across the step (0.4 px wide in a gradient
    // 100 px across) take blends of the two, so the lookup must not leap across in a few steps (a
    // quarter-entry lookup jumped by 64 of 255, and by 137 in linear light).
    for (auto mode : {swf::InterpolationMode::Normal, swf::InterpolationMode::Linear}) {
        swf::Gradient hard;
        hard.interpolation = mode;
        hard.stops = {{100, {255, 0, 0, 255}}, {101, {0, 0, 255, 255}}};
        auto lookup = swf::GradientColours(hard).lookup({});
        int widest = 0;
        for (std::size_t i = 1; i < lookup->size(); ++i)
            widest = std::max({widest, std::abs(qRed((*lookup)[i]) - qRed((*lookup)[i - 1])),
                               std::abs(qBlue((*lookup)[i]) - qBlue((*lookup)[i - 1]))});
        // In linear light the first steps out of black are the steepest: 1/64 of the light is 33 of 255.
        EXPECT_LE(widest, mode == swf::InterpolationMode::Normal ? 8 : 40) << int(mode);
        EXPECT_EQ(lookup->front(), qRgba(255, 0, 0, 255));
        EXPECT_EQ(lookup->back(), qRgba(0, 0, 255, 255));
    }
    // A ramp that changes by a level or two per entry keeps the small lookup.
    swf::Gradient smooth;
    smooth.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    EXPECT_EQ(swf::GradientColours(smooth).steps(), 256 * swf::GradientColours::kMinStepsPerEntry);
}

}  // namespace
}  // namespace kivamo::test
