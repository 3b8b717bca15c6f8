// TShockwaveFlash over real movies written by the SWF writer: loading and its events, unreadable
// movies, the transport, the steady frame clock, loop, zoom views, scale, background, quality, and
// painting into an image against kivamo-swf render.
#include "player/ui/tshockwaveflash.h"

#include "support/testapplication.h"
#include "flashmovies.h"
#include "support/toolrunner.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

struct Recorded {
    QList<int> readyStates, progress;
    QStringList commands;
};

// A control with its events recorded, sized to the movies' 100×100 pixels.
struct Fixture {
    QTemporaryDir dir;
    Recorded events;
    TShockwaveFlash flash;

    Fixture()
    {
        flash.resize(100, 100);
        FlashControlEvents e;
        e.OnReadyStateChange = [this](int s) { events.readyStates << s; };
        e.OnProgress = [this](int p) { events.progress << p; };
        e.OnFSCommand = [this](const QString& c, const QString& a) { events.commands << c + "|" + a; };
        flash.setEvents(e);
    }

    void load(const Bytes& movie, const QString& name = "movie.swf") { flash.Movie(storeFile(dir, name, movie)); }

    QImage painted(int width = 100, int height = 100, QColor fill = Qt::black)
    {
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(fill);
        flash.paintInto(image);
        return image;
    }
};

class FlashTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }
};

}  // namespace

TEST_F(FlashTest, LocalMovieLoadsWithItsFactsAndEvents)
{
    for (int frames : {1, 5, 30}) {
        Fixture f;
        f.load(squaresMovie(frames));
        EXPECT_EQ(f.flash.message(), QString()) << frames;
        EXPECT_EQ(f.flash.TotalFrames(), frames);
        EXPECT_EQ(f.flash.FrameNum(), 0);
        EXPECT_EQ(f.flash.CurrentFrame(), 0);
        EXPECT_EQ(f.flash.ReadyState(), 4);
        EXPECT_EQ(f.events.readyStates, (QList<int>{1, 3, 4})) << "4 arrives once";
        EXPECT_EQ(f.events.progress, (QList<int>{100}));
        EXPECT_DOUBLE_EQ(f.flash.frameInterval(), 100.0);
    }
}

TEST_F(FlashTest, PathIsTrimmedAndANewMovieStartsAfresh)
{
    Fixture f;
    QString first = storeFile(f.dir, "a.swf", squaresMovie(5));
    QString second = storeFile(f.dir, "b.swf", squaresMovie(8));
    f.flash.Movie("  " + first + " \t");
    f.flash.GotoFrame(3);
    f.flash.Zoom(63);
    f.flash.Movie(second);
    EXPECT_EQ(f.flash.TotalFrames(), 8);
    EXPECT_EQ(f.flash.CurrentFrame(), 0);
    EXPECT_FALSE(f.flash.zoomRect()) << "a new movie shows the whole stage";
    EXPECT_EQ(f.events.readyStates, (QList<int>{1, 3, 4, 1, 3, 4}));
}

TEST_F(FlashTest, UnreadableMoviesExplainThemselvesInTheMovieArea)
{
    struct Case {
        const char* name;
        Bytes bytes;
        bool store;
        QString message;
    };
    Bytes html{'<', 'h', 't', 'm', 'l', '>'};
    Bytes truncated = squaresMovie(3);
    truncated.resize(6);
    const QString notFlash = QStringLiteral("无法播放：这不是 Flash 影片（SWF 文件应以 FWS、CWS 或 ZWS 开头）");
    const Case cases[] = {
        {"missing.swf", {}, false, QString()},
        {"empty.swf", {}, true, QStringLiteral("无法播放：影片文件不完整或已损坏")},
        {"page.swf", html, true, notFlash},
        {"cut.swf", truncated, true, QStringLiteral("无法播放：影片文件不完整或已损坏")},
    };
    for (const Case& c : cases) {
        Fixture f;
        QString path = f.dir.filePath(c.name);
        if (c.store)
            writeFile(path.toStdString(), c.bytes);
        f.flash.Movie(path);
        QString expected = c.store ? c.message : QStringLiteral("无法读取影片文件：") + path;
        EXPECT_EQ(f.flash.message(), expected) << c.name;
        EXPECT_EQ(f.flash.TotalFrames(), 0) << c.name;
        EXPECT_FALSE(f.events.readyStates.contains(4)) << c.name;
        // Every command still answers without a movie.
        f.flash.Play();
        f.flash.GotoFrame(5);
        f.flash.Forward();
        f.flash.Back();
        f.flash.Rewind();
        f.flash.Zoom(63);
        f.flash.advanceTo(1000);
        EXPECT_EQ(f.flash.CurrentFrame(), 0) << c.name;
        EXPECT_FALSE(f.flash.Playing()) << c.name;
        // The movie area is not left blank: the explanation's text is drawn over the dark area.
        QImage image = f.painted(100, 100, Qt::black);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 2) << c.name;
    }
}

