#include "swf/qt/gradientfill.h"

#include "swf/qt/aliasedfill.h"
#include "swf/render/gradient.h"

#include <QPaintDevice>
#include <cmath>

namespace swf {

QImage gradientImage(const FillStyle& style, const ColorTransform& colours, const QTransform& shapeToDevice,
                     const QRect& area)
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
    const GradientRamp ramp(style.gradient);
    const double focal = style.gradient.focalPoint;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QPointF p = toGradient.map(QPointF(area.left() + x + 0.5, area.top() + y + 0.5));
            double t = GradientRamp::spread(style.gradient.spread,
                                            GradientRamp::position(style.kind, focal, p.x(), p.y()));
            RampColour c = ramp.sample(t, colours);
            auto premultiplied = [&c](float v) { return int(std::lround(v * c.a * 255.0f)); };
            line[x] = qRgba(premultiplied(c.r), premultiplied(c.g), premultiplied(c.b), int(std::lround(c.a * 255.0f)));
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
    QBrush brush(gradientImage(style, context.colours, shapeToDevice, bounds));
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
