#include "swf/qt/gradientfill.h"

#include "swf/qt/aliasedfill.h"
#include "swf/qt/strokeoutline.h"

#include <QPaintDevice>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace swf {

namespace {

// Enough steps per entry that neighbouring lookup colours differ by about two levels at most.
int lookupSteps(const GradientRamp& ramp)
{
    constexpr int entries = GradientRamp::kEntries;
    float widest = 0;
    RampColour previous = ramp.colourAt(0.5 / entries);
    for (int i = 1; i < entries; ++i) {
        const RampColour c = ramp.colourAt((i + 0.5) / entries);
        widest = std::max({widest, std::fabs(c.r - previous.r), std::fabs(c.g - previous.g),
                           std::fabs(c.b - previous.b), std::fabs(c.a - previous.a)});
        previous = c;
    }
    int perEntry = GradientColours::kMinStepsPerEntry;
    while (perEntry < GradientColours::kMaxStepsPerEntry && widest * 255 > perEntry * 2)
        perEntry *= 2;
    return perEntry * entries;
}

// One channel of the colour transform, applied as GradientRamp::sample does.
struct ChannelTransform {
    float mult, add;
    ChannelTransform(double m, double a) : mult(float(m)), add(float(a / 255.0)) {}
    float operator()(float v) const { return std::clamp(v * mult + add, 0.0f, 1.0f); }
};

GradientColours::Lookup colourLookup(const GradientRamp& ramp, int steps, const ColorTransform& colours)
{
    const ChannelTransform r(colours.rMult, colours.rAdd), g(colours.gMult, colours.gAdd),
        b(colours.bMult, colours.bAdd), a(colours.aMult, colours.aAdd);
    GradientColours::Lookup lookup(std::size_t(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const RampColour c = ramp.colourAt(double(i) / steps);
        const float alpha = a(c.a);
        auto premultiplied = [alpha](float v) { return int(v * alpha * 255.0f + 0.5f); };
        lookup[std::size_t(i)] =
            qRgba(premultiplied(r(c.r)), premultiplied(g(c.g)), premultiplied(b(c.b)), int(alpha * 255.0f + 0.5f));
    }
    return lookup;
}

bool sameColours(const ColorTransform& a, const ColorTransform& b)
{
    return a.rMult == b.rMult && a.gMult == b.gMult && a.bMult == b.bMult && a.aMult == b.aMult &&
           a.rAdd == b.rAdd && a.gAdd == b.gAdd && a.bAdd == b.bAdd && a.aAdd == b.aAdd;
}

// Columns [from, to) of one row of the shaded area; empty when from >= to.
struct Span {
    int from = INT_MAX, to = INT_MIN;
    bool empty() const { return from >= to; }
    void add(int left, int right)
    {
        from = std::min(from, left);
        to = std::max(to, right);
    }
};

// The rows of `area` the path can reach, each with the columns it can reach: the path's edges (and the
// hulls of its curves, which hold the curves) are followed row by row, then every row is widened by a
// pixel on each side and joined with its neighbours', enough for anti-aliased edges and for flattening.
class PathReach {
public:
    explicit PathReach(const QRect& area) : m_area(area), m_reach(std::size_t(area.height()), {INFINITY, -INFINITY}) {}

    void addPath(const QPainterPath& path, const QTransform& toDevice)
    {
        QPointF start, last;
        bool open = false;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element& e = path.elementAt(i);
            QPointF p = toDevice.map(QPointF(e.x, e.y));
            if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
                m_everywhere = true;
                return;
            }
            if (e.isMoveTo()) {
                if (open)
                    addLine(last, start);  // fills close every contour
                start = last = p;
                open = true;
            } else if (e.isLineTo()) {
                addLine(last, p);
                last = p;
            } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
                QPointF c2 = toDevice.map(QPointF(path.elementAt(i + 1).x, path.elementAt(i + 1).y));
                QPointF end = toDevice.map(QPointF(path.elementAt(i + 2).x, path.elementAt(i + 2).y));
                if (!std::isfinite(c2.x() + c2.y() + end.x() + end.y())) {
                    m_everywhere = true;
                    return;
                }
                addBox(QRectF(last, p).normalized().united(QRectF(c2, end).normalized()));
                last = end;
                i += 2;
            }
        }
        if (open)
            addLine(last, start);
    }

    std::vector<Span> spans() const
    {
        const int rows = m_area.height();
        std::vector<Span> out(static_cast<std::size_t>(rows));
        for (int r = 0; r < rows; ++r) {
            if (m_everywhere) {
                out[std::size_t(r)].add(0, m_area.width());
                continue;
            }
            double lo = INFINITY, hi = -INFINITY;
            for (int n = std::max(0, r - 1); n <= std::min(rows - 1, r + 1); ++n) {
                lo = std::min(lo, m_reach[std::size_t(n)].first);
                hi = std::max(hi, m_reach[std::size_t(n)].second);
            }
            if (lo > hi)
                continue;
            // Clamped before they become whole numbers: a row may reach far beyond the area.
            const double width = m_area.width();
            const int from = int(std::clamp(std::floor(lo) - m_area.left() - 1, 0.0, width));
            const int to = int(std::clamp(std::ceil(hi) - m_area.left() + 1, 0.0, width));
            if (from < to)
                out[std::size_t(r)].add(from, to);
        }
        return out;
    }

