// DefineBitsLossless and DefineBitsLossless2: zlib-packed colour-mapped, 15-bit and 24/32-bit pixels.
#include "swf/format/bitmapcodecs.h"

#include "swf/io/bytereader.h"
#include "swf/io/decompress.h"

namespace swf::bitmapcodecs {

namespace {

enum Format : std::uint8_t { ColourMapped = 3, Rgb15 = 4, Rgb32 = 5 };

struct LosslessHeader {
    std::uint8_t format = 0;
    std::uint32_t width = 0, height = 0;
    std::uint32_t paletteSize = 0;  // entries; format 3 only
    bool ok = false;
};

LosslessHeader readHeader(ByteReader& reader)
{
    LosslessHeader header;
    header.format = reader.u8();
    header.width = reader.u16();
    header.height = reader.u16();
    if (header.format == ColourMapped)
        header.paletteSize = std::uint32_t(reader.u8()) + 1;
    header.ok = !reader.overrun();
    return header;
}

// Rows of the colour-mapped and 15-bit formats are padded to a multiple of four bytes.
std::size_t paddedRow(std::size_t bytes)
{
    return (bytes + 3) & ~std::size_t(3);
}

// Colours in Lossless2 are premultiplied already; a colour above its alpha would overflow when
// composited, so it is clamped to the alpha.
std::uint32_t clampPremultiplied(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    r = r > a ? a : r;
    g = g > a ? a : g;
    b = b > a ? a : b;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::size_t dataSize(const LosslessHeader& header, bool withAlpha)
{
    std::size_t w = header.width, h = header.height;
    switch (header.format) {
    case ColourMapped:
        return header.paletteSize * (withAlpha ? 4u : 3u) + paddedRow(w) * h;
    case Rgb15:
        return paddedRow(w * 2) * h;
    default:
        return w * 4 * h;
    }
}

void unpackColourMapped(const LosslessHeader& header, const std::uint8_t* data, bool withAlpha, Bitmap& out)
{
    std::vector<std::uint32_t> palette(256, 0);
    unsigned entry = withAlpha ? 4 : 3;
    for (std::uint32_t i = 0; i < header.paletteSize; ++i) {
        const std::uint8_t* c = data + i * entry;
        palette[i] = withAlpha ? clampPremultiplied(c[3], c[0], c[1], c[2])
                               : 0xFF000000u | (std::uint32_t(c[0]) << 16) | (std::uint32_t(c[1]) << 8) | c[2];
    }
    // Indices past the palette's end stay transparent black, as in Flash.
    const std::uint8_t* indices = data + header.paletteSize * entry;
    std::size_t stride = paddedRow(header.width);
    for (std::uint32_t y = 0; y < header.height; ++y)
        for (std::uint32_t x = 0; x < header.width; ++x)
            out.pixels[std::size_t(y) * header.width + x] = palette[indices[y * stride + x]];
}

// Each 15-bit pixel is a big-endian field: one unused bit, then five bits each of red, green and blue.
void unpackRgb15(const LosslessHeader& header, const std::uint8_t* data, Bitmap& out)
{
    std::size_t stride = paddedRow(std::size_t(header.width) * 2);
    for (std::uint32_t y = 0; y < header.height; ++y) {
        const std::uint8_t* row = data + y * stride;
        for (std::uint32_t x = 0; x < header.width; ++x) {
            std::uint32_t v = (std::uint32_t(row[2 * x]) << 8) | row[2 * x + 1];
            std::uint32_t r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
            out.pixels[std::size_t(y) * header.width + x] =
                0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
        }
    }
}

void unpackRgb32(const std::uint8_t* data, bool withAlpha, Bitmap& out)
{
    for (std::uint32_t& pixel : out.pixels) {
        pixel = withAlpha ? clampPremultiplied(data[0], data[1], data[2], data[3])
                          : 0xFF000000u | (std::uint32_t(data[1]) << 16) | (std::uint32_t(data[2]) << 8) | data[3];
        data += 4;
    }
}

}  // namespace

Result<Bitmap> decodeLossless(const std::uint8_t* body, std::size_t size, bool withAlpha)
{
    ByteReader reader(body, size);
    LosslessHeader header = readHeader(reader);
    if (!header.ok)
        return Result<Bitmap>::failure("lossless bitmap header is cut short");
    bool known = header.format == ColourMapped || header.format == Rgb32 || (header.format == Rgb15 && !withAlpha);
    if (!known)
        return Result<Bitmap>::failure("lossless bitmap has unknown format " + std::to_string(header.format));
    if (!sizeAllowed(header.width, header.height))
        return Result<Bitmap>::failure("lossless bitmap size " + std::to_string(header.width) + "x" +
                                       std::to_string(header.height) + " is empty or beyond the limits");
    std::size_t need = dataSize(header, withAlpha);
    Inflated data = inflateZlib(reader.current(), reader.remaining(), need);
    if (data.bytes.size() < need)
        return Result<Bitmap>::failure(data.problem.empty() ? "lossless bitmap data ends early"
                                                            : "lossless bitmap data: " + data.problem);
    Bitmap bitmap;
    bitmap.width = header.width;
    bitmap.height = header.height;
    bitmap.pixels.resize(std::size_t(header.width) * header.height);
    if (header.format == ColourMapped)
        unpackColourMapped(header, data.bytes.data(), withAlpha, bitmap);
    else if (header.format == Rgb15)
        unpackRgb15(header, data.bytes.data(), bitmap);
    else
        unpackRgb32(data.bytes.data(), withAlpha, bitmap);
    return bitmap;
}

BitmapSize probeLossless(const std::uint8_t* body, std::size_t size)
{
    ByteReader reader(body, size);
    LosslessHeader header = readHeader(reader);
    if (!header.ok)
        return {};
    return {header.width, header.height};
}

}  // namespace swf::bitmapcodecs
