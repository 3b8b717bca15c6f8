// Encoders the bitmap tests use to build tag bodies: JPEG (libjpeg), PNG (libpng), GIF (giflib), and
// pixel comparison with a tolerance.
#pragma once

#include "swf/format/bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kivamo::test {

using Bytes = std::vector<std::uint8_t>;

// Straight (unpremultiplied) RGBA pixels, rows top to bottom.
struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};
struct Picture {
    std::uint32_t width = 0, height = 0;
    std::vector<Rgba> pixels;
    Rgba at(std::uint32_t x, std::uint32_t y) const { return pixels[std::size_t(y) * width + x]; }
};

// A smooth picture (gradients, easy on JPEG) with alpha varying across rows when withAlpha is set.
Picture gradientPicture(std::uint32_t width, std::uint32_t height, bool withAlpha = false);

// A complete baseline JPEG (progressive if asked) of the picture's colours; grey encodes one channel.
Bytes encodeJpeg(const Picture& picture, int quality = 95, bool progressive = false, bool grey = false);

// Splits a complete JPEG into a JPEGTables body (SOI, DQT and DHT segments, EOI) and the rest
// (SOI, the frame header and scans), as DefineBits stores it.
void splitJpegTables(const Bytes& jpeg, Bytes& tables, Bytes& image);

// PNG of the picture: colour type 6 (RGBA) or 2 (RGB), or 3 (palette with tRNS) for pictures of at
// most 256 colours.
enum class PngKind { Rgba, Rgb, Palette };
Bytes encodePng(const Picture& picture, PngKind kind = PngKind::Rgba, bool interlaced = false);

// GIF89a of indices into a palette; transparentIndex < 0 means none. left/top place the image on a
// logical screen of screenWidth × screenHeight (0 = the image's size).
struct GifImage {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<Rgba> palette;
    int transparentIndex = -1;
    bool interlaced = false;
    int left = 0, top = 0, screenWidth = 0, screenHeight = 0;
};
Bytes encodeGif(const GifImage& image);

// Premultiplied ARGB of a straight colour, as the decoder should produce it.
std::uint32_t premultiplied(Rgba c);

// Compares a decoded bitmap with the expected picture: a channel differing by more than tolerance makes
// a pixel an outlier. Returns an empty string when the outliers are within maxOutliers, else a summary.
std::string comparePixels(const swf::Bitmap& bitmap, const Picture& expected, int tolerance,
                          std::size_t maxOutliers = 0);

}  // namespace kivamo::test
