// The frame renderer: frames painted in parallel bands, and frames that repaint only what changed, give
// the pixels of one pass over the whole frame (up to gradient rounding); every command's bounds hold all it paints.
#include "helpers.h"

#include "swf/qt/framerenderer.h"
#include "swfwriter/benchmovies.h"

#include <QPainter>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <limits>

namespace kivamo::test {
namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kRemoveObject2 = 28;

// A 550x400 stage holding, in frame 1: 40 circles with linear, radial and focal gradients (some partly
// off the stage), a thick-stroked curved band across the middle, hairlines, a rotated and sheared square,
// and a mask (depth 100) that clips a red square (depth 101). Frame 2 moves circle 5 and removes circle 9;
// frame 3 changes nothing.
Bytes mixedMovie()
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(30, 40, 50);
    const std::uint8_t kinds[] = {0x10, 0x12, 0x13};
    for (std::uint16_t i = 1; i <= 40; ++i) {
        ShapeBuilder s(i, 3);
        std::int32_t x = (i * 7919) % 12000 - 500, y = (i * 104729) % 9000 - 500, r = 600 + (i * 31) % 900;
        double scale = 2.0 * r / 32768;
        auto hue = static_cast<std::uint8_t>(i * 37);
        int fill = s.gradientFill(kinds[i % 3], {scale, 0, 0, scale, x, y},
                                  {{0, {255, hue, 64, 255}}, {160, {hue, 80, 255, 180}}, {255, {0, 0, 0, 0}}}, i % 3,
                                  0.5);
        addCircle(s, x, y, r, fill);
        w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(i, i)));
    }
    ShapeBuilder band(50, 3);
    int thick = band.lineStyle(400, {250, 250, 0, 255});
    band.styles(0, 0, thick).moveTo(-200, 3900).curveTo(5500, 1000, 11200, 4100).curveTo(5500, 7000, -200, 3900);
    int hair = band.lineStyle(1, {255, 255, 255, 255});
    band.styles(0, 0, hair).moveTo(0, 0).lineTo(11000, 8000).moveTo(11000, 0).lineTo(0, 8000);
    w.tag(band.tagCode(), band.body()).tag(kPlaceObject2, placeObject2(placeAt(50, 50)));
    auto square = rectangleShape(60, {-1000, 1000, -1000, 1000}, {0, 200, 100, 200});
    Placement turned = placeAt(60, 60);
    turned.matrix = WriterMatrix{0.7, 0.7, -0.9, 0.5, 8000, 2600};
    w.tag(square.first, square.second).tag(kPlaceObject2, placeObject2(turned));
    auto mask = rectangleShape(70, {3000, 6000, 2500, 5000}, {0, 0, 0, 255});
    auto red = rectangleShape(71, {2000, 9000, 2000, 6000}, {255, 0, 0, 255});
    Placement clip = placeAt(100, 70);
    clip.clipDepth = 101;
    w.tag(mask.first, mask.second).tag(red.first, red.second);
    w.tag(kPlaceObject2, placeObject2(clip)).tag(kPlaceObject2, placeObject2(placeAt(101, 71))).showFrame();
    Placement moved;
    moved.depth = 5;
    moved.move = true;
    moved.matrix = WriterMatrix{1, 0, 0, 1, 700, -300};
    w.tag(kPlaceObject2, placeObject2(moved)).tag(kRemoveObject2, removeObject2(9)).showFrame();
    w.showFrame();
    return w.finish();
}

