#include "swf/clipgeometry.h"

#include "swf/avm1/object.h"
#include "swf/limits.h"
#include "swf/render/geometry.h"

#include <algorithm>
#include <cctype>

namespace swf {

namespace {

bool sameName(const std::string& a, const std::string& b, bool caseSensitive)
{
    if (caseSensitive)
        return a == b;
    return a == b || avm1::foldedName(a) == avm1::foldedName(b);
}

void addRect(Bounds& b, const Rect& r)
{
    b.add(r.xMin, r.yMin);
    b.add(r.xMax, r.yMax);
}

}  // namespace

void Bounds::add(double x, double y)
{
    if (empty) {
        xMin = xMax = x;
        yMin = yMax = y;
        empty = false;
        return;
    }
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
}

void Bounds::add(const Bounds& other, const Matrix& m)
{
    if (other.empty)
        return;
    const double xs[] = {other.xMin, other.xMax};
    const double ys[] = {other.yMin, other.yMax};
    for (double x : xs)
        for (double y : ys) {
            double tx = 0, ty = 0;
            m.apply(x, y, tx, ty);
            add(tx, ty);
        }
}

Clip* childNamedAs(Clip& clip, const std::string& name, bool caseSensitive)
{
    if (name.empty())
        return nullptr;
    for (auto& [depth, object] : clip.displayList())
        if (object.clip && sameName(object.placement.name, name, caseSensitive))
            return object.clip.get();
    return nullptr;
}

bool holdsNamedShape(const Clip& clip, const std::string& name, bool caseSensitive)
{
    if (name.empty())
        return false;
    for (auto& [depth, object] : clip.displayList())
        if (!object.clip && !object.textField && sameName(object.placement.name, name, caseSensitive))
            return true;
    return false;
}

Matrix clipToStage(const Clip& clip)
{
    Matrix m;
    int guard = 0;
    for (const Clip* c = &clip; c && guard <= limits::kMaxSpriteNesting; c = c->parent(), ++guard)
        if (const Placement* placement = c->placement())
            m = placement->matrix * m;
    return m;
}

void localToGlobalOf(const Clip& clip, double x, double y, double& outX, double& outY)
{
    clipToStage(clip).apply(x, y, outX, outY);
}

void globalToLocalOf(const Clip& clip, double x, double y, double& outX, double& outY)
{
    clipToStage(clip).inverted().apply(x, y, outX, outY);
}

Bounds objectBounds(const DisplayObject& object, const Movie& movie, int nesting)
{
    Bounds b;
    const Character& c = object.character;
    switch (c.kind) {
    case CharacterKind::Shape:
        if (c.shape)
            addRect(b, c.shape->bounds);
        break;
    case CharacterKind::Morph:
        // Flash answers a morph's start rectangle whatever ratio it shows.
        if (c.morph)
            addRect(b, c.morph->startBounds);
        break;
    case CharacterKind::Text:
        if (c.text)
            addRect(b, c.text->bounds);
        break;
    case CharacterKind::Bitmap:
        if (c.bitmap) {
            b.add(0, 0);
            b.add(c.bitmap->width * 20.0, c.bitmap->height * 20.0);
        }
        break;
    case CharacterKind::Sprite:
    case CharacterKind::Button:
        if (object.clip)
            b = clipBounds(*object.clip, movie, nesting + 1);
        break;
    default:
        break;
    }
    return b;
}

Bounds clipBounds(const Clip& clip, const Movie& movie, int nesting)
{
    Bounds b;
    if (nesting > limits::kMaxSpriteNesting)
        return b;
    if (clip.drawing()) {
        if (auto g = clip.drawing()->geometry()) {
            b.add(g->bounds.xMin, g->bounds.yMin);
            b.add(g->bounds.xMax, g->bounds.yMax);
        }
    }
    for (const auto& [depth, object] : clip.displayList())
        b.add(objectBounds(object, movie, nesting), object.placement.matrix);
    return b;
}

}  // namespace swf
