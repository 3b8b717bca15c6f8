#include "swf/render/commands.h"

#include "swf/clipgeometry.h"
#include "swf/limits.h"
#include "swf/movie/clip.h"
#include "swf/render/textcommands.h"

#include <cmath>
#include <vector>

namespace swf {

namespace {

class CommandBuilder {
public:
    CommandBuilder(const Movie& movie, GeometryCache& cache, CommandList& out, FontProvider* fonts)
        : m_movie(&movie), m_rootMovie(&movie), m_cache(cache), m_out(out), m_fonts(fonts) {}

    void clip(const Clip& clip, const Matrix& matrix, const ColorTransform& colours, int nesting)
    {
        if (nesting > limits::kMaxSpriteNesting)
            return;
        // A clip from a loaded or imported movie finds its fonts and bitmaps in that movie.
        const Movie* outer = m_movie;
        std::shared_ptr<const Movie> outerLibrary = m_library;
        if (clip.library()) {
            m_movie = clip.library().get();
            m_library = clip.library();
        }
        contents(clip, matrix, colours, nesting);
        m_movie = outer;
        m_library = std::move(outerLibrary);
    }

private:
    void contents(const Clip& clip, const Matrix& matrix, const ColorTransform& colours, int nesting)
    {
        if (clip.drawing())
            shape(clip.drawing()->geometry(), matrix, colours, BlendMode::Normal,
                  clip.placement() ? clip.placement()->matrix : Matrix());
        std::vector<std::uint16_t> masks;  // clip depths of the open masks, innermost last
        for (const auto& [depth, object] : clip.displayList()) {
            while (!masks.empty() && depth > masks.back()) {
                masks.pop_back();
                push(DrawCommand::Kind::PopMask);
            }
            const Placement& p = object.placement;
            // A clip that masks or is masked by script no longer masks the depths above it.
            bool scripted = scriptMasking(object);
            bool timelineMask = p.clipDepth > 0 && !scripted;
            if (timelineMask && m_inMask)
                continue;  // a mask inside a mask's own content adds nothing that can be drawn
            if (timelineMask) {
                push(DrawCommand::Kind::BeginMask);
                m_inMask = true;
                draw(object, matrix, colours, nesting);
                m_inMask = false;
                push(DrawCommand::Kind::EndMask);
                masks.push_back(p.clipDepth);
                continue;
            }
            if (!p.visible || masksByScript(object))
                continue;  // an object masking a clip by script is drawn only as that mask
            if (object.clip && !m_inMask && (object.clip->maskClip() || fieldMaskOf(*object.clip))) {
                if (object.clip->maskClip())
                    scriptMask(*object.clip->maskClip(), nesting);
                else
                    fieldMask(*object.clip->maskFieldHolder(), *fieldMaskOf(*object.clip), nesting);
                draw(object, matrix, colours, nesting);
                push(DrawCommand::Kind::PopMask);
                continue;
            }
            draw(object, matrix, colours, nesting);
        }
        for (std::size_t i = 0; i < masks.size(); ++i)
            push(DrawCommand::Kind::PopMask);
    }

private:
    static bool masksByScript(const DisplayObject& object)
    {
        return (object.clip && object.clip->maskedClip()) || (object.textField && object.textField->maskedClip());
    }

    static bool scriptMasking(const DisplayObject& object)
    {
        return masksByScript(object) || (object.clip && (object.clip->maskClip() || object.clip->maskField()));
    }

    // The object holding the text field that masks a clip, null when none.
    static const DisplayObject* fieldMaskOf(const Clip& masked)
    {
        const Clip* holder = masked.maskFieldHolder();
        if (!holder || !masked.maskField())
            return nullptr;
        for (const auto& [depth, object] : holder->displayList())
            if (object.textField.get() == masked.maskField())
                return &object;
        return nullptr;
    }

    // Where a clip stands on the stage.
    static Matrix stageMatrix(const Clip& clip)
    {
        Matrix m;
        for (const Clip* c = &clip; c && c->placement(); c = c->parent())
            m = c->placement()->matrix * m;
        return m;
    }

