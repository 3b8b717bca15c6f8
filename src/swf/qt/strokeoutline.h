// Stroke outlines: the area a pen covers along a path, built as Flash builds it where the pixel-centre rule
// fills it (hairline bands, round joins and caps of flattened arcs, Flash's miters), in one piece as Qt
// offsets the curves where it is filled with anti-aliasing.
#pragma once

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

namespace swf {

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
