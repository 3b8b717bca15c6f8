// Fonts of the system for text fields whose movie embeds no outlines: metrics, advances and glyph outlines of a face
// picked by name and style. A back end supplies one; without it device text takes no room.
#pragma once

#include "swf/render/geometry.h"

#include <memory>
#include <string>

namespace swf {

struct DeviceFont {
    std::string face;  // as the movie names it, including "_sans", "_serif" and
                       // "_typewriter"
    bool bold = false, italic = false;
};

// All measures are for a font one em (1024 units) high.
struct DeviceFontMetrics {
    double ascent = 0, descent = 0, leading = 0;
};

class FontProvider {
public:
    static constexpr double kEm = 1024;
    virtual ~FontProvider() = default;
    virtual DeviceFontMetrics metrics(const DeviceFont& font) = 0;
    virtual double advance(const DeviceFont& font, char32_t code) = 0;
    // The glyph's outline in em units with the baseline at y = 0 (y grows downwards); nullptr when blank.
    virtual std::shared_ptr<const ShapeGeometry> glyph(const DeviceFont& font, char32_t code) = 0;
};

}  // namespace swf