    // A text field a script made a mask, where it stands on the stage: the glyphs it draws form the mask, with the
    // fonts of the movie its clip comes from.
    void fieldMask(const Clip& holder, const DisplayObject& field, int nesting)
    {
        const Movie* outer = m_movie;
        m_movie = m_rootMovie;
        for (const Clip* c = &holder; c; c = c->parent()) {
            if (c->library()) {
                m_movie = c->library().get();
                break;
            }
        }
        push(DrawCommand::Kind::BeginMask);
        m_inMask = true;
        draw(field, stageMatrix(holder), ColorTransform(), nesting + 1);
        m_inMask = false;
        push(DrawCommand::Kind::EndMask);
        m_movie = outer;
    }

    // The clip a script made a mask, where it stands on the stage.
    void scriptMask(const Clip& mask, int nesting)
    {
        const Matrix m = stageMatrix(mask);
        push(DrawCommand::Kind::BeginMask);
        m_inMask = true;
        clip(mask, m, ColorTransform(), nesting + 1);
        m_inMask = false;
        push(DrawCommand::Kind::EndMask);
    }

    void push(DrawCommand::Kind kind)
    {
        DrawCommand c;
        c.kind = kind;
        m_out.commands.push_back(std::move(c));
    }

    void shape(std::shared_ptr<const ShapeGeometry> g, const Matrix& m, const ColorTransform& ct, BlendMode blend,
               std::optional<Matrix> own = std::nullopt)
    {
        if (!g)
            return;
        DrawCommand c;
        c.geometry = std::move(g);
        c.matrix = m;
        c.own = own;
        c.colorTransform = ct;
        c.blendMode = blend;
        c.library = m_library;
        m_out.commands.push_back(std::move(c));
    }

    // Objects with a blend mode or filters are painted as a group on a layer; the layer takes the
    // colour transform as a whole, so overlapping children do not show through, and children with
    // the alpha and erase modes act on the layer, not on the stage.
    static bool needsLayer(const Placement& p)
    {
        return !p.filters.empty() || p.blendMode != BlendMode::Normal;
    }

    static std::shared_ptr<const ShapeGeometry> box(double x0, double y0, double x1, double y1, Rgba colour)
    {
        auto g = std::make_shared<ShapeGeometry>();
        FillPath fill;
        fill.style.colour = colour;
        using K = PathSegment::Kind;
        fill.path = {{K::Move, x0, y0}, {K::Line, x1, y0}, {K::Line, x1, y1}, {K::Line, x0, y1}, {K::Close}};
        g->layers.push_back(GeometryLayer{{fill}, {}});
        g->bounds = Rect{std::int32_t(x0), std::int32_t(x1), std::int32_t(y0), std::int32_t(y1)};
        return g;
    }

    // Filters make Flash cache the object as a bitmap, whatever its own flag says.
    static bool cachedAsBitmap(const Placement& p) { return p.cacheAsBitmap || !p.filters.empty(); }

    // A clip cached as a bitmap lands on whole pixels: Flash draws the cache from its bounds' nearest pixel.
    Matrix snapped(const DisplayObject& object, const Matrix& parent) const
    {
        Bounds b;
        b.add(objectBounds(object, *m_movie), parent * object.placement.matrix);
        if (b.empty)
            return parent;
        Matrix shift;
        shift.tx = std::round(b.xMin / 20) * 20 - b.xMin;
        shift.ty = std::round(b.yMin / 20) * 20 - b.yMin;
        return shift * parent;
    }

    void draw(const DisplayObject& object, const Matrix& placedIn, const ColorTransform& parentColours, int nesting)
    {
        const Placement& p = object.placement;
        const Matrix parent = cachedAsBitmap(p) && !m_inMask ? snapped(object, placedIn) : placedIn;
        // An object with an opaque background stands on a box of that colour as large as its bounds.
        if (p.surface.opaqueBackground && !m_inMask) {
            const Bounds b = objectBounds(object, *m_movie);
            if (!b.empty)
                shape(box(b.xMin, b.yMin, b.xMax, b.yMax, *p.surface.opaqueBackground), parent * p.matrix,
                      parentColours * p.colorTransform, BlendMode::Normal);
        }
        if (!needsLayer(p) || m_inMask) {
            drawContent(object, parent, parentColours * p.colorTransform, p.blendMode, nesting);
            return;
        }
        DrawCommand begin;
        begin.kind = DrawCommand::Kind::BeginLayer;
        m_out.commands.push_back(std::move(begin));
        drawContent(object, parent, ColorTransform(), BlendMode::Normal, nesting);
        DrawCommand end;
        end.kind = DrawCommand::Kind::EndLayer;
        end.colorTransform = parentColours * p.colorTransform;
        end.blendMode = p.blendMode;
        end.filters = p.filters;
        end.matrix = parent * p.matrix;
        m_out.commands.push_back(std::move(end));
    }

