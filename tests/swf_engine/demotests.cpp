// The demo movies load, play and draw something worth seeing, and `kivamo-swf render` draws each file.
#include "helpers.h"

#include "swfwriter/demomovies.h"

#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace kivamo::test {
namespace {

std::size_t distinctColours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

TEST(Demos, EachDemoPlaysAndDrawsAPictureThatChanges)
{
    auto demos = demoMovies();
    ASSERT_EQ(demos.size(), 7u);
    for (const DemoMovie& demo : demos) {
        auto player = playerFor(demo.bytes);
        ASSERT_TRUE(player) << demo.fileName;
        EXPECT_EQ(player->movie()->stats.damagedTags, 0u) << demo.fileName;
        EXPECT_EQ(player->movie()->stats.skippedTags, 0u) << demo.fileName;
        QImage first = renderFrame(*player, swf::Quality::High);
        EXPECT_GE(distinctColours(first), 2u) << demo.fileName;  // background and at least one shape
        for (int i = 0; i < 9; ++i)
            player->advance();
        QImage later = renderFrame(*player, swf::Quality::High);
        if (player->totalFrames() > 1) {
            EXPECT_NE(first, later) << demo.fileName;
        }
    }
}

TEST(Demos, MusicVideoSoundKeepsWithItsPictures)
{
    // Pulling each frame's share of sound before moving on: the timeline keeps its pace, and the frames
    // on a beat (every sixth) carry the kick, so they are clearly louder than the frames between.
    auto player = playerFor(musicVideo().bytes);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->totalFrames(), 192u);
    double onBeat = 0, offBeat = 0;
    std::vector<std::int16_t> samples(2 * 3675);
    for (int f = 0; f < 48; ++f) {
        ASSERT_EQ(player->currentFrame(), std::size_t(f));
        player->mixAudio(samples.data(), 3675, 44100);
        double sum = 0;
        for (std::int16_t s : samples)
            sum += double(s) * s;
        double rms = std::sqrt(sum / double(samples.size())) / 32768.0;
        EXPECT_GT(rms, 0.05) << f;
        if (f % 6 == 0)
            onBeat += rms;
        else if (f % 6 == 3)
            offBeat += rms;
        player->advance();
    }
    EXPECT_GT(onBeat, 1.4 * offBeat);
}

// Clicks the stage at a point in movie pixels (the picture is rendered at stage size first, so the player
// knows where its stage is).
void click(swf::Player& player, double x, double y)
{
    renderFrame(player, swf::Quality::High);
    player.pointerMove(x, y);
    player.pointerPress(x, y);
    player.pointerRelease(x, y);
}

TEST(Demos, InteractiveDemoWaitsOnItsButtonsAndReplays)
{
    auto player = playerFor(interactive().bytes);
    ASSERT_TRUE(player);
    const std::size_t total = player->totalFrames();
    ASSERT_EQ(total, 63u);

    // The preloader passes at once for a complete movie; the title frame stops on the start button.
    for (int i = 0; i < 10; ++i)
        player->advance();
    EXPECT_EQ(player->currentFrame(), 2u);
    EXPECT_FALSE(player->isPlaying());

    // A click beside the button changes nothing; a click on it starts the ball.
    click(*player, 60, 60);
    player->advance();
    EXPECT_EQ(player->currentFrame(), 2u);
    click(*player, 275, 170);
    player->advance();
    EXPECT_EQ(player->currentFrame(), 3u);

    for (std::size_t i = 0; i < total + 5; ++i)
        player->advance();
    EXPECT_EQ(player->currentFrame(), total - 1);
    EXPECT_FALSE(player->isPlaying());

    click(*player, 275, 170);
    EXPECT_EQ(player->currentFrame(), 3u);
    player->advance();
    EXPECT_EQ(player->currentFrame(), 4u);
}

TEST(Demos, InteractiveDemoPreloaderWaitsForFramesStillArriving)
{
    // Streamed in two parts: while the last frames are missing, frame 2 sends the movie back to frame 1,
    // although the frames after it could already play.
    Bytes movie = interactive().bytes;
    swf::Player player;
    const std::size_t firstPart = movie.size() - 200;  // the title frame and a part of the animation
    ASSERT_TRUE(player.appendBytes(movie.data(), firstPart));
    ASSERT_GE(player.framesLoaded(), 3u);
    for (int i = 0; i < 7; ++i) {
        player.advance();
        EXPECT_LE(player.currentFrame(), 1u) << i;
    }
    ASSERT_TRUE(player.appendBytes(movie.data() + firstPart, movie.size() - firstPart));
    player.finishLoading();
    for (int i = 0; i < 4; ++i)
        player.advance();
    EXPECT_EQ(player.currentFrame(), 2u);
}

TEST(Demos, TheRenderCommandDrawsEachDemoFile)
{
    for (const DemoMovie& demo : demoMovies()) {
        std::string movie = testing::TempDir() + "/" + demo.fileName;
        std::string png = movie + ".png";
        ASSERT_TRUE(writeFile(movie, demo.bytes));
        std::string command = std::string(KIVAMO_BIN_DIR) + "/kivamo-swf render '" + movie +
                              "' --frames 12 --size 275x200 --quality best -o '" + png + "' 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << demo.fileName;
        QImage image(QString::fromStdString(png));
        EXPECT_EQ(image.size(), QSize(275, 200)) << demo.fileName;
        EXPECT_GE(distinctColours(image), 3u) << demo.fileName;
    }
}

}  // namespace
}  // namespace kivamo::test

namespace kivamo::test {
namespace {

TEST(Demos, BandedRenderingMatchesPaintingInOnePass)
{
    // renderImage paints tall images in parallel bands; each band must equal the same rows painted at once.
    // (At low quality: anti-aliased qualities are painted by four samples per pixel instead of bands.)
    for (const DemoMovie& demo : demoMovies()) {
        auto player = playerFor(demo.bytes);
        for (int i = 0; i < 5; ++i)
            player->advance();
        swf::View view;
        view.width = 640;
        view.height = 480;
        view.quality = swf::Quality::Low;
        QImage banded = swf::renderImage(*player, view);
        QImage whole(640, 480, QImage::Format_ARGB32_Premultiplied);
        whole.fill(Qt::transparent);
        QPainter painter(&whole);
        swf::PainterBackend backend(painter);
        player->render(backend, view);
        painter.end();
        long differing = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (std::abs(qRed(banded.pixel(x, y)) - qRed(whole.pixel(x, y))) > 2)
                    ++differing;
        EXPECT_LE(differing, 640) << demo.fileName;  // at most a row's worth along the band seams
    }
}

}  // namespace
}  // namespace kivamo::test
