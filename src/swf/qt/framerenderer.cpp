#include "swf/qt/framerenderer.h"

#include "swf/limits.h"
#include "swf/player.h"
#include "swf/qt/multisample.h"
#include "swf/qt/painterbackend.h"
#include "swf/qt/qtgeometry.h"

#include <QPainter>
#include <QRunnable>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace swf {

namespace {

// A band smaller than this (about a 640 x 480 frame) costs more in per-shape set-up, duplicated mask
// outlines and waiting for a thread to wake than its thread saves.
constexpr std::int64_t kMinPixelsPerBand = 300'000;
constexpr int kMaxBands = 8;
// From this many commands on, even a frame in one band is painted on the pool (see paintInBands()).
constexpr std::size_t kMinCommandsOffThread = 256;
// Changed places painted one by one; more of them are painted as the one rectangle around them all.
constexpr std::size_t kMaxChangedAreas = 8;
// How far the comparison of two frames' commands looks for an added or removed run of commands.
constexpr std::size_t kLookAhead = 32;

// Every field of DrawCommand takes part in sameDrawing(); a new field must join the comparison there,
// or frames that differ only in it would keep stale pixels.
static_assert(sizeof(void*) != 8 || sizeof(DrawCommand) == 256, "compare the new DrawCommand field in sameDrawing()");
// Likewise every field of RenderFrame takes part in sameTarget().
static_assert(sizeof(void*) != 8 || sizeof(RenderFrame) == 88, "compare the new RenderFrame field in sameTarget()");

bool sameMatrix(const Matrix& a, const Matrix& b)
{
    return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.tx == b.tx && a.ty == b.ty;
}

bool sameColours(const ColorTransform& a, const ColorTransform& b)
{
    return a.rMult == b.rMult && a.gMult == b.gMult && a.bMult == b.bMult && a.aMult == b.aMult &&
           a.rAdd == b.rAdd && a.gAdd == b.gAdd && a.bAdd == b.bAdd && a.aAdd == b.aAdd;
}

bool sameTarget(const RenderFrame& a, const RenderFrame& b)
{
    return a.width == b.width && a.height == b.height && sameMatrix(a.stageToPixels, b.stageToPixels) &&
           a.background == b.background && a.antialias == b.antialias && a.smoothBitmaps == b.smoothBitmaps &&
           a.shadingOffsetX == b.shadingOffsetX && a.shadingOffsetY == b.shadingOffsetY &&
           a.commands && b.commands && a.commands->movie == b.commands->movie;
}

// Commands whose pixels lie within their own bounds: shapes, bitmaps and layer brackets outside a mask's
// definition. Everything else (mask outlines, kinds this renderer does not know) can change pixels anywhere.
bool boundedByThemselves(const std::vector<DrawCommand>& commands, const std::vector<std::size_t>& which)
{
    int maskNesting = 0;
    auto next = which.begin();
    for (std::size_t i = 0; i < commands.size() && next != which.end(); ++i) {
        const DrawCommand& c = commands[i];
        if (i == *next) {
            bool drawing = c.kind == DrawCommand::Kind::Shape || c.kind == DrawCommand::Kind::Bitmap ||
                           c.kind == DrawCommand::Kind::BeginLayer || c.kind == DrawCommand::Kind::EndLayer;
            if (!drawing || maskNesting > 0)
                return false;
            ++next;
        }
        if (c.kind == DrawCommand::Kind::BeginMask)
            ++maskNesting;
        else if (c.kind == DrawCommand::Kind::EndMask && maskNesting > 0)
            --maskNesting;
    }
    return true;
}

// The first index from `from` on (within the look-ahead) whose command equals `c`; `to` when none does.
std::size_t findAhead(const std::vector<DrawCommand>& commands, std::size_t from, const DrawCommand& c)
{
    std::size_t end = std::min(commands.size(), from + kLookAhead);
    for (std::size_t i = from; i < end; ++i)
        if (sameDrawing(commands[i], c))
            return i;
    return commands.size();
}

// The commands of two frames that are not paired with an equal one in the other frame. Pairs keep their
// order in both lists, so every pixel that no unpaired command touches meets the same commands in the
// same order in both frames, and keeps its colour.
struct Unpaired {
    std::vector<std::size_t> before, now;
};

Unpaired unpairedCommands(const std::vector<DrawCommand>& before, const std::vector<DrawCommand>& now)
{
    Unpaired out;
    std::size_t i = 0, j = 0;
    auto skip = [](std::vector<std::size_t>& into, std::size_t& index, std::size_t to) {
        for (; index < to; ++index)
            into.push_back(index);
    };
    while (i < before.size() && j < now.size()) {
        if (sameDrawing(before[i], now[j])) {
            ++i;
            ++j;
            continue;
        }
        std::size_t removedTo = findAhead(before, i + 1, now[j]);
        std::size_t addedTo = findAhead(now, j + 1, before[i]);
        if (removedTo < before.size() && (addedTo == now.size() || removedTo - i <= addedTo - j)) {
            skip(out.before, i, removedTo);
        } else if (addedTo < now.size()) {
            skip(out.now, j, addedTo);
        } else {
            out.before.push_back(i++);
            out.now.push_back(j++);
        }
    }
    skip(out.before, i, before.size());
    skip(out.now, j, now.size());
    return out;
}

PixelBox clipped(const PixelBox& box, int width, int height)
{
    PixelBox out{std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, width), std::min(box.bottom, height)};
    return out.isEmpty() ? PixelBox{} : out;
}

