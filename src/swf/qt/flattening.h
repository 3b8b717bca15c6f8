// Curves flattened into polylines the way Flash flattens them: quadratic curves spread their points by how
// much they bend; cubic ones (only stroke outlines' arcs have them) go as quadratic curves of at most an
// eighth of a turn.
#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>

#include <vector>

namespace swf {

constexpr double kQuarterTurn = 1.5707963267948966;
constexpr double kEighthTurn = kQuarterTurn / 2;

// Appends the points of a quadratic curve after its start, ending with its end point, so that no
// point of the curve lies further than `tolerance` from the polyline.
// The curve's parameter at each appended point goes to `params` when given.
void flattenQuad(QPointF from, QPointF control, QPointF to, double tolerance, QPolygonF& out,
                 std::vector<double>* params = nullptr);

// Appends the points of a cubic curve (an arc of at most a quarter turn) after its start.
void flattenCubic(QPointF from, QPointF c1, QPointF c2, QPointF to, double tolerance, QPolygonF& out);

// QPainterPath keeps quadratic curves as cubic ones; gives the quadratic control point back when the
// cubic is one.
bool quadraticControl(QPointF from, QPointF c1, QPointF c2, QPointF to, QPointF& control);

// The path's subpaths as polylines in its own coordinates, those with fewer points left out.
QList<QPolygonF> polylinesOf(const QPainterPath& path, double tolerance, qsizetype minimumPoints);

// The path with its curves replaced by the polylines a fill would use.
QPainterPath flattened(const QPainterPath& path, double tolerance);

}  // namespace swf