TEST_F(FlashTest, MoviesAboveTheSizeLimitAreRefused)
{
    const std::pair<std::size_t, bool> cases[] = {{1000, true}, {1024 * 1024 - 100, true}, {1024 * 1024, false}, {3 * 1024 * 1024, false}};
    for (auto [padding, plays] : cases) {
        Fixture f;
        f.flash.setMaxMovieBytes(1024 * 1024);
        f.load(paddedMovie(padding));
        EXPECT_EQ(f.flash.message(), plays ? QString() : QStringLiteral("无法播放：影片大于 1 MB")) << padding;
        EXPECT_EQ(f.flash.ReadyState() == 4, plays) << padding;
    }
}

TEST_F(FlashTest, GotoFrameClampsIntoTheTimeline)
{
    const std::pair<int, int> cases[] = {{-5, 0}, {0, 0}, {3, 3}, {9, 9}, {10, 9}, {1000, 9}};
    Fixture f;
    f.load(squaresMovie(10));
    for (auto [asked, reached] : cases) {
        f.flash.GotoFrame(asked);
        EXPECT_EQ(f.flash.CurrentFrame(), reached) << asked;
        EXPECT_EQ(f.flash.FrameNum(), reached) << asked;
    }
}

TEST_F(FlashTest, BackForwardAndRewindStepAndHaltAtBothEnds)
{
    Fixture f;
    f.load(squaresMovie(4));
    f.flash.Play();
    f.flash.Back();
    EXPECT_EQ(f.flash.CurrentFrame(), 0) << "no frame before the first";
    EXPECT_FALSE(f.flash.Playing());
    const int forwards[] = {1, 2, 3, 3};
    for (int expected : forwards) {
        f.flash.Play();
        f.flash.Forward();
        EXPECT_EQ(f.flash.CurrentFrame(), expected);
        EXPECT_FALSE(f.flash.Playing());
    }
    f.flash.Back();
    EXPECT_EQ(f.flash.CurrentFrame(), 2);
    f.flash.Rewind();
    EXPECT_EQ(f.flash.CurrentFrame(), 0);
}

