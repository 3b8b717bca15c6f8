#include "swf/qt/filters.h"

#include "swf/limits.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>

namespace swf {

namespace {

constexpr double kMaxBlur = 255;

// Box weights: 1 for the 2m + 1 pixels around the centre, `edge` for the one beyond on each side.
struct Box {
    int m = 0;
    double edge = 0;
    double total = 1;
};

Box boxFor(double size)
{
    Box box;
    double radius = (size - 1) / 2;
    box.m = int(std::ceil(radius)) - 1;
    box.edge = std::floor((radius - box.m) * 255) / 255;  // whole 1/255 steps, as Flash counts
    box.m = std::max(box.m, 0);
    box.total = size;
    return box;
}

// How a blur reads and writes the pixels of the two kinds of image it works on: premultiplied colour (four
// channels, colour never above alpha) and the alpha-only images shadows and glows start from.
struct Colour {
    using Pixel = QRgb;
    static constexpr int kChannels = 4;
    static void add(std::int64_t* sums, Pixel p, std::int64_t w)
    {
        sums[0] += qRed(p) * w;
        sums[1] += qGreen(p) * w;
        sums[2] += qBlue(p) * w;
        sums[3] += qAlpha(p) * w;
    }
    template <typename Cut>
    static Pixel make(const std::int64_t* sums, const Cut& cut)
    {
        const int a = cut(sums[3]);
        return qRgba(std::min(cut(sums[0]), a), std::min(cut(sums[1]), a), std::min(cut(sums[2]), a), a);
    }
};

struct AlphaOnly {
    using Pixel = uchar;
    static constexpr int kChannels = 1;
    static void add(std::int64_t* sums, Pixel p, std::int64_t w) { sums[0] += p * w; }
    template <typename Cut>
    static Pixel make(const std::int64_t* sums, const Cut& cut)
    {
        return static_cast<Pixel>(cut(sums[0]));
    }
};

// Sums are kept whole with the edge weight in 1/255 steps; a result is cut down to a whole step.
struct Cutter {
    explicit Cutter(double divisor) : reciprocal(1 / divisor) {}
    double reciprocal;
    int operator()(std::int64_t v) const { return std::clamp(int(std::floor(double(v) * reciprocal + 1e-9)), 0, 255); }
};

// Blurs one line read from `in` (contiguous) into `out` (every `outStride` pixels), each output pixel
// centred `shift` pixels further along the input; beyond the ends lies transparency. The box slides along the
// line, so a pixel costs the same whatever the blur's size.
template <typename Kind>
void blurLine(const typename Kind::Pixel* in, typename Kind::Pixel* out, int length, int outStride, const Box& box,
              int shift)
{
    using Pixel = typename Kind::Pixel;
    constexpr int n = Kind::kChannels;
    auto at = [in, length, shift](int i) {
        i += shift;
        return i < 0 || i >= length ? Pixel(0) : in[i];
    };
    const std::int64_t edge = std::llround(box.edge * 255);
    const Cutter cut(255 * box.total);
    std::int64_t inner[n] = {};  // the whole-weight pixels around the current one
    for (int k = -box.m; k <= box.m; ++k)
        Kind::add(inner, at(k), 1);
    for (int i = 0; i < length; ++i) {
        std::int64_t sum[n];
        for (int c = 0; c < n; ++c)
            sum[c] = inner[c] * 255;
        Kind::add(sum, at(i - box.m - 1), edge);
        Kind::add(sum, at(i + box.m + 1), edge);
        out[std::ptrdiff_t(i) * outStride] = Kind::make(sum, cut);
        Kind::add(inner, at(i - box.m), -1);
        Kind::add(inner, at(i + box.m + 1), 1);
    }
}

template <typename Kind>
void blurRows(QImage& image, const Box& box)
{
    using Pixel = typename Kind::Pixel;
    std::vector<Pixel> copy(std::size_t(image.width()));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<Pixel*>(image.scanLine(y));
        std::copy(line, line + image.width(), copy.begin());
        blurLine<Kind>(copy.data(), line, image.width(), 1, box, 0);
    }
}

// The vertical pass, worked a row at a time so that it reads the image in memory order: each column's
// sums are carried from one row to the next. Reads come from a copy; `shift` as for blurLine.
template <typename Kind>
void blurColumns(QImage& image, const Box& box, int shift)
{
    using Pixel = typename Kind::Pixel;
    constexpr int n = Kind::kChannels;
    const int width = image.width(), height = image.height();
    const QImage source = image.copy();
    auto row = [&source, height, shift](int y) -> const Pixel* {
        y += shift;
        return y < 0 || y >= height ? nullptr : reinterpret_cast<const Pixel*>(source.constScanLine(y));
    };
    std::vector<std::int64_t> inner(std::size_t(width) * n, 0);
    auto addRow = [width](const Pixel* r, std::int64_t w, std::int64_t* sums) {
        if (!r)
            return;
        for (int x = 0; x < width; ++x)
            Kind::add(sums + std::ptrdiff_t(x) * n, r[x], w);
    };
    for (int k = -box.m; k <= box.m; ++k)
        addRow(row(k), 1, inner.data());
    const std::int64_t edge = std::llround(box.edge * 255);
    const Cutter cut(255 * box.total);
    std::vector<std::int64_t> sum(inner.size());
    for (int y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < sum.size(); ++i)
            sum[i] = inner[i] * 255;
        addRow(row(y - box.m - 1), edge, sum.data());
        addRow(row(y + box.m + 1), edge, sum.data());
        auto* out = reinterpret_cast<Pixel*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = Kind::make(sum.data() + std::ptrdiff_t(x) * n, cut);
        addRow(row(y - box.m), -1, inner.data());
        addRow(row(y + box.m + 1), 1, inner.data());
    }
}

