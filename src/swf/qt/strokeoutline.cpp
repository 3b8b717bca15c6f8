#include "swf/qt/strokeoutline.h"

#include "swf/qt/aliasedfill.h"
#include "swf/qt/flattening.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {

namespace {

// The vector scaled to unit length; a null vector stays null.
QPointF unit(QPointF v)
{
    double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF();
}

// Strokes with round joins and caps, built piece by piece (lines and quadratic curves). The flattened
// curve is widened as one polygon, its outer side mitred where the chords meet (round joins there cut a
// little inside the edge Flash draws on the outside of wide curved strokes); the inner side too, except
// at the curve's two ends, where the inner edge runs through the offset along the curve's own
// normal. Widening the end chords there would cover a little more inside the corner they make with
// the next curve, where Flash's edge passes through the offset point itself (a pixel centre exactly
// half the width from where two curves meet smoothly stays uncovered).
class RoundStroker {
public:
    RoundStroker(double halfWidth, double tolerance) : m_half(halfWidth), m_tolerance(tolerance)
    {
        m_out.setFillRule(Qt::WindingFill);
    }

    // False when the path holds a curve other than a quadratic one, or a subpath of zero length.
    bool add(const QPainterPath& path)
    {
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element& e = path.elementAt(i);
            if (e.isMoveTo()) {
                if (!endSubpath())
                    return false;
                m_first = m_last = QPointF(e);
                m_started = true;
            } else if (e.isLineTo()) {
                m_drawn = true;
                addLine(QPointF(e));
            } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
                QPointF c1(e), c2(path.elementAt(i + 1)), to(path.elementAt(i + 2)), control;
                if (!quadraticControl(m_last, c1, c2, to, control))
                    return false;
                m_drawn = true;
                addQuad(control, to);
                i += 2;
            }
        }
        return endSubpath();
    }

    const QPainterPath& outline() const { return m_out; }

