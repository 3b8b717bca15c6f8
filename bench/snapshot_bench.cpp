// Encoding times of the three snapshot formats for a movie-like frame at the default stage size
// (550 x 400) and at 1920 x 1080: what a continuous run spends per tick besides the capture.
#include "dialogs/snapshotencoders.h"

#include <QLinearGradient>
#include <QPainter>

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

}  // namespace

BENCHMARK_MAIN();