// A 550x400 stage of objects on layers of their own over a few gradient circles: a square with a drop shadow
// across the middle, one just off the left edge whose glow reaches in, a blurred square, a square that
// subtracts and one that inverts, an inner knockout shadow, and a sprite with a drop shadow holding a square with a
// glow. Frame 2 moves the shadowed square and the glowing square inside the sprite; frame 3 changes nothing;
// frame 4 gives the blurred square another blur.
Bytes layeredMovie()
{
    constexpr std::uint16_t kPlaceObject3 = 70, kDefineSprite = 39;
    constexpr std::uint8_t kSubtract = 9, kInvert = 10;
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(200, 210, 220);
    for (std::uint16_t i = 1; i <= 6; ++i) {
        ShapeBuilder s(i, 3);
        std::int32_t x = 1500 * i, y = 1000 + 1100 * (i % 5), r = 1400;
        double scale = 2.0 * r / 32768;
        int fill = s.gradientFill(0x12, {scale, 0, 0, scale, x, y},
                                  {{0, {255, std::uint8_t(40 * i), 64, 255}}, {255, {0, 80, 255, 255}}}, 0, 0);
        addCircle(s, x, y, r, fill);
        w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(i, i)));
    }
    const WriterColour black{0, 0, 0, 255};
    auto layered = [&](std::uint16_t id, std::uint16_t depth, TwipsRect r, WriterColour c, std::vector<Bytes> filters,
                       std::optional<std::uint8_t> mode = std::nullopt) {
        auto square = rectangleShape(id, r, c);
        w.tag(square.first, square.second);
        Placement p = placeAt(depth, id);
        p.filters = std::move(filters);
        p.blendMode = mode;
        w.tag(kPlaceObject3, placeObject2(p));
    };
    layered(20, 20, {4800, 6600, 3000, 4800}, {250, 250, 250, 255},
            {dropShadowFilter(black, 12, 12, 0.785, 14, 1.5, 2)});
    layered(21, 21, {-1600, -120, 2000, 4000}, {255, 255, 0, 255},
            {glowFilter({255, 0, 0, 255}, 30, 30, 2, 1)});
    layered(22, 22, {600, 2600, 5600, 7600}, {0, 120, 0, 255}, {blurFilter(9, 5, 3)});
    layered(23, 23, {7000, 9000, 800, 2800}, {90, 30, 60, 255}, {}, kSubtract);
    layered(24, 24, {8600, 10400, 5000, 7000}, {255, 255, 255, 255}, {}, kInvert);
    layered(25, 25, {3000, 4400, 5400, 7400}, {30, 60, 200, 255},
            {dropShadowFilter(black, 8, 8, 2.3, 6, 1, 1, true, true)});
    auto inner = rectangleShape(30, {0, 1200, 0, 1200}, {255, 128, 0, 255});
    w.tag(inner.first, inner.second);
    Placement glowing = placeAt(1, 30, 300, 300);
    glowing.filters = {glowFilter({0, 255, 255, 255}, 10, 10, 1, 2)};
    // The sprite moves the square in its second frame and stops there: its shadow moves while the sprite stays.
    Placement shifted;
    shifted.depth = 1;
    shifted.move = true;
    shifted.matrix = WriterMatrix{1, 0, 0, 1, 700, 500};
    constexpr std::uint16_t kDoAction = 12;
    constexpr std::uint8_t kStop = 0x07;
    w.tag(kDefineSprite, spriteBody(31, 2, {{kPlaceObject3, placeObject2(glowing)}, {1, Bytes{}},
                                            {kPlaceObject2, placeObject2(shifted)},
                                            {kDoAction, actions({Bytes{kStop}})}, {1, Bytes{}}}));
    Placement shadowed = placeAt(26, 31, 6800, 5200);
    shadowed.filters = {dropShadowFilter({0, 0, 128, 200}, 16, 16, 1.2, 20, 1, 1)};
    w.tag(kPlaceObject3, placeObject2(shadowed)).showFrame();
    Placement moved;
    moved.depth = 20;
    moved.move = true;
    moved.matrix = WriterMatrix{1, 0, 0, 1, 900, -500};
    w.tag(kPlaceObject2, placeObject2(moved)).showFrame();
    w.showFrame();
    Placement reblurred;
    reblurred.depth = 22;
    reblurred.move = true;
    reblurred.filters = {blurFilter(24, 2, 1)};
    w.tag(kPlaceObject3, placeObject2(reblurred)).showFrame();
    return w.finish();
}

swf::View viewOf(int width, int height, swf::Quality quality = swf::Quality::High)
{
    swf::View view;
    view.width = width;
    view.height = height;
    view.quality = quality;
    return view;
}

// One pass of the painter back end over the whole frame, on this thread.
QImage onePass(swf::Player& player, const swf::View& view)
{
    QImage image(view.width, view.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    swf::PainterBackend backend(painter);
    player.render(backend, view);
    return image;
}

// Empty when the images agree; otherwise how they differ. Qt computes a gradient's colours along each run
// of pixels it paints, starting where the run starts; runs cut at other places (by a band's or a changed
// area's edge) can round a channel the other way, so a few steps per channel
// (one per overlapping translucent gradient) are allowed in a few pixels.
constexpr int kRoundingStep = 3;
constexpr double kMostRoundedShare = 0.001;

std::string differences(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return "different sizes or formats";
    int rounded = 0, worst = 0, worstX = 0, worstY = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            int step = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                 std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            rounded += step > 0;
            if (step > worst) {
                worst = step;
                worstX = x;
                worstY = y;
            }
        }
    if (worst <= kRoundingStep && rounded <= kMostRoundedShare * a.width() * a.height())
        return {};
    return std::to_string(rounded) + " pixels differ, by up to " + std::to_string(worst) + " at (" +
           std::to_string(worstX) + ", " + std::to_string(worstY) + ")";
}

