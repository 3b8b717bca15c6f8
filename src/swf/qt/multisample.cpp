#include "swf/qt/multisample.h"

#include "swf/qt/painterbackend.h"

#include <QPainter>
#include <cstdint>
#include <vector>

namespace swf {

namespace {

// The standard four-sample pattern, as fractions of a pixel from its top-left corner.
constexpr double kSamples[4][2] = {{0.375, 0.125}, {0.875, 0.375}, {0.125, 0.625}, {0.625, 0.875}};

}  // namespace

void paintMultisampled(QImage& image, const RenderFrame& frame)
{
    const int width = image.width(), height = image.height();
    std::vector<std::uint16_t> sums(std::size_t(width) * std::size_t(height) * 4, 0);  // 4 x 255 at most
    QImage sample(image.size(), QImage::Format_ARGB32_Premultiplied);
    for (const auto& point : kSamples) {
        // Moving the picture by (centre - sample) makes the pixel-centre rule test the sample point.
        RenderFrame shifted = frame;
        shifted.antialias = false;
        shifted.stageToPixels.tx += 0.5 - point[0];
        shifted.stageToPixels.ty += 0.5 - point[1];
        shifted.shadingOffsetX = 0.5 - point[0];
        shifted.shadingOffsetY = 0.5 - point[1];
        sample.fill(Qt::transparent);
        {
            QPainter painter(&sample);
            PainterBackend(painter).drawFrame(shifted);
        }
        for (int y = 0; y < height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(sample.constScanLine(y));
            std::uint16_t* sum = &sums[std::size_t(y) * std::size_t(width) * 4];
            for (int x = 0; x < width; ++x, sum += 4) {
                sum[0] = std::uint16_t(sum[0] + qRed(line[x]));
                sum[1] = std::uint16_t(sum[1] + qGreen(line[x]));
                sum[2] = std::uint16_t(sum[2] + qBlue(line[x]));
                sum[3] = std::uint16_t(sum[3] + qAlpha(line[x]));
            }
        }
    }
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint16_t* sum = &sums[std::size_t(y) * std::size_t(width) * 4];
        for (int x = 0; x < width; ++x, sum += 4)
            line[x] = qRgba((sum[0] + 2) / 4, (sum[1] + 2) / 4, (sum[2] + 2) / 4, (sum[3] + 2) / 4);
    }
}

}  // namespace swf
