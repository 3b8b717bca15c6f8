#include "swf/render/textcommands.h"

#include "swf/limits.h"
#include "swf/render/textlayout.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

Path rectanglePath(double x0, double y0, double x1, double y1)
{
    Path p;
    auto point = [&](PathSegment::Kind kind, double x, double y) {
        PathSegment s;
        s.kind = kind;
        s.x = x;
        s.y = y;
        p.push_back(s);
    };
    point(PathSegment::Kind::Move, x0, y0);
    point(PathSegment::Kind::Line, x1, y0);
    point(PathSegment::Kind::Line, x1, y1);
    point(PathSegment::Kind::Line, x0, y1);
    point(PathSegment::Kind::Line, x0, y0);
    p.push_back({PathSegment::Kind::Close});
    return p;
}

// Flash colours a field's text through a multiplier per channel in 8.8 fixed point (the channel's value * 256 / 255,
// rounded down) applied to full intensity and rounded down again: every channel value but 0 and 255 comes out one
// step darker (#ff99cc is drawn as #ff98cb). Static text keeps its colour exactly.
std::uint8_t fixedPointTint(std::uint8_t channel)
{
    const unsigned multiplier = channel * 256u / 255u;
    return static_cast<std::uint8_t>(255u * multiplier / 256u);
}

Rgba fieldTextColour(const Rgba& c)
{
    return Rgba{fixedPointTint(c.r), fixedPointTint(c.g), fixedPointTint(c.b), c.a};
}

Matrix translated(const Matrix& m, double x, double y, double scale)
{
    Matrix place;
    place.a = place.d = scale;
    place.tx = x;
    place.ty = y;
    return m * place;
}

class TextCommands {
public:
    TextCommands(GeometryCache& cache, FontProvider* fonts, const ColorTransform& colours, BlendMode blend,
                 std::vector<DrawCommand>& out)
        : m_cache(cache), m_fonts(fonts), m_colours(colours), m_blend(blend), m_out(out)
    {
    }

    void shape(std::shared_ptr<const ShapeGeometry> g, const Matrix& m, const Rgba* colour)
    {
        if (!g)
            return;
        DrawCommand c;
        c.geometry = std::move(g);
        c.matrix = m;
        c.colorTransform = m_colours;
        c.blendMode = m_blend;
        if (colour)
            c.fillColour = *colour;
        m_out.push_back(std::move(c));
    }

    void mark(DrawCommand::Kind kind)
    {
        DrawCommand c;
        c.kind = kind;
        m_out.push_back(std::move(c));
    }

    void glyphs(const TextLayout& layout, const Matrix& m)
    {
        for (const PlacedGlyph& g : layout.glyphs) {
            std::shared_ptr<const ShapeGeometry> geometry;
            if (g.font)
                geometry = m_cache.glyph(g.font, g.index);
            else if (m_fonts)
                geometry = m_cache.deviceGlyph(*m_fonts, g.device, g.code);
            const Rgba colour = fieldTextColour(g.colour);
            shape(std::move(geometry), translated(m, g.x, g.y, g.scale), &colour);
        }
        for (const TextUnderline& u : layout.underlines) {
            Rect r{static_cast<std::int32_t>(std::floor(u.x0)), static_cast<std::int32_t>(std::ceil(u.x1)),
                   static_cast<std::int32_t>(std::floor(u.y)),
                   static_cast<std::int32_t>(std::floor(u.y + u.thickness))};
            const Rgba colour = fieldTextColour(u.colour);
            shape(rectangleGeometry(r, &colour, nullptr), m, nullptr);
        }
    }

private:
    GeometryCache& m_cache;
    FontProvider* m_fonts;
    ColorTransform m_colours;
    BlendMode m_blend;
    std::vector<DrawCommand>& m_out;
};

}  // namespace

std::shared_ptr<const ShapeGeometry> GeometryCache::deviceGlyph(FontProvider& fonts, const DeviceFont& font,
                                                                char32_t code)
{
    auto key = std::make_tuple(font.face, font.bold, font.italic, code);
    auto it = m_deviceGlyphs.find(key);
    if (it != m_deviceGlyphs.end())
        return it->second;
    if (m_deviceGlyphs.size() >= limits::kMaxDeviceGlyphs)
        m_deviceGlyphs.clear();
    return m_deviceGlyphs[key] = fonts.glyph(font, code);
}

