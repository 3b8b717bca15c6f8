#include "swf/drawingapi.h"

#include "swf/render/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf {

void Drawing::changed()
{
    m_shape.reset();
    m_geometry.reset();
}

Drawing::Item& Drawing::currentItem()
{
    if (m_items.empty() || (m_items.back().fill && !m_filling))
        m_items.emplace_back();
    return m_items.back();
}

void Drawing::beginFill(const FillStyle& fill)
{
    endFill();
    m_items.emplace_back();
    m_items.back().fill = fill;
    m_filling = true;
    m_newStroke = true;
    changed();
}

void Drawing::closeOutline()
{
    if (!m_filling || m_items.back().fillPaths.empty())
        return;
    // The outline the pen ends closes with a line back to its start, stroked like the others.
    const SubPath& last = m_items.back().fillPaths.back();
    if (last.segments.empty())
        return;
    const double startX = last.startX, startY = last.startY;
    const bool penAtEnd = m_x == last.segments.back().x && m_y == last.segments.back().y;
    if (penAtEnd && (m_x != startX || m_y != startY))
        lineTo(startX, startY);
}

void Drawing::endFill()
{
    if (!m_filling)
        return;
    closeOutline();
    m_filling = false;
    m_newStroke = true;
    changed();
}

void Drawing::lineStyle(const std::optional<LineStyle>& style)
{
    m_line = style;
    m_newStroke = true;
}

void Drawing::lineFill(const FillStyle& fill)
{
    if (!m_line)
        return;
    m_line->hasFill = true;
    m_line->fill = fill;
    m_newStroke = true;
}

void Drawing::moveTo(double x, double y)
{
    // Inside a fill a move ends the outline drawn so far, which closes as at the end of the fill.
    closeOutline();
    m_x = x;
    m_y = y;
}

void Drawing::lineTo(double x, double y)
{
    add({false, 0, 0, x, y});
}

void Drawing::curveTo(double cx, double cy, double x, double y)
{
    add({true, cx, cy, x, y});
}

void Drawing::clear()
{
    m_items.clear();
    m_filling = false;
    m_line.reset();
    m_newStroke = true;
    m_x = m_y = 0;
    changed();
}

void Drawing::extend(std::vector<SubPath>& paths, double penX, double penY, const Segment& segment)
{
    bool joined = false;
    if (!paths.empty()) {
        const SubPath& last = paths.back();
        double endX = last.segments.empty() ? last.startX : last.segments.back().x;
        double endY = last.segments.empty() ? last.startY : last.segments.back().y;
        joined = endX == penX && endY == penY;
    }
    if (!joined) {
        paths.emplace_back();
        paths.back().startX = penX;
        paths.back().startY = penY;
    }
    paths.back().segments.push_back(segment);
}

void Drawing::add(const Segment& segment)
{
    if (!m_filling && !m_line) {
        m_x = segment.x;
        m_y = segment.y;
        return;
    }
    Item& item = currentItem();
    if (m_filling)
        extend(item.fillPaths, m_x, m_y, segment);
    if (m_line) {
        if (m_newStroke || item.strokes.empty()) {
            item.strokes.push_back({*m_line, {}});
            m_newStroke = false;
        }
        extend(item.strokes.back().paths, m_x, m_y, segment);
    }
    m_x = segment.x;
    m_y = segment.y;
    changed();
}

namespace {

class RecordWriter {
public:
    explicit RecordWriter(Shape& shape) : m_shape(shape) {}

    void style(int table, int fill, int line, double x, double y)
    {
        ShapeRecord r;
        r.kind = ShapeRecord::Kind::Style;
        r.newStyles = table;
        r.hasMove = true;
        r.fill0 = 0;
        r.fill1 = fill;
        r.line = line;
        r.x = x;
        r.y = y;
        m_shape.records.push_back(r);
        point(x, y, 0);
    }

