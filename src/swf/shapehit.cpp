// Exact hit tests for scripts (hitTest with the shape flag): a point against the fills and strokes a clip draws.
#include "swf/clipgeometry.h"
#include "swf/limits.h"
#include "swf/render/geometry.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

// Curves are walked as this many straight pieces; finer than a pixel for the shapes movies use.
constexpr int kCurveSteps = 16;
// A stroke thinner than a pixel on the stage (a hairline) is still hit within half a pixel of its line.
constexpr double kHairlineTwips = 20;

struct Point {
    double x, y;
};

// Calls visit(from, to) for each straight piece of the path, curves flattened.
template <class Visit>
void forEachPiece(const Path& path, Visit visit)
{
    Point pen{0, 0}, start{0, 0};
    for (const PathSegment& s : path) {
        switch (s.kind) {
        case PathSegment::Kind::Move:
            pen = start = {s.x, s.y};
            break;
        case PathSegment::Kind::Line:
            visit(pen, Point{s.x, s.y});
            pen = {s.x, s.y};
            break;
        case PathSegment::Kind::Quad: {
            Point previous = pen;
            for (int i = 1; i <= kCurveSteps; ++i) {
                const double t = double(i) / kCurveSteps, u = 1 - t;
                Point next{u * u * pen.x + 2 * u * t * s.cx + t * t * s.x, u * u * pen.y + 2 * u * t * s.cy + t * t * s.y};
                visit(previous, next);
                previous = next;
            }
            pen = {s.x, s.y};
            break;
        }
        case PathSegment::Kind::Close:
            visit(pen, start);
            pen = start;
            break;
        }
    }
}

bool insideFill(const Path& path, Point p, bool nonZero)
{
    int winding = 0, crossings = 0;
    forEachPiece(path, [&](Point a, Point b) {
        if ((a.y <= p.y) == (b.y <= p.y))
            return;
        const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (x > p.x) {
            ++crossings;
            winding += b.y > a.y ? 1 : -1;
        }
    });
    return nonZero ? winding != 0 : (crossings & 1) != 0;
}

bool onStroke(const Path& path, Point p, double halfWidth)
{
    bool hit = false;
    forEachPiece(path, [&](Point a, Point b) {
        const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
        double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0;
        t = std::clamp(t, 0.0, 1.0);
        const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
        hit = hit || ex * ex + ey * ey <= halfWidth * halfWidth;
    });
    return hit;
}

// `hairline` is the width of one stage pixel in the geometry's own units.
bool geometryHits(const ShapeGeometry& g, Point p, double hairline)
{
    for (const GeometryLayer& layer : g.layers) {
        for (const FillPath& f : layer.fills)
            if (insideFill(f.path, p, g.nonZeroWinding))
                return true;
        for (const StrokePath& s : layer.strokes)
            if (onStroke(s.path, p, std::max<double>(s.style.width, hairline) / 2))
                return true;
    }
    return false;
}

bool inRect(const Rect& r, Point p)
{
    return p.x >= r.xMin && p.x <= r.xMax && p.y >= r.yMin && p.y <= r.yMax;
}

class HitTester {
public:
    HitTester(const Movie& movie, double x, double y) : m_movie(movie), m_x(x), m_y(y) {}

    bool clip(const Clip& clip, const Matrix& toStage, int nesting)
    {
        if (nesting > limits::kMaxSpriteNesting)
            return false;
        if (clip.drawing())
            if (auto g = clip.drawing()->geometry(); g && shapeHits(*g, toStage))
                return true;
        const DisplayObject* mask = nullptr;
        Matrix maskMatrix;
        std::int32_t maskEnd = -1;
        for (const auto& [depth, object] : clip.displayList()) {
            const Matrix m = toStage * object.placement.matrix;
            if (object.placement.clipDepth > 0) {
                // A clip layer is not hit itself; the depths it masks are hit only where it covers.
                mask = &object, maskMatrix = m, maskEnd = object.placement.clipDepth;
                continue;
            }
            if (mask && depth <= maskEnd && !this->object(*mask, maskMatrix, nesting))
                continue;
            if (this->object(object, m, nesting))
                return true;
        }
        return false;
    }

