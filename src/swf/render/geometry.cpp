#include "swf/render/geometry.h"

#include <map>

namespace swf {

namespace {

struct Edge {
    double x0, y0, x1, y1, cx, cy;
    bool curve;
    Edge reversed() const { return {x1, y1, x0, y0, cx, cy, curve}; }
};

using Point = std::pair<double, double>;

void addSegment(Path& path, const Edge& e)
{
    PathSegment s;
    s.kind = e.curve ? PathSegment::Kind::Quad : PathSegment::Kind::Line;
    s.x = e.x1;
    s.y = e.y1;
    s.cx = e.cx;
    s.cy = e.cy;
    path.push_back(s);
}

// Links a fill's edges end to start into closed contours; an open chain is closed by the back end's fill.
Path linkContours(const std::vector<Edge>& edges)
{
    std::multimap<Point, std::size_t> byStart;
    for (std::size_t i = 0; i < edges.size(); ++i)
        byStart.emplace(Point{edges[i].x0, edges[i].y0}, i);
    std::vector<bool> used(edges.size(), false);
    Path path;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (used[i])
            continue;
        used[i] = true;
        Point start{edges[i].x0, edges[i].y0};
        path.push_back({PathSegment::Kind::Move, start.first, start.second, 0, 0});
        addSegment(path, edges[i]);
        Point cursor{edges[i].x1, edges[i].y1};
        while (cursor != start) {
            auto range = byStart.equal_range(cursor);
            std::size_t next = edges.size();
            for (auto it = range.first; it != range.second; ++it) {
                if (!used[it->second]) {
                    next = it->second;
                    break;
                }
            }
            if (next == edges.size())
                break;
            used[next] = true;
            addSegment(path, edges[next]);
            cursor = {edges[next].x1, edges[next].y1};
        }
        path.push_back({PathSegment::Kind::Close, 0, 0, 0, 0});
    }
    return path;
}

// Joins a line style's edges into polylines where one ends at the next one's start.
Path joinStrokes(const std::vector<Edge>& edges, bool closeLoops)
{
    Path path;
    double startX = 0, startY = 0, lastX = 0, lastY = 0;
    bool open = false;
    for (const Edge& e : edges) {
        if (!open || e.x0 != lastX || e.y0 != lastY) {
            if (open && closeLoops && lastX == startX && lastY == startY)
                path.push_back({PathSegment::Kind::Close, 0, 0, 0, 0});
            path.push_back({PathSegment::Kind::Move, e.x0, e.y0, 0, 0});
            startX = e.x0;
            startY = e.y0;
            open = true;
        }
        addSegment(path, e);
        lastX = e.x1;
        lastY = e.y1;
    }
    if (open && closeLoops && lastX == startX && lastY == startY && path.size() > 2)
        path.push_back({PathSegment::Kind::Close, 0, 0, 0, 0});
    return path;
}

class GeometryBuilder {
public:
    explicit GeometryBuilder(const Shape& shape) : m_shape(shape) {}

