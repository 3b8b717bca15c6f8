// Fills without anti-aliasing under the pixel-centre rule Flash uses at low quality: a pixel belongs
// to a shape when its centre lies inside, a centre exactly on an edge belongs to the shape on its
// right (or below, for horizontal edges).
#pragma once

#include "swf/qt/qtgeometry.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
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

// Pens no wider than a pixel draw hairlines, as Flash draws them: each piece of the line covers one pixel across
// its major axis (one pixel of each row of a steep line, of each column of a flat one), without caps or joins,
// so a diagonal is no heavier than a straight line.
bool isHairline(const QPen& pen);

// The area the pen covers along the path, in the path's coordinates (cosmetic pens are measured in
// device pixels). An outline to fill with anti-aliasing keeps its curves as Qt offsets them, in one piece:
// anti-aliased fills add up the coverage of pieces that overlap along an edge.
QPainterPath strokeOutline(const QPainterPath& path, const QPen& pen, const QTransform& toDevice,
                           bool antialias = false);

// The area the pen's caps and joins cover along the path at `width` (any width: QPen holds none from 32768 on)
// when the pen is moved in another space (`toPenSpace` maps the path's coordinates there; `penSpaceToDevice` maps
// that space to the device), in the path's coordinates; with anti-aliasing, in one piece as above.
QPainterPath strokeOutlineIn(const QPainterPath& path, const QPen& pen, double width, const QTransform& toPenSpace,
                             const QTransform& penSpaceToDevice, bool antialias = false);

// Strokes the path with the pen; with anti-aliasing off its outline is filled under the pixel-centre
// rule. With it on, Qt's pen draws it (hairlines a little heavier on diagonals than Flash's), except that
// miter-joined strokes fill their outline: Qt cuts long miters elsewhere.
void strokeShapePath(QPainter& painter, const QPainterPath& path, const QPen& pen, const QTransform& toDevice,
                     bool antialias);

}  // namespace swf
