#include "swf/render/view.h"

#include <algorithm>
#include <cmath>

namespace swf {

Matrix viewMatrix(const Rect& stage, const View& view, int width, int height)
{
    const Rect& r = view.zoom ? *view.zoom : stage;
    double sw = std::max(1, r.xMax - r.xMin) / 20.0;
    double sh = std::max(1, r.yMax - r.yMin) / 20.0;
    if (!view.zoom) {
        // The stage measures whole pixels: a 101.3-pixel-wide movie has a 101-pixel stage.
        sw = std::max(1.0, std::floor(sw));
        sh = std::max(1.0, std::floor(sh));
    }
    double sx = 1, sy = 1;
    switch (view.scaleMode) {
    case ScaleMode::ShowAll:
        sx = sy = std::min(width / sw, height / sh);
        break;
    case ScaleMode::NoBorder:
        sx = sy = std::max(width / sw, height / sh);
        break;
    case ScaleMode::ExactFit:
        sx = width / sw;
        sy = height / sh;
        break;
    case ScaleMode::NoScale:
        break;
    }
    Matrix m;
    m.a = sx / 20.0;
    m.d = sy / 20.0;
    // The stage's corner lands on a whole pixel, as in Flash.
    auto place = [](double room, std::uint8_t flags, std::uint8_t start, std::uint8_t end) {
        return (flags & start) ? 0.0 : (flags & end) ? room : std::round(room / 2.0);
    };
    m.tx = place(width - sw * sx, view.align, align::Left, align::Right) - r.xMin * m.a;
    m.ty = place(height - sh * sy, view.align, align::Top, align::Bottom) - r.yMin * m.d;
    return m;
}

bool qualityAntialias(Quality quality)
{
    return quality != Quality::Low && quality != Quality::AutoLow;
}

bool qualitySmoothsBitmaps(Quality quality)
{
    return quality == Quality::High || quality == Quality::Best || quality == Quality::AutoHigh;
}

}  // namespace swf