// Adds a box to a set of boxes that do not overlap, uniting it with those it meets.
void addArea(std::vector<PixelBox>& areas, PixelBox box)
{
    if (box.isEmpty())
        return;
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < areas.size(); ++i)
            if (areas[i].intersects(box)) {
                box = box.united(areas[i]);
                areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(i));
                grew = true;
                break;
            }
    }
    areas.push_back(box);
}

void addBounds(std::vector<PixelBox>& areas, const std::vector<PixelBox>& bounds,
               const std::vector<std::size_t>& which, int width, int height)
{
    for (std::size_t i : which)
        if (i < bounds.size())
            addArea(areas, clipped(bounds[i], width, height));
}

// Converts every path the frame uses before bands are painted in parallel, so the lazily built
// back-end data is never created by two threads at once.
void prepareGeometry(const RenderFrame& frame)
{
    int maskNesting = 0;
    for (const DrawCommand& c : frame.commands->commands) {
        if (c.kind == DrawCommand::Kind::BeginMask)
            ++maskNesting;
        else if (c.kind == DrawCommand::Kind::EndMask && maskNesting > 0)
            --maskNesting;
        else if (c.kind == DrawCommand::Kind::Shape && c.geometry)
            maskNesting > 0 ? (void)qtOutline(*c.geometry) : (void)qtGeometry(*c.geometry);
    }
}

// As many bands as the pool has threads, each of at least kMinPixelsPerBand pixels.
int bandsFor(const PixelBox& area, int threads)
{
    const std::int64_t pixels = std::int64_t(area.bottom - area.top) * (area.right - area.left);
    return static_cast<int>(std::clamp<std::int64_t>(std::min<std::int64_t>(threads, pixels / kMinPixelsPerBand), 1, kMaxBands));
}

class BandTask : public QRunnable {
public:
    BandTask(std::function<void()> paint, QSemaphore& done) : m_paint(std::move(paint)), m_done(done)
    {
        setAutoDelete(false);
    }
    void run() override
    {
        m_paint();
        m_done.release();
    }

private:
    std::function<void()> m_paint;
    QSemaphore& m_done;
};

}  // namespace

bool sameDrawing(const DrawCommand& a, const DrawCommand& b)
{
    return a.kind == b.kind && a.geometry == b.geometry && a.bitmap == b.bitmap && a.library == b.library &&
           sameMatrix(a.matrix, b.matrix) && a.own.has_value() == b.own.has_value() &&
           (!a.own || sameMatrix(*a.own, *b.own)) &&
           sameColours(a.colorTransform, b.colorTransform) && a.fillColour == b.fillColour &&
           a.blendMode == b.blendMode && a.filters == b.filters;
}

const QImage& FrameRenderer::render(Player& player, const View& view)
{
    const Rect& stage = player.header().frameSize;
    int width = view.width > 0 ? view.width : std::max(1, (stage.xMax - stage.xMin) / 20);
    int height = view.height > 0 ? view.height : std::max(1, (stage.yMax - stage.yMin) / 20);
    width = std::min(width, limits::kMaxRenderSide);
    height = std::min(height, limits::kMaxRenderSide);
    if (std::int64_t(width) * height > limits::kMaxRenderPixels) {
        double shrink = std::sqrt(double(limits::kMaxRenderPixels) / (double(width) * height));
        width = std::max(1, int(width * shrink));
        height = std::max(1, int(height * shrink));
    }
    View sized = view;
    sized.width = width;
    sized.height = height;
    player.render(*this, sized);
    return m_image;
}