    ShapeGeometry build()
    {
        ShapeGeometry g;
        g.nonZeroWinding = m_shape.nonZeroWinding;
        g.bounds = m_shape.bounds;
        startLayer(0);
        double x = 0, y = 0;
        for (const ShapeRecord& r : m_shape.records) {
            if (r.kind == ShapeRecord::Kind::Style) {
                if (r.newStyles >= 0) {
                    finishLayer(g);
                    startLayer(static_cast<std::size_t>(r.newStyles));
                }
                if (r.fill0 >= 0)
                    m_fill0 = r.fill0;
                if (r.fill1 >= 0)
                    m_fill1 = r.fill1;
                if (r.line >= 0)
                    m_line = r.line;
                x = r.x;
                y = r.y;
                continue;
            }
            Edge e{x, y, r.x, r.y, r.cx, r.cy, r.kind == ShapeRecord::Kind::Curve};
            if (m_fill1 > 0 && m_fill1 <= static_cast<int>(m_fillEdges.size()))
                m_fillEdges[m_fill1 - 1].push_back(e);
            if (m_fill0 > 0 && m_fill0 <= static_cast<int>(m_fillEdges.size()))
                m_fillEdges[m_fill0 - 1].push_back(e.reversed());
            if (m_line > 0 && m_line <= static_cast<int>(m_lineEdges.size()))
                m_lineEdges[m_line - 1].push_back(e);
            x = r.x;
            y = r.y;
        }
        finishLayer(g);
        return g;
    }

private:
    void startLayer(std::size_t table)
    {
        m_table = table < m_shape.styleTables.size() ? &m_shape.styleTables[table] : nullptr;
        m_fillEdges.assign(m_table ? m_table->fills.size() : 0, {});
        m_lineEdges.assign(m_table ? m_table->lines.size() : 0, {});
        m_fill0 = m_fill1 = m_line = 0;
    }

    void finishLayer(ShapeGeometry& g)
    {
        if (!m_table)
            return;
        GeometryLayer layer;
        for (std::size_t i = 0; i < m_fillEdges.size(); ++i)
            if (!m_fillEdges[i].empty())
                layer.fills.push_back({m_table->fills[i], linkContours(m_fillEdges[i])});
        for (std::size_t i = 0; i < m_lineEdges.size(); ++i)
            if (!m_lineEdges[i].empty())
                layer.strokes.push_back(
                    {m_table->lines[i], joinStrokes(m_lineEdges[i], !m_table->lines[i].noClose)});
        if (!layer.fills.empty() || !layer.strokes.empty())
            g.layers.push_back(std::move(layer));
    }

    const Shape& m_shape;
    const StyleTable* m_table = nullptr;
    std::vector<std::vector<Edge>> m_fillEdges, m_lineEdges;
    int m_fill0 = 0, m_fill1 = 0, m_line = 0;
};

}  // namespace

ShapeGeometry buildGeometry(const Shape& shape)
{
    return GeometryBuilder(shape).build();
}

std::shared_ptr<const ShapeGeometry> GeometryCache::shape(const std::shared_ptr<const Shape>& shape)
{
    auto it = m_shapes.find(shape.get());
    if (it != m_shapes.end())
        return it->second.second;
    auto g = std::make_shared<const ShapeGeometry>(buildGeometry(*shape));
    m_shapes[shape.get()] = {shape, g};
    return g;
}

std::shared_ptr<const ShapeGeometry> GeometryCache::morph(const std::shared_ptr<const MorphShape>& morph,
                                                          std::uint16_t ratio)
{
    auto key = std::make_pair(morph.get(), ratio);
    auto it = m_morphs.find(key);
    if (it != m_morphs.end())
        return it->second.second;
    if (m_morphs.size() >= kMaxMorphEntries)
        m_morphs.clear();  // a long morph animation would otherwise keep every ratio it ever showed
    auto g = std::make_shared<const ShapeGeometry>(buildGeometry(interpolateMorph(*morph, ratio)));
    m_morphs[key] = {morph, g};
    return g;
}

std::shared_ptr<const ShapeGeometry> GeometryCache::glyph(const std::shared_ptr<const Font>& font,
                                                          std::size_t index)
{
    if (!font || index >= font->glyphs.size())
        return nullptr;
    auto key = std::make_pair(font.get(), index);
    auto it = m_glyphs.find(key);
    if (it != m_glyphs.end())
        return it->second.second;
    auto g = std::make_shared<const ShapeGeometry>(buildGeometry(font->glyphs[index]));
    m_glyphs[key] = {font, g};
    return g;
}

void GeometryCache::clear()
{
    m_shapes.clear();
    m_morphs.clear();
    m_glyphs.clear();
    m_deviceGlyphs.clear();
}

}  // namespace swf
