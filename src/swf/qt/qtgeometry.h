// Qt forms of the engine's drawing descriptions: paths, brushes, pens, bitmaps and blend modes.
#pragma once

#include "swf/render/geometry.h"
#include "swf/render/strokewidth.h"
#include "swf/format/bitmap.h"
#include "swf/format/place.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <memory>
#include <optional>
#include <vector>

namespace swf {

struct Movie;
class GradientColours;

struct QtLayer {
    std::vector<QPainterPath> fills;
    std::vector<QPainterPath> strokes;
    // The colours of each gradient fill and gradient line (null for the others), kept with the paths.
    std::vector<std::shared_ptr<const GradientColours>> fillGradients;
    std::vector<std::shared_ptr<const GradientColours>> strokeGradients;
};

struct QtGeometry {
    std::vector<QtLayer> layers;
    // Everything the fills cover, as one winding-rule path: what the shape contributes to a mask.
    QPainterPath outline;
    bool outlineReady = false;
};

// The geometry's paths as QPainterPaths, converted on first use and kept with the geometry.
const QtGeometry& qtGeometry(const ShapeGeometry& geometry);
// The geometry's outline, united once and kept.
const QPainterPath& qtOutline(const ShapeGeometry& geometry);

struct BrushContext {
    ColorTransform colours;
    std::optional<Rgba> fillColour;
    const Movie* movie = nullptr;
    bool smooth = true;
    QPointF shadingOffset;  // see RenderFrame::shadingOffsetX
};

QColor toQColor(const Rgba& colour);
QBrush makeBrush(const FillStyle& style, const BrushContext& context);
// A pen `width` wide in the shape's space (or, for the stage rule, in stage twips on the target); never thinner
// than one pixel. A pen round in the parent's space is drawn by its outline: here it is taken as in the shape's.
QPen makePen(const LineStyle& style, const BrushContext& context, const QTransform& shapeToPixels,
             const Matrix& stageToPixels, const StrokeWidth& width);
// The bitmap character as an image with the colour transform applied; null when there is none.
QImage bitmapImage(std::uint16_t bitmapId, const BrushContext& context);
QImage transformedImage(const Bitmap& bitmap, const ColorTransform& colours);
QPainter::CompositionMode compositionFor(BlendMode mode);

}  // namespace swf
