// Gradients the way Flash paints them: the stops become a ramp of 256 colours, each pixel finds its
// position on the ramp (linear, radial or focal), the spread mode folds positions outside 0..1, and
// the colour is read from the ramp with linear filtering between neighbouring entries.
#pragma once

#include "swf/format/styles.h"

#include <array>

namespace swf {

struct RampColour {
    float r = 0, g = 0, b = 0, a = 0;  // 0..1, not premultiplied
};

class GradientRamp {
public:
    static constexpr int kEntries = 256;
    // A focus on the rim or beyond would make positions run off to infinity; Flash holds it just inside.
    static constexpr double kMaxFocalPoint = 0.98;

    // Linear-RGB gradients keep their entries in linear light and convert back when read; a translucent
    // colour is converted per unit of its alpha and scaled back, as the player does with premultiplied colours.
    explicit GradientRamp(const Gradient& gradient);

    // Position on the ramp (0 = first entry, 1 = last) of a point in the gradient square, whose
    // coordinates run from -16384 to 16384 twips.
    static double position(FillKind kind, double focalPoint, double x, double y);
    // Folds a position by the spread mode into 0..1.
    static double spread(SpreadMode mode, double t);

    // The colour at a folded position, filtered between the two nearest entries, with the colour
    // transform applied and clamped to 0..1.
    RampColour sample(double t, const ColorTransform& colours) const;
    // The same before the colour transform (linear-light colours converted back, not clamped).
    RampColour colourAt(double t) const;

    const std::array<Rgba, kEntries>& entries() const { return m_entries; }
    bool linearRgb() const { return m_linear; }

private:
    std::array<Rgba, kEntries> m_entries{};
    bool m_linear = false;
};

}  // namespace swf
