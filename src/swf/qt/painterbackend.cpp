#include "swf/qt/painterbackend.h"

#include "swf/limits.h"
#include "swf/player.h"
#include "swf/qt/aliasedfill.h"
#include "swf/qt/strokeoutline.h"
#include "swf/qt/filters.h"
#include "swf/qt/gradientfill.h"
#include "swf/qt/layers.h"
#include "swf/qt/multisample.h"
#include "swf/qt/qtgeometry.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {

namespace {

// QPen keeps no width from 32768 on; wider strokes (in twips) are drawn by their outline.
constexpr double kWidestPen = 32767;

class FramePainter {
public:
    FramePainter(QPainter& painter, const RenderFrame& frame, const std::vector<PixelBox>& bounds, const PixelBox& area,
                 bool nested = false)
        : m_p(painter), m_frame(frame), m_bounds(bounds), m_area(area), m_nested(nested)
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
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (commands[i].kind == DrawCommand::Kind::BeginLayer)
                i = paintLayer(i);
            else if (m_maskNesting > 0 || i >= m_bounds.size() || m_bounds[i].intersects(m_area))
                execute(commands[i]);
        }
        while (m_openClips-- > 0)
            m_p.restore();
        m_p.restore();
    }

private:
    // Paints the commands up to the matching EndLayer on a layer of their own, composes it and
    // returns the EndLayer's index.
    std::size_t paintLayer(std::size_t begin)
    {
        const auto& commands = m_frame.commands->commands;
        std::size_t end = begin + 1;
        for (int depth = 1; end < commands.size(); ++end) {
            if (commands[end].kind == DrawCommand::Kind::BeginLayer)
                ++depth;
            else if (commands[end].kind == DrawCommand::Kind::EndLayer && --depth == 0)
                break;
        }
        if (m_maskNesting > 0)
            return end;  // masks take shapes only
        CommandList inside;
        inside.movie = m_frame.commands->movie;
        inside.commands.assign(commands.begin() + begin + 1, commands.begin() + std::min(end, commands.size()));
        // Filters reach beyond the picture: the layer gets a margin so what lies just outside (or in
        // the next band) still spreads in.
        const int margin = end < commands.size() ? filterMargin(commands[end].filters) : 0;
        const PixelBox out = layerArea(begin);
        if (out.isEmpty())
            return end;  // nothing the layer holds reaches the pixels being painted
        RenderFrame frame = m_frame;
        frame.commands = &inside;
        frame.background = Rgba{0, 0, 0, 0};
        frame.width = out.right - out.left + 2 * margin;
        frame.height = out.bottom - out.top + 2 * margin;
        frame.stageToPixels.tx += margin - out.left;
        frame.stageToPixels.ty += margin - out.top;
        QImage layer = newLayer(frame.width, frame.height);
        {
            QPainter painter(&layer);
            const std::vector<PixelBox> unbounded;  // a layer paints all it holds
            FramePainter(painter, frame, unbounded, PixelBox{0, 0, frame.width, frame.height}, true).run();
        }
        if (end < commands.size())
            applyFilters(layer, commands[end].filters, transformOf(Matrix()));
        if (margin > 0)
            layer = layer.copy(margin, margin, out.right - out.left, out.bottom - out.top);
        const QPoint origin(out.left, out.top);
        if (end < commands.size()) {
            const DrawCommand& close = commands[end];
            transformLayerColours(layer, close.colorTransform);
            // Alpha and erase reach only the pixels the layer leaves some colour on: where a shape in
            // alpha mode is fully clear, Flash keeps what lies below.
            bool erases = m_nested && (close.blendMode == BlendMode::Alpha || close.blendMode == BlendMode::Erase);
            composeLayer(m_p, layer, origin, close.blendMode, m_nested,
                         erases ? coveredPixels(layer).translated(origin) : QRegion());
        } else {
            composeLayer(m_p, layer, origin, BlendMode::Normal, m_nested, QRegion());
        }
        return end;
    }

    // The target pixels a layer's picture is needed for: those being painted that the layer reaches (its bounds
    // hold what it holds, spread by its filters). A painter without bounds paints the whole layer.
    PixelBox layerArea(std::size_t begin) const
    {
        const PixelBox painted = intersection(m_area, PixelBox{0, 0, m_frame.width, m_frame.height});
        return begin < m_bounds.size() ? intersection(painted, m_bounds[begin]) : painted;
    }

    static PixelBox intersection(const PixelBox& a, const PixelBox& b)
    {
        PixelBox r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
        return r.isEmpty() ? PixelBox{} : r;
    }

    int filterMargin(const std::vector<Filter>& filters) const
    {
        const Matrix& s = m_frame.stageToPixels;
        return filterReach(filters, std::sqrt(std::fabs(s.a * s.d - s.b * s.c)) * 20);
    }

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
            if (m_maskNesting++ == 0) {
                m_mask = QPainterPath();
                m_maskPixels = QRegion();
            }
            break;
        case DrawCommand::Kind::EndMask:
            if (m_maskNesting > 0 && --m_maskNesting == 0) {
                m_p.save();
                m_p.resetTransform();
                if (m_frame.antialias)
                    m_p.setClipPath(m_mask, Qt::IntersectClip);
                else
                    m_p.setClipRegion(m_maskPixels, Qt::IntersectClip);
                ++m_openClips;
            }
            break;
        case DrawCommand::Kind::PopMask:
            if (m_openClips > 0) {
                m_p.restore();
                --m_openClips;
            }
            break;
        case DrawCommand::Kind::BeginLayer:
        case DrawCommand::Kind::EndLayer:
            break;  // handled by paintLayer
        }
    }

    QRect deviceArea() const { return QRect(0, 0, m_frame.width, m_frame.height); }

    QTransform transformOf(const Matrix& m) const
    {
        Matrix full = m_frame.stageToPixels * m;
        return QTransform(full.a, full.b, full.c, full.d, full.tx, full.ty);
    }

    void addToMask(const DrawCommand& c)
    {
        if (!m_frame.antialias) {
            m_maskPixels += shapePixels(qtGeometry(*c.geometry), transformOf(c.matrix), deviceArea());
            return;
        }
        QPainterPath mapped = transformOf(c.matrix).map(qtOutline(*c.geometry));
        m_mask = m_mask.isEmpty() ? mapped : m_mask.united(mapped);
    }

    void addBitmapToMask(const DrawCommand& c)
    {
        if (!c.bitmap)
            return;
        QPainterPath rect;
        rect.addRect(0, 0, c.bitmap->width, c.bitmap->height);
        if (!m_frame.antialias) {
            m_maskPixels += pixelCentreRegion(rect, transformOf(c.matrix), deviceArea());
            return;
        }
        m_mask = m_mask.united(transformOf(c.matrix).map(rect));
    }

    void drawShape(const DrawCommand& c)
    {
        const QtGeometry& g = qtGeometry(*c.geometry);
        QTransform t = transformOf(c.matrix);
        m_p.setTransform(t);
        m_p.setCompositionMode(compositionFor(c.blendMode));
        const Movie* bitmaps = c.library ? c.library.get() : m_frame.commands->movie;
        BrushContext context{c.colorTransform, c.fillColour, bitmaps, m_frame.smoothBitmaps,
                             QPointF(m_frame.shadingOffsetX, m_frame.shadingOffsetY)};
        for (std::size_t l = 0; l < g.layers.size(); ++l) {
            const QtLayer& layer = g.layers[l];
            const GeometryLayer& source = c.geometry->layers[l];
            for (std::size_t i = 0; i < layer.fills.size(); ++i)
                fillPath(layer.fills[i], source.fills[i].style, layer.fillGradients[i].get(), context, t);
            for (std::size_t i = 0; i < layer.strokes.size(); ++i)
                strokePath(layer.strokes[i], source.strokes[i].style, layer.strokeGradients[i].get(), context, t, c);
        }
        m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    void fillPath(const QPainterPath& path, const FillStyle& style, const GradientColours* gradient,
                  const BrushContext& context, const QTransform& t)
    {
        if (style.isBitmap()) {
            drawBitmapFill(path, style, context, t);
            return;
        }
        if (style.isGradient() && !context.fillColour) {
            fillGradientPath(m_p, path, style, gradient, context, t, m_frame.antialias);
            return;
        }
        fillShapePath(m_p, path, makeBrush(style, context), t, m_frame.antialias,
                      context.fillColour ? kGlyphFlatness : 0.0);
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

    void strokePath(const QPainterPath& path, const LineStyle& style, const GradientColours* gradient,
                    const BrushContext& context, const QTransform& t, const DrawCommand& c)
    {
        StrokeWidth width = strokeWidth(style, c.own, c.matrix);
        if (width.space == StrokeWidth::Space::Parent) {
            const Matrix& own = *c.own;
            const QTransform toParent(own.a, own.b, own.c, own.d, own.tx, own.ty);
            bool invertible = false;
            const QTransform parentToDevice = toParent.inverted(&invertible) * t;
            const double pixels = width.width * std::sqrt(std::fabs(parentToDevice.determinant()));
            if (invertible && std::isfinite(pixels) && pixels >= 1) {
                strokeByOutline(path, style, gradient, context, t, width.width, toParent, parentToDevice);
                return;
            }
            width = {StrokeWidth::Space::Stage, 0};  // thinner than a pixel, or no parent space: a hairline
        }
        if (width.space == StrokeWidth::Space::Shape && width.width >= kWidestPen) {
            strokeByOutline(path, style, gradient, context, t, width.width, QTransform(), t);
            return;
        }
        QPen pen = makePen(style, context, t, m_frame.stageToPixels, width);
        if (style.hasFill && style.fill.isGradient() && !context.fillColour)
            strokeGradientPath(m_p, path, pen, style.fill, gradient, context, t, m_frame.antialias);
        else
            strokeShapePath(m_p, path, pen, t, m_frame.antialias);
    }

    // A pen `width` twips wide moved in another space (`toParent` maps the shape's there: the parent's, or the
    // shape's own for pens too wide for QPen), its outline filled in the shape's.
    void strokeByOutline(const QPainterPath& path, const LineStyle& style, const GradientColours* gradient,
                             const BrushContext& context, const QTransform& t, double width,
                             const QTransform& toParent, const QTransform& parentToDevice)
    {
        const QPen pen = makePen(style, context, t, m_frame.stageToPixels, StrokeWidth{StrokeWidth::Space::Shape, 1});
        const QPainterPath outline =
            strokeOutlineIn(path, pen, width, toParent, parentToDevice, m_frame.antialias);
        if (style.hasFill && style.fill.isGradient() && !context.fillColour)
            fillGradientPath(m_p, outline, style.fill, gradient, context, t, m_frame.antialias);
        else
            fillShapePath(m_p, outline, pen.brush(), t, m_frame.antialias);
    }

    void drawBitmap(const DrawCommand& c)
    {
        if (!c.bitmap || c.bitmap->width == 0)
            return;
        BrushContext context{c.colorTransform, std::nullopt, m_frame.commands->movie, m_frame.smoothBitmaps,
                             QPointF(m_frame.shadingOffsetX, m_frame.shadingOffsetY)};
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
    QRegion m_maskPixels;  // the mask at low quality, under the pixel-centre rule
    int m_maskNesting = 0;
    int m_openClips = 0;
    bool m_nested = false;  // painting on a layer
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