private:
    struct Point {
        QPointF at;
        QPointF tangent;  // unit length
    };

    static QPointF normal(QPointF tangent) { return {-tangent.y(), tangent.x()}; }

    void addLine(QPointF to)
    {
        QPointF t = unit(to - m_last);
        if (!t.isNull())
            addPiece({{m_last, t}, {to, t}});
        m_last = to;
    }

    void addQuad(QPointF control, QPointF to)
    {
        const QPointF from = m_last;
        QPolygonF points;
        std::vector<double> params;
        flattenQuad(from, control, to, m_tolerance, points, &params);
        std::vector<Point> piece{{from, unit(control == from ? to - from : control - from)}};
        for (qsizetype k = 0; k < points.size(); ++k) {
            const double t = params[std::size_t(k)];
            QPointF tangent = unit((control - from) * (1 - t) + (to - control) * t);
            piece.push_back({points[k], tangent.isNull() ? unit(to - from) : tangent});
        }
        if (!piece.front().tangent.isNull())
            addPiece(piece);
        m_last = to;
    }

    void joinTo(QPointF at, QPointF tangent)
    {
        if (m_pieces == 0)
            m_firstTangent = tangent;
        else
            join(at, m_lastTangent, tangent);
    }

    // Each side of the piece is one polygon from the flattened curve to its offsets, through the points
    // where the offset sides of neighbouring chords cross. A corner sharper than those points stay near
    // (a curve that turns back on itself within a pixel or so) splits the piece in two, with a round
    // join between them.
    void addPiece(const std::vector<Point>& piece)
    {
        std::vector<QPointF> chords;
        double turn = 0;
        for (std::size_t i = 0; i + 1 < piece.size(); ++i) {
            chords.push_back(unit(piece[i + 1].at - piece[i].at));
            if (chords.size() > 1)
                turn += crossOf(chords[chords.size() - 2], chords.back());
        }
        if (chords.empty() || chords.front().isNull())
            return;
        for (std::size_t k = 1; k + 1 < piece.size(); ++k) {
            if (!isGentle(chords[k - 1], chords[k])) {
                addPiece({piece.begin(), piece.begin() + std::ptrdiff_t(k) + 1});
                addPiece({piece.begin() + std::ptrdiff_t(k), piece.end()});
                return;
            }
        }
        joinTo(piece.front().at, chords.front());
        const double outer = turn < 0 ? 1 : -1;  // which normal points away from the bend
        QPolygonF outerSide, inner;
        for (const Point& p : piece)
            outerSide << p.at;
        inner = outerSide;
        for (std::size_t k = piece.size(); k-- > 0;) {
            const bool end = k == 0 || k + 1 == piece.size();
            outerSide << piece[k].at + (end ? normal(chords[k == 0 ? 0 : k - 1]) * m_half : offset(chords, k)) * outer;
            inner << piece[k].at - (end ? endOffset(piece, chords, k) : offset(chords, k)) * outer;
        }
        addContour(outerSide);
        addContour(inner);
        m_lastTangent = chords.back();
        ++m_pieces;
    }

    static double crossOf(QPointF a, QPointF b) { return a.x() * b.y() - a.y() * b.x(); }

    // On the inner side, the offset at the piece's ends runs along the curve's normal.
    QPointF endOffset(const std::vector<Point>& piece, const std::vector<QPointF>& chords, std::size_t k) const
    {
        return chords.size() == 1 ? normal(chords.front()) * m_half : normal(piece[k].tangent) * m_half;
    }

    // Corners whose offset sides cross within four half widths of the point.
    static bool isGentle(QPointF in, QPointF out)
    {
        return 1 + QPointF::dotProduct(normal(in), normal(out)) >= 2.0 / 16;
    }

    // Where the offset sides of the chords meeting at point k cross, relative to the point.
    QPointF offset(const std::vector<QPointF>& chords, std::size_t k) const
    {
        QPointF n0 = normal(chords[k - 1]), n1 = normal(chords[k]);
        return (n0 + n1) * (m_half / (1 + QPointF::dotProduct(n0, n1)));  // sqrt(2 / (1 + n0.n1)) half widths away
    }

    // The outer side of a corner gets the arc between the offsets of the chords meeting there.
    void join(QPointF at, QPointF in, QPointF out)
    {
        const double cross = in.x() * out.y() - in.y() * out.x();
        const double angle = std::atan2(cross, QPointF::dotProduct(in, out));
        if (std::fabs(angle) < 1e-6)
            return;  // the chords meet smoothly: their sides already meet
        QPointF side = cross < 0 ? normal(in) : -normal(in);
        pie(at, side, angle, in);
    }

    // Half turns around the end, passing ahead of it along `ahead`.
    void cap(QPointF at, QPointF tangent, QPointF ahead) { pie(at, normal(tangent), kHalfTurn, ahead); }

    void pie(QPointF centre, QPointF from, double angle, QPointF ahead)
    {
        if (std::fabs(angle) > kHalfTurn - 1e-9) {
            angle = kHalfTurn;
            if (QPointF::dotProduct(rotated(from, angle / 2), ahead) < 0)
                angle = -angle;
        }
        // The arc is drawn as Flash draws it: in quadratic curves of at most an eighth of a turn, each
        // flattened like any other curve, so small joins and caps get few sides.
        QPolygonF polygon;
        polygon << centre << centre + from * m_half;
        const int arcs = int(std::clamp(std::ceil(std::fabs(angle) / kEighthTurn - 1e-9), 1.0, 8.0));
        const double step = angle / arcs;
        for (int k = 0; k < arcs; ++k) {
            const QPointF control = rotated(from, step * (k + 0.5)) * (m_half / std::cos(step / 2));
            flattenQuad(centre + rotated(from, step * k) * m_half, centre + control,
                        centre + rotated(from, step * (k + 1)) * m_half, m_tolerance, polygon);
        }
        addContour(polygon);
    }

    static QPointF rotated(QPointF v, double angle)
    {
        const double c = std::cos(angle), s = std::sin(angle);
        return {v.x() * c - v.y() * s, v.x() * s + v.y() * c};
    }

    // Every contour winds the same way, so the winding rule fills their union.
    void addContour(QPolygonF polygon)
    {
        double area = 0;
        for (qsizetype i = 0; i < polygon.size(); ++i) {
            const QPointF& a = polygon[i];
            const QPointF& b = polygon[(i + 1) % polygon.size()];
            area += a.x() * b.y() - b.x() * a.y();
        }
        if (area > 0)
            std::reverse(polygon.begin(), polygon.end());
        m_out.addPolygon(polygon);
        m_out.closeSubpath();
    }

    bool endSubpath()
    {
        const bool whole = !m_started || !m_drawn || m_pieces > 0;
        if (m_pieces > 0) {
            if (m_last == m_first) {
                join(m_first, m_lastTangent, m_firstTangent);
            } else {
                cap(m_first, m_firstTangent, -m_firstTangent);
                cap(m_last, m_lastTangent, m_lastTangent);
            }
        }
        m_started = m_drawn = false;
        m_pieces = 0;
        return whole;
    }

    static constexpr double kHalfTurn = 3.141592653589793;
    double m_half, m_tolerance;
    QPainterPath m_out;
    QPointF m_first, m_last, m_firstTangent, m_lastTangent;
    bool m_started = false, m_drawn = false;
    int m_pieces = 0;
};

