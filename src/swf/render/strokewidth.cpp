#include "swf/render/strokewidth.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

// Matrices come from 16.16 fixed-point records, so a rotation's two axes differ in the fifth digit.
constexpr double kSameScale = 1e-3;

}  // namespace

double axisScaleX(const Matrix& m)
{
    return std::hypot(m.a, m.b);
}

double axisScaleY(const Matrix& m)
{
    return std::hypot(m.c, m.d);
}

bool keepsShape(const Matrix& m)
{
    const double sx = axisScaleX(m), sy = axisScaleY(m);
    const double largest = std::max(sx, sy);
    if (!(largest > 0) || !std::isfinite(largest))
        return false;
    return std::fabs(sx - sy) <= kSameScale * largest && std::fabs(m.a * m.c + m.b * m.d) <= kSameScale * sx * sy;
}

StrokeWidth strokeWidth(const LineStyle& style, const std::optional<Matrix>& own, const Matrix& full)
{
    const double w = style.width;
    const bool scales = !(style.noHScale && style.noVScale);
    if (!own)
        return {scales ? StrokeWidth::Space::Shape : StrokeWidth::Space::Stage, w};
    const bool ownKeepsShape = keepsShape(*own);
    if (ownKeepsShape && scales)
        return {StrokeWidth::Space::Shape, w};
    // The width in the parent's space.
    const double sx = axisScaleX(*own), sy = axisScaleY(*own);
    double parentWidth = w;  // neither axis scales it
    if (!style.noHScale && !style.noVScale)
        parentWidth = w * std::min(sx, sy);
    else if (!style.noHScale)
        parentWidth = w * sx;
    else if (!style.noVScale)
        parentWidth = w * sy;
    // Where the parent's space reaches the stage without stretching, the pen is round on the target too.
    Matrix ownLinear = *own, fullLinear = full;
    ownLinear.tx = ownLinear.ty = fullLinear.tx = fullLinear.ty = 0;
    const Matrix parent = fullLinear * ownLinear.inverted();
    if (keepsShape(parent))
        return {StrokeWidth::Space::Stage, parentWidth * axisScaleX(parent)};
    if (ownKeepsShape)
        return {StrokeWidth::Space::Shape, parentWidth / sx};
    return {StrokeWidth::Space::Parent, parentWidth};
}

}  // namespace swf