std::shared_ptr<const ShapeGeometry> rectangleGeometry(const Rect& rect, const Rgba* fill, const Rgba* line)
{
    auto g = std::make_shared<ShapeGeometry>();
    g->bounds = rect;
    GeometryLayer layer;
    Path path = rectanglePath(rect.xMin, rect.yMin, rect.xMax, rect.yMax);
    if (fill) {
        FillPath f;
        f.style.kind = FillKind::Solid;
        f.style.colour = *fill;
        f.path = path;
        layer.fills.push_back(std::move(f));
    }
    if (line) {
        StrokePath s;
        s.style.width = 20;
        s.style.colour = *line;
        s.style.join = JoinStyle::Miter;
        s.style.startCap = s.style.endCap = CapStyle::Square;
        s.path = path;
        s.path.pop_back();
        layer.strokes.push_back(std::move(s));
    }
    g->layers.push_back(std::move(layer));
    return g;
}

namespace {

// A field's layout and boxes, built once per text and kept in the field's render cache.
struct FieldDrawing {
    TextLayout layout;
    Rect bounds;  // as drawn
    std::shared_ptr<const ShapeGeometry> box;  // background and border, if any
    std::shared_ptr<const ShapeGeometry> clip;  // the bounds, when text runs past them
    // The box snapped to whole pixels on the stage, kept while the field stays where it was.
    mutable std::shared_ptr<const ShapeGeometry> snappedBox;
    mutable Rect snappedAt;
};

void addFill(GeometryLayer& layer, const Rgba& colour, double x0, double y0, double x1, double y1)
{
    if (x1 <= x0 || y1 <= y0)
        return;
    FillPath f;
    f.style.kind = FillKind::Solid;
    f.style.colour = colour;
    f.path = rectanglePath(x0, y0, x1, y1);
    layer.fills.push_back(std::move(f));
}

void addCornerTriangle(GeometryLayer& layer, const Rgba& colour, double x, double y, double size)
{
    FillPath f;
    f.style.kind = FillKind::Solid;
    f.style.colour = colour;
    using K = PathSegment::Kind;
    f.path = {{K::Move, x, y}, {K::Line, x + size, y}, {K::Line, x, y + size}, {K::Line, x, y}, {K::Close}};
    layer.fills.push_back(std::move(f));
}

// The background fills the pixels inside the snapped rectangle; the border is a one-pixel line on its top and left
// pixels and just outside its right and bottom edges. With a background the pixel at the bottom right corner stays
// empty; without one Flash joins the right and bottom lines with a bevel that half covers it. The parts never
// overlap, so a transparent colour is painted once everywhere.
std::shared_ptr<const ShapeGeometry> pixelBox(const Rect& r, const Rgba* fill, const Rgba* line)
{
    constexpr double px = 20;
    const double x0 = r.xMin, y0 = r.yMin, x1 = r.xMax, y1 = r.yMax;
    auto g = std::make_shared<ShapeGeometry>();
    g->bounds = Rect{r.xMin, r.xMax + 20, r.yMin, r.yMax + 20};
    GeometryLayer layer;
    if (fill)
        addFill(layer, *fill, x0, y0, x1, y1);
    if (line) {
        addFill(layer, *line, x0, y0, x1 + px, y0 + px);
        if (y1 > y0) {
            addFill(layer, *line, x0, y1, x1, y1 + px);
            addFill(layer, *line, x0, y0 + px, x0 + px, y1);
            if (x1 > x0) {
                addFill(layer, *line, x1, y0 + px, x1 + px, y1);
                if (!fill)
                    addCornerTriangle(layer, *line, x1, y1, px);
            }
        }
    }
    g->layers.push_back(std::move(layer));
    return g;
}

// The field's box on the stage with its corners on whole pixels, for fields that are not rotated or skewed; null
// otherwise.
std::shared_ptr<const ShapeGeometry> snappedBox(const FieldDrawing& drawing, const EditTextField& field,
                                                const Matrix& m)
{
    if (m.b != 0 || m.c != 0)
        return nullptr;
    double ax, ay, bx, by;
    m.apply(drawing.bounds.xMin, drawing.bounds.yMin, ax, ay);
    m.apply(drawing.bounds.xMax, drawing.bounds.yMax, bx, by);
    // Halves go to the even pixel.
    auto pixel = [](double twips) {
        const double p = std::nearbyint(twips / 20.0) * 20.0;
        return static_cast<std::int32_t>(std::clamp(p, -1e9, 1e9));
    };
    const Rect r{pixel(std::min(ax, bx)), pixel(std::max(ax, bx)), pixel(std::min(ay, by)), pixel(std::max(ay, by))};
    const Rect& at = drawing.snappedAt;
    const bool moved = r.xMin != at.xMin || r.xMax != at.xMax || r.yMin != at.yMin || r.yMax != at.yMax;
    if (!drawing.snappedBox || moved) {
        Rgba fill = field.backgroundColour(), line = field.borderColour();
        drawing.snappedBox = pixelBox(r, field.background() ? &fill : nullptr, field.border() ? &line : nullptr);
        drawing.snappedAt = r;
    }
    return drawing.snappedBox;
}

// The field's bounds as drawn: an auto-sized field fits its text (left-aligned fields grow or shrink to the right,
// every field to the bottom; word-wrapped fields keep their width).
Rect drawnBounds(const EditTextField& field, const TextLayout& layout)
{
    const EditText& d = field.definition();
    Rect b = d.bounds;
    if (!d.autoSize)
        return b;
    if (!d.wordWrap && field.format().align == TextAlign::Left)
        b.xMax = b.xMin + static_cast<std::int32_t>(std::ceil(layout.textWidth + 2 * kTextFieldPadding));
    b.yMax = b.yMin + static_cast<std::int32_t>(std::ceil(layout.textHeight + 2 * kTextFieldPadding));
    return b;
}

std::shared_ptr<const FieldDrawing> fieldDrawing(const EditTextField& field, const Movie& movie, FontProvider* fonts)
{
    EditTextField::RenderCache& cache = field.renderCache();
    if (cache.data && cache.withFonts == (fonts != nullptr))
        return std::static_pointer_cast<const FieldDrawing>(cache.data);
    auto drawing = std::make_shared<FieldDrawing>();
    drawing->layout = layoutText(field, movie, fonts);
    Rect bounds = drawnBounds(field, drawing->layout);
    drawing->bounds = bounds;
    if (field.background() || field.border()) {
        Rgba fill = field.backgroundColour(), line = field.borderColour();
        drawing->box
            = rectangleGeometry(bounds, field.background() ? &fill : nullptr, field.border() ? &line : nullptr);
    }
    if (drawing->layout.overflows && !field.definition().autoSize) {
        Rgba opaque{0, 0, 0, 255};
        drawing->clip = rectangleGeometry(bounds, &opaque, nullptr);
    }
    cache.data = drawing;
    cache.withFonts = fonts != nullptr;
    return drawing;
}

}  // namespace

void appendTextFieldCommands(const EditTextField& field, const Movie& movie, GeometryCache& cache, FontProvider* fonts,
                             const Matrix& matrix, const ColorTransform& colours, BlendMode blend, bool inMask,
                             std::vector<DrawCommand>& out)
{
    std::shared_ptr<const FieldDrawing> drawing = fieldDrawing(field, movie, fonts);
    TextCommands commands(cache, fonts, colours, blend, out);
    if (std::shared_ptr<const ShapeGeometry> snapped = drawing->box ? snappedBox(*drawing, field, matrix) : nullptr)
        commands.shape(std::move(snapped), Matrix(), nullptr);
    else
        commands.shape(drawing->box, matrix, nullptr);
    const TextLayout& layout = drawing->layout;
    if (layout.glyphs.empty() && layout.underlines.empty())
        return;
    if (!drawing->clip || inMask) {
        commands.glyphs(layout, matrix);
        return;
    }
    commands.mark(DrawCommand::Kind::BeginMask);
    commands.shape(drawing->clip, matrix, nullptr);
    commands.mark(DrawCommand::Kind::EndMask);
    commands.glyphs(layout, matrix);
    commands.mark(DrawCommand::Kind::PopMask);
}

}  // namespace swf