    void drawContent(const DisplayObject& object, const Matrix& parent, const ColorTransform& ct, BlendMode blend,
                     int nesting)
    {
        const Placement& p = object.placement;
        Matrix m = parent * p.matrix;
        const Character& ch = object.character;
        switch (ch.kind) {
        case CharacterKind::Shape:
            shape(m_cache.shape(ch.shape), m, ct, blend, p.matrix);
            break;
        case CharacterKind::Morph:
            shape(m_cache.morph(ch.morph, p.ratio), m, ct, blend, p.matrix);
            break;
        case CharacterKind::Sprite:
        case CharacterKind::Button:
            if (object.clip)
                scrolled(object, m, ct, nesting);
            break;
        case CharacterKind::Text:
            text(*ch.text, m, ct);
            break;
        case CharacterKind::Bitmap: {
            DrawCommand c;
            c.kind = DrawCommand::Kind::Bitmap;
            c.bitmap = ch.bitmap;
            Matrix pixels;
            pixels.a = pixels.d = 20;  // one bitmap pixel is one stage pixel (20 twips)
            c.matrix = m * pixels;
            c.colorTransform = ct;
            c.blendMode = blend;
            m_out.commands.push_back(std::move(c));
            break;
        }
        case CharacterKind::EditText:
            if (object.textField)
                appendTextFieldCommands(*object.textField, *m_movie, m_cache, m_fonts, m, ct, blend, m_inMask,
                                        m_out.commands);
            break;
        case CharacterKind::Font:
            break;
        }
    }

    // A clip with a scroll rectangle shows that part of itself at its origin, clipped to the rectangle; inside a
    // mask only the move applies.
    void scrolled(const DisplayObject& object, const Matrix& m, const ColorTransform& ct, int nesting)
    {
        const std::optional<Rect>& r = object.placement.surface.scrollRect;
        if (!r) {
            clip(*object.clip, m, ct, nesting + 1);
            return;
        }
        Matrix move;
        move.tx = -r->xMin;
        move.ty = -r->yMin;
        const bool clipped = !m_inMask;
        if (clipped) {
            push(DrawCommand::Kind::BeginMask);
            shape(box(0, 0, r->xMax - r->xMin, r->yMax - r->yMin, Rgba{}), m, ColorTransform(), BlendMode::Normal);
            push(DrawCommand::Kind::EndMask);
        }
        clip(*object.clip, m * move, ct, nesting + 1);
        if (clipped)
            push(DrawCommand::Kind::PopMask);
    }

    void text(const StaticText& text, const Matrix& m, const ColorTransform& ct)
    {
        Matrix base = m * text.matrix;
        for (const TextRecord& r : text.records) {
            const Character* fontCharacter = m_movie->character(r.fontId);
            if (!fontCharacter || !fontCharacter->font)
                continue;
            const auto& font = fontCharacter->font;
            double scale = r.height / font->emSquare;
            double x = r.x;
            for (const GlyphEntry& g : r.glyphs) {
                auto geometry = m_cache.glyph(font, g.index);
                if (geometry) {
                    Matrix place;
                    place.a = place.d = scale;
                    place.tx = x;
                    place.ty = r.y;
                    DrawCommand c;
                    c.geometry = std::move(geometry);
                    c.matrix = base * place;
                    c.colorTransform = ct;
                    c.fillColour = r.colour;
                    m_out.commands.push_back(std::move(c));
                }
                x += g.advance;
            }
        }
    }

    const Movie* m_movie;  // the movie whose fonts the clip being drawn refers to
    std::shared_ptr<const Movie> m_library;  // that movie when it is not the list's own
    const Movie* m_rootMovie;
    GeometryCache& m_cache;
    CommandList& m_out;
    FontProvider* m_fonts;
    bool m_inMask = false;
};

}  // namespace

void buildCommands(const Clip& root, const Movie& movie, GeometryCache& cache, CommandList& out,
                   FontProvider* fonts)
{
    out.movie = &movie;
    // Scripts may move and tint the root as any other clip.
    const Placement* placement = root.placement();
    CommandBuilder(movie, cache, out, fonts)
        .clip(root, placement ? placement->matrix : Matrix(), placement ? placement->colorTransform : ColorTransform(), 0);
}

}  // namespace swf
