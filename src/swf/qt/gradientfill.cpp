#include "swf/qt/gradientfill.h"

#include "swf/qt/aliasedfill.h"
#include "swf/render/gradient.h"

#include <QPaintDevice>
#include <cmath>
#include <vector>

namespace swf {

namespace {

// The ramp's colours, filtered, transformed and premultiplied, at this many even steps from 0 to 1:
// a quarter of an entry apart.
constexpr int kLookupSteps = GradientRamp::kEntries * 4;

std::vector<QRgb> colourLookup(const GradientRamp& ramp, const ColorTransform& colours)
{
    std::vector<QRgb> lookup(kLookupSteps + 1);
    for (int i = 0; i <= kLookupSteps; ++i) {
        RampColour c = ramp.sample(double(i) / kLookupSteps, colours);
        auto premultiplied = [&c](float v) { return int(v * c.a * 255.0f + 0.5f); };
        lookup[std::size_t(i)] =
            qRgba(premultiplied(c.r), premultiplied(c.g), premultiplied(c.b), int(c.a * 255.0f + 0.5f));
    }
    return lookup;
}

}  // namespace

QImage gradientImage(const FillStyle& style, const ColorTransform& colours, const QTransform& shapeToDevice,
                     const QRect& area, QPointF shading)
{
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const Matrix& m = style.matrix;
    bool invertible = false;
    // Device pixels to the gradient square.
    QTransform toGradient =
        (QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty) * shapeToDevice).inverted(&invertible);
    if (!invertible || area.isEmpty())
        return image;
    const std::vector<QRgb> lookup = colourLookup(GradientRamp(style.gradient), colours);
    const double focal = style.gradient.focalPoint;
    // One pixel to the right moves the gradient point by (dx, dy).
    const double dx = toGradient.m11(), dy = toGradient.m12();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        QPointF start = toGradient.map(QPointF(area.left() + 0.5, area.top() + y + 0.5) + shading);
        double gx = start.x(), gy = start.y();
        for (int x = 0; x < image.width(); ++x, gx += dx, gy += dy) {
            double t = GradientRamp::spread(style.gradient.spread, GradientRamp::position(style.kind, focal, gx, gy));
            line[x] = lookup[std::size_t(t * kLookupSteps + 0.5)];
        }
    }
    return image;
}

void fillGradientPath(QPainter& painter, const QPainterPath& path, const FillStyle& style,
                      const BrushContext& context, const QTransform& shapeToDevice, bool antialias)
{
    QRect bounds = shapeToDevice.map(path).boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (const QPaintDevice* device = painter.device())
        bounds &= QRect(0, 0, device->width(), device->height());
    if (bounds.isEmpty())
        return;
    QBrush brush(gradientImage(style, context.colours, shapeToDevice, bounds, context.shadingOffset));
    // The brush is given in shape coordinates; this places its pixels exactly on the device's.
    brush.setTransform(QTransform::fromTranslate(bounds.left(), bounds.top()) * shapeToDevice.inverted());
    fillShapePath(painter, path, brush, shapeToDevice, antialias);
}

void strokeGradientPath(QPainter& painter, const QPainterPath& path, const QPen& pen, const FillStyle& style,
                        const BrushContext& context, const QTransform& shapeToDevice, bool antialias)
{
    fillGradientPath(painter, strokeOutline(path, pen, shapeToDevice), style, context, shapeToDevice, antialias);
}

}  // namespace swf
