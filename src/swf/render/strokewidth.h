// How wide a stroke is drawn and in which space its pen is round. Flash draws a shape's strokes with a round
// pen in the space of the clip that holds the shape: the shape's own matrix widens the pen by a single factor
// (its smaller axis scale, or the one axis the stroke's scaling flags leave), so a shape placed skewed or
// stretched keeps strokes of one width all round, while a stretched parent stretches them with everything else.
// Strokes that do not scale are as wide as the style says in the parent's space.
#pragma once

#include "swf/format/styles.h"

#include <optional>

namespace swf {

struct StrokeWidth {
    enum class Space : std::uint8_t {
        Shape,   // a round pen in the shape's own space
        Parent,  // a round pen in the parent's space, which the target does not see round
        Stage,   // a round pen on the target, `width` stage twips wide
    };
    Space space = Space::Shape;
    double width = 0;  // twips in that space
};

// The stroke's width; `own` is the shape's matrix to the clip that holds it, when known, and `full` its matrix
// to the stage. Without `own`, scaling strokes are drawn in the shape's space and the others on the target.
StrokeWidth strokeWidth(const LineStyle& style, const std::optional<Matrix>& own, const Matrix& full);

// A matrix's axis scales, and whether it keeps angles and scales both axes alike (a rotation, reflection and
// even scale).
double axisScaleX(const Matrix& m);
double axisScaleY(const Matrix& m);
bool keepsShape(const Matrix& m);

}  // namespace swf
