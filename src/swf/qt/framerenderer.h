// Renders frames into an image it keeps between frames: only the part of the target that changed since
// the previous frame is painted again, in horizontal bands on the global thread pool.
#pragma once

#include "swf/qt/fontprovider.h"
#include "swf/render/framebounds.h"
#include "swf/render/view.h"

#include <QImage>
#include <vector>

namespace swf {

class Player;

class FrameRenderer : public RenderBackend {
public:
    // The player's current frame at the view's size (the stage size when the view gives none, shrunk to
    // the render limits keeping the aspect ratio).
    const QImage& render(Player& player, const View& view);

    // Paints the frame into image(), which takes the frame's size.
    void drawFrame(const RenderFrame& frame) override;
    FontProvider* fontProvider() override { return &m_fonts; }

    const QImage& image() const { return m_image; }
    // The rectangles the last frame painted again (they do not overlap); none when it equalled the one
    // before.
    const std::vector<PixelBox>& lastPaintedAreas() const { return m_lastAreas; }
    std::int64_t lastPaintedPixels() const;
    // Forgets the kept frame (and lets go of its shapes), so that the next one is painted whole.
    void invalidate();
    // Paints every changed area in exactly this many bands (at most one per row); 0, the default, chooses
    // by the area's size and the thread pool.
    void setBands(int bands) { m_bands = bands; }
    // Pictures made for keeping (files, snapshots, thumbnails) are anti-aliased by four samples per
    // pixel, as Flash's are; each such frame is painted whole.
    void setMultisampling(bool on) { m_multisample = on; }

private:
    std::vector<PixelBox> changedAreas(const RenderFrame& frame, const std::vector<PixelBox>& bounds) const;
    void paintInBands(const RenderFrame& frame, const std::vector<PixelBox>& bounds, const PixelBox& area);
    void keep(const RenderFrame& frame, std::vector<PixelBox> bounds);

    QImage m_image;
    QtFontProvider m_fonts;
    int m_bands = 0;
    bool m_multisample = false;
    bool m_valid = false;
    RenderFrame m_lastFrame;  // its command list points at m_lastCommands
    CommandList m_lastCommands;
    std::vector<PixelBox> m_lastBounds;
    std::vector<PixelBox> m_lastAreas;
};

// True when the two commands paint the same pixels (same kind, geometry, bitmap, transforms, colour and
// blend mode).
bool sameDrawing(const DrawCommand& a, const DrawCommand& b);

}  // namespace swf
