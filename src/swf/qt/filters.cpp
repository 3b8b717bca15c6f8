#include "swf/qt/filters.h"

#include "swf/limits.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>

namespace swf {

namespace {

constexpr double kMaxBlur = limits::kMaxFilterBlur;

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
// channels, colour never above alpha) and the alpha-only images shadows and glows start from. Sums fit in 32
// bits: at most 255 whole-weight pixels of 255, times 255, and two edge pixels.
using Sum = std::int32_t;

struct Colour {
    using Pixel = QRgb;
    static constexpr int kChannels = 4;
    static void add(Sum* sums, Pixel p, Sum w)
    {
        sums[0] += Sum(qRed(p)) * w;
        sums[1] += Sum(qGreen(p)) * w;
        sums[2] += Sum(qBlue(p)) * w;
        sums[3] += Sum(qAlpha(p)) * w;
    }
    template <typename Cut>
    static Pixel make(const Sum* sums, const Cut& cut)
    {
        const int a = cut(sums[3]);
        return qRgba(std::min(cut(sums[0]), a), std::min(cut(sums[1]), a), std::min(cut(sums[2]), a), a);
    }
};

struct AlphaOnly {
    using Pixel = uchar;
    static constexpr int kChannels = 1;
    static void add(Sum* sums, Pixel p, Sum w) { sums[0] += Sum(p) * w; }
    template <typename Cut>
    static Pixel make(const Sum* sums, const Cut& cut)
    {
        return static_cast<Pixel>(cut(sums[0]));
    }
};

// The edge weight is kept in 1/255 steps; a result is cut down to a whole step.
struct Cutter {
    explicit Cutter(double divisor) : reciprocal(1 / divisor) {}
    double reciprocal;
    // Truncating is flooring here: below zero, both are cut to 0.
    int operator()(Sum v) const { return std::clamp(int(double(v) * reciprocal + 1e-9), 0, 255); }
};

template <typename Pixel>
bool clear(const Pixel* line, int length)
{
    return std::all_of(line, line + length, [](Pixel p) { return p == 0; });
}

// Blurs one line into `out`. `in` holds the line with box.m + 1 clear pixels before and after it, so the box
// slides along without looking for the ends; a pixel costs the same whatever the blur's size.
template <typename Kind>
void blurLine(const typename Kind::Pixel* in, typename Kind::Pixel* out, int length, const Box& box)
{
    constexpr int n = Kind::kChannels;
    const int pad = box.m + 1;
    const Sum edge = Sum(std::lround(box.edge * 255));
    const Cutter cut(255 * box.total);
    Sum inner[n] = {};  // the whole-weight pixels around the current one
    for (int k = -box.m; k <= box.m; ++k)
        Kind::add(inner, in[pad + k], 1);
    for (int i = 0; i < length; ++i) {
        const int at = pad + i;
        Sum sum[n];
        for (int c = 0; c < n; ++c)
            sum[c] = inner[c] * 255;
        Kind::add(sum, in[at - box.m - 1], edge);
        Kind::add(sum, in[at + box.m + 1], edge);
        out[i] = Kind::make(sum, cut);
        Kind::add(inner, in[at - box.m], -1);
        Kind::add(inner, in[at + box.m + 1], 1);
    }
}

template <typename Kind>
void blurRows(QImage& image, const Box& box)
{
    using Pixel = typename Kind::Pixel;
    const int width = image.width(), pad = box.m + 1;
    std::vector<Pixel> padded(std::size_t(width + 2 * pad), Pixel(0));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<Pixel*>(image.scanLine(y));
        if (clear(line, width))
            continue;  // a clear line stays clear
        std::copy(line, line + width, padded.begin() + pad);
        blurLine<Kind>(padded.data(), line, width, box);
    }
}

// The vertical pass, worked a row at a time so that it reads the image in memory order: each column's
// sums are carried from one row to the next. Reads come from a copy; each output row is centred `shift` rows
// further down the input. Clear rows add nothing, and an output row whose box holds only clear rows is clear.
template <typename Kind>
void blurColumns(QImage& image, const Box& box, int shift)
{
    using Pixel = typename Kind::Pixel;
    constexpr int n = Kind::kChannels;
    const int width = image.width(), height = image.height();
    const QImage source = image.copy();
    std::vector<int> drawnBefore(std::size_t(height) + 1, 0);  // rows with some colour above each row
    for (int y = 0; y < height; ++y)
        drawnBefore[std::size_t(y) + 1] =
            drawnBefore[std::size_t(y)] + !clear(reinterpret_cast<const Pixel*>(source.constScanLine(y)), width);
    auto drawnIn = [&drawnBefore, height](int from, int to) {  // rows from..to inclusive, clamped
        from = std::clamp(from, 0, height);
        to = std::clamp(to + 1, 0, height);
        return from < to && drawnBefore[std::size_t(to)] > drawnBefore[std::size_t(from)];
    };
    auto row = [&source, height, shift, &drawnIn](int y) -> const Pixel* {
        y += shift;
        return y < 0 || y >= height || !drawnIn(y, y) ? nullptr
                                                      : reinterpret_cast<const Pixel*>(source.constScanLine(y));
    };
    std::vector<Sum> inner(std::size_t(width) * n, 0);
    auto addRow = [width](const Pixel* r, Sum w, Sum* sums) {
        if (!r)
            return;
        for (int x = 0; x < width; ++x)
            Kind::add(sums + std::ptrdiff_t(x) * n, r[x], w);
    };
    for (int k = -box.m; k <= box.m; ++k)
        addRow(row(k), 1, inner.data());
    const Sum edge = Sum(std::lround(box.edge * 255));
    const Cutter cut(255 * box.total);
    std::vector<Sum> sum(inner.size());
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<Pixel*>(image.scanLine(y));
        if (!drawnIn(y + shift - box.m - 1, y + shift + box.m + 1)) {
            std::fill(out, out + width, Pixel(0));
        } else {
            for (std::size_t i = 0; i < sum.size(); ++i)
                sum[i] = inner[i] * 255;
            addRow(row(y - box.m - 1), edge, sum.data());
            addRow(row(y + box.m + 1), edge, sum.data());
            for (int x = 0; x < width; ++x)
                out[x] = Kind::make(sum.data() + std::ptrdiff_t(x) * n, cut);
        }
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