bool strokeRound(const QPainterPath& path, const QPen& pen, double width, double tolerance, QPainterPath& outline)
{
    if (pen.joinStyle() != Qt::RoundJoin || pen.capStyle() != Qt::RoundCap || width <= 0)
        return false;
    RoundStroker stroker(width / 2, tolerance);
    if (!stroker.add(path))
        return false;
    outline = stroker.outline();
    return true;
}

double signedArea(const QPolygonF& polygon)
{
    double area = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF& a = polygon[i];
        const QPointF& b = polygon[(i + 1) % polygon.size()];
        area += a.x() * b.y() - b.x() * a.y();
    }
    return area / 2;
}

// What a miter join adds beyond the bevel where a line arrives along `in` and leaves along `out` (unit
// vectors), `half` the pen's width to either side: the corner between the bevel and where the two outer edges
// meet. It only touches the stroke along the bevel, so anti-aliased edges are not covered twice. Flash
// keeps a miter whole while that point lies within `limit` times the width of the corner; beyond, the miter
// is cut square to the corner's bisector a quarter of that distance out (never inside the bevel). Empty
// where the line runs straight on.
QPolygonF miterWedge(QPointF corner, QPointF in, QPointF out, double half, double limit)
{
    const double turn = in.x() * out.y() - in.y() * out.x();
    if (std::fabs(turn) < 1e-9 && QPointF::dotProduct(in, out) > 0)
        return {};
    // The outer side is the one the line turns away from.
    const QPointF n1 = turn > 0 ? QPointF(in.y(), -in.x()) : QPointF(-in.y(), in.x());
    const QPointF n2 = turn > 0 ? QPointF(out.y(), -out.x()) : QPointF(-out.y(), out.x());
    const QPointF sum = n1 + n2;
    const double length = std::hypot(sum.x(), sum.y());
    // A line that turns straight back points its miter straight on, cut like any other too long.
    const QPointF bisector = length < 1e-9 ? in : sum / length;
    const double bevel = QPointF::dotProduct(n1, bisector);  // how far out the bevel lies, in half widths
    const QPointF e1 = corner + n1 * half, e2 = corner + n2 * half;
    const double tip = half / bevel;
    if (tip <= limit * 2 * half)
        return QPolygonF({e1, corner + bisector * tip, e2});
    const double cut = std::max(limit * half / 2, half * bevel);
    const double along = (cut - half * bevel) / QPointF::dotProduct(in, bisector);
    return QPolygonF({e1, e1 + in * along, e2 - out * along, e2});
}

// A subpath to stroke with miter joins and the corners where its pieces meet: where one arrives along `in`
// and the next leaves along `out` (unit vectors).
struct MitredSubpath {
    struct Corner {
        QPointF at, in, out;
    };
    QPainterPath path;
    std::vector<Corner> corners;
};

// The polylines of a flattened path, with a corner at every vertex (at the closing one too where a polyline
// ends where it starts).
std::vector<MitredSubpath> polylineSubpaths(const QList<QPolygonF>& lines)
{
    std::vector<MitredSubpath> out;
    for (const QPolygonF& line : lines) {
        QPolygonF points;
        for (const QPointF& p : line) {
            if (points.isEmpty() || p != points.back())
                points << p;
        }
        MitredSubpath sub;
        sub.path.moveTo(line.front());
        for (qsizetype i = 1; i < points.size(); ++i)
            sub.path.lineTo(points[i]);
        if (points.size() == 1)
            sub.path.lineTo(line.front());  // a dot still gets its caps
        const qsizetype n = points.size();
        const bool closed = n > 3 && points.front() == points.back();
        for (qsizetype i = closed ? 0 : 1; i + 1 < n; ++i) {
            const qsizetype before = i == 0 ? n - 2 : i - 1;
            sub.corners.push_back({points[i], unit(points[i] - points[before]), unit(points[i + 1] - points[i])});
        }
        out.push_back(std::move(sub));
    }
    return out;
}

