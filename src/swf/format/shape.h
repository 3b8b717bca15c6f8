// Shapes as decoded from DefineShape 1-4, DefineMorphShape 1-2 and font glyphs: styles plus a path of
// style changes and edges with absolute coordinates in twips.
#pragma once

#include "swf/format/header.h"
#include "swf/format/styles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

struct ShapeRecord {
    enum class Kind : std::uint8_t { Style, Line, Curve };
    Kind kind = Kind::Line;
    // Style changes: which parts change; -1 keeps the current value, 0 means "no style", n the n-th style.
    bool hasMove = false;
    int fill0 = -1, fill1 = -1, line = -1;
    int newStyles = -1;  // index into Shape::styleTables when the record brings new style arrays
    // Edge end point, or the move target; the control point of curves. Absolute twips.
    double x = 0, y = 0, cx = 0, cy = 0;
};

struct StyleTable {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
};

struct Shape {
    std::uint16_t id = 0;
    Rect bounds;
    // Style tables: [0] is the shape's initial one, later ones come from records with new styles.
    std::vector<StyleTable> styleTables;
    std::vector<ShapeRecord> records;
    bool nonZeroWinding = false;  // DefineShape4's flag; otherwise fills follow the even-odd rule
};

struct MorphShape {
    std::uint16_t id = 0;
    Rect startBounds, endBounds;
    StyleTable start, end;
    std::vector<ShapeRecord> startRecords, endRecords;
};

// The body of a DefineShape 1-4 tag (the character id included). Damage shortens the record list.
Shape decodeShape(const std::uint8_t* body, std::size_t size, int shapeVersion);
// A SHAPE record without style arrays, as fonts store glyphs; the glyph fills with style 1.
Shape decodeGlyphShape(const std::uint8_t* data, std::size_t size);
// The body of a DefineMorphShape (version 1) or DefineMorphShape2 (version 2) tag.
MorphShape decodeMorphShape(const std::uint8_t* body, std::size_t size, int morphVersion);
// The shape a morph shows at ratio 0..65535.
Shape interpolateMorph(const MorphShape& morph, std::uint16_t ratio);

}  // namespace swf
