#include "swf/render/framebounds.h"

#include "swf/limits.h"
#include "swf/render/strokewidth.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf {

namespace {

// Anti-aliased edges reach into the next pixel; one more keeps rounding at the box's edges harmless.
constexpr double kEdgePixels = 2.0;
// Boxes are clamped to this far outside any target so that the arithmetic stays in int.
constexpr double kFarPixels = 1 << 30;

struct Extent {
    double left = std::numeric_limits<double>::infinity();
    double top = std::numeric_limits<double>::infinity();
    double right = -std::numeric_limits<double>::infinity();
    double bottom = -std::numeric_limits<double>::infinity();

    bool isEmpty() const { return !(left <= right && top <= bottom); }
    void add(double x, double y)
    {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    void addPath(const Path& path)
    {
        // A quadratic curve stays inside the triangle of its end points and control point.
        for (const PathSegment& s : path) {
            if (s.kind == PathSegment::Kind::Close)
                continue;
            add(s.x, s.y);
            if (s.kind == PathSegment::Kind::Quad)
                add(s.cx, s.cy);
        }
    }
    void grow(double by)
    {
        left -= by;
        top -= by;
        right += by;
        bottom += by;
    }
};

PixelBox wholeTarget(const RenderFrame& frame)
{
    return {0, 0, std::max(0, frame.width), std::max(0, frame.height)};
}

// How far beyond its path a stroke may paint, relative to its width: miter joins reach out up to the
// miter limit times the width; round and bevel joins and all caps stay within one width.
double strokeReach(const LineStyle& style)
{
    return style.join == JoinStyle::Miter ? std::max(1.0, style.miterLimit) : 1.0;
}

// The least a matrix stretches any direction (its smaller singular value).
double smallestScale(const Matrix& m)
{
    const double sum = m.a * m.a + m.b * m.b + m.c * m.c + m.d * m.d;
    const double det = std::fabs(m.a * m.d - m.b * m.c);
    const double largest = std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * det * det))) / 2);
    return largest > 0 && std::isfinite(largest) ? det / largest : 0;
}

double stageScale(const Matrix& m)
{
    return std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
}

// Maps a shape-space extent through the matrix and grows it by pixel padding; the whole target when the
// result is not finite.
PixelBox toPixels(const Extent& shape, const Matrix& toTarget, double padPixels, const RenderFrame& frame)
{
    Extent out;
    const double xs[] = {shape.left, shape.right};
    const double ys[] = {shape.top, shape.bottom};
    for (double x : xs)
        for (double y : ys) {
            double px = 0, py = 0;
            toTarget.apply(x, y, px, py);
            out.add(px, py);
        }
    out.grow(padPixels + kEdgePixels);
    if (!std::isfinite(out.left) || !std::isfinite(out.right) || !std::isfinite(out.top) ||
        !std::isfinite(out.bottom))
        return wholeTarget(frame);
    auto clamp = [](double v) { return static_cast<int>(std::clamp(v, -kFarPixels, kFarPixels)); };
    return {clamp(std::floor(out.left)), clamp(std::floor(out.top)), clamp(std::ceil(out.right)),
            clamp(std::ceil(out.bottom))};
}

PixelBox shapeBounds(const DrawCommand& c, const RenderFrame& frame)
{
    Extent fills;
    Extent strokes;
    double shapePad = 0;  // stroke half-widths and joins in shape units
    double pixelPad = 0;  // strokes drawn with a width in pixels (hairlines and non-scaling strokes)
    const double stage = stageScale(frame.stageToPixels);
    for (const GeometryLayer& layer : c.geometry->layers) {
        for (const FillPath& f : layer.fills)
            fills.addPath(f.path);
        for (const StrokePath& s : layer.strokes) {
            strokes.addPath(s.path);
            const double reach = strokeReach(s.style);
            const StrokeWidth width = strokeWidth(s.style, c.own, c.matrix);
            double hairline = 1.0;
            switch (width.space) {
            case StrokeWidth::Space::Shape: shapePad = std::max(shapePad, width.width * reach); break;
            case StrokeWidth::Space::Parent: {
                // A round pen in the parent's space reaches furthest in the shape's along the own matrix's
                // shortest axis.
                const double shortest = smallestScale(*c.own);
                if (shortest > 1e-9)
                    shapePad = std::max(shapePad, width.width / shortest * reach);
                break;
            }
            case StrokeWidth::Space::Stage: hairline = std::clamp(width.width * stage, 1.0, 4096.0); break;
            }
            pixelPad = std::max(pixelPad, hairline * reach);
        }
    }
    if (!strokes.isEmpty()) {
        strokes.grow(shapePad);
        fills.add(strokes.left, strokes.top);
        fills.add(strokes.right, strokes.bottom);
    }
    if (fills.isEmpty())
        return {};
    return toPixels(fills, frame.stageToPixels * c.matrix, pixelPad, frame);
}

