// The snapshot image writers: BMP (24-bit), GIF with the fixed 216-colour palette, JPEG baseline at
// quality 90; files are written through a temporary file so a failed write leaves no broken image.
#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace kivamo {

enum class SnapshotFormat { Bmp, Gif, Jpeg };

// The format named by the upper-cased extension (".BMP", ".GIF", ".JPG"); nothing for any other.
std::optional<SnapshotFormat> snapshotFormatForFile(const QString& fileName);

// GIF palette level of one channel value: (v + 3) div 51, 0 to 5.
inline int gifLevel(int value) { return (value + 3) / 51; }
// Palette entry 36·r + 6·g + b of a colour, without dithering.
inline int gifPaletteIndex(int red, int green, int blue)
{
    return 36 * gifLevel(red) + 6 * gifLevel(green) + gifLevel(blue);
}

constexpr int kSnapshotJpegQuality = 90;

Result<QByteArray> encodeBmp(const QImage& picture);
Result<QByteArray> encodeGif(const QImage& picture);
Result<QByteArray> encodeJpeg(const QImage& picture, int quality = kSnapshotJpegQuality);
Result<QByteArray> encodeSnapshot(const QImage& picture, SnapshotFormat format);

// Encodes and writes the file whole; on failure the target is left as it was.
Result<void> writeSnapshotFile(const QImage& picture, SnapshotFormat format, const QString& fileName);

}  // namespace kivamo
