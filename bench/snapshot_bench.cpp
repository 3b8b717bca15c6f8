// Snapshot times at the default stage size (550 x 400) and at 1920 x 1080: the capture (the movie
// widget painting its current frame of a real movie into an image) plus the encoding of each
// format, the encoders alone on a movie-like picture, and whole continuous-snapshot ticks.
#include "dialogs/snapshot.h"
#include "dialogs/snapshotencoders.h"
#include "player/ui/tshockwaveflash.h"
#include "swfwriter/demomovies.h"

#include <QApplication>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

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

// A movie to capture: range(2) 0 is the first demo movie (animated gradient shapes), 1 the corpus
// movie acid-gradient when the corpus is there.
QString movieFile(const QTemporaryDir& dir, int which)
{
    if (which == 1)
        return QStringLiteral(KIVAMO_CORPUS_DIR "/ruffle-from_shumway/acid__acid-gradient/test.swf");
    const auto demo = kivamo::test::demoMovies().front();
    const QString path = dir.filePath(QStringLiteral("demo.swf"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char*>(demo.bytes.data()), qint64(demo.bytes.size()));
    return path;
}

// The player control at the snapshot size, showing the movie one second after it started.
std::unique_ptr<kivamo::TShockwaveFlash> playingControl(benchmark::State& state, const QTemporaryDir& dir)
{
    auto control = std::make_unique<kivamo::TShockwaveFlash>();
    control->resize(int(state.range(0)), int(state.range(1)));
    control->Movie(movieFile(dir, int(state.range(2))));
    control->Play();
    control->advanceTo(1000);
    control->Stop();
    if (control->ReadyState() != 4)
        state.SkipWithError("the movie did not load");
    return control;
}

// What the snapshot commands take: a picture of the control's size painted by the control.
QImage capture(kivamo::TShockwaveFlash& control)
{
    QImage picture(control.size(), QImage::Format_RGB32);
    control.paintInto(picture);
    return picture;
}

void BM_Capture(benchmark::State& state)
{
    QTemporaryDir dir;
    const auto control = playingControl(state, dir);
    for (auto _ : state)
        benchmark::DoNotOptimize(capture(*control).constBits());
}

void captureAndEncode(benchmark::State& state, kivamo::SnapshotFormat format)
{
    QTemporaryDir dir;
    const auto control = playingControl(state, dir);
    for (auto _ : state) {
        kivamo::Result<QByteArray> bytes = kivamo::encodeSnapshot(capture(*control), format);
        benchmark::DoNotOptimize(bytes.ok());
        state.counters["bytes"] = double(bytes.ok() ? bytes->size() : 0);
    }
}

void BM_CaptureBmp(benchmark::State& state) { captureAndEncode(state, kivamo::SnapshotFormat::Bmp); }
void BM_CaptureGif(benchmark::State& state) { captureAndEncode(state, kivamo::SnapshotFormat::Gif); }
void BM_CaptureJpeg(benchmark::State& state) { captureAndEncode(state, kivamo::SnapshotFormat::Jpeg); }

#define CAPTURE_CASES \
    Args({550, 400, 0})->Args({1920, 1080, 0})->Args({550, 400, 1})->Args({1920, 1080, 1})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Capture)->CAPTURE_CASES;
BENCHMARK(BM_CaptureBmp)->CAPTURE_CASES;
BENCHMARK(BM_CaptureGif)->CAPTURE_CASES;
BENCHMARK(BM_CaptureJpeg)->CAPTURE_CASES;

}  // namespace

// The control is a widget: the benchmarks run under an application on the offscreen platform.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