    bool object(const DisplayObject& object, const Matrix& m, int nesting)
    {
        const Character& c = object.character;
        switch (c.kind) {
        case CharacterKind::Shape:
            return c.shape && shapeHits(*m_cache.shape(c.shape), m);
        case CharacterKind::Morph:
            return c.morph && shapeHits(*m_cache.morph(c.morph, object.placement.ratio), m);
        case CharacterKind::Sprite:
        case CharacterKind::Button:
            return object.clip && clip(*object.clip, m, nesting + 1);
        case CharacterKind::Text:
            return c.text && textHits(*c.text, m);
        case CharacterKind::EditText: {
            const EditText* text = object.textField ? &object.textField->definition() : c.editText.get();
            return text && local(m, [&](Point p) { return inRect(text->bounds, p); });
        }
        case CharacterKind::Bitmap:
            return c.bitmap && local(m, [&](Point p) {
                       return p.x >= 0 && p.y >= 0 && p.x <= c.bitmap->width * 20.0 && p.y <= c.bitmap->height * 20.0;
                   });
        default:
            return false;
        }
    }

private:
    // Runs the test on the point in the space the matrix maps to the stage; nothing is hit in a flattened space.
    template <class Test>
    bool local(const Matrix& m, Test test)
    {
        if (std::abs(m.a * m.d - m.b * m.c) < 1e-12)
            return false;
        Point p{0, 0};
        m.inverted().apply(m_x, m_y, p.x, p.y);
        return test(p);
    }

    // Whether the point is in the stage box around the rectangle as the matrix places it (turned, it grows).
    bool inStageBox(const Rect& r, const Matrix& m) const
    {
        double xMin = INFINITY, yMin = INFINITY, xMax = -INFINITY, yMax = -INFINITY;
        const double left = r.xMin, right = r.xMax, top = r.yMin, bottom = r.yMax;
        const Point corners[] = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
        for (Point corner : corners) {
            Point p{0, 0};
            m.apply(corner.x, corner.y, p.x, p.y);
            xMin = std::min(xMin, p.x), xMax = std::max(xMax, p.x);
            yMin = std::min(yMin, p.y), yMax = std::max(yMax, p.y);
        }
        return m_x >= xMin && m_x <= xMax && m_y >= yMin && m_y <= yMax;
    }

    // One stage pixel in the units the matrix maps to the stage, by its mean scale.
    static double hairline(const Matrix& m) { return kHairlineTwips / std::sqrt(std::abs(m.a * m.d - m.b * m.c)); }

    bool shapeHits(const ShapeGeometry& g, const Matrix& m)
    {
        return local(m, [&](Point p) {
            // The bounds leave out the width a hairline is hit within.
            const double margin = hairline(m) / 2;
            const Rect& b = g.bounds;
            const bool nearBounds = p.x >= b.xMin - margin && p.x <= b.xMax + margin && p.y >= b.yMin - margin &&
                                    p.y <= b.yMax + margin;
            return nearBounds && geometryHits(g, p, hairline(m));
        });
    }

    bool textHits(const StaticText& text, const Matrix& m)
    {
        if (text.advanced)
            return inStageBox(text.bounds, m);
        const Matrix base = m * text.matrix;
        for (const TextRecord& r : text.records) {
            const Character* fontCharacter = m_movie.character(r.fontId);
            if (!fontCharacter || !fontCharacter->font)
                continue;
            const double scale = r.height / fontCharacter->font->emSquare;
            double x = r.x;
            for (const GlyphEntry& glyph : r.glyphs) {
                Matrix place;
                place.a = place.d = scale;
                place.tx = x, place.ty = r.y;
                auto g = m_cache.glyph(fontCharacter->font, glyph.index);
                if (g && local(base * place, [&](Point p) { return geometryHits(*g, p, hairline(base * place)); }))
                    return true;
                x += glyph.advance;
            }
        }
        return false;
    }

    const Movie& m_movie;
    double m_x, m_y;
    GeometryCache m_cache;
};

}  // namespace

bool clipHitsPoint(const Clip& clip, const Movie& movie, double x, double y)
{
    HitTester tester(movie, x, y);
    if (!tester.clip(clip, clipToStage(clip), 0))
        return false;
    // A clip masked by script is hit only where its mask is.
    if (const Clip* mask = clip.maskClip())
        return tester.clip(*mask, clipToStage(*mask), 0);
    return true;
}

}  // namespace swf
