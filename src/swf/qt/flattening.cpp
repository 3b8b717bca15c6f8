#include "swf/qt/flattening.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

// Parabola arc length integral and its inverse, close approximations used to spread the points of a
// flattened curve evenly by how much it bends.
double bendIntegral(double x)
{
    constexpr double d = 0.67;
    return x / (1 - d + std::sqrt(std::sqrt(d * d * d * d + 0.25 * x * x)));
}

double bendIntegralInverse(double x)
{
    constexpr double b = 0.39;
    return x * (1 - b + std::sqrt(b * b + 0.25 * x * x));
}

// The angle the curve turns through, from its start tangent to its end tangent.
double turningAngle(QPointF from, QPointF c1, QPointF c2, QPointF to)
{
    QPointF start = c1 - from, end = to - c2;
    double angle = std::atan2(start.x() * end.y() - start.y() * end.x(), QPointF::dotProduct(start, end));
    return std::isfinite(angle) ? std::fabs(angle) : 0.0;
}

QPointF cubicAt(QPointF from, QPointF c1, QPointF c2, QPointF to, double t)
{
    const double s = 1 - t;
    return from * (s * s * s) + c1 * (3 * s * s * t) + c2 * (3 * s * t * t) + to * (t * t * t);
}

QPointF cubicTangent(QPointF from, QPointF c1, QPointF c2, QPointF to, double t)
{
    const double s = 1 - t;
    return (c1 - from) * (s * s) + (c2 - c1) * (2 * s * t) + (to - c2) * (t * t);
}

}  // namespace

void flattenQuad(QPointF from, QPointF control, QPointF to, double tolerance, QPolygonF& out,
                 std::vector<double>* params)
{
    QPointF base = to - from;
    double baseLength2 = base.x() * base.x() + base.y() * base.y();
    QPointF off = control - from;
    double cross = base.x() * off.y() - base.y() * off.x();
    if (baseLength2 == 0 || cross * cross / baseLength2 <= 4 * tolerance * tolerance) {
        out << to;  // flat enough for one segment
        if (params)
            params->push_back(1);
        return;
    }
    // Map the curve onto the parabola y = x * x and spread the points by its integral.
    QPointF dd = 2 * control - from - to;
    double turn = base.x() * dd.y() - base.y() * dd.x();
    double x0 = QPointF::dotProduct(control - from, dd) / turn;
    double x2 = QPointF::dotProduct(to - control, dd) / turn;
    double scale = std::fabs(turn) / (std::hypot(dd.x(), dd.y()) * std::fabs(x2 - x0));
    double a0 = bendIntegral(x0), a2 = bendIntegral(x2);
    double spread = std::fabs(a2 - a0) * std::sqrt(scale / tolerance);
    if ((x0 < 0) != (x2 < 0)) {
        // The curve passes its sharpest bend; where that is sharper than the tolerance resolves, the
        // integral near it is measured from where the parabola bends that much.
        const double sharp = 1 / std::sqrt(scale / tolerance);
        spread = std::max(spread, std::fabs(a2 - a0) / bendIntegral(sharp));
    }
    double count = std::ceil(0.5 * spread);
    if (!std::isfinite(count))
        count = 1;
    count = std::min(count, 10000.0);  // a curve that would need more reaches far beyond any picture
    double u0 = bendIntegralInverse(a0), u2 = bendIntegralInverse(a2);
    for (int i = 1; i < int(count); ++i) {
        double u = bendIntegralInverse(a0 + (a2 - a0) * i / count);
        double t = (u - u0) / (u2 - u0);
        double s = 1 - t;
        out << from * (s * s) + control * (2 * s * t) + to * (t * t);
        if (params)
            params->push_back(t);
    }
    out << to;
    if (params)
        params->push_back(1);
}

// Cubic curves come only from stroke outlines: round joins and caps, arcs of at most a quarter turn.
// Flash draws such arcs in quadratic curves of at most an eighth of a turn, flattened like any other
// curve, so the chords of small joins and caps cut a little inside the true circle. Each eighth of the
// cubic becomes the quadratic curve through its ends with the same tangents there.
void flattenCubic(QPointF from, QPointF c1, QPointF c2, QPointF to, double tolerance, QPolygonF& out)
{
    const int arcs = int(std::clamp(std::ceil(turningAngle(from, c1, c2, to) / kEighthTurn - 1e-9), 1.0, 8.0));
    for (int k = 0; k < arcs; ++k) {
        const double t0 = double(k) / arcs, t1 = double(k + 1) / arcs;
        const QPointF a = cubicAt(from, c1, c2, to, t0), b = cubicAt(from, c1, c2, to, t1);
        const QPointF ta = cubicTangent(from, c1, c2, to, t0), tb = cubicTangent(from, c1, c2, to, t1);
        const double across = ta.x() * tb.y() - ta.y() * tb.x();
        if (std::fabs(across) < 1e-12 * (1 + QPointF::dotProduct(ta, ta) + QPointF::dotProduct(tb, tb))) {
            out << b;  // straight
            continue;
        }
        const QPointF gap = b - a;
        const double along = (gap.x() * tb.y() - gap.y() * tb.x()) / across;
        flattenQuad(a, a + ta * along, b, tolerance, out);
    }
}

bool quadraticControl(QPointF from, QPointF c1, QPointF c2, QPointF to, QPointF& control)
{
    control = from + 1.5 * (c1 - from);
    QPointF quadC2 = to + (2.0 / 3.0) * (control - to);
    QPointF miss = quadC2 - c2;
    return std::fabs(miss.x()) + std::fabs(miss.y()) <= 1e-6 * (1 + std::fabs(to.x()) + std::fabs(to.y()));
}

// The path's subpaths as polylines in its own coordinates; QPainterPath keeps quadratic curves as
// cubic ones, whose first control point gives the quadratic control point back.
QList<QPolygonF> polylinesOf(const QPainterPath& path, double tolerance, qsizetype minimumPoints)
{
    QList<QPolygonF> contours;
    QPolygonF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.isMoveTo()) {
            if (current.size() >= minimumPoints)
                contours << current;
            current = QPolygonF();
            current << QPointF(e);
        } else if (e.isLineTo()) {
            current << QPointF(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount() && !current.isEmpty()) {
            QPointF from = current.back();
            QPointF c1(e), c2(path.elementAt(i + 1)), to(path.elementAt(i + 2));
            QPointF control;
            if (quadraticControl(from, c1, c2, to, control))
                flattenQuad(from, control, to, tolerance, current);
            else
                flattenCubic(from, c1, c2, to, tolerance, current);
            i += 2;
        }
    }
    if (current.size() >= minimumPoints)
        contours << current;
    return contours;
}

QPainterPath flattened(const QPainterPath& path, double tolerance)
{
    QPainterPath out;
    for (const QPolygonF& line : polylinesOf(path, tolerance, 2)) {
        out.moveTo(line.front());
        for (qsizetype i = 1; i < line.size(); ++i)
            out.lineTo(line[i]);
    }
    return out;
}

}  // namespace swf
