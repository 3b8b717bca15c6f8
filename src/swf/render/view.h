// How a frame is mapped onto a target: size, scale mode, zoom rectangle, quality and background; and the
// interface a back end implements to paint a frame's commands.
#pragma once

#include "swf/format/header.h"
#include "swf/format/styles.h"
#include "swf/render/commands.h"

#include <optional>

namespace swf {

enum class ScaleMode : std::uint8_t { ShowAll, NoScale, ExactFit, NoBorder };
enum class Quality : std::uint8_t { Low, Medium, High, Best, AutoLow, AutoHigh };

// Where the stage sits in a target larger than it (Stage.align): flags, centred on an axis with neither.
namespace align {
constexpr std::uint8_t Left = 1, Right = 2, Top = 4, Bottom = 8;
}

struct View {
    int width = 0, height = 0;  // target pixels; 0 means the stage size
    ScaleMode scaleMode = ScaleMode::ShowAll;
    std::uint8_t align = 0;
    std::optional<Rect> zoom;   // part of the stage (twips) shown instead of the whole stage
    Quality quality = Quality::High;
    std::optional<Rgba> background;
};

// One frame ready to paint.
struct RenderFrame {
    const CommandList* commands = nullptr;
    Matrix stageToPixels;  // stage twips to target pixels
    int width = 0, height = 0;
    Rgba background;
    bool antialias = true;
    bool smoothBitmaps = true;
    // Where colours are worked out, in target pixels from the pixel centres: a multisampled painting
    // moves the picture under its sample points but still shades each pixel at its centre.
    double shadingOffsetX = 0, shadingOffsetY = 0;
};

class FontProvider;

class RenderBackend {
public:
    virtual ~RenderBackend() = default;
    virtual void drawFrame(const RenderFrame& frame) = 0;
    // The system fonts device text is drawn with; none by default (device text is then left out).
    virtual FontProvider* fontProvider() { return nullptr; }
};

// The matrix that maps the stage (or the zoom rectangle) onto a target of the given size.
Matrix viewMatrix(const Rect& stage, const View& view, int width, int height);

// Low: no anti-aliasing; medium: anti-aliased shapes; high and best also smooth bitmaps.
bool qualityAntialias(Quality quality);
bool qualitySmoothsBitmaps(Quality quality);

}  // namespace swf
