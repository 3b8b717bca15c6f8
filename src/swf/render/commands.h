// A frame as a list of drawing commands for a back end: shapes with their transforms, bitmaps, masks and
// layers, in painting order, plus the view that maps the stage onto the target.
#pragma once

#include "swf/format/bitmap.h"
#include "swf/format/place.h"
#include "swf/render/geometry.h"

#include <memory>
#include <optional>
#include <vector>

namespace swf {

class Clip;
class FontProvider;
struct Movie;

struct DrawCommand {
    enum class Kind : std::uint8_t {
        Shape,      // geometry with matrix and colour transform
        Bitmap,     // a bitmap character placed directly (matrix maps pixels to twips)
        BeginMask,  // the following shapes form a mask, until EndMask
        EndMask,    // the mask is complete; what follows is clipped by it until PopMask
        PopMask,
        BeginLayer,  // what follows, up to the matching EndLayer, is painted on a layer of its own
        EndLayer,    // the layer is composed onto what lies below with the blend mode and filters
    };
    Kind kind = Kind::Shape;
    std::shared_ptr<const ShapeGeometry> geometry;
    std::shared_ptr<const Bitmap> bitmap;
    Matrix matrix;  // to stage twips
    // The shape's own matrix, to the clip that holds it (its pens are round in that clip's space); unknown for
    // glyphs and text field parts.
    std::optional<Matrix> own;
    ColorTransform colorTransform;
    std::optional<Rgba> fillColour;  // glyphs take the text's colour instead of their own
    BlendMode blendMode = BlendMode::Normal;
    std::vector<Filter> filters;  // layers only
    // The loaded or imported movie whose bitmaps a shape's bitmap fills name; null for the list's own movie.
    std::shared_ptr<const Movie> library;
};

struct CommandList {
    std::vector<DrawCommand> commands;
    // Bitmaps by character id, for bitmap fills.
    const Movie* movie = nullptr;
};

// Walks the display tree in depth order and appends its drawing commands; device text needs `fonts`.
void buildCommands(const Clip& root, const Movie& movie, GeometryCache& cache, CommandList& out,
                   FontProvider* fonts = nullptr);

}  // namespace swf
