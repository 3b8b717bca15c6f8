// The display list control tags: PlaceObject 1-3 (with filters), RemoveObject 1-2 and FrameLabel.
#pragma once

#include "swf/format/styles.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swf {

enum class BlendMode : std::uint8_t {
    Normal = 1, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract, Invert, Alpha, Erase,
    Overlay, HardLight
};

struct Filter {
    enum class Kind : std::uint8_t {
        DropShadow = 0, Blur, Glow, Bevel, GradientGlow, Convolution, ColorMatrix, GradientBevel
    };
    Kind kind = Kind::Blur;
    Rgba colour;
    double blurX = 0, blurY = 0, angle = 0, distance = 0, strength = 1;
    int passes = 1;
    bool inner = false, knockout = false;
    std::vector<float> matrix;  // colour matrix (20 values) or convolution kernel
};

struct PlaceObject {
    int version = 1;
    std::uint16_t depth = 0;
    bool move = false;  // modifies the object already at the depth
    std::optional<std::uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clipDepth;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<std::vector<Filter>> filters;
    std::string className;
    bool hasClipActions = false;
};

// Decodes PlaceObject (1), PlaceObject2 (2) or PlaceObject3 (3) from its tag body.
PlaceObject decodePlaceObject(const std::uint8_t* body, std::size_t size, int version, int swfVersion);
// Reads a filter list (count, then each filter).
std::vector<Filter> readFilterList(class ByteReader& reader);

}  // namespace swf