// The subpaths of a path with its curves kept, with corners only where one line or curve ends and the next
// begins, turning from the direction the one ends in to the one the next starts in.
std::vector<MitredSubpath> curvedSubpaths(const QPainterPath& path)
{
    struct Piece {
        QPointF from, start, to, end;  // end points and the directions there
    };
    std::vector<MitredSubpath> out;
    std::vector<Piece> pieces;
    MitredSubpath sub;
    auto finish = [&]() {
        if (sub.path.isEmpty())
            return;
        for (std::size_t i = 0; i + 1 < pieces.size(); ++i)
            sub.corners.push_back({pieces[i].to, pieces[i].end, pieces[i + 1].start});
        if (pieces.size() > 1 && pieces.back().to == pieces.front().from)
            sub.corners.push_back({pieces.front().from, pieces.back().end, pieces.front().start});
        out.push_back(std::move(sub));
        sub = MitredSubpath();
        pieces.clear();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const QPointF from = sub.path.elementCount() > 0 ? sub.path.currentPosition() : QPointF(e);
        if (e.isMoveTo()) {
            finish();
            sub.path.moveTo(e);
        } else if (e.isLineTo()) {
            sub.path.lineTo(e);
            if (!(QPointF(e) - from).isNull())
                pieces.push_back({from, unit(QPointF(e) - from), e, unit(QPointF(e) - from)});
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPointF c1(e), c2(path.elementAt(i + 1)), to(path.elementAt(i + 2));
            sub.path.cubicTo(c1, c2, to);
            i += 2;
            // Where a control point sits on an end point, the direction there comes from the next point.
            const QPointF start = !(c1 - from).isNull() ? c1 - from : !(c2 - from).isNull() ? c2 - from : to - from;
            const QPointF end = !(to - c2).isNull() ? to - c2 : !(to - c1).isNull() ? to - c1 : to - from;
            if (!start.isNull())
                pieces.push_back({from, unit(start), to, unit(end)});
        }
    }
    finish();
    return out;
}

// The subpaths to stroke with miter joins: the flattened path's polylines under the pixel-centre rule, the
// path with its curves in one piece for anti-aliasing (which adds up the coverage of pieces overlapping along
// an edge).
std::vector<MitredSubpath> mitredSubpaths(const QPainterPath& path, double tolerance, bool antialias)
{
    return antialias ? curvedSubpaths(path) : polylineSubpaths(polylinesOf(path, tolerance, 2));
}

// Strokes with miter joins: Qt's bevelled stroke of each subpath with Flash's miters added at its corners,
// wound the way the stroke is so that they join it under the winding rule.
QPainterPath mitredStroke(const std::vector<MitredSubpath>& subpaths, const QPen& pen, double width)
{
    QPainterPathStroker stroker(pen);
    stroker.setWidth(width);
    stroker.setJoinStyle(Qt::BevelJoin);
    const double half = width / 2;
    const double limit = std::max(1.0, pen.miterLimit());
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    for (const MitredSubpath& sub : subpaths) {
        const QPainterPath band = stroker.createStroke(sub.path);
        outline.addPath(band);
        double bandArea = 0;
        for (const QPolygonF& polygon : band.toSubpathPolygons())
            bandArea += signedArea(polygon);
        for (const MitredSubpath::Corner& c : sub.corners) {
            QPolygonF wedge = miterWedge(c.at, c.in, c.out, half, limit);
            if (wedge.isEmpty())
                continue;
            if ((signedArea(wedge) >= 0) != (bandArea >= 0))
                std::reverse(wedge.begin(), wedge.end());
            outline.addPolygon(wedge);
            outline.closeSubpath();
        }
    }
    return outline;
}

// The outline of a pen `width` wide along the path, in the path's units. Under the pixel-centre rule curves are
// flattened before they are widened, so the outline's sides follow the same chords a fill of the curve would;
// anti-aliased fills add up the coverage of outline pieces that overlap along an edge, so for them the curves
// stay as Qt offsets them, in one piece.
QPainterPath widened(const QPainterPath& path, const QPen& pen, double width, double tolerance, bool antialias)
{
    if (pen.joinStyle() == Qt::MiterJoin)
        return mitredStroke(mitredSubpaths(path, tolerance, antialias), pen, width);
    QPainterPath outline;
    if (!antialias && strokeRound(path, pen, width, tolerance, outline))
        return outline;
    QPainterPathStroker stroker(pen);
    stroker.setWidth(width);
    return stroker.createStroke(antialias ? path : flattened(path, tolerance));
}

