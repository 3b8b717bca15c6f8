#include "swf/qt/painterbackend.h"

#include "swf/limits.h"
#include "swf/player.h"
#include "swf/qt/qtgeometry.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {

namespace {

class FramePainter {
public:
    FramePainter(QPainter& painter, const RenderFrame& frame, const std::vector<PixelBox>& bounds, const PixelBox& area)
        : m_p(painter), m_frame(frame), m_bounds(bounds), m_area(area)
    {
    }

    void run()
    {
        m_p.save();
        m_p.resetTransform();
        m_p.setClipRect(QRect(m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top),
                        Qt::IntersectClip);
        m_p.setRenderHint(QPainter::Antialiasing, m_frame.antialias);
        m_p.setRenderHint(QPainter::SmoothPixmapTransform, m_frame.smoothBitmaps);
        const Rgba& bg = m_frame.background;
        m_p.setCompositionMode(QPainter::CompositionMode_Source);
        m_p.fillRect(QRect(0, 0, m_frame.width, m_frame.height), QColor(bg.r, bg.g, bg.b, bg.a));
        m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const auto& commands = m_frame.commands->commands;
        for (std::size_t i = 0; i < commands.size(); ++i)
            if (m_maskNesting > 0 || i >= m_bounds.size() || m_bounds[i].intersects(m_area))
                execute(commands[i]);
        while (m_openClips-- > 0)
            m_p.restore();
        m_p.restore();
    }

private:
    void execute(const DrawCommand& c)
    {
        switch (c.kind) {
        case DrawCommand::Kind::Shape:
            if (m_maskNesting > 0)
                addToMask(c);
            else
                drawShape(c);
            break;
        case DrawCommand::Kind::Bitmap:
            if (m_maskNesting > 0)
                addBitmapToMask(c);
            else
                drawBitmap(c);
            break;
        case DrawCommand::Kind::BeginMask:
            if (m_maskNesting++ == 0)
                m_mask = QPainterPath();
            break;
        case DrawCommand::Kind::EndMask:
            if (m_maskNesting > 0 && --m_maskNesting == 0) {
                m_p.save();
                m_p.resetTransform();
                m_p.setClipPath(m_mask, Qt::IntersectClip);
                ++m_openClips;
            }
            break;
        case DrawCommand::Kind::PopMask:
            if (m_openClips > 0) {
                m_p.restore();
                --m_openClips;
            }
            break;
        }
    }

    QTransform transformOf(const Matrix& m) const
    {
        Matrix full = m_frame.stageToPixels * m;
        return QTransform(full.a, full.b, full.c, full.d, full.tx, full.ty);
    }

    void addToMask(const DrawCommand& c)
    {
        QPainterPath mapped = transformOf(c.matrix).map(qtOutline(*c.geometry));
        m_mask = m_mask.isEmpty() ? mapped : m_mask.united(mapped);
    }

    void addBitmapToMask(const DrawCommand& c)
    {
        if (!c.bitmap)
            return;
        QPainterPath rect;
        rect.addRect(0, 0, c.bitmap->width, c.bitmap->height);
        m_mask = m_mask.united(transformOf(c.matrix).map(rect));
    }

    void drawShape(const DrawCommand& c)
    {
        const QtGeometry& g = qtGeometry(*c.geometry);
        QTransform t = transformOf(c.matrix);
        m_p.setTransform(t);
        m_p.setCompositionMode(compositionFor(c.blendMode));
        BrushContext context{c.colorTransform, c.fillColour, m_frame.commands->movie, m_frame.smoothBitmaps};
        for (std::size_t l = 0; l < g.layers.size(); ++l) {
            const QtLayer& layer = g.layers[l];
            const GeometryLayer& source = c.geometry->layers[l];
            for (std::size_t i = 0; i < layer.fills.size(); ++i)
                fillPath(layer.fills[i], source.fills[i].style, context, t);
            for (std::size_t i = 0; i < layer.strokes.size(); ++i)
                strokePath(layer.strokes[i], source.strokes[i].style, context, t);
        }
        m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    void fillPath(const QPainterPath& path, const FillStyle& style, const BrushContext& context, const QTransform& t)
    {
        if (style.isBitmap()) {
            drawBitmapFill(path, style, context, t);
            return;
        }
        m_p.fillPath(path, makeBrush(style, context));
    }

    void drawBitmapFill(const QPainterPath& path, const FillStyle& style, const BrushContext& context,
                        const QTransform& t)
    {
        QImage image = bitmapImage(style.bitmapId, context);
        if (image.isNull())
            return;
        m_p.save();
        m_p.setRenderHint(QPainter::SmoothPixmapTransform, context.smooth && style.smoothed());
        if (style.repeats()) {
            QBrush brush(image);
            const Matrix& m = style.matrix;
            brush.setTransform(QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty));
            m_p.fillPath(path, brush);
        } else {
            m_p.setClipPath(path, Qt::IntersectClip);
            const Matrix& m = style.matrix;
            m_p.setTransform(QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty) * t);
            m_p.drawImage(0, 0, image);
        }
        m_p.restore();
    }

    void strokePath(const QPainterPath& path, const LineStyle& style, const BrushContext& context,
                    const QTransform& t)
    {
        m_p.strokePath(path, makePen(style, context, t, m_frame.stageToPixels));
    }

    void drawBitmap(const DrawCommand& c)
    {
        if (!c.bitmap || c.bitmap->width == 0)
            return;
        BrushContext context{c.colorTransform, std::nullopt, m_frame.commands->movie, m_frame.smoothBitmaps};
        QImage image = transformedImage(*c.bitmap, context.colours);
        m_p.setTransform(transformOf(c.matrix));
        m_p.setCompositionMode(compositionFor(c.blendMode));
        m_p.drawImage(0, 0, image);
        m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    QPainter& m_p;
    const RenderFrame& m_frame;
    const std::vector<PixelBox>& m_bounds;  // where each command paints; shapes missing m_area are skipped
    PixelBox m_area;
    QPainterPath m_mask;
    int m_maskNesting = 0;
    int m_openClips = 0;
};

}  // namespace

void PainterBackend::drawFrame(const RenderFrame& frame)
{
    if (!frame.commands)
        return;
    paintFrameArea(m_painter, frame, frameBounds(frame), PixelBox{0, 0, frame.width, frame.height});
}

void paintFrameArea(QPainter& painter, const RenderFrame& frame, const std::vector<PixelBox>& bounds,
                    const PixelBox& area)
{
    if (frame.commands && !area.isEmpty())
        FramePainter(painter, frame, bounds, area).run();
}

}  // namespace swf
