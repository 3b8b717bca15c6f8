// The display list control tags: PlaceObject 1-3 (with filters), RemoveObject 1-2 and FrameLabel.
#pragma once

#include "swf/format/header.h"
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

    // Every field takes part: a frame renderer keeps the pixels of a layer whose filters compare equal.
    bool operator==(const Filter& o) const
    {
        return kind == o.kind && colour == o.colour && blurX == o.blurX && blurY == o.blurY && angle == o.angle &&
               distance == o.distance && strength == o.strength && passes == o.passes && inner == o.inner &&
               knockout == o.knockout && matrix == o.matrix;
    }
};

// Clip event bits of an onClipEvent handler, as PlaceObject2 stores them.
namespace clipevent {
inline constexpr std::uint32_t Load = 0x1, EnterFrame = 0x2, Unload = 0x4, MouseMove = 0x8, MouseDown = 0x10,
                               MouseUp = 0x20, KeyDown = 0x40, KeyUp = 0x80, Data = 0x100, Initialize = 0x200,
                               Press = 0x400, Release = 0x800, ReleaseOutside = 0x1000, RollOver = 0x2000,
                               RollOut = 0x4000, DragOver = 0x8000, DragOut = 0x10000, KeyPress = 0x20000,
                               Construct = 0x40000;
}  // namespace clipevent

// One onClipEvent handler: the events it answers, the key of a key-press handler and its actions.
struct ClipEventHandler {
    std::uint32_t events = 0;
    std::uint8_t keyCode = 0;
    std::vector<std::uint8_t> actions;
};

// How a display object is drawn besides its transform: the colour filling its bounds behind it (PlaceObject3,
// opaqueBackground) and the part of a clip a script shows through scrollRect (twips, moved to the origin).
struct Surface {
    std::optional<Rgba> opaqueBackground;
    std::optional<Rect> scrollRect;
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
    std::optional<Rgba> opaqueBackground;  // PlaceObject3: the box behind the object is filled with it
    std::optional<std::vector<Filter>> filters;
    std::string className;
    bool hasClipActions = false;
    std::vector<ClipEventHandler> clipActions;
};

// Decodes PlaceObject (1), PlaceObject2 (2) or PlaceObject3 (3) from its tag body.
PlaceObject decodePlaceObject(const std::uint8_t* body, std::size_t size, int version, int swfVersion);
// Reads a filter list (count, then each filter).
std::vector<Filter> readFilterList(class ByteReader& reader);

}  // namespace swf
