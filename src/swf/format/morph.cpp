// Interpolation of morph shapes: styles and edges blended between their start and end forms.
#include "swf/format/shape.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

std::uint8_t mixByte(std::uint8_t a, std::uint8_t b, double t)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(mix(a, b, t)), 0L, 255L));
}

Rgba mixColour(const Rgba& a, const Rgba& b, double t)
{
    return {mixByte(a.r, b.r, t), mixByte(a.g, b.g, t), mixByte(a.b, b.b, t), mixByte(a.a, b.a, t)};
}

Matrix mixMatrix(const Matrix& a, const Matrix& b, double t)
{
    return {mix(a.a, b.a, t), mix(a.b, b.b, t), mix(a.c, b.c, t), mix(a.d, b.d, t), mix(a.tx, b.tx, t),
            mix(a.ty, b.ty, t)};
}

FillStyle mixFill(const FillStyle& a, const FillStyle& b, double t)
{
    FillStyle f = a;
    f.colour = mixColour(a.colour, b.colour, t);
    f.matrix = mixMatrix(a.matrix, b.matrix, t);
    f.gradient.focalPoint = mix(a.gradient.focalPoint, b.gradient.focalPoint, t);
    std::size_t n = std::min(a.gradient.stops.size(), b.gradient.stops.size());
    f.gradient.stops.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        f.gradient.stops[i].ratio = mixByte(a.gradient.stops[i].ratio, b.gradient.stops[i].ratio, t);
        f.gradient.stops[i].colour = mixColour(a.gradient.stops[i].colour, b.gradient.stops[i].colour, t);
    }
    return f;
}

// Start and end edges are paired in order; a straight edge paired with a curve becomes a curve whose
// control point sits at its middle.
ShapeRecord asCurve(const ShapeRecord& r, double fromX, double fromY)
{
    if (r.kind == ShapeRecord::Kind::Curve)
        return r;
    ShapeRecord c = r;
    c.kind = ShapeRecord::Kind::Curve;
    c.cx = (fromX + r.x) / 2;
    c.cy = (fromY + r.y) / 2;
    return c;
}

}  // namespace

Shape interpolateMorph(const MorphShape& morph, std::uint16_t ratio)
{
    double t = ratio / 65535.0;
    Shape shape;
    shape.id = morph.id;
    shape.bounds.xMin = static_cast<std::int32_t>(mix(morph.startBounds.xMin, morph.endBounds.xMin, t));
    shape.bounds.xMax = static_cast<std::int32_t>(mix(morph.startBounds.xMax, morph.endBounds.xMax, t));
    shape.bounds.yMin = static_cast<std::int32_t>(mix(morph.startBounds.yMin, morph.endBounds.yMin, t));
    shape.bounds.yMax = static_cast<std::int32_t>(mix(morph.startBounds.yMax, morph.endBounds.yMax, t));
    StyleTable table;
    for (std::size_t i = 0; i < morph.start.fills.size(); ++i)
        table.fills.push_back(
            i < morph.end.fills.size() ? mixFill(morph.start.fills[i], morph.end.fills[i], t) : morph.start.fills[i]);
    for (std::size_t i = 0; i < morph.start.lines.size(); ++i) {
        LineStyle l = morph.start.lines[i];
        if (i < morph.end.lines.size()) {
            const LineStyle& e = morph.end.lines[i];
            l.width = static_cast<std::uint16_t>(std::lround(mix(l.width, e.width, t)));
            l.colour = mixColour(l.colour, e.colour, t);
            l.fill = mixFill(l.fill, e.fill, t);
        }
        table.lines.push_back(l);
    }
    shape.styleTables.push_back(std::move(table));

    const auto& ends = morph.endRecords;
    std::size_t j = 0;
    double sx = 0, sy = 0, ex = 0, ey = 0;  // pens of the start and end paths
    for (const ShapeRecord& s : morph.startRecords) {
        if (s.kind == ShapeRecord::Kind::Style) {
            ShapeRecord r = s;
            r.newStyles = -1;
            if (j < ends.size() && ends[j].kind == ShapeRecord::Kind::Style) {
                if (ends[j].hasMove) {
                    ex = ends[j].x;
                    ey = ends[j].y;
                }
                ++j;
            }
            if (s.hasMove) {
                sx = s.x;
                sy = s.y;
            }
            r.x = mix(sx, ex, t);
            r.y = mix(sy, ey, t);
            r.hasMove = s.hasMove;
            shape.records.push_back(r);
            continue;
        }
        while (j < ends.size() && ends[j].kind == ShapeRecord::Kind::Style) {
            if (ends[j].hasMove) {
                ex = ends[j].x;
                ey = ends[j].y;
            }
            ++j;
        }
        ShapeRecord e = j < ends.size() ? ends[j++] : s;
        ShapeRecord a = s, b = e;
        if (a.kind != b.kind) {
            a = asCurve(a, sx, sy);
            b = asCurve(b, ex, ey);
        }
        ShapeRecord r = a;
        r.x = mix(a.x, b.x, t);
        r.y = mix(a.y, b.y, t);
        r.cx = mix(a.cx, b.cx, t);
        r.cy = mix(a.cy, b.cy, t);
        shape.records.push_back(r);
        sx = s.x;
        sy = s.y;
        ex = e.x;
        ey = e.y;
    }
    return shape;
}

}  // namespace swf