PixelBox bitmapBounds(const DrawCommand& c, const RenderFrame& frame)
{
    if (!c.bitmap || c.bitmap->width == 0 || c.bitmap->height == 0)
        return {};
    Extent e;
    e.add(0, 0);
    e.add(c.bitmap->width, c.bitmap->height);
    return toPixels(e, frame.stageToPixels * c.matrix, 0, frame);
}

}  // namespace

PixelBox PixelBox::united(const PixelBox& o) const
{
    if (isEmpty())
        return o;
    if (o.isEmpty())
        return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

PixelBox commandBounds(const DrawCommand& command, const RenderFrame& frame)
{
    switch (command.kind) {
    case DrawCommand::Kind::Shape: return command.geometry ? shapeBounds(command, frame) : PixelBox{};
    case DrawCommand::Kind::Bitmap: return bitmapBounds(command, frame);
    default: return wholeTarget(frame);
    }
}

int filterReach(const std::vector<Filter>& filters, double scale)
{
    double reach = 0;
    for (const Filter& f : filters) {
        double blurSize = std::min(limits::kMaxFilterBlur, std::max(f.blurX, f.blurY) * scale) * std::max(1, f.passes);
        reach += blurSize / 2 + std::fabs(f.distance * scale) + 1;
    }
    return int(std::ceil(std::min(reach, double(limits::kMaxFilterReach))));
}

std::vector<PixelBox> frameBounds(const RenderFrame& frame)
{
    std::vector<PixelBox> out;
    if (!frame.commands)
        return out;
    const auto& commands = frame.commands->commands;
    out.reserve(commands.size());
    for (const DrawCommand& c : commands)
        out.push_back(commandBounds(c, frame));
    // Layers, innermost first as they close: what each holds, spread by its filters, is where it paints.
    struct Open {
        std::size_t begin;
        PixelBox content;
    };
    std::vector<Open> open;
    const double scale = stageScale(frame.stageToPixels) * 20;  // device pixels per stage pixel
    auto grow = [](PixelBox b, int by) {
        return b.isEmpty() ? b : PixelBox{b.left - by, b.top - by, b.right + by, b.bottom + by};
    };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const DrawCommand& c = commands[i];
        if (c.kind == DrawCommand::Kind::BeginLayer) {
            open.push_back({i, {}});
            continue;
        }
        if (c.kind == DrawCommand::Kind::EndLayer && !open.empty()) {
            const Open layer = open.back();
            open.pop_back();
            const int margin = filterReach(c.filters, scale);
            PixelBox box = c.colorTransform.aAdd > 0 ? wholeTarget(frame) : grow(layer.content, margin);
            if (margin > 0)
                for (std::size_t k = layer.begin + 1; k < i; ++k)
                    out[k] = grow(out[k], margin);
            out[layer.begin] = out[i] = box;
            if (!open.empty())
                open.back().content = open.back().content.united(box);
            continue;
        }
        const bool drawing = c.kind == DrawCommand::Kind::Shape || c.kind == DrawCommand::Kind::Bitmap;
        if (drawing && !open.empty())
            open.back().content = open.back().content.united(out[i]);  // mask brackets only take away
    }
    return out;
}

}  // namespace swf