TEST(FrameRenderer, BandedFramesEqualOnePassOverTheWholeFrame)
{
    const Bytes movie = mixedMovie();
    struct Case {
        int width, height;
        swf::Quality quality;
        int bands;  // 0: as many as the renderer chooses
    } cases[] = {{1920, 1080, swf::Quality::High, 0}, {1920, 1080, swf::Quality::Low, 3},
                 {550, 400, swf::Quality::High, 4}, {1001, 257, swf::Quality::Best, 7},
                 {300, 1200, swf::Quality::Medium, 2}, {64, 48, swf::Quality::High, 5}};
    for (const Case& c : cases) {
        auto player = playerFor(movie);
        ASSERT_TRUE(player);
        swf::FrameRenderer renderer;
        renderer.setBands(c.bands);
        const QImage& banded = renderer.render(*player, viewOf(c.width, c.height, c.quality));
        EXPECT_EQ(differences(banded, onePass(*player, viewOf(c.width, c.height, c.quality))), "")
            << c.width << "x" << c.height << " in " << c.bands << " bands";
    }
}

TEST(FrameRenderer, ALaterFrameRepaintsOnlyWhatChangedAndEqualsOnePass)
{
    auto player = playerFor(mixedMovie());
    ASSERT_TRUE(player);
    const swf::View view = viewOf(1100, 800);
    const int whole = 1100 * 800;
    swf::FrameRenderer renderer;
    renderer.setBands(2);
    renderer.render(*player, view);
    EXPECT_EQ(renderer.lastPaintedPixels(), whole);

    player->advance();  // circle 5 moves, circle 9 goes
    QImage second = renderer.render(*player, view);
    EXPECT_GT(renderer.lastPaintedPixels(), 0);
    EXPECT_LT(renderer.lastPaintedPixels(), whole / 2);
    EXPECT_EQ(differences(second, onePass(*player, view)), "");

    player->advance();  // nothing changes
    EXPECT_EQ(differences(renderer.render(*player, view), second), "");
    EXPECT_TRUE(renderer.lastPaintedAreas().empty());

    // A new quality, a new size or a forgotten frame paints everything again.
    renderer.render(*player, viewOf(1100, 800, swf::Quality::Low));
    EXPECT_EQ(renderer.lastPaintedPixels(), whole);
    renderer.render(*player, viewOf(1100, 801, swf::Quality::Low));
    EXPECT_EQ(renderer.lastPaintedPixels(), 1100 * 801);
    renderer.invalidate();
    EXPECT_EQ(differences(renderer.render(*player, viewOf(1100, 801, swf::Quality::Low)),
                          onePass(*player, viewOf(1100, 801, swf::Quality::Low))),
              "");
    EXPECT_EQ(renderer.lastPaintedPixels(), 1100 * 801);

    // Going back to frame 1 repaints where circle 5 was and is, and where circle 9 comes back.
    player->gotoFrame(0);
    EXPECT_EQ(differences(renderer.render(*player, viewOf(1100, 801, swf::Quality::Low)),
                          onePass(*player, viewOf(1100, 801, swf::Quality::Low))),
              "");
}

