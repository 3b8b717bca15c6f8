// The image decoders behind decodeBitmap: JPEG, PNG, GIF and the zlib-packed lossless formats.
#pragma once

#include "swf/format/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf::bitmapcodecs {

enum class ImageKind { Jpeg, Png, Gif, Unknown };

// Tells the kind of an embedded image by its first bytes (JPEG may start with the stray FF D9 FF D8).
ImageKind sniffImage(const std::uint8_t* data, std::size_t size);

// Whether the side lengths are within the bitmap limits (and not zero).
bool sizeAllowed(std::uint64_t width, std::uint64_t height);

// Premultiplies one colour channel by alpha, rounding to nearest.
inline std::uint32_t premultiply(std::uint32_t channel, std::uint32_t alpha)
{
    return (channel * alpha + 127) / 255;
}

// Packs premultiplied ARGB from straight (unpremultiplied) components.
inline std::uint32_t packStraight(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a)
{
    return (a << 24) | (premultiply(r, a) << 16) | (premultiply(g, a) << 8) | premultiply(b, a);
}

// Rebuilds one clean JPEG stream from the movie's tables and an image's data: stray start and end
// markers (the erroneous header older tools wrote, the tables' own end marker) are dropped so that the
// result holds exactly one start marker, the table and frame segments, then the scans.
std::vector<std::uint8_t> cleanJpegStream(const std::uint8_t* tables, std::size_t tablesSize,
                                          const std::uint8_t* data, std::size_t size);

// Decodes a (clean or not) JPEG stream to opaque pixels.
Result<Bitmap> decodeJpeg(const std::uint8_t* tables, std::size_t tablesSize, const std::uint8_t* data,
                          std::size_t size);
BitmapSize probeJpeg(const std::uint8_t* tables, std::size_t tablesSize, const std::uint8_t* data,
                     std::size_t size);

Result<Bitmap> decodePng(const std::uint8_t* data, std::size_t size);
BitmapSize probePng(const std::uint8_t* data, std::size_t size);

// Decodes the first image of a GIF onto its logical screen; pixels it does not cover stay transparent.
Result<Bitmap> decodeGif(const std::uint8_t* data, std::size_t size);
BitmapSize probeGif(const std::uint8_t* data, std::size_t size);

// DefineBitsLossless (withAlpha false) and DefineBitsLossless2 (withAlpha true).
Result<Bitmap> decodeLossless(const std::uint8_t* body, std::size_t size, bool withAlpha);
BitmapSize probeLossless(const std::uint8_t* body, std::size_t size);

}  // namespace swf::bitmapcodecs
