// Gradient fills painted pixel by pixel from the gradient's 256-entry ramp, each pixel taking the colour
// at its centre, instead of Qt's own gradient brushes (which interpolate the stops differently).
#pragma once

#include "swf/format/styles.h"
#include "swf/qt/qtgeometry.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace swf {

// The gradient's colours over the device pixels of `area` (a rectangle in device pixels), for a shape
// drawn with `shapeToDevice`, each worked out at its pixel's centre moved by `shading`; premultiplied ARGB.
QImage gradientImage(const FillStyle& style, const ColorTransform& colours, const QTransform& shapeToDevice,
                     const QRect& area, QPointF shading = QPointF());

// Fills the path (in shape coordinates, with the painter's transform set to shapeToDevice) with the
// gradient; without anti-aliasing under the pixel-centre rule.
void fillGradientPath(QPainter& painter, const QPainterPath& path, const FillStyle& style,
                      const BrushContext& context, const QTransform& shapeToDevice, bool antialias);

// Strokes the path with the pen's width, joins and caps, filled with the line's gradient.
void strokeGradientPath(QPainter& painter, const QPainterPath& path, const QPen& pen, const FillStyle& style,
                        const BrushContext& context, const QTransform& shapeToDevice, bool antialias);

}  // namespace swf