TEST_F(FlashTest, ClockAdvancesAtTheFrameRateWithoutDrift)
{
    Fixture f;
    f.load(squaresMovie(10, 10));
    f.flash.Play();
    const std::pair<qint64, int> steps[] = {{0, 0}, {99, 0}, {100, 1}, {150, 1}, {200, 2}, {699, 6}};
    for (auto [ms, frame] : steps) {
        f.flash.advanceTo(ms);
        EXPECT_EQ(f.flash.CurrentFrame(), frame) << ms;
    }
    // A long run ticked a little late each time still lands where the clock says: 1234 frames in.
    for (qint64 ms = 700; ms <= 123'400; ms += 100)
        f.flash.advanceTo(ms + 7);
    EXPECT_EQ(f.flash.CurrentFrame(), 1234 % 10);
    EXPECT_TRUE(f.flash.Playing());
}

TEST_F(FlashTest, FramesFallenBehindAreDroppedNotSlowed)
{
    Fixture f;
    f.load(squaresMovie(20, 10));
    f.flash.Play();
    f.flash.grab();  // paints frame 0
    f.flash.advanceTo(500);
    EXPECT_EQ(f.flash.CurrentFrame(), 5) << "one late tick catches up five frames";
    f.flash.advanceTo(600);
    EXPECT_EQ(f.flash.CurrentFrame(), 6) << "and the next keeps the pace";
    // A clock far ahead (a suspended machine) catches up a bounded number of frames, then goes on.
    f.flash.advanceTo(100'000);
    EXPECT_EQ(f.flash.CurrentFrame(), 16);
    f.flash.advanceTo(100'100);
    EXPECT_EQ(f.flash.CurrentFrame(), 17);
}

TEST_F(FlashTest, StoppedMovieStaysAndLoopDecidesTheEnd)
{
    struct Case {
        bool loop;
        int frameAfterThirteen;
    };
    for (Case c : {Case{true, 3}, Case{false, 9}}) {
        Fixture f;
        f.load(squaresMovie(10, 10));
        f.flash.Loop(c.loop);
        f.flash.Stop();
        f.flash.advanceTo(300);
        EXPECT_EQ(f.flash.CurrentFrame(), 0) << c.loop;
        f.flash.Play();
        for (qint64 ms = 400; ms <= 1600; ms += 100)
            f.flash.advanceTo(ms);
        EXPECT_EQ(f.flash.CurrentFrame(), c.frameAfterThirteen) << c.loop;
    }
}

TEST_F(FlashTest, LoopSetBeforeTheMovieIsKept)
{
    Fixture f;
    f.flash.Loop(false);
    f.load(squaresMovie(3, 10));
    f.flash.Play();
    for (qint64 ms = 100; ms <= 1000; ms += 100)
        f.flash.advanceTo(ms);
    EXPECT_EQ(f.flash.CurrentFrame(), 2);
}

TEST_F(FlashTest, RepaintIsAskedOnlyWhenTheFrameChanges)
{
    Fixture f;
    f.load(squaresMovie(10, 10));
    f.flash.Stop();
    f.flash.grab();
    EXPECT_FALSE(f.flash.needsRepaint());
    int painted = f.flash.framesPainted();
    f.flash.advanceTo(300);
    EXPECT_FALSE(f.flash.needsRepaint()) << "a halted movie keeps its picture";
    f.flash.GotoFrame(0);
    EXPECT_FALSE(f.flash.needsRepaint()) << "going to the frame already shown";
    f.flash.Play();
    f.flash.advanceTo(400);
    EXPECT_TRUE(f.flash.needsRepaint());
    f.flash.grab();
    EXPECT_EQ(f.flash.framesPainted(), painted + 1);
    f.flash.advanceTo(450);
    EXPECT_FALSE(f.flash.needsRepaint()) << "no frame due yet";
    f.flash.BackgroundColor(0x00ff00);
    EXPECT_TRUE(f.flash.needsRepaint()) << "a new view is drawn";
}

TEST_F(FlashTest, MovieClipsOnAStandingTimelineAreRepainted)
{
    // One main frame holding a two-frame movie clip: the main frame never changes, the picture does.
    SwfWriter w(10, {0, 2000, 0, 2000}, 10 << 8);
    for (int i = 0; i < 2; ++i) {
        ShapeBuilder s(std::uint16_t(i + 1), 3);
        s.rectangle({500, 1500, 500, 1500}, s.solidFill(frameColour(i)));
        w.tag(s.tagCode(), s.body());
    }
    Placement first, second;
    first.characterId = 1;
    second.characterId = 2;
    w.tag(39, spriteBody(3, 2, {{kFlashPlaceObject2, placeObject2(first)}, {1, {}},
                                {kFlashRemoveObject2, removeObject2(1)}, {kFlashPlaceObject2, placeObject2(second)}, {1, {}}}));
    Placement clip;
    clip.characterId = 3;
    w.tag(kFlashPlaceObject2, placeObject2(clip)).showFrame();
    Fixture f;
    f.load(w.finish());
    ASSERT_EQ(f.flash.TotalFrames(), 1);
    f.flash.grab();
    EXPECT_TRUE(sameColour(f.painted().pixelColor(50, 50), toColour(frameColour(0))));
    f.flash.advanceTo(100);
    EXPECT_TRUE(f.flash.needsRepaint());
    EXPECT_TRUE(sameColour(f.painted().pixelColor(50, 50), toColour(frameColour(1))));
}

TEST_F(FlashTest, ZoomStepsAreRelativeAndCentred)
{
    struct Case {
        std::vector<int> steps;
        std::optional<swf::Rect> view;
    };
    const Case cases[] = {
        {{63}, swf::Rect{370, 1630, 370, 1630}},
        {{63, 63}, swf::Rect{603, 1397, 603, 1397}},
        {{63, 160}, std::nullopt},                    // 2016 twips: past the whole stage
        {{63, 63, 160}, swf::Rect{365, 1635, 365, 1635}},
        {{160}, std::nullopt},                        // never wider than the whole movie
        {{63, 63, 0}, std::nullopt},
        {{0}, std::nullopt},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.load(squaresMovie(2));
        for (int step : c.steps)
            f.flash.Zoom(step);
        auto view = f.flash.zoomRect();
        ASSERT_EQ(bool(view), bool(c.view)) << c.steps.size();
        if (!view)
            continue;
        EXPECT_NEAR(view->xMin, c.view->xMin, 1);
        EXPECT_NEAR(view->xMax, c.view->xMax, 1);
        EXPECT_NEAR(view->yMin, c.view->yMin, 1);
        EXPECT_NEAR(view->yMax, c.view->yMax, 1);
    }
}

TEST_F(FlashTest, ZoomedViewIsWhatGetsPainted)
{
    Fixture f;
    f.load(squaresMovie(1));
    QColor square = toColour(frameColour(0));
    EXPECT_TRUE(sameColour(f.painted().pixelColor(3, 3), Qt::white));
    f.flash.Zoom(63);
    EXPECT_TRUE(sameColour(f.painted().pixelColor(3, 3), Qt::white)) << "the corner still shows the stage";
    EXPECT_TRUE(sameColour(f.painted().pixelColor(20, 50), square)) << "the square grew past 20 px";
    f.flash.Zoom(63);
    EXPECT_TRUE(sameColour(f.painted().pixelColor(3, 3), square)) << "the square fills the view";
    f.flash.Zoom(0);
    EXPECT_TRUE(sameColour(f.painted().pixelColor(20, 50), Qt::white));
}

TEST_F(FlashTest, BackgroundOverrideAndTheMoviesOwnColour)
{
    const std::pair<int, QColor> cases[] = {
        {-1, QColor(10, 20, 30)}, {0xff0000, QColor(255, 0, 0)}, {0x123456, QColor(0x12, 0x34, 0x56)}, {0, QColor(0, 0, 0)}};
    for (auto [colour, expected] : cases) {
        Fixture f;
        f.flash.BackgroundColor(colour);  // set before the movie, as the player does
        f.load(squaresMovie(1, 10, {10, 20, 30, 255}));
        EXPECT_TRUE(sameColour(f.painted(100, 100, Qt::magenta).pixelColor(5, 5), expected)) << colour;
    }
    Fixture f;
    f.load(squaresMovie(1, 10, {10, 20, 30, 255}));
    f.flash.BackgroundColor(0xffffff);
    f.flash.BackgroundColor(-1);
    EXPECT_TRUE(sameColour(f.painted().pixelColor(5, 5), QColor(10, 20, 30)));
}

TEST_F(FlashTest, QualityReadsBackWithItsText)
{
    Fixture f;
    EXPECT_EQ(f.flash.Quality(), QualityHigh);
    const std::pair<int, const char*> cases[] = {{0, "低"}, {1, "高"}, {2, "速度优先"}, {3, "质量优先"}};
    for (auto [quality, text] : cases) {
        f.flash.Quality(quality);
        EXPECT_EQ(f.flash.Quality(), quality);
        EXPECT_EQ(f.flash.Quality2(), QString::fromUtf8(text));
    }
    for (int unknown : {-1, 4, 99}) {
        f.flash.Quality(unknown);
        EXPECT_EQ(f.flash.Quality(), QualityBest) << unknown;
    }
}

TEST_F(FlashTest, NoScaleShowsNativeSizeAndShowAllFills)
{
    struct Case {
        QString scale;
        QColor at60;  // pixel (60, 100) of a 200×200 control
    };
    const Case cases[] = {{"noscale", Qt::white}, {"NoScale", Qt::white}, {"showall", toColour(frameColour(0))}, {"", toColour(frameColour(0))}};
    for (const Case& c : cases) {
        Fixture f;
        f.flash.resize(200, 200);
        f.flash.Scale(c.scale);
        f.load(squaresMovie(1));
        EXPECT_TRUE(sameColour(f.painted(200, 200).pixelColor(60, 100), c.at60)) << c.scale.toStdString();
        EXPECT_TRUE(sameColour(f.painted(200, 200).pixelColor(100, 100), toColour(frameColour(0))));
    }
}

TEST_F(FlashTest, PaintingIsClippedToTheControl)
{
    Fixture f;
    f.load(squaresMovie(1));
    QImage image = f.painted(150, 120, Qt::black);
    EXPECT_TRUE(sameColour(image.pixelColor(99, 99), Qt::white));
    EXPECT_TRUE(sameColour(image.pixelColor(100, 50), Qt::black));
    EXPECT_TRUE(sameColour(image.pixelColor(50, 100), Qt::black));
    EXPECT_TRUE(sameColour(image.pixelColor(149, 119), Qt::black));
    QImage small = f.painted(40, 40, Qt::black);
    EXPECT_TRUE(sameColour(small.pixelColor(39, 39), toColour(frameColour(0))));
    QImage none;
    f.flash.paintInto(none);  // a null image is left alone
    EXPECT_TRUE(none.isNull());
}

TEST_F(FlashTest, PaintedFrameMatchesTheCommandLineRenderer)
{
    Fixture f;
    QString path = storeFile(f.dir, "curves.swf", [] {
        SwfWriter w(10, {0, 2000, 0, 1600}, 12 << 8);
        w.backgroundColour(200, 220, 240);
        for (int i = 0; i < 4; ++i) {
            ShapeBuilder s(std::uint16_t(i + 1), 3);
            int fill = s.solidFill(frameColour(i));
            int line = s.lineStyle(40, {20, 20, 20, 255});
            s.styles(0, fill, line).moveTo(200 + i * 100, 200).curveTo(1800, 100, 1700, 1400).lineTo(300, 1300).lineTo(200 + i * 100, 200);
            w.tag(s.tagCode(), s.body());
            if (i > 0)
                w.tag(kFlashRemoveObject2, removeObject2(1));
            Placement p;
            p.characterId = std::uint16_t(i + 1);
            w.tag(kFlashPlaceObject2, placeObject2(p));
            w.showFrame();
        }
        return w.finish();
    }());
    QString png = f.dir.filePath("frame.png");
    ToolRun run = runTool("kivamo-swf", {"render", path, "--frames", "3", "--size", "160x128", "-o", png});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QImage expected(png);
    ASSERT_EQ(expected.size(), QSize(160, 128));
    f.flash.resize(160, 128);
    f.flash.Movie(path);
    f.flash.GotoFrame(2);
    QImage image = f.painted(160, 128);
    int differing = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 160; ++x)
            differing += !sameColour(image.pixelColor(x, y), expected.pixelColor(x, y), 8);
    EXPECT_LE(differing, 160 * 128 / 100) << "at most 1% of the pixels differ beyond 8 levels";
}

TEST_F(FlashTest, FSCommandsReachTheEvent)
{
    Fixture f;
    f.load(squaresMovie(2, 10, {255, 255, 255, 255}, actions({actionGetUrl("FSCommand:quit", "now")})));
    f.flash.advanceTo(100);
    EXPECT_EQ(f.events.commands, QStringList{"quit|now"});
}

TEST_F(FlashTest, PointerOverAButtonShowsTheHand)
{
    // A button over the whole 100 x 100 stage's left half: one square in every state and as the hit area.
    SwfWriter w(8, {0, 2000, 0, 2000});
    ShapeBuilder square(1);
    square.rectangle({0, 1000, 0, 2000}, square.solidFill({200, 0, 0, 255}));
    w.tag(square.tagCode(), square.body());
    ByteWriter button;
    button.u16(2).u8(0).u16(0).u8(0x0F).u16(1).u16(1).bytes(matrixBytes({})).bytes(colourTransformBytes({}, true)).u8(0);
    w.tag(34, button.data());
    Placement p;
    p.depth = 1;
    p.characterId = 2;
    w.tag(kFlashPlaceObject2, placeObject2(p)).showFrame();
    Fixture f;
    f.load(w.finish());
    auto move = [&](int x) {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, 50), QPointF(x, 50), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&f.flash, &event);
    };
    move(20);
    EXPECT_EQ(f.flash.cursor().shape(), Qt::PointingHandCursor);
    move(80);
    EXPECT_EQ(f.flash.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FlashTest, FactoryPlacesEachFreshControlAndItTakesTheKeyboard)
{
    QWidget window;
    window.resize(200, 200);
    int placed = 0;
    FlashControlFactory factory = tshockwaveflashFactory(nullptr, [&](TShockwaveFlash& control) {
        control.setParent(&window);
        control.setGeometry(0, 0, 200, 200);
        ++placed;
    });
    std::unique_ptr<FlashControl> first = factory();
    std::unique_ptr<FlashControl> second = factory();
    EXPECT_EQ(placed, 2);
    ASSERT_NE(first, second);
    auto* widget = dynamic_cast<TShockwaveFlash*>(second.get());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &window);
    EXPECT_EQ(widget->focusPolicy(), Qt::StrongFocus);
    // Mouse and keys pass to the movie without harm, with or without one loaded.
    QTemporaryDir dir;
    widget->Movie(storeFile(dir, "m.swf", squaresMovie(2)));
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(widget, QPoint(60, 60));
    QTest::keyClick(widget, Qt::Key_Space);
    QTest::mouseClick(dynamic_cast<QWidget*>(first.get()), Qt::LeftButton);
    EXPECT_EQ(widget->CurrentFrame(), 0);
    second.reset();
    EXPECT_EQ(window.findChildren<TShockwaveFlash*>().size(), 1) << "a control destroyed leaves its window";
}