TEST(FrameRenderer, LayersPaintedOnlyWhereNeededEqualOnePassInBandsAndAfterChanges)
{
    // A layer is painted only over the pixels being painted that its content, spread by its filters, reaches:
    // band edges and changed areas that cut through shadows and glows must not show.
    const Bytes movie = layeredMovie();
    struct Case {
        int width, height;
        swf::Quality quality;
        int bands;
    } cases[] = {{550, 400, swf::Quality::High, 4}, {1001, 257, swf::Quality::Best, 7},
                 {1100, 800, swf::Quality::Low, 3}, {64, 48, swf::Quality::High, 5}};
    for (const Case& c : cases) {
        auto player = playerFor(movie);
        ASSERT_TRUE(player);
        swf::FrameRenderer renderer;
        renderer.setBands(c.bands);
        for (int frame = 0; frame < 4; ++frame) {
            const swf::View view = viewOf(c.width, c.height, c.quality);
            EXPECT_EQ(differences(renderer.render(*player, view), onePass(*player, view)), "")
                << c.width << "x" << c.height << " in " << c.bands << " bands, frame " << frame + 1;
            // Only the layers that changed are painted again, each as far as its filters spread it (on the
            // smallest target the shadows cover most of the picture).
            const std::int64_t whole = std::int64_t(c.width) * c.height;
            if (c.width >= 500 && (frame == 1 || frame == 3)) {
                EXPECT_GT(renderer.lastPaintedPixels(), 0);
                EXPECT_LT(renderer.lastPaintedPixels(), whole / 2) << "frame " << frame + 1;
            } else if (frame == 2) {
                EXPECT_EQ(renderer.lastPaintedPixels(), 0);
            }
            player->advance();
        }
    }
}

TEST(FrameRenderer, ShadowsAndGlowsReachBeyondTheirObjectAndInFromOffTheStage)
{
    auto player = playerFor(layeredMovie());
    ASSERT_TRUE(player);
    const QImage image = onePass(*player, viewOf(550, 400, swf::Quality::Low));
    // The glow of the square just off the left edge colours the first columns red.
    const QColor edge = image.pixelColor(1, 150);
    EXPECT_GT(edge.red(), edge.green() + 40) << edge.name().toStdString();
    // The drop shadow falls 14 px down and right of the square (240..330, 150..240), darker than the stage.
    const QColor shade = image.pixelColor(338, 245);
    const QColor stage = image.pixelColor(540, 390);
    EXPECT_LT(shade.lightness() + 30, stage.lightness()) << shade.name().toStdString();
}

TEST(FrameRenderer, FramesRenderedOnThePoolsOwnThreadsFinishAndAgree)
{
    // Thumbnails may be made on the thread pool that paints the bands: a renderer there paints its bands
    // itself rather than queue them behind its own task.
    const Bytes movie = mixedMovie();
    const int renders = QThreadPool::globalInstance()->maxThreadCount() + 2;
    std::vector<QImage> images(static_cast<std::size_t>(renders));
    for (int i = 0; i < renders; ++i)
        QThreadPool::globalInstance()->start([&movie, &images, i] {
            auto player = playerFor(movie);
            swf::FrameRenderer renderer;
            renderer.setBands(3);
            images[static_cast<std::size_t>(i)] = renderer.render(*player, viewOf(700, 500));
        });
    QThreadPool::globalInstance()->waitForDone();
    auto player = playerFor(movie);
    const QImage expected = onePass(*player, viewOf(700, 500));
    for (const QImage& image : images)
        EXPECT_EQ(differences(image, expected), "");
}

// Paints each command of the frame on its own and checks that nothing lands outside its bounds.
class BoundsChecker : public swf::RenderBackend {
public:
    void drawFrame(const swf::RenderFrame& frame) override
    {
        const auto bounds = swf::frameBounds(frame);
        const auto& commands = frame.commands->commands;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (commands[i].kind != swf::DrawCommand::Kind::Shape)
                continue;
            swf::CommandList alone;
            alone.movie = frame.commands->movie;
            alone.commands.push_back(commands[i]);
            swf::RenderFrame single = frame;
            single.commands = &alone;
            single.background = swf::Rgba{0, 0, 0, 0};
            QImage image(frame.width, frame.height, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            swf::PainterBackend(painter).drawFrame(single);
            painter.end();
            ++checked;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) != 0 &&
                        !(x >= bounds[i].left && x < bounds[i].right && y >= bounds[i].top && y < bounds[i].bottom)) {
                        ADD_FAILURE() << "command " << i << " paints (" << x << ", " << y << ") outside its bounds";
                        return;
                    }
        }
    }
    int checked = 0;
};

TEST(FrameRenderer, CommandBoundsHoldEverythingTheCommandPaints)
{
    auto player = playerFor(mixedMovie());
    ASSERT_TRUE(player);
    for (auto quality : {swf::Quality::Low, swf::Quality::High}) {
        BoundsChecker checker;
        player->render(checker, viewOf(275, 200, quality));
        EXPECT_EQ(checker.checked, 44);
        // Zoomed in, hairlines and thick strokes change their width in pixels.
        swf::View zoomed = viewOf(275, 200, quality);
        zoomed.zoom = swf::Rect{4000, 6000, 3000, 4500};
        player->render(checker, zoomed);
    }
}

