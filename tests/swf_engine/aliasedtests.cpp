// Low-quality edges: the pixel-centre rule for fills, strokes and masks, curve flattening and fill rules.
#include "helpers.h"
#include "swf/qt/aliasedfill.h"
#include "swf/qt/strokeoutline.h"

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint16_t kPlaceObject2 = 26;

QRegion coverage(const QPainterPath& path, const QTransform& t = QTransform())
{
    return swf::pixelCentreRegion(path, t, QRect(0, 0, 100, 100));
}

// Regions compare by their rectangles; these compare by the pixels they hold.
bool samePixels(const QRegion& a, const QRegion& b)
{
    return a.xored(b).isEmpty();
}

TEST(PixelCentreRule, EdgesThroughPixelCentresBelongToTheLeftAndTopSides)
{
    QPainterPath square;
    square.addRect(QRectF(10.5, 10.5, 10, 10));  // every edge runs through pixel centres
    EXPECT_TRUE(samePixels(coverage(square), QRegion(10, 10, 10, 10)));
    QPainterPath nudged;
    nudged.addRect(QRectF(10.6, 10.4, 9.8, 10.2));  // right 20.4, bottom 20.6
    EXPECT_TRUE(samePixels(coverage(nudged), QRegion(11, 10, 9, 11)));
}

TEST(PixelCentreRule, VerticesKeepToA256thOfAPixel)
{
    // A left edge a thousandth of a pixel right of the centres moves onto them and takes the column;
    // a hundredth is beyond half a step and leaves it out.
    QPainterPath hair, clear;
    hair.addRect(QRectF(10.501, 0, 10, 4));
    clear.addRect(QRectF(10.51, 0, 10, 4));
    EXPECT_TRUE(coverage(hair).contains(QPoint(10, 1)));
    EXPECT_FALSE(coverage(clear).contains(QPoint(10, 1)));
    EXPECT_TRUE(coverage(clear).contains(QPoint(11, 1)));
}

TEST(PixelCentreRule, EvenOddAndWindingRulesDecideOverlaps)
{
    QPainterPath twice;
    twice.addRect(QRectF(0, 0, 10, 10));
    twice.addRect(QRectF(0, 0, 10, 10));
    twice.setFillRule(Qt::OddEvenFill);
    EXPECT_TRUE(coverage(twice).isEmpty());
    twice.setFillRule(Qt::WindingFill);
    EXPECT_TRUE(samePixels(coverage(twice), QRegion(0, 0, 10, 10)));
}

TEST(PixelCentreRule, TransformAndAreaApplyAndDegeneratePathsCoverNothing)
{
    QPainterPath unit;
    unit.addRect(QRectF(0, 0, 1, 1));
    EXPECT_TRUE(samePixels(coverage(unit, QTransform::fromScale(200, 4)), QRegion(0, 0, 100, 4)));  // cut at the area
    QPainterPath line;
    line.moveTo(5, 5);
    line.lineTo(50, 5);
    EXPECT_TRUE(coverage(line).isEmpty());
    EXPECT_TRUE(coverage(QPainterPath()).isEmpty());
}

TEST(PixelCentreRule, CurvesAreFlattenedWithinATenthOfAPixel)
{
    // A circle of radius 40 from four quadratic arcs: each pixel whose centre lies clearly inside
    // or outside the true curve keeps its side.
    QPainterPath circle;
    const double r = 40;
    circle.moveTo(90, 50);
    const double step = M_PI / 4;
    for (int i = 1; i <= 8; ++i) {
        double a = i * step, m = a - step / 2;
        circle.quadTo(50 + (r / std::cos(step / 2)) * std::cos(m), 50 + (r / std::cos(step / 2)) * std::sin(m),
                      50 + r * std::cos(a), 50 + r * std::sin(a));
    }
    QRegion pixels = coverage(circle);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            double d = std::hypot(x + 0.5 - 50, y + 0.5 - 50);
            if (d < r - 0.4) {
                EXPECT_TRUE(pixels.contains(QPoint(x, y))) << x << "," << y;
            } else if (d > r + 0.2) {
                EXPECT_FALSE(pixels.contains(QPoint(x, y))) << x << "," << y;
            }
        }
}