// The band half a pixel to either side of the polyline (in device pixels) across each piece's major axis: the
// union of one parallelogram a piece, built as one polygon for each run of pieces that share their major axis
// and its direction (a run can neither turn back nor cross itself, so its band is a simple polygon).
QPainterPath hairline(const QList<QPolygonF>& lines)
{
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    QPolygonF run;
    QPointF runAcross, runForward;
    auto flush = [&] {
        if (run.size() < 2)
            return;
        QPolygonF band;
        for (const QPointF& p : run)
            band << p - runAcross;
        for (qsizetype k = run.size(); k-- > 0;)
            band << run[k] + runAcross;
        // Every band winds the same way, so overlapping bands add up instead of cancelling.
        if (runForward.x() * runAcross.y() - runForward.y() * runAcross.x() < 0)
            std::reverse(band.begin(), band.end());
        out.addPolygon(band);
        out.closeSubpath();
    };
    for (const QPolygonF& line : lines) {
        run.clear();
        for (qsizetype i = 1; i < line.size(); ++i) {
            const QPointF from = line[i - 1], to = line[i], d = to - from;
            if (d.isNull())
                continue;
            const bool flat = std::fabs(d.x()) >= std::fabs(d.y());
            const QPointF across = flat ? QPointF(0, 0.5) : QPointF(0.5, 0);
            const QPointF forward = flat ? QPointF(d.x() > 0 ? 1 : -1, 0) : QPointF(0, d.y() > 0 ? 1 : -1);
            if (run.isEmpty() || across != runAcross || forward != runForward) {
                flush();
                run.clear();
                run << from;
                runAcross = across;
                runForward = forward;
            }
            run << to;
        }
        flush();
    }
    return out;
}

}  // namespace

bool isHairline(const QPen& pen)
{
    return pen.isCosmetic() && pen.widthF() <= 1;
}

QPainterPath strokeOutline(const QPainterPath& path, const QPen& pen, const QTransform& toDevice, bool antialias)
{
    QPainterPath outline;
    if (isHairline(pen)) {
        outline = toDevice.inverted().map(hairline(polylinesOf(toDevice.map(path), 0.1, 2)));
    } else if (pen.isCosmetic()) {
        // The width is in device pixels: stroke the path where it is drawn, then bring it back.
        const double width = std::max(1.0, pen.widthF());
        const QPainterPath onDevice = toDevice.map(path);
        // Round joins and caps of pens measured in device pixels stay Qt's.
        if (pen.joinStyle() == Qt::MiterJoin) {
            outline = mitredStroke(mitredSubpaths(onDevice, 0.1, antialias), pen, width);
        } else {
            QPainterPathStroker stroker(pen);
            stroker.setWidth(width);
            outline = stroker.createStroke(antialias ? onDevice : flattened(onDevice, 0.1));
        }
        outline = toDevice.inverted().map(outline);
    } else {
        outline = widened(path, pen, pen.widthF(), flatteningTolerance(toDevice), antialias);
    }
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

QPainterPath strokeOutlineIn(const QPainterPath& path, const QPen& pen, double width, const QTransform& toPenSpace,
                             const QTransform& penSpaceToDevice, bool antialias)
{
    QPainterPath outline = widened(toPenSpace.map(path), pen, width, flatteningTolerance(penSpaceToDevice), antialias);
    outline = toPenSpace.inverted().map(outline);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

void strokeShapePath(QPainter& painter, const QPainterPath& path, const QPen& pen, const QTransform& toDevice,
                     bool antialias)
{
    // Qt's own hairlines are many times faster than filling their outline; Qt cuts miters differently from
    // Flash, though.
    if (antialias && (isHairline(pen) || pen.joinStyle() != Qt::MiterJoin))
        painter.strokePath(path, pen);
    else
        fillShapePath(painter, strokeOutline(path, pen, toDevice, antialias), pen.brush(), toDevice, antialias);
}

}  // namespace swf
