#include "swf/qt/qtgeometry.h"

#include "swf/movie/movie.h"
#include "swf/qt/gradientfill.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace swf {

namespace {

QPainterPath toPainterPath(const Path& path, Qt::FillRule rule)
{
    QPainterPath out;
    out.setFillRule(rule);
    for (const PathSegment& s : path) {
        switch (s.kind) {
        case PathSegment::Kind::Move: out.moveTo(s.x, s.y); break;
        case PathSegment::Kind::Line: out.lineTo(s.x, s.y); break;
        case PathSegment::Kind::Quad: out.quadTo(s.cx, s.cy, s.x, s.y); break;
        case PathSegment::Kind::Close: out.closeSubpath(); break;
        }
    }
    return out;
}

// QPainterPath builds its painting form (a vector path) lazily on the first fill, stroke or clip and
// keeps it in the data every copy shares, without a lock. Band threads paint the same paths at once,
// so that form is built here, on one thread, by filling each path once with a brush that draws nothing.
// The cached bounds are filled in for the same reason.
void prepareForSharedPainting(const std::vector<QPainterPath>& paths)
{
    if (paths.empty())
        return;
    static thread_local QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    const QBrush nothing(QColor(0, 0, 0, 0));
    for (const QPainterPath& path : paths) {
        path.controlPointRect();
        path.boundingRect();
        painter.fillPath(path, nothing);
    }
}

std::shared_ptr<const GradientColours> gradientColours(const FillStyle& style)
{
    return style.isGradient() ? std::make_shared<const GradientColours>(style.gradient) : nullptr;
}

QColor transformed(const Rgba& colour, const BrushContext& context)
{
    return toQColor(context.colours.apply(colour));
}

double toLinear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double fromLinear(double c)
{
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

QColor mixLinear(const QColor& a, const QColor& b, double t)
{
    auto mix = [t](double x, double y) { return fromLinear(toLinear(x) + (toLinear(y) - toLinear(x)) * t); };
    return QColor::fromRgbF(static_cast<float>(mix(a.redF(), b.redF())), static_cast<float>(mix(a.greenF(), b.greenF())),
                            static_cast<float>(mix(a.blueF(), b.blueF())),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QGradientStops gradientStops(const Gradient& g, const BrushContext& context)
{
    QGradientStops stops;
    double last = -1;
    for (const GradientStop& s : g.stops) {
        // Ratios that go backwards are held at the previous one, as Flash draws them.
        double position = std::max(last, s.ratio / 255.0);
        QColor colour = transformed(s.colour, context);
        if (g.interpolation == InterpolationMode::Linear && !stops.isEmpty()) {
            const auto previous = stops.back();
            for (int k = 1; k < 8; ++k) {
                double t = k / 8.0;
                stops.push_back({previous.first + (position - previous.first) * t,
                                 mixLinear(previous.second, colour, t)});
            }
        }
        if (!stops.isEmpty() && position <= stops.back().first)
            position = std::min(1.0, stops.back().first + 1e-6);
        stops.push_back({position, colour});
        last = position;
    }
    if (stops.isEmpty())
        stops.push_back({0.0, QColor(0, 0, 0, 0)});
    return stops;
}

QGradient::Spread spreadOf(SpreadMode mode)
{
    switch (mode) {
    case SpreadMode::Reflect: return QGradient::ReflectSpread;
    case SpreadMode::Repeat: return QGradient::RepeatSpread;
    case SpreadMode::Pad: break;
    }
    return QGradient::PadSpread;
}

}  // namespace

QColor toQColor(const Rgba& c)
{
    return QColor(c.r, c.g, c.b, c.a);
}

const QtGeometry& qtGeometry(const ShapeGeometry& geometry)
{
    if (!geometry.backendData) {
        auto q = std::make_shared<QtGeometry>();
        Qt::FillRule rule = geometry.nonZeroWinding ? Qt::WindingFill : Qt::OddEvenFill;
        for (const GeometryLayer& layer : geometry.layers) {
            QtLayer out;
            for (const FillPath& f : layer.fills) {
                out.fills.push_back(toPainterPath(f.path, rule));
                out.fillGradients.push_back(gradientColours(f.style));
            }
            for (const StrokePath& s : layer.strokes) {
                out.strokes.push_back(toPainterPath(s.path, Qt::WindingFill));
                out.strokeGradients.push_back(s.style.hasFill ? gradientColours(s.style.fill) : nullptr);
            }
            prepareForSharedPainting(out.fills);
            prepareForSharedPainting(out.strokes);
            q->layers.push_back(std::move(out));
        }
        geometry.backendData = q;
    }
    return *static_cast<const QtGeometry*>(geometry.backendData.get());
}

const QPainterPath& qtOutline(const ShapeGeometry& geometry)
{
    qtGeometry(geometry);
    auto* q = static_cast<QtGeometry*>(geometry.backendData.get());
    if (!q->outlineReady) {
        QPainterPath outline;
        outline.setFillRule(Qt::WindingFill);
        for (const QtLayer& layer : q->layers)
            for (const QPainterPath& path : layer.fills)
                outline = outline.isEmpty() ? path.simplified() : outline.united(path);
        q->outline = outline;
        q->outlineReady = true;
    }
    return q->outline;
}

QBrush makeBrush(const FillStyle& style, const BrushContext& context)
{
    if (context.fillColour)
        return QBrush(transformed(*context.fillColour, context));
    if (!style.isGradient())
        return QBrush(style.isBitmap() ? QColor(0, 0, 0, 0) : transformed(style.colour, context));
    QGradient gradient;
    if (style.kind == FillKind::LinearGradient) {
        gradient = QLinearGradient(-16384, 0, 16384, 0);
    } else {
        double focus = style.kind == FillKind::FocalGradient ? style.gradient.focalPoint * 16384 : 0;
        gradient = QRadialGradient(QPointF(0, 0), 16384, QPointF(focus, 0));
    }
    gradient.setSpread(spreadOf(style.gradient.spread));
    gradient.setStops(gradientStops(style.gradient, context));
    QBrush brush(gradient);
    const Matrix& m = style.matrix;
    brush.setTransform(QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty));
    return brush;
}

QPen makePen(const LineStyle& style, const BrushContext& context, const QTransform& shapeToPixels,
             const Matrix& stageToPixels, const StrokeWidth& width)
{
    QPen pen;
    if (style.hasFill)
        pen.setBrush(makeBrush(style.fill, context));
    else
        pen.setColor(transformed(style.colour, context));
    double shapeScale = std::sqrt(std::fabs(shapeToPixels.determinant()));
    double stageScale = std::sqrt(std::fabs(stageToPixels.a * stageToPixels.d - stageToPixels.b * stageToPixels.c));
    const bool inShape = width.space != StrokeWidth::Space::Stage;
    double pixels = width.width * (inShape ? shapeScale : stageScale);
    if (!std::isfinite(pixels))
        pixels = 1.0;  // a degenerate transform: draw a hairline rather than nothing
    if (pixels < 1.0 || !inShape) {
        pen.setCosmetic(true);
        pen.setWidthF(std::clamp(pixels, 1.0, 4096.0));
    } else {
        pen.setWidthF(width.width);
    }
    auto cap = [](CapStyle c) {
        return c == CapStyle::None ? Qt::FlatCap : c == CapStyle::Square ? Qt::SquareCap : Qt::RoundCap;
    };
    pen.setCapStyle(cap(style.startCap));
    switch (style.join) {
    case JoinStyle::Round: pen.setJoinStyle(Qt::RoundJoin); break;
    case JoinStyle::Bevel: pen.setJoinStyle(Qt::BevelJoin); break;
    case JoinStyle::Miter:
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setMiterLimit(std::max(1.0, style.miterLimit));
        break;
    }
    return pen;
}

QImage transformedImage(const Bitmap& bitmap, const ColorTransform& colours)
{
    if (bitmap.width == 0 || bitmap.height == 0 || bitmap.pixels.size() < std::size_t(bitmap.width) * bitmap.height)
        return QImage();
    QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), static_cast<int>(bitmap.width),
                 static_cast<int>(bitmap.height), static_cast<int>(bitmap.width * 4),
                 QImage::Format_ARGB32_Premultiplied);
    if (colours.isIdentity())
        return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            Rgba c{static_cast<std::uint8_t>(qRed(line[x])), static_cast<std::uint8_t>(qGreen(line[x])),
                   static_cast<std::uint8_t>(qBlue(line[x])), static_cast<std::uint8_t>(qAlpha(line[x]))};
            Rgba t = colours.apply(c);
            line[x] = qRgba(t.r, t.g, t.b, t.a);
        }
    }
    return out;
}

QImage bitmapImage(std::uint16_t bitmapId, const BrushContext& context)
{
    const Character* c = context.movie ? context.movie->character(bitmapId) : nullptr;
    if (!c || !c->bitmap)
        return QImage();
    return transformedImage(*c->bitmap, context.colours);
}

QPainter::CompositionMode compositionFor(BlendMode mode)
{
    switch (mode) {
    case BlendMode::Multiply: return QPainter::CompositionMode_Multiply;
    case BlendMode::Screen: return QPainter::CompositionMode_Screen;
    case BlendMode::Lighten: return QPainter::CompositionMode_Lighten;
    case BlendMode::Darken: return QPainter::CompositionMode_Darken;
    case BlendMode::Difference: return QPainter::CompositionMode_Difference;
    case BlendMode::Add: return QPainter::CompositionMode_Plus;
    case BlendMode::Overlay: return QPainter::CompositionMode_Overlay;
    case BlendMode::HardLight: return QPainter::CompositionMode_HardLight;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

}  // namespace swf