private:
    // Rows of the area whose pixels [y, y + 1) meet [top, bottom].
    std::pair<int, int> rows(double top, double bottom) const
    {
        double first = std::max(std::floor(top), double(m_area.top()));
        double last = std::min(std::floor(bottom), double(m_area.bottom()));
        return {int(first) - m_area.top(), int(last) - m_area.top()};
    }

    void extend(int row, double lo, double hi)
    {
        auto& r = m_reach[std::size_t(row)];
        r.first = std::min(r.first, lo);
        r.second = std::max(r.second, hi);
    }

    void addBox(const QRectF& box)
    {
        auto [first, last] = rows(box.top(), box.bottom());
        for (int r = first; r <= last; ++r)
            extend(r, box.left(), box.right());
    }

    void addLine(QPointF a, QPointF b)
    {
        if (a.y() > b.y())
            std::swap(a, b);
        auto [first, last] = rows(a.y(), b.y());
        const double dy = b.y() - a.y();
        for (int r = first; r <= last; ++r) {
            if (dy == 0) {
                extend(r, std::min(a.x(), b.x()), std::max(a.x(), b.x()));
                continue;
            }
            double y0 = std::max(a.y(), double(r + m_area.top())), y1 = std::min(b.y(), double(r + m_area.top() + 1));
            double x0 = a.x() + (b.x() - a.x()) * ((y0 - a.y()) / dy);
            double x1 = a.x() + (b.x() - a.x()) * ((y1 - a.y()) / dy);
            extend(r, std::min(x0, x1), std::max(x0, x1));
        }
    }

    QRect m_area;
    std::vector<std::pair<double, double>> m_reach;  // device x range of the path in each row
    bool m_everywhere = false;
};

// Device pixel centres to the gradient square, worked out the way QTransform::map does for each pixel.
struct Shading {
    double m11, m12, m21, m22, dx, dy;
    QPointF shift;
    const QRgb* lookup;
    double steps;  // the lookup's size less one
};

// Positions on the ramp; the same arithmetic as GradientRamp::position, without its branches.
struct LinearPosition {
    double operator()(double x, double) const { return x / 32768.0 + 0.5; }
};
struct RadialPosition {
    double operator()(double x, double y) const
    {
        double u = x / 16384.0, v = y / 16384.0;
        return std::sqrt(u * u + v * v);
    }
};
struct FocalPosition {
    double focal;  // held inside the rim, not 0
    double operator()(double x, double y) const
    {
        double u = x / 16384.0, v = y / 16384.0;
        double dx = focal - u, dy = -v;
        double length = std::sqrt(dx * dx + dy * dy);
        if (length == 0)
            return 0;
        dx /= length;
        dy /= length;
        double edge = std::sqrt(std::max(0.0, 1.0 - focal * focal * dy * dy)) + focal * dx;
        return edge > 0 ? length / edge : 1.0;
    }
};