void blur(QImage& image, double sizeX, double sizeY, int passes, bool lifted)
{
    for (int p = 0; p < passes; ++p) {
        blurPass(image, sizeX, true);
        blurPass(image, sizeY, false, lifted);
    }
}

// The layer's alpha (or its inverse, for inner shadows), alone.
QImage alphaImage(const QImage& layer, bool inverse)
{
    QImage out(layer.size(), QImage::Format_Alpha8);
    for (int y = 0; y < layer.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < layer.width(); ++x)
            line[x] = static_cast<uchar>(inverse ? 255 - qAlpha(in[x]) : qAlpha(in[x]));
    }
    return out;
}

// Colours the blurred alpha: strength scales it (clamped), the colour's own alpha scales the result.
QImage colourShadow(const QImage& alpha, Rgba colour, double strength)
{
    // One colour for each of the 256 alphas.
    std::array<QRgb, 256> colours{};
    for (int v = 0; v < 256; ++v) {
        const double a = std::min(255.0, v * strength) * colour.a / 255.0;
        auto c = [a](int channel) { return int(std::lround(channel * a / 255.0)); };
        colours[std::size_t(v)] = qRgba(c(colour.r), c(colour.g), c(colour.b), int(std::lround(a)));
    }
    QImage out(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* in = alpha.constScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x)
            line[x] = colours[in[x]];
    }
    return out;
}

