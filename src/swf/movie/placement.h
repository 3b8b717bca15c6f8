// What the timeline sets on the object at one depth (character, matrix, colour, name …), and the state of a
// whole frame's depths built from its place and remove tags.
#pragma once

#include "swf/movie/movie.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace swf {

// The scales and rotation a script last set, as it set them: a negative or infinite scale, or an angle that a
// flat matrix loses. They stand while the matrix's linear part is still the one they made. The skew (degrees
// the y axis turns beyond the x axis) comes from the matrix and is kept when scripts scale or rotate.
struct ScaleRotation {
    double xScale = 1, yScale = 1, rotation = 0, skew = 0;
    double a = 1, b = 0, c = 0, d = 1;  // the linear part they made
};

// The properties the timeline sets on the object at one depth.
struct Placement {
    std::uint16_t characterId = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    std::string name;
    std::uint16_t clipDepth = 0;
    BlendMode blendMode = BlendMode::Normal;
    std::vector<Filter> filters;
    bool cacheAsBitmap = false;
    bool visible = true;
    std::optional<ScaleRotation> scaleRotation;
    Surface surface;
    std::shared_ptr<const std::vector<ClipEventHandler>> clipActions;  // onClipEvent handlers, if any
    // Where in its timeline the tag that placed the object stands: the frame above 32 bits, the tag below.
    std::uint64_t position = 0;
};

// How one of a button's records places its character inside the button.
Placement placementOf(const ButtonRecord& record);

// Which object sits at each depth after a frame's control tags.
using PlacementState = std::map<std::uint16_t, Placement>;

// Applies one place or remove tag to a state; a place that brings a character starts a fresh placement,
// which records the tag's position.
void applyControlTag(PlacementState& state, const ControlTag& tag, std::uint64_t position = 0);

}  // namespace swf
