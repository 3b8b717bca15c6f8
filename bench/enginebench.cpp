// Engine benchmarks: parse time, frame render time at native size and at 1920x1080, goto in a
// 10,000-frame movie, and a heavy frame of 1,000 gradient-filled curved shapes.
#include "swf/player.h"
#include "swf/qt/framerenderer.h"
#include "swf/qt/painterbackend.h"
#include "swfwriter/benchmovies.h"

#include <QPainter>
#include <benchmark/benchmark.h>
#include <fstream>
#include <iterator>

namespace {

using kivamo::test::Bytes;

Bytes corpusMovie(const char* relative)
{
    std::ifstream in(std::string(KIVAMO_CORPUS_DIR) + "/" + relative, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const char* kCorpusMovie = "ruffle-from_shumway/acid__acid-gradient/test.swf";

std::unique_ptr<swf::Player> load(const Bytes& bytes)
{
    auto player = swf::Player::fromBytes(bytes.data(), bytes.size());
    return player ? std::move(player).value() : nullptr;
}

void renderInto(swf::Player& player, QImage& image, swf::Quality quality)
{
    QPainter painter(&image);
    swf::PainterBackend backend(painter);
    swf::View view;
    view.width = image.width();
    view.height = image.height();
    view.quality = quality;
    player.render(backend, view);
}

void BM_ParseCorpusMovie(benchmark::State& state)
{
    Bytes bytes = corpusMovie(kCorpusMovie);
    for (auto _ : state)
        benchmark::DoNotOptimize(load(bytes));
}
BENCHMARK(BM_ParseCorpusMovie)->Unit(benchmark::kMillisecond);

void BM_RenderCorpusFrame(benchmark::State& state)
{
    auto player = load(corpusMovie(kCorpusMovie));
    QImage image(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        renderInto(*player, image, swf::Quality::High);
}
BENCHMARK(BM_RenderCorpusFrame)->Args({550, 400})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_RenderHeavyFrame(benchmark::State& state)
{
    auto player = load(kivamo::test::heavyFrameMovie(1000));
    QImage image(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        renderInto(*player, image, swf::Quality::High);
}
BENCHMARK(BM_RenderHeavyFrame)
    ->Args({64, 48})
    ->Args({550, 400})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

swf::View viewOf(const benchmark::State& state)
{
    swf::View view;
    view.width = static_cast<int>(state.range(0));
    view.height = static_cast<int>(state.range(1));
    view.quality = swf::Quality::High;
    return view;
}

// The frame renderer painting every frame whole, in bands on the thread pool.
void BM_RenderHeavyFrameInBands(benchmark::State& state)
{
    auto player = load(kivamo::test::heavyFrameMovie(1000));
    swf::FrameRenderer renderer;
    for (auto _ : state) {
        renderer.invalidate();
        benchmark::DoNotOptimize(renderer.render(*player, viewOf(state)).constBits());
    }
}
BENCHMARK(BM_RenderHeavyFrameInBands)
    ->Args({550, 400})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The frame renderer on a frame that equals the previous one: only the comparison of the commands.
void BM_RenderHeavyFrameUnchanged(benchmark::State& state)
{
    auto player = load(kivamo::test::heavyFrameMovie(1000));
    swf::FrameRenderer renderer;
    renderer.render(*player, viewOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.render(*player, viewOf(state)).constBits());
}
BENCHMARK(BM_RenderHeavyFrameUnchanged)
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The frame renderer playing the heavy frame while one circle moves each frame: it repaints where that
// circle was and where it is.
void BM_RenderHeavyFrameOneMoves(benchmark::State& state)
{
    auto player = load(kivamo::test::heavyFrameMovie(1000, 240));
    swf::FrameRenderer renderer;
    renderer.render(*player, viewOf(state));
    for (auto _ : state) {
        if (player->currentFrame() + 1 >= player->totalFrames())
            player->gotoFrame(1);  // back to the first moving frame; the whole frame is repainted once
        else
            player->nextFrame();
        benchmark::DoNotOptimize(renderer.render(*player, viewOf(state)).constBits());
    }
}
BENCHMARK(BM_RenderHeavyFrameOneMoves)
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_GotoInLongMovie(benchmark::State& state)
{
    auto player = load(kivamo::test::longTimelineMovie(10000));
    std::size_t targets[] = {9999, 17, 5000, 4999, 123, 8765, 0, 7777};
    std::size_t i = 0;
    for (auto _ : state)
        player->gotoFrame(targets[i++ % 8]);
}
BENCHMARK(BM_GotoInLongMovie)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
