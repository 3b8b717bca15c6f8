// GIF images inside DefineBitsJPEG2/3 through giflib: the first image only, read record by record so
// that no size field is trusted before it has been checked against the bitmap limits.
#include "swf/format/bitmapcodecs.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <gif_lib.h>

namespace swf::bitmapcodecs {

namespace {

struct Source {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};

int onRead(GifFileType* gif, GifByteType* out, int count)
{
    auto* source = static_cast<Source*>(gif->UserData);
    std::size_t take = std::min<std::size_t>(count < 0 ? 0 : std::size_t(count), source->size - source->pos);
    std::memcpy(out, source->data + source->pos, take);
    source->pos += take;
    return static_cast<int>(take);
}

// Closes the decoder when the decode returns, whichever way.
struct GifCloser {
    GifFileType* gif = nullptr;
    ~GifCloser()
    {
        if (gif != nullptr)
            DGifCloseFile(gif, nullptr);
    }
};

// The transparent colour index from a Graphics Control Extension, or -1.
int transparentIndex(GifFileType* gif, int current)
{
    GifByteType* extension = nullptr;
    int code = 0;
    if (DGifGetExtension(gif, &code, &extension) == GIF_ERROR)
        return -2;
    int transparent = current;
    if (code == GRAPHICS_EXT_FUNC_CODE && extension != nullptr && extension[0] >= 4)
        transparent = (extension[1] & 0x01) ? extension[4] : -1;
    while (extension != nullptr) {
        if (DGifGetExtensionNext(gif, &extension) == GIF_ERROR)
            return -2;
    }
    return transparent;
}

std::string problemOf(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "damaged GIF";
}

// Reads the rows of the current image into the canvas; interlaced images come in four passes.
bool readImage(GifFileType* gif, Bitmap& canvas, int transparent, std::vector<GifPixelType>& line)
{
    const GifImageDesc& desc = gif->Image;
    ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    std::uint32_t width = std::uint32_t(desc.Width), height = std::uint32_t(desc.Height);
    line.resize(width);
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        for (std::uint32_t y = desc.Interlace ? start[pass] : 0; y < height; y += desc.Interlace ? step[pass] : 1) {
            if (DGifGetLine(gif, line.data(), int(width)) == GIF_ERROR)
                return false;
            std::uint32_t row = std::uint32_t(desc.Top) + y;
            for (std::uint32_t x = 0; x < width && row < canvas.height; ++x) {
                std::uint32_t column = std::uint32_t(desc.Left) + x;
                int index = line[x];
                if (column >= canvas.width || index == transparent || map == nullptr || index >= map->ColorCount)
                    continue;
                const GifColorType& c = map->Colors[index];
                canvas.pixels[std::size_t(row) * canvas.width + column] =
                    0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
            }
        }
    }
    return true;
}

// Walks the records up to the first image and draws it.
Result<Bitmap> readFirstImage(GifFileType* gif)
{
    Bitmap canvas;
    canvas.width = std::uint32_t(std::max(0, gif->SWidth));
    canvas.height = std::uint32_t(std::max(0, gif->SHeight));
    int transparent = -1;
    std::vector<GifPixelType> line;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            return Result<Bitmap>::failure("GIF: " + problemOf(gif->Error));
        if (record == TERMINATE_RECORD_TYPE)
            return Result<Bitmap>::failure("GIF holds no image");
        if (record == EXTENSION_RECORD_TYPE) {
            transparent = transparentIndex(gif, transparent);
            if (transparent == -2)
                return Result<Bitmap>::failure("GIF: " + problemOf(gif->Error));
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            return Result<Bitmap>::failure("GIF has an unknown record");
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            return Result<Bitmap>::failure("GIF: " + problemOf(gif->Error));
        // A logical screen of zero size takes the image's extent.
        if (canvas.width == 0 || canvas.height == 0) {
            canvas.width = std::uint32_t(gif->Image.Left + gif->Image.Width);
            canvas.height = std::uint32_t(gif->Image.Top + gif->Image.Height);
        }
        if (!sizeAllowed(canvas.width, canvas.height) || !sizeAllowed(gif->Image.Width, gif->Image.Height))
            return Result<Bitmap>::failure("GIF is larger than the bitmap limits allow");
        canvas.pixels.assign(std::size_t(canvas.width) * canvas.height, 0);
        if (!readImage(gif, canvas, transparent, line))
            return Result<Bitmap>::failure("GIF: " + problemOf(gif->Error));
        return canvas;
    }
}

}  // namespace

Result<Bitmap> decodeGif(const std::uint8_t* data, std::size_t size)
{
    Source source{data, size, 0};
    int error = 0;
    GifCloser closer{DGifOpen(&source, onRead, &error)};
    if (closer.gif == nullptr)
        return Result<Bitmap>::failure("GIF: " + problemOf(error));
    return readFirstImage(closer.gif);
}

BitmapSize probeGif(const std::uint8_t* data, std::size_t size)
{
    if (size < 10)
        return {};
    return {std::uint32_t(data[6] | (data[7] << 8)), std::uint32_t(data[8] | (data[9] << 8))};
}

}  // namespace swf::bitmapcodecs
