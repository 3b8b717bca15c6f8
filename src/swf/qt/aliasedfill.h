// Fills without anti-aliasing under the pixel-centre rule Flash uses at low quality: a pixel belongs
// to a shape when its centre lies inside, a centre exactly on an edge belongs to the shape on its
// right (or below, for horizontal edges).
#pragma once

#include "swf/qt/qtgeometry.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QRegion>
#include <QTransform>

namespace swf {

// How far a flattened curve may stray from the curve, in the path's own units, for a path drawn with
// the transform: about a tenth of a device pixel.
double flatteningTolerance(const QTransform& toDevice);
// Glyph outlines are flattened once in their own units, a tenth of a pixel of the 1024-unit em,
// whatever size the text is drawn at.
constexpr double kGlyphFlatness = 2.0;

// The pixels the path covers (with the path's fill rule), as whole-pixel rectangles in device
// coordinates, limited to `area`.
// A tolerance of 0 takes the transform's.
QPainterPath pixelCentreCoverage(const QPainterPath& path, const QTransform& toDevice, const QRect& area,
                                 double tolerance = 0);

// The same pixels as a region; and the pixels all fills of a shape cover, what it adds to a mask.
QRegion pixelCentreRegion(const QPainterPath& path, const QTransform& toDevice, const QRect& area);
QRegion shapePixels(const QtGeometry& geometry, const QTransform& toDevice, const QRect& area);

// Fills the path (in the painter's current coordinates, which map to the device by toDevice); with
// anti-aliasing off the covered pixels follow the pixel-centre rule instead of Qt's own.
void fillShapePath(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QTransform& toDevice,
                   bool antialias, double tolerance = 0);

}  // namespace swf