    void edge(bool curve, double cx, double cy, double x, double y, double margin)
    {
        ShapeRecord r;
        r.kind = curve ? ShapeRecord::Kind::Curve : ShapeRecord::Kind::Line;
        r.cx = cx;
        r.cy = cy;
        r.x = x;
        r.y = y;
        m_shape.records.push_back(r);
        if (curve)
            point(cx, cy, margin);
        point(x, y, margin);
    }

    void point(double x, double y, double margin)
    {
        if (m_empty) {
            m_xMin = m_xMax = x;
            m_yMin = m_yMax = y;
            m_empty = false;
        }
        m_xMin = std::min(m_xMin, x - margin);
        m_xMax = std::max(m_xMax, x + margin);
        m_yMin = std::min(m_yMin, y - margin);
        m_yMax = std::max(m_yMax, y + margin);
    }

    void finish()
    {
        if (m_empty)
            return;
        m_shape.bounds.xMin = twips(std::floor(m_xMin));
        m_shape.bounds.xMax = twips(std::ceil(m_xMax));
        m_shape.bounds.yMin = twips(std::floor(m_yMin));
        m_shape.bounds.yMax = twips(std::ceil(m_yMax));
    }

private:
    // Scripts may draw billions of twips away (or at no number at all); the bounds stop at what a
    // rectangle of whole twips holds.
    static std::int32_t twips(double v)
    {
        if (std::isnan(v))
            return 0;
        return std::int32_t(std::clamp(v, double(std::numeric_limits<std::int32_t>::min()),
                                       double(std::numeric_limits<std::int32_t>::max())));
    }

    Shape& m_shape;
    bool m_empty = true;
    double m_xMin = 0, m_xMax = 0, m_yMin = 0, m_yMax = 0;
};

}  // namespace

std::shared_ptr<const Shape> Drawing::shape() const
{
    if (m_shape || m_items.empty())
        return m_shape;
    if (m_filling) {
        // A fill still open shows as if ended now: closed, and the closing edge stroked.
        Drawing ended = *this;
        ended.endFill();
        m_shape = ended.shape();
        return m_shape;
    }
    auto shape = std::make_shared<Shape>();
    shape->styleTables.emplace_back();
    RecordWriter out(*shape);
    for (const Item& item : m_items) {
        int table = int(shape->styleTables.size());
        StyleTable styles;
        if (item.fill)
            styles.fills.push_back(*item.fill);
        for (const Stroke& s : item.strokes)
            styles.lines.push_back(s.style);
        shape->styleTables.push_back(std::move(styles));
        bool first = true;
        for (const SubPath& p : item.fillPaths) {
            out.style(first ? table : -1, 1, 0, p.startX, p.startY);
            first = false;
            for (const Segment& s : p.segments)
                out.edge(s.curve, s.cx, s.cy, s.x, s.y, 0);
            double endX = p.segments.empty() ? p.startX : p.segments.back().x;
            double endY = p.segments.empty() ? p.startY : p.segments.back().y;
            if (endX != p.startX || endY != p.startY)
                out.edge(false, 0, 0, p.startX, p.startY, 0);
        }
        for (std::size_t i = 0; i < item.strokes.size(); ++i) {
            double margin = item.strokes[i].style.width / 2.0;
            for (const SubPath& p : item.strokes[i].paths) {
                out.style(first ? table : -1, 0, int(i) + 1, p.startX, p.startY);
                first = false;
                for (const Segment& s : p.segments)
                    out.edge(s.curve, s.cx, s.cy, s.x, s.y, margin);
            }
        }
        if (first)
            shape->styleTables.pop_back();
    }
    out.finish();
    m_shape = shape;
    return m_shape;
}

std::shared_ptr<const ShapeGeometry> Drawing::geometry() const
{
    if (!m_geometry) {
        auto s = shape();
        if (s)
            m_geometry = std::make_shared<const ShapeGeometry>(buildGeometry(*s));
    }
    return m_geometry;
}

}  // namespace swf
