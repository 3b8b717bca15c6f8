// Shapes converted for drawing: per layer, closed contours for each fill style and joined polylines for
// each line style, built once per shape and kept in a cache.
#pragma once

#include "swf/format/shape.h"
#include "swf/format/text.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace swf {

struct DeviceFont;
class FontProvider;

struct PathSegment {
    enum class Kind : std::uint8_t { Move, Line, Quad, Close };
    Kind kind = Kind::Move;
    double x = 0, y = 0, cx = 0, cy = 0;
};

using Path = std::vector<PathSegment>;

struct FillPath {
    FillStyle style;
    Path path;
};

struct StrokePath {
    LineStyle style;
    Path path;
};

// Fills of a layer are drawn before its strokes; a record with new styles starts a new layer.
struct GeometryLayer {
    std::vector<FillPath> fills;
    std::vector<StrokePath> strokes;
};

struct ShapeGeometry {
    std::vector<GeometryLayer> layers;
    bool nonZeroWinding = false;
    Rect bounds;
    // Where a back end keeps its own converted form of the paths (built on first use).
    mutable std::shared_ptr<void> backendData;
};

ShapeGeometry buildGeometry(const Shape& shape);

// Converted shapes by shape (and morphs by ratio); entries live as long as the cache.
class GeometryCache {
public:
    static constexpr std::size_t kMaxMorphEntries = 4096;
    std::shared_ptr<const ShapeGeometry> shape(const std::shared_ptr<const Shape>& shape);
    std::shared_ptr<const ShapeGeometry> morph(const std::shared_ptr<const MorphShape>& morph, std::uint16_t ratio);
    std::shared_ptr<const ShapeGeometry> glyph(const std::shared_ptr<const Font>& font, std::size_t index);
    // A glyph of a system font, asked of the provider once.
    std::shared_ptr<const ShapeGeometry> deviceGlyph(FontProvider& fonts, const DeviceFont& font, char32_t code);
    void clear();
    std::size_t size() const
    {
        return m_shapes.size() + m_morphs.size() + m_glyphs.size() + m_deviceGlyphs.size();
    }

private:
    std::map<const Shape*, std::pair<std::shared_ptr<const Shape>, std::shared_ptr<const ShapeGeometry>>> m_shapes;
    std::map<std::pair<const MorphShape*, std::uint16_t>,
             std::pair<std::shared_ptr<const MorphShape>, std::shared_ptr<const ShapeGeometry>>> m_morphs;
    std::map<std::pair<const Font*, std::size_t>,
             std::pair<std::shared_ptr<const Font>, std::shared_ptr<const ShapeGeometry>>> m_glyphs;
    std::map<std::tuple<std::string, bool, bool, char32_t>, std::shared_ptr<const ShapeGeometry>> m_deviceGlyphs;
};

}  // namespace swf
