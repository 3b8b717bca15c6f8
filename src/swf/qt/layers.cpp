#include "swf/qt/layers.h"

#include "swf/qt/qtgeometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace swf {

namespace {

int channel(double value)
{
    return std::clamp(int(std::lround(value)), 0, 255);
}

// Modes QPainter has no composition for, worked out pixel by pixel on premultiplied colours:
// subtract takes the layer's colour from the background, invert turns the background over where the
// layer lies.
QRgb subtractPixel(QRgb source, QRgb dest)
{
    return qRgba(std::max(0, qRed(dest) - qRed(source)), std::max(0, qGreen(dest) - qGreen(source)),
                 std::max(0, qBlue(dest) - qBlue(source)), qAlpha(dest));
}

QRgb invertPixel(QRgb source, QRgb dest)
{
    const int sa = qAlpha(source), da = qAlpha(dest);
    auto mix = [sa, da](int d) { return channel(((da - d) * sa + d * (255 - sa)) / 255.0); };
    return qRgba(mix(qRed(dest)), mix(qGreen(dest)), mix(qBlue(dest)), da);
}

void composePixelwise(QPainter& target, const QImage& layer, QPoint origin, QRgb (*blend)(QRgb, QRgb))
{
    auto* device = dynamic_cast<QImage*>(target.device());
    if (!device)
        return;
    const QRect area = QRect(origin, layer.size()).intersected(device->rect());
    if (area.isEmpty())
        return;
    QImage result = device->copy(area).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < area.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(layer.constScanLine(y + area.top() - origin.y()));
        for (int x = 0; x < area.width(); ++x) {
            const QRgb source = in[x + area.left() - origin.x()];
            if (qAlpha(source) != 0)
                out[x] = blend(source, out[x]);
        }
    }
    // Pixels the layer leaves alone keep their value, so copying the whole result under the clip is
    // the same as composing only where the clip allows.
    target.setCompositionMode(QPainter::CompositionMode_Source);
    target.drawImage(area.topLeft(), result);
}

QPainter::CompositionMode compositionOf(BlendMode mode, bool nested)
{
    // Alpha and erase act on what lies below only inside a layer; on the stage they are normal.
    switch (mode) {
    case BlendMode::Alpha:
        return nested ? QPainter::CompositionMode_DestinationIn : QPainter::CompositionMode_SourceOver;
    case BlendMode::Erase:
        return nested ? QPainter::CompositionMode_DestinationOut : QPainter::CompositionMode_SourceOver;
    default: return compositionFor(mode);
    }
}

}  // namespace

QImage newLayer(int width, int height)
{
    QImage layer(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

void transformLayerColours(QImage& layer, const ColorTransform& colours)
{
    if (colours.isIdentity())
        return;
    for (int y = 0; y < layer.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const int a = qAlpha(line[x]);
            if (a == 0 && colours.aAdd <= 0)
                continue;
            auto straight = [a](int c) { return a ? c * 255.0 / a : 0.0; };
            double na = std::clamp(a * colours.aMult + colours.aAdd, 0.0, 255.0);
            auto out = [na](double c, double mult, double add) {
                return channel(std::clamp(c * mult + add, 0.0, 255.0) * na / 255.0);
            };
            line[x] = qRgba(out(straight(qRed(line[x])), colours.rMult, colours.rAdd),
                            out(straight(qGreen(line[x])), colours.gMult, colours.gAdd),
                            out(straight(qBlue(line[x])), colours.bMult, colours.bAdd), channel(na));
        }
    }
}

QRegion coveredPixels(const QImage& layer)
{
    std::vector<QRect> runs;
    for (int y = 0; y < layer.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < layer.width();) {
            if (qAlpha(line[x]) == 0) {
                ++x;
                continue;
            }
            int start = x;
            while (x < layer.width() && qAlpha(line[x]) != 0)
                ++x;
            runs.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    if (!runs.empty())
        region.setRects(runs.data(), int(runs.size()));
    return region;
}

void composeLayer(QPainter& target, const QImage& layer, QPoint origin, BlendMode mode, bool nested,
                  const QRegion& covered)
{
    target.save();
    target.resetTransform();
    if (mode == BlendMode::Alpha || mode == BlendMode::Erase)
        target.setClipRegion(covered, Qt::IntersectClip);
    if (mode == BlendMode::Subtract) {
        composePixelwise(target, layer, origin, subtractPixel);
    } else if (mode == BlendMode::Invert) {
        composePixelwise(target, layer, origin, invertPixel);
    } else {
        target.setCompositionMode(compositionOf(mode, nested));
        target.drawImage(origin, layer);
    }
    target.restore();
}

}  // namespace swf
