// Encoding times of the three snapshot formats for a movie-like frame at the default stage size
// (550 x 400) and at 1920 x 1080: what a continuous run spends per tick besides the capture.
#include "dialogs/snapshot.h"
#include "dialogs/snapshotencoders.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Gradients, flat shapes and edges, as a rendered vector movie frame has them.
QImage movieLikeFrame(int width, int height)
{
    QImage frame(width, height, QImage::Format_RGB32);
    QPainter painter(&frame);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(240, 200, 120));
    painter.fillRect(frame.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 200, 220));
        painter.drawEllipse(QPointF((i * 97) % width, (i * 53) % height), width / 12.0, height / 10.0);
    }
    return frame;
}

void encode(benchmark::State& state, kivamo::SnapshotFormat format)
{
    const QImage frame = movieLikeFrame(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        kivamo::Result<QByteArray> bytes = kivamo::encodeSnapshot(frame, format);
        benchmark::DoNotOptimize(bytes.ok());
        state.counters["bytes"] = double(bytes.ok() ? bytes->size() : 0);
    }
}

void BM_EncodeBmp(benchmark::State& state) { encode(state, kivamo::SnapshotFormat::Bmp); }
void BM_EncodeGif(benchmark::State& state) { encode(state, kivamo::SnapshotFormat::Gif); }
void BM_EncodeJpeg(benchmark::State& state) { encode(state, kivamo::SnapshotFormat::Jpeg); }

#define SNAPSHOT_SIZES Args({550, 400})->Args({1920, 1080})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_EncodeBmp)->SNAPSHOT_SIZES;
BENCHMARK(BM_EncodeGif)->SNAPSHOT_SIZES;
BENCHMARK(BM_EncodeJpeg)->SNAPSHOT_SIZES;

// One continuous-snapshot tick without the capture: the automatic name in a folder that already
// holds range(2) earlier pictures of the run, then encoding and writing the JPEG or GIF file.
void saveTick(benchmark::State& state, const QString& type)
{
    const QImage frame = movieLikeFrame(int(state.range(0)), int(state.range(1)));
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    for (int n = 0; n < state.range(2); ++n)
        QFile(folder + QStringLiteral("b%1.").arg(n) + type).open(QIODevice::WriteOnly);
    const QString name = kivamo::automaticSnapshotName(folder, QStringLiteral("/movies/b.swf"), type);
    for (auto _ : state) {
        const QString fresh = kivamo::automaticSnapshotName(folder, QStringLiteral("/movies/b.swf"), type);
        benchmark::DoNotOptimize(kivamo::writeSnapshotFile(frame, *kivamo::snapshotFormatForFile(fresh), fresh).ok());
        state.PauseTiming();
        QFile::remove(fresh);
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(name);
}

void BM_TickJpeg(benchmark::State& state) { saveTick(state, QStringLiteral("jpg")); }
void BM_TickGif(benchmark::State& state) { saveTick(state, QStringLiteral("gif")); }

#define TICK_CASES \
    Args({550, 400, 0})->Args({1920, 1080, 0})->Args({1920, 1080, 3000})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_TickJpeg)->TICK_CASES;
BENCHMARK(BM_TickGif)->TICK_CASES;

}  // namespace

BENCHMARK_MAIN();