// A 100x100 px stage with a red rectangle whose edges run through pixel centres, drawn at low quality.
QImage lowQualityRectangle(bool asMask)
{
    SwfWriter w = smallMovie();
    auto red = rectangleShape(1, {210, 410, 210, 410}, {255, 0, 0, 255});  // 10.5 .. 20.5 px
    auto blue = rectangleShape(2, {0, 2000, 0, 2000}, {0, 0, 255, 255});
    w.tag(red.first, red.second).tag(blue.first, blue.second);
    if (asMask) {
        Placement mask = placeAt(1, 1);
        mask.clipDepth = 2;
        w.tag(kPlaceObject2, placeObject2(mask)).tag(kPlaceObject2, placeObject2(placeAt(2, 2)));
    } else {
        w.tag(kPlaceObject2, placeObject2(placeAt(1, 1)));
    }
    w.showFrame();
    return renderFrame(*playerFor(w.finish()), swf::Quality::Low);
}

TEST(PixelCentreRule, LowQualityFillsAndMasksCoverTheSamePixels)
{
    QImage fill = lowQualityRectangle(false), mask = lowQualityRectangle(true);
    const QColor colour[2] = {QColor(255, 0, 0), QColor(0, 0, 255)};
    for (int i = 0; i < 2; ++i) {
        const QImage& image = i == 0 ? fill : mask;
        EXPECT_TRUE(near(image, 10, 10, colour[i], 0)) << i;
        EXPECT_TRUE(near(image, 19, 19, colour[i], 0)) << i;
        EXPECT_TRUE(near(image, 20, 15, QColor(255, 255, 255), 0)) << i;
        EXPECT_TRUE(near(image, 15, 20, QColor(255, 255, 255), 0)) << i;
        EXPECT_TRUE(near(image, 9, 15, QColor(255, 255, 255), 0)) << i;
    }
}

TEST(PixelCentreRule, LowQualityStrokesCoverTheirWidthWithoutBlending)
{
    ShapeBuilder s(1, 3);
    int line = s.lineStyle(80, {0, 0, 255, 255});  // 4 px wide along y = 50
    s.styles(0, 0, line).moveTo(200, 1000).lineTo(1800, 1000);
    SwfWriter w = smallMovie();
    w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()), swf::Quality::Low);
    for (int y = 46; y <= 53; ++y) {
        bool inside = y >= 48 && y <= 51;  // centres 48.5 .. 51.5 lie within 48 .. 52
        EXPECT_TRUE(near(image, 50, y, inside ? QColor(0, 0, 255) : QColor(255, 255, 255), 0)) << y;
    }
}

