#include "swf/format/bitmap.h"

#include "swf/format/bitmapcodecs.h"
#include "swf/format/tags.h"
#include "swf/io/bytereader.h"
#include "swf/io/decompress.h"
#include "swf/limits.h"

#include <algorithm>

namespace swf {

using namespace bitmapcodecs;

namespace {

// Where the image and the alpha plane of a DefineBitsJPEG2/3/4 body lie.
struct JpegParts {
    const std::uint8_t* image = nullptr;
    std::size_t imageSize = 0;
    const std::uint8_t* alpha = nullptr;
    std::size_t alphaSize = 0;
};

// JPEG3 and JPEG4 give the image's length first (JPEG4 then a deblocking filter value Flash applies
// when it scales the picture; decoding does not need it); the zlib alpha plane follows the image.
bool splitJpegBody(std::uint16_t tagCode, const std::uint8_t* body, std::size_t size, JpegParts& parts)
{
    if (tagCode == tag::DefineBits || tagCode == tag::DefineBitsJPEG2) {
        parts.image = body;
        parts.imageSize = size;
        return true;
    }
    ByteReader reader(body, size);
    std::uint32_t imageSize = reader.u32();
    if (tagCode == tag::DefineBitsJPEG4)
        reader.u16();
    if (reader.overrun() || imageSize > reader.remaining())
        return false;
    parts.image = reader.current();
    parts.imageSize = imageSize;
    reader.skip(imageSize);
    parts.alpha = reader.current();
    parts.alphaSize = reader.remaining();
    return true;
}

// Applies the alpha plane to opaque JPEG pixels. A missing or short plane leaves the rest opaque, as
// the picture is still worth showing; a plane that is not zlib data at all is reported.
Result<Bitmap> applyAlphaPlane(Bitmap bitmap, const std::uint8_t* alpha, std::size_t size)
{
    if (size == 0)
        return bitmap;
    std::size_t count = bitmap.pixels.size();
    Inflated plane = inflateZlib(alpha, size, count);
    if (plane.bytes.empty() && !plane.problem.empty())
        return Result<Bitmap>::failure("alpha plane: " + plane.problem);
    std::size_t have = std::min(count, plane.bytes.size());
    for (std::size_t i = 0; i < have; ++i) {
        std::uint32_t p = bitmap.pixels[i];
        bitmap.pixels[i] = packStraight((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, plane.bytes[i]);
    }
    return bitmap;
}

Result<Bitmap> decodeJpegFamily(std::uint16_t tagCode, const std::uint8_t* body, std::size_t size,
                                const std::vector<std::uint8_t>& jpegTables)
{
    JpegParts parts;
    if (!splitJpegBody(tagCode, body, size, parts))
        return Result<Bitmap>::failure("bitmap tag is shorter than its image length says");
    switch (sniffImage(parts.image, parts.imageSize)) {
    case ImageKind::Png:
        return decodePng(parts.image, parts.imageSize);
    case ImageKind::Gif:
        return decodeGif(parts.image, parts.imageSize);
    default:
        break;
    }
    // Only DefineBits shares the movie's tables; the later tags carry complete JPEG streams.
    bool shared = tagCode == tag::DefineBits;
    Result<Bitmap> decoded = decodeJpeg(shared ? jpegTables.data() : nullptr, shared ? jpegTables.size() : 0,
                                        parts.image, parts.imageSize);
    if (!decoded)
        return decoded;
    return applyAlphaPlane(std::move(decoded.value()), parts.alpha, parts.alphaSize);
}

}  // namespace

bool isBitmapTag(std::uint16_t tagCode)
{
    switch (tagCode) {
    case tag::DefineBits:
    case tag::DefineBitsJPEG2:
    case tag::DefineBitsJPEG3:
    case tag::DefineBitsJPEG4:
    case tag::DefineBitsLossless:
    case tag::DefineBitsLossless2:
        return true;
    default:
        return false;
    }
}

Result<Bitmap> decodeBitmap(std::uint16_t tagCode, const std::uint8_t* body, std::size_t size,
                            const std::vector<std::uint8_t>& jpegTables)
{
    if (!isBitmapTag(tagCode))
        return Result<Bitmap>::failure("tag " + std::to_string(tagCode) + " is not a bitmap");
    if (body == nullptr)
        size = 0;
    if (tagCode == tag::DefineBitsLossless || tagCode == tag::DefineBitsLossless2)
        return decodeLossless(body, size, tagCode == tag::DefineBitsLossless2);
    return decodeJpegFamily(tagCode, body, size, jpegTables);
}

BitmapSize probeBitmapSize(std::uint16_t tagCode, const std::uint8_t* body, std::size_t size,
                           const std::vector<std::uint8_t>& jpegTables)
{
    if (!isBitmapTag(tagCode) || body == nullptr)
        return {};
    if (tagCode == tag::DefineBitsLossless || tagCode == tag::DefineBitsLossless2)
        return probeLossless(body, size);
    JpegParts parts;
    if (!splitJpegBody(tagCode, body, size, parts))
        return {};
    switch (sniffImage(parts.image, parts.imageSize)) {
    case ImageKind::Png:
        return probePng(parts.image, parts.imageSize);
    case ImageKind::Gif:
        return probeGif(parts.image, parts.imageSize);
    default:
        break;
    }
    bool shared = tagCode == tag::DefineBits;
    return probeJpeg(shared ? jpegTables.data() : nullptr, shared ? jpegTables.size() : 0, parts.image,
                     parts.imageSize);
}

namespace bitmapcodecs {

ImageKind sniffImage(const std::uint8_t* data, std::size_t size)
{
    static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 8 && std::equal(png, png + 8, data))
        return ImageKind::Png;
    if (size >= 6 && std::equal(data, data + 3, "GIF") && data[3] == '8' && (data[4] == '9' || data[4] == '7'))
        return ImageKind::Gif;
    if (size >= 2 && data[0] == 0xFF && (data[1] == 0xD8 || data[1] == 0xD9))
        return ImageKind::Jpeg;
    return ImageKind::Unknown;
}

bool sizeAllowed(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= limits::kMaxBitmapSide && height <= limits::kMaxBitmapSide &&
           width * height <= limits::kMaxBitmapPixels;
}

}  // namespace bitmapcodecs

}  // namespace swf