TEST(FrameRenderer, StrokesOfStretchedAndSkewedPlacementsStayInsideTheirBounds)
{
    // A thick outline with bevel joins (and one that does not scale) placed stretched, skewed inside a stretched
    // sprite, and inside a sprite stretched the other way: pens round in three different spaces.
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    auto outline = [&w](std::uint16_t id, std::uint8_t flags) {
        ShapeBuilder s(id, 4);
        int line = s.lineStyle(200, {0, 0, 0, 255}, flags);
        s.styles(0, 0, line).moveTo(0, 0).lineTo(600, 0).curveTo(900, 300, 600, 600).lineTo(0, 600).lineTo(0, 0);
        w.tag(s.tagCode(), s.body());
    };
    outline(1, 0x10);         // bevel joins, scales
    outline(2, 0x10 | 0x06);  // bevel joins, does not scale
    Placement skewed = placeAt(1, 1);
    skewed.matrix = WriterMatrix{1, 0, 1.5, 1, 0, 0};
    Placement plain = placeAt(2, 2);
    w.tag(39, spriteBody(3, 1, {{kPlaceObject2, placeObject2(skewed)}, {kPlaceObject2, placeObject2(plain)},
                                {1, Bytes()}}));
    Placement stretched = placeAt(1, 1);
    stretched.matrix = WriterMatrix{6, 0, 0, 1, 500, 500};
    Placement tall = placeAt(2, 3);
    tall.matrix = WriterMatrix{1, 0, 0, 4, 5000, 1500};
    Placement wide = placeAt(3, 3);
    wide.matrix = WriterMatrix{5, 0, 0, 0.5, 1000, 6000};
    w.tag(kPlaceObject2, placeObject2(stretched)).tag(kPlaceObject2, placeObject2(tall));
    w.tag(kPlaceObject2, placeObject2(wide)).showFrame();
    auto player = playerFor(w.finish());
    ASSERT_TRUE(player);
    for (auto quality : {swf::Quality::Low, swf::Quality::High}) {
        BoundsChecker checker;
        player->render(checker, viewOf(550, 400, quality));
        EXPECT_EQ(checker.checked, 5);
    }
}

TEST(FrameRenderer, BoundsOfCommandsThatDrawNothingAreEmptyAndBoxesUnite)
{
    swf::PixelBox a{0, 0, 10, 10}, b{5, 20, 30, 25}, empty{};
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(a.united(empty), a);
    EXPECT_EQ(empty.united(b), b);
    EXPECT_EQ(a.united(b), (swf::PixelBox{0, 0, 30, 25}));
    EXPECT_FALSE(a.intersects(b));
    EXPECT_TRUE(a.intersects(swf::PixelBox{9, 9, 11, 11}));
    EXPECT_FALSE(a.intersects(swf::PixelBox{10, 0, 20, 10}));  // right and bottom are exclusive
    EXPECT_FALSE(a.intersects(empty));

    swf::RenderFrame frame;
    frame.width = 100;
    frame.height = 50;
    swf::DrawCommand shapeless;
    EXPECT_TRUE(swf::commandBounds(shapeless, frame).isEmpty());
    swf::DrawCommand mask;
    mask.kind = swf::DrawCommand::Kind::BeginMask;
    EXPECT_EQ(swf::commandBounds(mask, frame), (swf::PixelBox{0, 0, 100, 50}));
    // A transform that is not finite cannot be bounded: the command may paint anywhere.
    auto geometry = std::make_shared<swf::ShapeGeometry>();
    geometry->layers.resize(1);
    geometry->layers[0].fills.push_back({swf::FillStyle{}, {{swf::PathSegment::Kind::Move, 0, 0, 0, 0},
                                                            {swf::PathSegment::Kind::Line, 20, 20, 0, 0}}});
    swf::DrawCommand wild;
    wild.geometry = geometry;
    wild.matrix.a = std::numeric_limits<double>::infinity();
    EXPECT_EQ(swf::commandBounds(wild, frame), (swf::PixelBox{0, 0, 100, 50}));
}

}  // namespace
}  // namespace kivamo::test
