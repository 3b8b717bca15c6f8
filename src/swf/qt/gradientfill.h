// Gradient fills painted pixel by pixel from the gradient's 256-entry ramp, each pixel taking the colour
// at its centre, instead of Qt's own gradient brushes (which interpolate the stops differently).
#pragma once

#include "swf/format/styles.h"
#include "swf/qt/qtgeometry.h"
#include "swf/render/gradient.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <memory>
#include <mutex>
#include <vector>

namespace swf {

// A gradient's colours, kept with the converted shape: the ramp, built once, and the premultiplied colour
// lookup for the colour transform it was last drawn with. Bands painting at the same time share it.
class GradientColours {
public:
    // The lookup holds the ramp's colours at steps() + 1 even steps from 0 to 1: a quarter of an entry
    // apart on a smooth ramp, down to a 64th where neighbouring entries differ by much (a hard step), so
    // that pixels across it take the player's blend rather than one of a few shades.
    static constexpr int kMinStepsPerEntry = 4, kMaxStepsPerEntry = 64;
    using Lookup = std::vector<QRgb>;

    explicit GradientColours(const Gradient& gradient);

    std::shared_ptr<const Lookup> lookup(const ColorTransform& colours) const;
    const GradientRamp& ramp() const { return m_ramp; }
    int steps() const { return m_steps; }

private:
    GradientRamp m_ramp;
    int m_steps;
    mutable std::mutex m_mutex;
    mutable ColorTransform m_colours;
    mutable std::shared_ptr<const Lookup> m_lookup;
};

// The gradient's colours over the device pixels of `area` (a rectangle in device pixels), for a shape
// drawn with `shapeToDevice`, each worked out at its pixel's centre moved by `shading`; premultiplied ARGB.
QImage gradientImage(const FillStyle& style, const ColorTransform& colours, const QTransform& shapeToDevice,
                     const QRect& area, QPointF shading = QPointF());

// Fills the path (in shape coordinates, with the painter's transform set to shapeToDevice) with the
// gradient; without anti-aliasing under the pixel-centre rule. `gradient` holds the fill's colours
// (built here when null). Only the pixels next to the path, inside the painter's clip, are shaded.
void fillGradientPath(QPainter& painter, const QPainterPath& path, const FillStyle& style,
                      const GradientColours* gradient, const BrushContext& context, const QTransform& shapeToDevice,
                      bool antialias);

// Strokes the path with the pen's width, joins and caps, filled with the line's gradient.
void strokeGradientPath(QPainter& painter, const QPainterPath& path, const QPen& pen, const FillStyle& style,
                        const GradientColours* gradient, const BrushContext& context,
                        const QTransform& shapeToDevice, bool antialias);

}  // namespace swf
