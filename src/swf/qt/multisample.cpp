#include "swf/qt/multisample.h"

#include "swf/qt/painterbackend.h"

#include <QPainter>
#include <cstdint>
#include <vector>

namespace swf {

namespace {

// The standard four-sample pattern, as fractions of a pixel from its top-left corner.
constexpr double kSamples[4][2] = {{0.375, 0.125}, {0.875, 0.375}, {0.125, 0.625}, {0.625, 0.875}};

// Adds the picture's pixels to the sums: red and blue in one word, alpha and green in the other, each
// channel in a 16-bit lane of its own (four samples of 255 at most never carry into the next lane).
void addSamples(const QImage& sample, std::vector<std::uint32_t>& sums)
{
    const int width = sample.width();
    for (int y = 0; y < sample.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(sample.constScanLine(y));
        std::uint32_t* sum = &sums[std::size_t(y) * std::size_t(width) * 2];
        for (int x = 0; x < width; ++x, sum += 2) {
            sum[0] += line[x] & 0x00ff00ffu;
            sum[1] += (line[x] >> 8) & 0x00ff00ffu;
        }
    }
}

}  // namespace

void paintMultisampled(QImage& image, const RenderFrame& frame)
{
    const int width = image.width(), height = image.height();
    std::vector<std::uint32_t> sums(std::size_t(width) * std::size_t(height) * 2, 0);
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
        addSamples(sample, sums);
    }
    // The rounded average of each lane: (sum + 2) / 4, the lanes shifted together and masked apart.
    constexpr std::uint32_t kHalf = 0x00020002u, kLanes = 0x00ff00ffu;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint32_t* sum = &sums[std::size_t(y) * std::size_t(width) * 2];
        for (int x = 0; x < width; ++x, sum += 2)
            line[x] = (((sum[0] + kHalf) >> 2) & kLanes) | ((((sum[1] + kHalf) >> 2) & kLanes) << 8);
    }
}

}  // namespace swf
