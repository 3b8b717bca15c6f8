// Decoding of the bitmap tags (DefineBits family, DefineBitsLossless 1-2) into premultiplied ARGB pixels.
#pragma once

#include "swf/result.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

// Premultiplied ARGB32 (0xAARRGGBB) per pixel, rows top to bottom, no padding between rows: the layout of
// QImage::Format_ARGB32_Premultiplied, so a back end can wrap the pixels without converting them.
struct Bitmap {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// The size a bitmap tag declares, read without decoding its pixels (zero when it cannot be told).
struct BitmapSize {
    std::uint32_t width = 0, height = 0;
};

// Decodes one bitmap tag. `body` is the tag body after the 2-byte character id; `jpegTables` is the body of
// the movie's JPEGTables tag (empty when the movie has none), used by DefineBits only. Damaged or oversized
// data yields a failure with a message; nothing in the input can crash, hang or exhaust memory.
Result<Bitmap> decodeBitmap(std::uint16_t tagCode, const std::uint8_t* body, std::size_t size,
                            const std::vector<std::uint8_t>& jpegTables);

// Whether the tag code is one decodeBitmap understands.
bool isBitmapTag(std::uint16_t tagCode);

// Reads the declared size of a bitmap tag cheaply (header fields only).
BitmapSize probeBitmapSize(std::uint16_t tagCode, const std::uint8_t* body, std::size_t size,
                           const std::vector<std::uint8_t>& jpegTables);

}  // namespace swf