// Spread modes, folding as GradientRamp::spread does.
struct PadFold {
    double operator()(double t) const { return std::isfinite(t) ? std::clamp(t, 0.0, 1.0) : 0.0; }
};
struct RepeatFold {
    double operator()(double t) const { return std::isfinite(t) ? t - std::floor(t) : 0.0; }
};
struct ReflectFold {
    double operator()(double t) const
    {
        if (!std::isfinite(t))
            return 0;
        t = std::fabs(t);
        double whole = std::floor(t);
        double part = t - whole;
        // whole is even exactly when half of it is whole (halving a double is exact).
        double half = whole * 0.5;
        return half == std::floor(half) ? part : 1.0 - part;
    }
};

// Pixels are shaded in runs: their positions first, then their colours.
constexpr int kRun = 64;

// Positions on the ramp of the n pixels from device column x0 in a row.
template <typename Position>
void positions(const Shading& s, Position position, int x0, int n, double rowX, double rowY, double* t)
{
    for (int i = 0; i < n; ++i) {
        const double fx = (double(x0 + i) + 0.5) + s.shift.x();
        t[i] = position(s.m11 * fx + rowX + s.dx, s.m12 * fx + rowY + s.dy);
    }
}

#ifdef __SSE2__
// Radial positions two pixels at a time, by the same operations in the same order.
void positions(const Shading& s, RadialPosition position, int x0, int n, double rowX, double rowY, double* t)
{
    const __m128d half = _mm_set1_pd(0.5), shift = _mm_set1_pd(s.shift.x()), toSquare = _mm_set1_pd(1.0 / 16384.0);
    const __m128d m11 = _mm_set1_pd(s.m11), m12 = _mm_set1_pd(s.m12), dx = _mm_set1_pd(s.dx), dy = _mm_set1_pd(s.dy);
    const __m128d rx = _mm_set1_pd(rowX), ry = _mm_set1_pd(rowY);
    int i = 0;
    for (; i + 1 < n; i += 2) {
        const __m128d fx = _mm_add_pd(_mm_add_pd(_mm_set_pd(double(x0 + i + 1), double(x0 + i)), half), shift);
        const __m128d u = _mm_mul_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(m11, fx), rx), dx), toSquare);
        const __m128d v = _mm_mul_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(m12, fx), ry), dy), toSquare);
        _mm_storeu_pd(t + i, _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(u, u), _mm_mul_pd(v, v))));
    }
    if (i < n)
        positions<RadialPosition>(s, position, x0 + i, n - i, rowX, rowY, t + i);
}
#endif

// Colours of n positions, folded by the spread mode.
template <typename Fold>
void colours(const Shading& s, Fold fold, const double* t, int n, QRgb* out)
{
    for (int i = 0; i < n; ++i)
        out[i] = s.lookup[std::size_t(fold(t[i]) * s.steps + 0.5)];
}

#ifdef __SSE2__
// Padded positions two at a time: the larger of t and 0 is 0 for a NaN too, and infinity is masked to 0.
void colours(const Shading& s, PadFold fold, const double* t, int n, QRgb* out)
{
    const __m128d zero = _mm_setzero_pd(), one = _mm_set1_pd(1.0), infinity = _mm_set1_pd(INFINITY);
    const __m128d steps = _mm_set1_pd(s.steps), half = _mm_set1_pd(0.5);
    int i = 0;
    alignas(16) std::int32_t index[4];
    for (; i + 1 < n; i += 2) {
        const __m128d v = _mm_loadu_pd(t + i);
        const __m128d padded = _mm_and_pd(_mm_min_pd(_mm_max_pd(v, zero), one), _mm_cmpneq_pd(v, infinity));
        const __m128d scaled = _mm_add_pd(_mm_mul_pd(padded, steps), half);
        _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_cvttpd_epi32(scaled));
        out[i] = s.lookup[index[0]];
        out[i + 1] = s.lookup[index[1]];
    }
    if (i < n)
        colours<PadFold>(s, fold, t + i, n - i, out + i);
}
#endif