// Drop shadows and glows: the layer's alpha, blurred, strengthened and coloured, offset, then put
// behind the layer (outer), inside it (inner), or alone (knockout).
void shadow(QImage& layer, const Filter& f, double scale, double dx, double dy)
{
    QImage alpha = alphaImage(layer, f.inner);
    blur(alpha, std::min(kMaxBlur, f.blurX * scale), std::min(kMaxBlur, f.blurY * scale), std::max(1, f.passes), false);
    const QImage shade = colourShadow(alpha, f.colour, f.strength);
    QImage out(layer.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    if (f.inner) {
        p.drawImage(0, 0, layer);
        p.setCompositionMode(f.knockout ? QPainter::CompositionMode_SourceIn : QPainter::CompositionMode_SourceAtop);
        if (f.knockout) {
            QImage inside = shade;
            QPainter q(&inside);
            q.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            q.drawImage(QPointF(-dx, -dy), layer);
            q.end();
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(QPointF(dx, dy), inside);
        } else {
            p.drawImage(QPointF(dx, dy), shade);
        }
    } else {
        p.drawImage(QPointF(dx, dy), shade);
        p.setCompositionMode(f.knockout ? QPainter::CompositionMode_DestinationOut
                                        : QPainter::CompositionMode_SourceOver);
        p.drawImage(0, 0, layer);
    }
    p.end();
    layer = out;
}

int channel(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

// The 4x5 matrix works on colours that are not premultiplied, offsets in 0..255 steps.
void colourMatrix(QImage& layer, const std::vector<float>& m)
{
    if (m.size() < 20)
        return;
    for (int y = 0; y < layer.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            QRgb p = qUnpremultiply(line[x]);
            double in[4] = {double(qRed(p)), double(qGreen(p)), double(qBlue(p)), double(qAlpha(p))};
            int out[4];
            for (int r = 0; r < 4; ++r)
                out[r] = channel(m[r * 5] * in[0] + m[r * 5 + 1] * in[1] + m[r * 5 + 2] * in[2] + m[r * 5 + 3] * in[3]
                                 + m[r * 5 + 4]);
            line[x] = qPremultiply(qRgba(out[0], out[1], out[2], out[3]));
        }
    }
}

}  // namespace

void blurPass(QImage& image, double size, bool horizontal, bool lifted)
{
    size = std::min(size, kMaxBlur);
    if (size <= 1 || image.isNull())
        return;
    const Box box = boxFor(size);
    const int shift = !horizontal && lifted && box.edge < 1 ? 1 : 0;
    if (image.format() == QImage::Format_Alpha8)
        horizontal ? blurRows<AlphaOnly>(image, box) : blurColumns<AlphaOnly>(image, box, shift);
    else
        horizontal ? blurRows<Colour>(image, box) : blurColumns<Colour>(image, box, shift);
}

int filterReach(const std::vector<Filter>& filters, double scale)
{
    double reach = 0;
    for (const Filter& f : filters) {
        double blurSize = std::min(kMaxBlur, std::max(f.blurX, f.blurY) * scale) * std::max(1, f.passes);
        reach += blurSize / 2 + std::fabs(f.distance * scale) + 1;
    }
    return int(std::ceil(std::min(reach, double(limits::kMaxFilterReach))));
}

void applyFilters(QImage& layer, const std::vector<Filter>& filters, const QTransform& stageToDevice)
{
    const double scale = std::sqrt(std::fabs(stageToDevice.determinant())) * 20;  // twips to pixels
    for (const Filter& f : filters) {
        switch (f.kind) {
        case Filter::Kind::Blur:
            // Flash's blur filter (not the blur inside shadows and glows) comes out a pixel higher
            // when its box ends in fractional weights.
            blur(layer, f.blurX * scale, f.blurY * scale, std::max(1, f.passes), true);
            break;
        case Filter::Kind::DropShadow:
        case Filter::Kind::Glow: {
            double dx = 0, dy = 0;
            if (f.kind == Filter::Kind::DropShadow) {
                dx = std::round(std::cos(f.angle) * f.distance * scale);
                dy = std::round(std::sin(f.angle) * f.distance * scale);
            }
            shadow(layer, f, scale, dx, dy);
            break;
        }
        case Filter::Kind::ColorMatrix:
            colourMatrix(layer, f.matrix);
            break;
        default:
            break;  // bevels, gradient filters and convolution are not drawn yet
        }
    }
}

}  // namespace swf