TEST(PixelCentreRule, RoundJoinsArePolygonsThatCutSlightlyInsideTheCircle)
{
    // Two 20 px strokes meeting at right angles, joins of radius 10 px around (50, 49.95) (the outer
    // side below and left) and (50, 50) (above and left). Pixel centres close to the circle near the
    // middle of a join fall on either side of its chords as in Flash's pictures; a true circle would
    // take all of them.
    QPen pen(Qt::black, 20, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    QPainterPath below, above;
    below.moveTo(90, 49.95);
    below.lineTo(50, 49.95);
    below.lineTo(50, 10);
    above.moveTo(50, 90);
    above.lineTo(50, 50);
    above.lineTo(90, 50);
    const QRegion belowPixels = coverage(swf::strokeOutline(below, pen, QTransform()));
    const QRegion abovePixels = coverage(swf::strokeOutline(above, pen, QTransform()));
    struct Case {
        const QRegion* pixels;
        QPoint pixel;
        bool covered;  // the centre's distance from the join's centre in the comment
    };
    const Case cases[] = {
        {&belowPixels, {42, 56}, false},  // 9.958, 41 degrees from the lower edge
        {&belowPixels, {43, 57}, false},  // 9.963
        {&belowPixels, {40, 53}, false},  // 10.142
        {&belowPixels, {47, 59}, true},   // 9.872
        {&belowPixels, {40, 52}, true},   // 9.836
        {&abovePixels, {42, 43}, true},   // 9.925
        {&abovePixels, {43, 42}, true},   // 9.925
        {&abovePixels, {41, 44}, false},  // 10.124
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.pixels->contains(c.pixel), c.covered) << c.pixel.x() << "," << c.pixel.y();
}

TEST(PixelCentreRule, SmallRoundJoinsHaveFewerSides)
{
    // A 5 px stroke turning a right angle at (37.95, 37.92), as in a small diamond of Flash's: its join is
    // two eighth-turn curves of radius 2.5 flattened into two chords each, which leave out the centres of
    // pixels (37, 35) and (38, 35), 2.46 and 2.48 px from the corner, as in Flash's picture.
    // With flat caps Qt's stroker builds the join (as a cubic curve); it must come out the same.
    QPainterPath corner;
    corner.moveTo(25.3991, 50.4696);
    corner.lineTo(37.95, 37.9187);
    corner.lineTo(50.5009, 50.4696);
    for (Qt::PenCapStyle cap : {Qt::RoundCap, Qt::FlatCap}) {
        const QPen pen(Qt::black, 5, Qt::SolidLine, cap, Qt::RoundJoin);
        const QRegion pixels = coverage(swf::strokeOutline(corner, pen, QTransform()));
        EXPECT_FALSE(pixels.contains(QPoint(37, 35))) << cap;
        EXPECT_FALSE(pixels.contains(QPoint(38, 35))) << cap;
        EXPECT_TRUE(pixels.contains(QPoint(37, 36))) << cap;
        EXPECT_TRUE(pixels.contains(QPoint(36, 36))) << cap;  // 2.03 px away, near where the two curves meet
    }
}

TEST(PixelCentreRule, RoundStrokesKeepHalfTheirWidthFromTheCurveWhereCurvesMeetSmoothly)
{
    // Two curves meet at (50, 50.5), both running straight down there, bending off to the right; the
    // stroke is 1 px wide. The inner edge passes through (50.5, 50.5), the centre of pixel (50, 50),
    // which an edge on its left leaves out; just above and below, the curve lies right of x = 50,
    // so the stroke covers those centres. Widening the flattened chords would cover (50, 50) too.
    QPen pen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath path;
    path.moveTo(60, 30.5);
    path.quadTo(50, 30.5, 50, 50.5);
    path.quadTo(50, 70.5, 60, 70.5);
    const QRegion pixels = coverage(swf::strokeOutline(path, pen, QTransform()));
    struct Case {
        QPoint pixel;
        bool covered;
    };
    const Case cases[] = {
        {{50, 50}, false}, {{50, 49}, true}, {{50, 51}, true}, {{49, 50}, true}, {{48, 50}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pixels.contains(c.pixel), c.covered) << c.pixel.x() << "," << c.pixel.y();
}

TEST(PixelCentreRule, WideCurvedStrokesAreMitredWhereTheirChordsMeet)
{
    // A 20 px stroke along an eighth of a circle of radius 37.5 (a circle from Flash's drawing tools). The
    // centre of pixel (29, 37) lies 10.007 px from the curve, outside the true stroke, but inside the one
    // Flash draws, whose outer side runs through the corners where the offset chords meet.
    QPen pen(Qt::black, 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath arc;
    arc.moveTo(37.95, 49.95);
    arc.quadTo(37.95, 34.4, 48.9, 23.4);
    const QRegion pixels = coverage(swf::strokeOutline(arc, pen, QTransform()));
    EXPECT_TRUE(pixels.contains(QPoint(29, 37)));
    EXPECT_FALSE(pixels.contains(QPoint(28, 37)));  // 11 px away
    EXPECT_TRUE(pixels.contains(QPoint(50, 37)));   // the inner side: 9.75 px away
    EXPECT_FALSE(pixels.contains(QPoint(51, 37)));  // 10.6

    // Curves that turn back on themselves within a pixel: the corners at their tips would lie far beyond
    // them, so they are rounded there instead, and the strokes keep their 2 px half width all round.
    QPen narrow(Qt::black, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    struct Hairpin {
        QPointF control;
        double endY;
        int tip;     // the rightmost point of the curve
        int bottom;  // the last row whose centre lies within 2 px of the curve's end
    };
    // The last reaches far beyond the area (which ends at x = 600) and needs more points than any curve gets;
    // it still runs to the area's edge rather than collapsing to its chord.
    for (const Hairpin& h :
         {Hairpin{{130, 50.5}, 51, 80, 52}, Hairpin{{500, 50}, 50.1, 265, 51}, Hairpin{{100000, 50}, 50.1, 598, 51}}) {
        QPainterPath hairpin;
        hairpin.moveTo(30, 50);
        hairpin.quadTo(h.control, QPointF(30, h.endY));
        const QRegion pixels = swf::pixelCentreRegion(swf::strokeOutline(hairpin, narrow, QTransform()), QTransform(),
                                                      QRect(0, 0, 600, 100));
        EXPECT_EQ(pixels.boundingRect(), QRect(QPoint(28, 48), QPoint(h.tip + 1, h.bottom))) << h.tip;
    }
}

TEST(PixelCentreRule, HairlinesCoverOnePixelAcrossTheirMajorAxis)
{
    // A pixel-wide line at 45 degrees, which as a band a pixel wide would take a pixel and a half of each
    // row, takes one; a steep line one of each row and a flat one one of each column.
    QPen hair(Qt::black, 1);
    hair.setCosmetic(true);
    ASSERT_TRUE(swf::isHairline(hair));
    struct Line {
        QPointF from, to;
    };
    for (const Line& l : {Line{{10, 10}, {60, 60}}, Line{{10, 10}, {30, 70}}, Line{{10, 10}, {70, 40}}}) {
        QPainterPath path;
        path.moveTo(l.from);
        path.lineTo(l.to);
        const QRegion pixels = coverage(swf::strokeOutline(path, hair, QTransform()));
        const bool steep = std::fabs(l.to.y() - l.from.y()) > std::fabs(l.to.x() - l.from.x());
        const int steps = int(steep ? l.to.y() - l.from.y() : l.to.x() - l.from.x());
        for (int k = 1; k < steps - 1; ++k) {
            const QRect across = steep ? QRect(0, int(l.from.y()) + k, 100, 1) : QRect(int(l.from.x()) + k, 0, 1, 100);
            EXPECT_EQ(pixels.intersected(across).rectCount(), 1) << k;
            EXPECT_EQ(pixels.intersected(across).boundingRect().width() * pixels.intersected(across).boundingRect().height(), 1)
                << l.to.x() << "," << l.to.y() << " step " << k;
        }
    }

    // Without caps or joins the outside corner of a square stays clear; a line drawn there and back again
    // covers its pixels once, not zero times.
    QPainterPath corner;
    corner.moveTo(20.5, 40);
    corner.lineTo(20.5, 20.5);
    corner.lineTo(40, 20.5);
    corner.lineTo(20.5, 20.5);
    const QRegion cornerPixels = coverage(swf::strokeOutline(corner, hair, QTransform()));
    EXPECT_FALSE(cornerPixels.contains(QPoint(19, 19)));
    EXPECT_TRUE(cornerPixels.contains(QPoint(20, 20)));
    EXPECT_TRUE(cornerPixels.contains(QPoint(30, 20)));
    EXPECT_TRUE(cornerPixels.contains(QPoint(20, 30)));

    QPen wider(Qt::black, 1.5);
    wider.setCosmetic(true);
    EXPECT_FALSE(swf::isHairline(wider));
}

TEST(PixelCentreRule, MitersReachingBeyondTheLimitAreCutAQuarterOfItFromTheCorner)
{
    // A triangle stroked 5 px wide with miter joins of limit 1: the right angle at the top keeps its whole
    // miter (its tip 3.5 px out, within the limit's 5 px), the 45 degree corners (tips 6.5 px out) are cut
    // square to their bisector 1.25 px from the corner, as Flash draws them. Drawn either way round.
    QPen pen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
    pen.setMiterLimit(1);
    QPainterPath forward, backward;
    forward.moveTo(50, 10);
    forward.lineTo(90, 50);
    forward.lineTo(10, 50);
    forward.lineTo(50, 10);
    backward.moveTo(50, 10);
    backward.lineTo(10, 50);
    backward.lineTo(90, 50);
    backward.lineTo(50, 10);
    struct Case {
        QPoint pixel;
        bool covered;  // how far out from the corner along its bisector in the comment
    };
    const Case limitOne[] = {
        {{49, 7}, true},  {{50, 7}, true},  {{48, 7}, false},  // the top's whole miter
        {{8, 49}, true},                                       // 1.19 px
        {{9, 51}, true},                                       // 1.04
        {{8, 50}, false},                                      // 1.58
        {{8, 51}, false},                                      // 1.96, inside the whole miter
        {{91, 49}, true},  {{91, 50}, false},                  // the right corner likewise
    };
    for (const QPainterPath* path : {&forward, &backward}) {
        const QRegion pixels = coverage(swf::strokeOutline(*path, pen, QTransform()));
        for (const Case& c : limitOne)
            EXPECT_EQ(pixels.contains(c.pixel), c.covered) << c.pixel.x() << "," << c.pixel.y();
        EXPECT_TRUE(pixels.contains(QPoint(50, 49)));
        EXPECT_FALSE(pixels.contains(QPoint(50, 45)));  // inside the triangle
    }

    // A pen measured in device pixels cuts its miters there: the triangle at half size drawn twice as large.
    QPen device = pen;
    device.setCosmetic(true);
    const QRegion scaled = coverage(swf::strokeOutline(QTransform::fromScale(0.5, 0.5).map(forward), device,
                                                       QTransform::fromScale(2, 2)),
                                    QTransform::fromScale(2, 2));
    EXPECT_TRUE(samePixels(scaled, coverage(swf::strokeOutline(forward, pen, QTransform()))));

    // With Flash's default limit of 3 the sharp corners keep their whole miters.
    pen.setMiterLimit(3);
    const QRegion whole = coverage(swf::strokeOutline(forward, pen, QTransform()));
    EXPECT_TRUE(whole.contains(QPoint(5, 51)));   // 4.7 px out
    EXPECT_FALSE(whole.contains(QPoint(4, 51)));  // beyond the miter's sides

    // A line that turns straight back, or all but, ends a quarter of the limit's distance past the turn.
    QPen narrow(Qt::black, 4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    narrow.setMiterLimit(1);
    for (double back : {0.0, 0.01}) {
        QPainterPath there;
        there.moveTo(10, 50);
        there.lineTo(50, 50);
        there.lineTo(10, 50 + back);
        const QRegion pixels = coverage(swf::strokeOutline(there, narrow, QTransform()));
        EXPECT_TRUE(pixels.contains(QPoint(50, 49))) << back;  // 50.5, within 51
        EXPECT_FALSE(pixels.contains(QPoint(51, 49))) << back;
    }
}

TEST(PixelCentreRule, AntiAliasedStrokeOutlinesAreOneAreaWithQtsEdges)
{
    // A translucent stroke is one area: where the miters meet the stroke it is no darker.
    QPen pen(QColor(0, 0, 255, 128), 5, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
    pen.setMiterLimit(1);
    QPainterPath forward;
    forward.moveTo(50, 10);
    forward.lineTo(90, 50);
    forward.lineTo(10, 50);
    forward.lineTo(50, 10);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        swf::strokeShapePath(painter, forward, pen, QTransform(), true);
    }
    EXPECT_EQ(image.pixel(50, 49), image.pixel(11, 49));
    EXPECT_EQ(image.pixel(50, 49), image.pixel(9, 49));  // where a miter overlaps the stroke
    EXPECT_EQ(image.pixel(50, 49), image.pixel(50, 9));

    // Along a smooth curve the outlines keep the edges Qt's own stroke gives: no piece of an outline overlaps
    // another along them, where anti-aliasing would add up their coverage. Miters add nothing there, and round
    // joins are Qt's (the projects' own, Flash's at low quality, are built of overlapping pieces).
    QPainterPath ellipse;
    ellipse.addEllipse(QPointF(50, 50), 30, 20);
    for (Qt::PenJoinStyle join : {Qt::MiterJoin, Qt::RoundJoin}) {
        QPen thick(Qt::black, 12, Qt::SolidLine, Qt::RoundCap, join);
        QImage ours(100, 100, QImage::Format_ARGB32_Premultiplied);
        QImage qts = ours;
        ours.fill(Qt::white);
        qts.fill(Qt::white);
        {
            QPainter painter(&ours);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillPath(swf::strokeOutline(ellipse, thick, QTransform(), true), Qt::black);
        }
        {
            QPainter painter(&qts);
            painter.setRenderHint(QPainter::Antialiasing);
            thick.setJoinStyle(join == Qt::MiterJoin ? Qt::BevelJoin : join);
            painter.strokePath(ellipse, thick);
        }
        int worst = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x)
                worst = std::max(worst, std::abs(qRed(ours.pixel(x, y)) - qRed(qts.pixel(x, y))));
        }
        EXPECT_LE(worst, 2) << join;
    }
}

TEST(Multisampling, HighQualityPicturesCoverEdgePixelsInQuartersOfTheFourSamples)
{
    // A red rectangle on white whose left edge runs at 10.5 px (two of a pixel's four samples inside)
    // and whose top edge at 10.25 px (three inside), rendered at high quality.
    SwfWriter w = smallMovie();
    auto red = rectangleShape(1, {210, 1000, 205, 1000}, {255, 0, 0, 255});
    w.tag(red.first, red.second).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()), swf::Quality::High);
    EXPECT_TRUE(near(image, 10, 30, QColor(255, 128, 128), 1));  // half the samples: half red
    EXPECT_TRUE(near(image, 30, 10, QColor(255, 64, 64), 1));    // three of four samples
    EXPECT_TRUE(near(image, 30, 30, QColor(255, 0, 0), 0));
    EXPECT_TRUE(near(image, 9, 30, QColor(255, 255, 255), 0));
}

}  // namespace
}  // namespace kivamo::test
