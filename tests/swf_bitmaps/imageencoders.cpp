#include "imageencoders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace kivamo::test {

Picture gradientPicture(std::uint32_t width, std::uint32_t height, bool withAlpha)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.resize(std::size_t(width) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            Rgba& c = p.pixels[std::size_t(y) * width + x];
            c.r = std::uint8_t(x * 255 / std::max<std::uint32_t>(1, width - 1));
            c.g = std::uint8_t(y * 255 / std::max<std::uint32_t>(1, height - 1));
            c.b = std::uint8_t(255 - (x + y) * 127 / std::max<std::uint32_t>(1, width + height - 2));
            c.a = withAlpha ? std::uint8_t(y * 255 / std::max<std::uint32_t>(1, height - 1)) : 255;
        }
    return p;
}

Bytes encodeJpeg(const Picture& picture, int quality, bool progressive, bool grey)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = picture.width;
    info.image_height = picture.height;
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution chroma keeps the encoder's own error small, so the comparisons stay tight.
    info.comp_info[0].h_samp_factor = 1;
    info.comp_info[0].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(std::size_t(picture.width) * 3);
    while (info.next_scanline < info.image_height) {
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            Rgba c = picture.at(x, info.next_scanline);
            if (grey) {
                row[x] = c.r;
            } else {
                row[3 * x] = c.r;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.b;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

void splitJpegTables(const Bytes& jpeg, Bytes& tables, Bytes& image)
{
    tables = {0xFF, 0xD8};
    image = {0xFF, 0xD8};
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size()) {
        std::uint8_t marker = jpeg[pos + 1];
        if (marker == 0xDA) {
            image.insert(image.end(), jpeg.begin() + pos, jpeg.end());
            break;
        }
        std::size_t length = (std::size_t(jpeg[pos + 2]) << 8) | jpeg[pos + 3];
        Bytes& target = (marker == 0xDB || marker == 0xC4) ? tables : image;
        target.insert(target.end(), jpeg.begin() + pos, jpeg.begin() + pos + 2 + length);
        pos += 2 + length;
    }
    tables.push_back(0xFF);
    tables.push_back(0xD9);
}

namespace {

void pngWrite(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void pngFlush(png_structp) {}

// Palette and index rows of a picture with few colours.
void paletteOf(const Picture& picture, std::vector<png_color>& colours, std::vector<png_byte>& alphas,
               std::vector<std::uint8_t>& indices)
{
    std::map<std::uint32_t, std::uint8_t> seen;
    for (const Rgba& c : picture.pixels) {
        std::uint32_t key = (std::uint32_t(c.a) << 24) | (c.r << 16) | (c.g << 8) | c.b;
        auto found = seen.find(key);
        if (found == seen.end()) {
            found = seen.emplace(key, std::uint8_t(colours.size())).first;
            colours.push_back({c.r, c.g, c.b});
            alphas.push_back(c.a);
        }
        indices.push_back(found->second);
    }
}

}  // namespace

Bytes encodePng(const Picture& picture, PngKind kind, bool interlaced)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    int type = kind == PngKind::Rgba ? PNG_COLOR_TYPE_RGBA
                                     : (kind == PngKind::Rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE);
    png_set_IHDR(png, info, picture.width, picture.height, 8, type,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    std::vector<std::uint8_t> indices;
    if (kind == PngKind::Palette) {
        paletteOf(picture, colours, alphas, indices);
        png_set_PLTE(png, info, colours.data(), int(colours.size()));
        png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
    }
    unsigned channels = kind == PngKind::Rgba ? 4 : (kind == PngKind::Rgb ? 3 : 1);
    std::vector<std::uint8_t> data(std::size_t(picture.width) * picture.height * channels);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const Rgba& c = picture.pixels[i];
        std::uint8_t* p = data.data() + i * channels;
        if (kind == PngKind::Palette) {
            p[0] = indices[i];
            continue;
        }
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        if (channels == 4)
            p[3] = c.a;
    }
    std::vector<png_bytep> rows(picture.height);
    for (std::uint32_t y = 0; y < picture.height; ++y)
        rows[y] = data.data() + std::size_t(y) * picture.width * channels;
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

namespace {

int gifWrite(GifFileType* gif, const GifByteType* data, int size)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

// Rows in the order an interlaced GIF stores them.
std::vector<std::uint32_t> gifRowOrder(std::uint32_t height, bool interlaced)
{
    std::vector<std::uint32_t> order;
    static const std::uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass)
        for (std::uint32_t y = interlaced ? start[pass] : 0; y < height; y += interlaced ? step[pass] : 1)
            order.push_back(y);
    return order;
}

}  // namespace

Bytes encodeGif(const GifImage& image)
{
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, gifWrite, &error);
    int mapSize = 2;
    while (mapSize < int(image.palette.size()))
        mapSize *= 2;
    std::vector<GifColorType> colours(mapSize);
    for (std::size_t i = 0; i < image.palette.size(); ++i)
        colours[i] = {image.palette[i].r, image.palette[i].g, image.palette[i].b};
    ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
    EGifSetGifVersion(gif, true);
    int screenWidth = image.screenWidth ? image.screenWidth : int(image.width);
    int screenHeight = image.screenHeight ? image.screenHeight : int(image.height);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, map);
    if (image.transparentIndex >= 0) {
        GifByteType control[4] = {0x01, 0, 0, GifByteType(image.transparentIndex)};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, image.left, image.top, int(image.width), int(image.height), image.interlaced, nullptr);
    std::vector<GifPixelType> line(image.width);
    for (std::uint32_t y : gifRowOrder(image.height, image.interlaced)) {
        std::copy_n(image.indices.begin() + std::size_t(y) * image.width, image.width, line.begin());
        EGifPutLine(gif, line.data(), int(image.width));
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

std::uint32_t premultiplied(Rgba c)
{
    auto pm = [&](std::uint32_t v) { return (v * c.a + 127) / 255; };
    return (std::uint32_t(c.a) << 24) | (pm(c.r) << 16) | (pm(c.g) << 8) | pm(c.b);
}

std::string comparePixels(const swf::Bitmap& bitmap, const Picture& expected, int tolerance,
                          std::size_t maxOutliers)
{
    if (bitmap.width != expected.width || bitmap.height != expected.height ||
        bitmap.pixels.size() != expected.pixels.size())
        return "size " + std::to_string(bitmap.width) + "x" + std::to_string(bitmap.height) + " (" +
               std::to_string(bitmap.pixels.size()) + " pixels), expected " + std::to_string(expected.width) +
               "x" + std::to_string(expected.height);
    std::size_t outliers = 0;
    std::string first;
    for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
        std::uint32_t got = bitmap.pixels[i], want = premultiplied(expected.pixels[i]);
        for (int shift = 0; shift < 32; shift += 8) {
            int d = int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF);
            if (std::abs(d) > tolerance) {
                if (outliers++ == 0) {
                    char text[96];
                    std::snprintf(text, sizeof text, "first at pixel %zu: %08X, expected %08X", i, got, want);
                    first = text;
                }
                break;
            }
        }
    }
    if (outliers <= maxOutliers)
        return "";
    return std::to_string(outliers) + " outliers; " + first;
}

}  // namespace kivamo::test
