#include "dialogs/snapshotencoders.h"

#include "core/paths.h"

#include <QBuffer>
#include <QSaveFile>

#include <gif_lib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <jpeglib.h>

namespace kivamo {

namespace {

Error encodeError(const QString& what)
{
    return makeError(ErrorKind::WriteFailed, what);
}

int appendGifBytes(GifFileType* gif, const GifByteType* bytes, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

ColorMapObject* makeSnapshotPalette()
{
    // A GIF colour table holds a power of two entries; the 40 beyond the 216 stay black and unused.
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    if (!map)
        return nullptr;
    for (int i = 0; i < 256; ++i)
        map->Colors[i] = GifColorType{0, 0, 0};
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                map->Colors[36 * r + 6 * g + b] =
                    GifColorType{GifByteType(51 * r), GifByteType(51 * g), GifByteType(51 * b)};
    return map;
}

bool putGifImage(GifFileType* gif, const QImage& rgb)
{
    ColorMapObject* palette = makeSnapshotPalette();
    if (!palette)
        return false;
    bool ok = EGifPutScreenDesc(gif, rgb.width(), rgb.height(), 8, 0, palette) == GIF_OK
              && EGifPutImageDesc(gif, 0, 0, rgb.width(), rgb.height(), false, nullptr) == GIF_OK;
    GifFreeMapObject(palette);
    std::vector<GifPixelType> line(size_t(rgb.width()));
    for (int y = 0; ok && y < rgb.height(); ++y) {
        const uchar* source = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x, source += 3)
            line[size_t(x)] = GifPixelType(gifPaletteIndex(source[0], source[1], source[2]));
        ok = EGifPutLine(gif, line.data(), rgb.width()) == GIF_OK;
    }
    return ok;
}

// libjpeg reports fatal errors through error_exit; jumping back keeps them inside this file.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

bool compressJpeg(const QImage& rgb, int quality, unsigned char** buffer, unsigned long* size)
{
    jpeg_compress_struct info;
    JpegErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jpegErrorExit;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);  // baseline tables: every entry fits in 8 bits
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::optional<SnapshotFormat> snapshotFormatForFile(const QString& fileName)
{
    const QString extension = upperExtension(fileName);
    if (extension == QLatin1String(".BMP"))
        return SnapshotFormat::Bmp;
    if (extension == QLatin1String(".GIF"))
        return SnapshotFormat::Gif;
    if (extension == QLatin1String(".JPG"))
        return SnapshotFormat::Jpeg;
    return std::nullopt;
}

Result<QByteArray> encodeBmp(const QImage& picture)
{
    if (picture.isNull())
        return encodeError(QStringLiteral("empty picture"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt writes true-colour images as 24 bits per pixel, uncompressed.
    if (!picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP"))
        return encodeError(QStringLiteral("BMP encoding failed"));
    return bytes;
}

Result<QByteArray> encodeGif(const QImage& picture)
{
    if (picture.isNull())
        return encodeError(QStringLiteral("empty picture"));
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, appendGifBytes, &error);
    if (!gif)
        return encodeError(QStringLiteral("GIF encoding failed"));
    EGifSetGifVersion(gif, true);
    bool ok = putGifImage(gif, rgb);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    if (!ok)
        return encodeError(QStringLiteral("GIF encoding failed"));
    return bytes;
}

Result<QByteArray> encodeJpeg(const QImage& picture, int quality)
{
    if (picture.isNull())
        return encodeError(QStringLiteral("empty picture"));
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = compressJpeg(rgb, quality, &buffer, &size);
    QByteArray bytes = ok ? QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size)) : QByteArray();
    std::free(buffer);
    if (!ok)
        return encodeError(QStringLiteral("JPEG encoding failed"));
    return bytes;
}

Result<QByteArray> encodeSnapshot(const QImage& picture, SnapshotFormat format)
{
    switch (format) {
    case SnapshotFormat::Bmp:
        return encodeBmp(picture);
    case SnapshotFormat::Gif:
        return encodeGif(picture);
    case SnapshotFormat::Jpeg:
        return encodeJpeg(picture);
    }
    return encodeError(QStringLiteral("unknown format"));
}

Result<void> writeSnapshotFile(const QImage& picture, SnapshotFormat format, const QString& fileName)
{
    Result<QByteArray> bytes = encodeSnapshot(picture, format);
    if (!bytes)
        return bytes.error();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.value()) != bytes->size() || !file.commit())
        return makeError(ErrorKind::WriteFailed, file.errorString());
    return {};
}

}  // namespace kivamo
