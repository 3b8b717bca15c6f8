// The QPainter back end: paints a frame's command list onto any QPainter (a widget or a QImage).
#pragma once

#include "swf/qt/fontprovider.h"
#include "swf/render/framebounds.h"
#include "swf/render/view.h"

#include <QImage>

class QPainter;

namespace swf {

class Player;

class PainterBackend : public RenderBackend {
public:
    explicit PainterBackend(QPainter& painter) : m_painter(painter) {}
    void drawFrame(const RenderFrame& frame) override;
    FontProvider* fontProvider() override { return &m_fonts; }

private:
    QPainter& m_painter;
    QtFontProvider m_fonts;
};

// Paints the part of the frame inside `area` (target pixels), skipping the commands whose bounds miss it.
// The pixels inside come out exactly as a paint of the whole frame gives them; those outside are untouched.
void paintFrameArea(QPainter& painter, const RenderFrame& frame, const std::vector<PixelBox>& bounds,
                    const PixelBox& area);

// Renders the player's current frame into a new premultiplied ARGB32 image of the view's size (the stage
// size when the view gives none). Anti-aliased qualities sample each pixel at four points, as Flash's
// pictures do, for images up to a megapixel; larger images and painting on a widget through
// PainterBackend use Qt's own anti-aliasing, which is many times faster.
QImage renderImage(Player& player, const View& view);

}  // namespace swf
