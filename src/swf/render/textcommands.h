// Drawing commands for a text field: background and border, then its glyphs (outlines of embedded or device fonts drawn
// as shapes in the text's colour) and underlines, clipped to the field when text runs past it (a field inside a mask
// adds its glyphs to the mask unclipped).
#pragma once

#include "swf/movie/edittext.h"
#include "swf/render/commands.h"
#include "swf/render/fontprovider.h"

namespace swf {

struct TextLayout;

// A rectangle filled and/or outlined with a one-pixel line, in the given space.
std::shared_ptr<const ShapeGeometry> rectangleGeometry(const Rect& rect, const Rgba* fill, const Rgba* line);

void appendTextFieldCommands(const EditTextField& field, const Movie& movie, GeometryCache& cache, FontProvider* fonts,
                             const Matrix& matrix, const ColorTransform& colours, BlendMode blend, bool inMask,
                             std::vector<DrawCommand>& out);

}  // namespace swf