template <typename Position, typename Fold>
void shadeRow(const Shading& s, Position position, Fold fold, QRgb* line, int deviceLeft, int deviceY, Span span)
{
    const double fy = (double(deviceY) + 0.5) + s.shift.y();
    const double rowX = s.m21 * fy, rowY = s.m22 * fy;
    double t[kRun];
    for (int x = span.from; x < span.to; x += kRun) {
        const int n = std::min(kRun, span.to - x);
        positions(s, position, deviceLeft + x, n, rowX, rowY, t);
        colours(s, fold, t, n, line + x);
    }
}

template <typename Position, typename Fold>
void shadeRows(const Shading& s, Position position, Fold fold, QImage& image, const QRect& area,
               const std::vector<Span>& spans)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const Span span = spans[std::size_t(y)];
        if (span.empty()) {
            std::fill(line, line + image.width(), 0);
            continue;
        }
        std::fill(line, line + span.from, 0);
        std::fill(line + span.to, line + image.width(), 0);
        shadeRow(s, position, fold, line, area.left(), area.top() + y, span);
    }
}

template <typename Position>
void shadeWithSpread(const Shading& s, Position position, SpreadMode spread, QImage& image, const QRect& area,
                     const std::vector<Span>& spans)
{
    switch (spread) {
    case SpreadMode::Repeat: shadeRows(s, position, RepeatFold{}, image, area, spans); return;
    case SpreadMode::Reflect: shadeRows(s, position, ReflectFold{}, image, area, spans); return;
    case SpreadMode::Pad: break;
    }
    shadeRows(s, position, PadFold{}, image, area, spans);
}

// The gradient over `area`, shaded in the given columns of each row and transparent elsewhere.
QImage shadedImage(const FillStyle& style, const GradientColours::Lookup& lookup, const QTransform& shapeToDevice,
                   const QRect& area, QPointF shading, const std::vector<Span>& spans)
{
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    const Matrix& m = style.matrix;
    bool invertible = false;
    // Device pixels to the gradient square.
    QTransform toGradient = (QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty) * shapeToDevice).inverted(&invertible);
    if (!invertible || area.isEmpty()) {
        image.fill(Qt::transparent);
        return image;
    }
    const Shading s{toGradient.m11(), toGradient.m12(), toGradient.m21(), toGradient.m22(),
                    toGradient.dx(),  toGradient.dy(),  shading,          lookup.data(),
                    double(lookup.size() - 1)};
    switch (style.kind) {
    case FillKind::LinearGradient:
        shadeWithSpread(s, LinearPosition{}, style.gradient.spread, image, area, spans);
        break;
    case FillKind::FocalGradient:
        if (style.gradient.focalPoint != 0) {
            const double focal =
                std::clamp(style.gradient.focalPoint, -GradientRamp::kMaxFocalPoint, GradientRamp::kMaxFocalPoint);
            shadeWithSpread(s, FocalPosition{focal}, style.gradient.spread, image, area, spans);
            break;
        }
        [[fallthrough]];
    default: shadeWithSpread(s, RadialPosition{}, style.gradient.spread, image, area, spans); break;
    }
    return image;
}

