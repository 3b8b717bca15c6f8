#include "swf/qt/aliasedfill.h"

#include "swf/qt/flattening.h"

#include <QPaintDevice>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {

namespace {

struct Edge {
    double top, bottom;  // top < bottom
    double x, slope;     // x at `top`, change of x per unit of y
    int direction;       // +1 downwards, -1 upwards
};

struct Crossing {
    double x;
    int direction;
    bool operator<(const Crossing& o) const { return x < o.x; }
};

// Closed contours for filling need three points at least.
QList<QPolygonF> contoursOf(const QPainterPath& path, double tolerance)
{
    return polylinesOf(path, tolerance, 3);
}

// Vertices are kept to a 256th of a pixel, as hardware rasterisers keep them, so edges that pass
// within a hair of a pixel centre fall on the same side as in Flash's pictures.
constexpr double kSubpixelSteps = 256;

QPointF snapped(QPointF p)
{
    return {std::round(p.x() * kSubpixelSteps) / kSubpixelSteps, std::round(p.y() * kSubpixelSteps) / kSubpixelSteps};
}

std::vector<Edge> edgesOf(const QList<QPolygonF>& polygons, const QTransform& toDevice)
{
    std::vector<Edge> edges;
    for (const QPolygonF& shapePolygon : polygons) {
        QPolygonF polygon = toDevice.map(shapePolygon);
        for (QPointF& p : polygon)
            p = snapped(p);
        const qsizetype n = polygon.size();
        for (qsizetype i = 0; i < n; ++i) {
            QPointF a = polygon[i];
            QPointF b = polygon[(i + 1) % n];  // every contour is closed for filling
            if (a.y() == b.y() || !std::isfinite(a.x() + a.y() + b.x() + b.y()))
                continue;
            int direction = b.y() > a.y() ? 1 : -1;
            if (direction < 0)
                std::swap(a, b);
            edges.push_back({a.y(), b.y(), a.x(), (b.x() - a.x()) / (b.y() - a.y()), direction});
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.top < r.top; });
    return edges;
}

// Adds the row's covered pixel runs between crossings that are inside under the fill rule.
void addRuns(std::vector<Crossing>& crossings, bool nonZero, int row, const QRect& area, std::vector<QRect>& out)
{
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].direction;
        bool inside = nonZero ? winding != 0 : (winding & 1) != 0;
        if (!inside)
            continue;
        // Pixel x is covered when left <= x + 0.5 < right.
        double first = std::ceil(crossings[i].x - 0.5);
        double end = std::ceil(crossings[i + 1].x - 0.5);
        first = std::max(first, double(area.left()));
        end = std::min(end, double(area.right() + 1));
        if (end <= first)
            continue;
        if (!out.empty() && out.back().top() == row && out.back().right() + 1 >= first)
            out.back().setRight(std::max(out.back().right(), int(end) - 1));  // touching runs join
        else
            out.emplace_back(int(first), row, int(end - first), 1);
    }
}

}  // namespace

double flatteningTolerance(const QTransform& toDevice)
{
    // A tenth of a device pixel, from the transform's scale measured along the diagonal.
    double sx = std::fabs(toDevice.m11() + toDevice.m21());
    double sy = std::fabs(toDevice.m12() + toDevice.m22());
    double scale = std::sqrt((sx * sx + sy * sy) / 2);
    return scale > 1e-9 ? 0.1 / scale : 0.1;
}

namespace {

std::vector<QRect> coveredRuns(const QPainterPath& path, const QTransform& toDevice, const QRect& area, double tolerance)
{
    std::vector<QRect> out;
    if (tolerance <= 0)
        tolerance = flatteningTolerance(toDevice);
    std::vector<Edge> edges = edgesOf(contoursOf(path, tolerance), toDevice);
    if (edges.empty() || area.isEmpty())
        return out;
    const bool nonZero = path.fillRule() == Qt::WindingFill;
    double lowest = 0;
    for (const Edge& e : edges)
        lowest = std::max(lowest, e.bottom);
    int firstRow = std::max(area.top(), int(std::ceil(edges.front().top - 0.5)));
    int lastRow = std::min(area.bottom(), int(std::ceil(lowest - 0.5)));
    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    std::size_t next = 0;
    for (int row = firstRow; row <= lastRow; ++row) {
        const double centre = row + 0.5;
        while (next < edges.size() && edges[next].top <= centre)
            active.push_back(&edges[next++]);
        auto ended = [centre](const Edge* e) { return e->bottom <= centre; };
        active.erase(std::remove_if(active.begin(), active.end(), ended), active.end());
        crossings.clear();
        for (const Edge* e : active)
            crossings.push_back({e->x + (centre - e->top) * e->slope, e->direction});
        addRuns(crossings, nonZero, row, area, out);
    }
    return out;
}

}  // namespace

QPainterPath pixelCentreCoverage(const QPainterPath& path, const QTransform& toDevice, const QRect& area,
                                 double tolerance)
{
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    for (const QRect& r : coveredRuns(path, toDevice, area, tolerance))
        out.addRect(r);
    return out;
}

QRegion pixelCentreRegion(const QPainterPath& path, const QTransform& toDevice, const QRect& area)
{
    std::vector<QRect> runs = coveredRuns(path, toDevice, area, 0);
    QRegion region;
    if (!runs.empty())
        region.setRects(runs.data(), int(runs.size()));
    return region;
}

QRegion shapePixels(const QtGeometry& geometry, const QTransform& toDevice, const QRect& area)
{
    QRegion region;
    for (const QtLayer& layer : geometry.layers)
        for (const QPainterPath& fill : layer.fills)
            region += pixelCentreRegion(fill, toDevice, area);
    return region;
}

void fillShapePath(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QTransform& toDevice,
                   bool antialias, double tolerance)
{
    if (antialias) {
        painter.fillPath(path, brush);
        return;
    }
    const QPaintDevice* device = painter.device();
    QRect area = device ? QRect(0, 0, device->width(), device->height()) : QRect();
    QPainterPath pixels = pixelCentreCoverage(path, toDevice, area, tolerance);
    if (pixels.isEmpty())
        return;
    // The pixels are in device coordinates; the brush keeps its place relative to the shape.
    QBrush deviceBrush = brush;
    deviceBrush.setTransform(brush.transform() * toDevice);
    painter.save();
    painter.setTransform(QTransform());
    painter.fillPath(pixels, deviceBrush);
    painter.restore();
}

}  // namespace swf