void FrameRenderer::drawFrame(const RenderFrame& frame)
{
    if (!frame.commands || frame.width <= 0 || frame.height <= 0)
        return;
    if (m_image.width() != frame.width || m_image.height() != frame.height) {
        m_image = QImage(frame.width, frame.height, QImage::Format_ARGB32_Premultiplied);
        m_valid = false;
    }
    if (m_multisample && frame.antialias &&
        std::int64_t(frame.width) * frame.height <= limits::kMaxMultisampledPixels) {
        paintMultisampled(m_image, frame);
        m_lastAreas.assign(1, PixelBox{0, 0, frame.width, frame.height});
        invalidate();
        return;
    }
    std::vector<PixelBox> bounds = frameBounds(frame);
    m_lastAreas = changedAreas(frame, bounds);
    for (const PixelBox& area : m_lastAreas)
        paintInBands(frame, bounds, area);
    keep(frame, std::move(bounds));
}

void FrameRenderer::invalidate()
{
    m_valid = false;
    m_lastCommands.commands.clear();
    m_lastBounds.clear();
}

std::int64_t FrameRenderer::lastPaintedPixels() const
{
    std::int64_t pixels = 0;
    for (const PixelBox& a : m_lastAreas)
        pixels += std::int64_t(a.right - a.left) * (a.bottom - a.top);
    return pixels;
}

std::vector<PixelBox> FrameRenderer::changedAreas(const RenderFrame& frame, const std::vector<PixelBox>& bounds) const
{
    const std::vector<PixelBox> whole{PixelBox{0, 0, frame.width, frame.height}};
    if (!m_valid || !sameTarget(frame, m_lastFrame))
        return whole;
    const auto& before = m_lastCommands.commands;
    const auto& now = frame.commands->commands;
    const Unpaired changed = unpairedCommands(before, now);
    if (!boundedByThemselves(before, changed.before) || !boundedByThemselves(now, changed.now))
        return whole;
    // Repainting where the unpaired commands were and where they are now gives the new frame.
    std::vector<PixelBox> areas;
    addBounds(areas, m_lastBounds, changed.before, frame.width, frame.height);
    addBounds(areas, bounds, changed.now, frame.width, frame.height);
    if (areas.size() > kMaxChangedAreas) {
        PixelBox all;
        for (const PixelBox& a : areas)
            all = all.united(a);
        areas.assign(1, all);
    }
    return areas;
}

void FrameRenderer::paintInBands(const RenderFrame& frame, const std::vector<PixelBox>& bounds, const PixelBox& area)
{
    uchar* pixels = m_image.bits();  // detaches here, on this thread, if a caller still shares the image
    const int width = m_image.width(), height = m_image.height();
    const qsizetype stride = m_image.bytesPerLine();
    auto paintBand = [&, pixels](PixelBox band) {
        // Every band paints into the whole image clipped to its rows, with the whole frame's transforms,
        // so its pixels match those of one pass over the whole frame.
        QImage target(pixels, width, height, stride, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&target);
        paintFrameArea(painter, frame, bounds, band);
    };
    QThreadPool* pool = QThreadPool::globalInstance();
    const int rows = area.bottom - area.top;
    const int bands = std::min(rows, m_bands > 0 ? m_bands : bandsFor(area, pool->maxThreadCount()));
    // On one of the pool's own threads, waiting for bands queued behind this very task could wait forever.
    // A light frame in one band is painted here rather than wait for a thread to wake.
    const bool light = frame.commands->commands.size() < kMinCommandsOffThread;
    if ((bands == 1 && light) || pool->contains(QThread::currentThread())) {
        paintBand(area);
        return;
    }
    prepareGeometry(frame);
    auto bandOf = [&](int b) {
        return PixelBox{area.left, area.top + rows * b / bands, area.right, area.top + rows * (b + 1) / bands};
    };
    // Every band is painted on the pool, none on this thread: Qt's raster engine splits large fills
    // over the same pool by itself unless it already runs on one of its threads, and bands that split
    // again cost about a fifth more processor time waiting for each other.
    QSemaphore done;
    std::vector<std::unique_ptr<BandTask>> tasks;
    for (int b = 0; b < bands; ++b) {
        tasks.push_back(std::make_unique<BandTask>([&paintBand, band = bandOf(b)] { paintBand(band); }, done));
        pool->start(tasks.back().get());
    }
    done.acquire(bands);
}

void FrameRenderer::keep(const RenderFrame& frame, std::vector<PixelBox> bounds)
{
    m_lastCommands.commands = frame.commands->commands;
    m_lastCommands.movie = frame.commands->movie;
    m_lastFrame = frame;
    m_lastFrame.commands = &m_lastCommands;
    m_lastBounds = std::move(bounds);
    m_valid = true;
}

QImage renderImage(Player& player, const View& view)
{
    FrameRenderer renderer;
    renderer.setMultisampling(true);
    return renderer.render(player, view);
}

}  // namespace swf