// The device pixels a fill of the path may touch: its bounds, within the device and the painter's clip.
QRect paintedArea(const QPainter& painter, const QPainterPath& path, const QTransform& shapeToDevice)
{
    QRect bounds = shapeToDevice.mapRect(path.controlPointRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
    if (const QPaintDevice* device = painter.device())
        bounds &= QRect(0, 0, device->width(), device->height());
    if (painter.hasClipping() && painter.transform().isInvertible() && !bounds.isEmpty())
        bounds &= painter.transform().mapRect(painter.clipBoundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
    return bounds;
}

// Narrows the area to the rows and columns that have something to shade, moving the spans with it.
QRect narrowed(const QRect& area, std::vector<Span>& spans)
{
    Span columns;
    int first = -1, last = -1;
    for (int r = 0; r < int(spans.size()); ++r) {
        if (spans[std::size_t(r)].empty())
            continue;
        if (first < 0)
            first = r;
        last = r;
        columns.add(spans[std::size_t(r)].from, spans[std::size_t(r)].to);
    }
    if (first < 0)
        return QRect();
    std::vector<Span> kept(spans.begin() + first, spans.begin() + last + 1);
    for (Span& s : kept) {
        if (!s.empty()) {
            s.from -= columns.from;
            s.to -= columns.from;
        }
    }
    spans = std::move(kept);
    return QRect(area.left() + columns.from, area.top() + first, columns.to - columns.from, last - first + 1);
}

}  // namespace

GradientColours::GradientColours(const Gradient& gradient) : m_ramp(gradient), m_steps(lookupSteps(m_ramp)) {}

std::shared_ptr<const GradientColours::Lookup> GradientColours::lookup(const ColorTransform& colours) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_lookup || !sameColours(m_colours, colours)) {
        m_lookup = std::make_shared<const Lookup>(colourLookup(m_ramp, m_steps, colours));
        m_colours = colours;
    }
    return m_lookup;
}

QImage gradientImage(const FillStyle& style, const ColorTransform& colours, const QTransform& shapeToDevice,
                     const QRect& area, QPointF shading)
{
    const GradientColours gradient(style.gradient);
    std::vector<Span> everywhere(std::size_t(std::max(0, area.height())));
    for (Span& s : everywhere)
        s.add(0, area.width());
    return shadedImage(style, *gradient.lookup(colours), shapeToDevice, area, shading, everywhere);
}

namespace {

// The gradient as a brush for painting the path, shaded only where the path reaches; none when it reaches nothing
// that is painted.
std::optional<QBrush> shadedBrush(const QPainter& painter, const QPainterPath& path, const FillStyle& style,
                                  const GradientColours* gradient, const BrushContext& context,
                                  const QTransform& shapeToDevice)
{
    QRect bounds = paintedArea(painter, path, shapeToDevice);
    if (bounds.isEmpty())
        return std::nullopt;
    PathReach reach(bounds);
    reach.addPath(path, shapeToDevice);
    std::vector<Span> spans = reach.spans();
    bounds = narrowed(bounds, spans);
    if (bounds.isEmpty())
        return std::nullopt;
    std::optional<GradientColours> own;
    if (!gradient)
        gradient = &own.emplace(style.gradient);
    const std::shared_ptr<const GradientColours::Lookup> lookup = gradient->lookup(context.colours);
    QBrush brush(shadedImage(style, *lookup, shapeToDevice, bounds, context.shadingOffset, spans));
    // The brush is given in shape coordinates; this places its pixels exactly on the device's.
    brush.setTransform(QTransform::fromTranslate(bounds.left(), bounds.top()) * shapeToDevice.inverted());
    return brush;
}

}  // namespace

void fillGradientPath(QPainter& painter, const QPainterPath& path, const FillStyle& style,
                      const GradientColours* gradient, const BrushContext& context, const QTransform& shapeToDevice,
                      bool antialias)
{
    if (const std::optional<QBrush> brush = shadedBrush(painter, path, style, gradient, context, shapeToDevice))
        fillShapePath(painter, path, *brush, shapeToDevice, antialias);
}

void strokeGradientPath(QPainter& painter, const QPainterPath& path, const QPen& pen, const FillStyle& style,
                        const GradientColours* gradient, const BrushContext& context,
                        const QTransform& shapeToDevice, bool antialias)
{
    const QPainterPath outline = strokeOutline(path, pen, shapeToDevice, antialias);
    if (!antialias || !isHairline(pen)) {
        fillGradientPath(painter, outline, style, gradient, context, shapeToDevice, antialias);
        return;
    }
    // Qt's hairlines are many times faster than filling their outline with anti-aliasing; the brush is shaded
    // where the outline reaches, which holds the pixels Qt's pen touches.
    if (const std::optional<QBrush> brush = shadedBrush(painter, outline, style, gradient, context, shapeToDevice)) {
        QPen shaded = pen;
        shaded.setBrush(*brush);
        painter.strokePath(path, shaded);
    }
}

}  // namespace swf
