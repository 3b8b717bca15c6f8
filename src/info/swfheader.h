// The header reader of the details window: a movie's signature, version, frame size, rate and count
// read straight from the file's first bytes (nothing is decompressed), and the file's size and times.
#pragma once

#include "core/result.h"

#include <QDateTime>
#include <QString>

namespace kivamo {

// The header record; its initial values are what a missing file or a file that is no movie gives.
struct flashinfos {
    QString signature;  // the first three bytes, as characters
    bool isFlash = false;  // "FWS" or "CWS"
    quint8 version = 0;
    struct {
        qint32 left = -1;    // Xmin in whole pixels
        qint32 top = -1;     // Ymin
        qint32 right = -1;   // Xmax
        qint32 bottom = -1;  // Ymax
    } frameRect;
    qint32 frameCount = 0;  // an unsigned 16-bit value
    quint8 frameRate = 0;   // integer part of the frames per second

    qint32 width() const { return frameRect.right - frameRect.left; }
    qint32 height() const { return frameRect.bottom - frameRect.top; }
};

// File times are 100 ns ticks since 1601-01-01 UTC, as the details window's format has them.
struct FileFacts {
    qint32 size = 0;  // the low 32 bits of the size
    qint64 created = 0;
    qint64 modified = 0;
    qint64 accessed = 0;
    bool found = false;
};

// Reads the header. A missing file or one that is no movie gives the initial record (with the
// signature bytes read). Errors: "Cannot open file %s" when it cannot be opened, "Stream read error"
// when a movie's header ends before the bytes the reader needs.
Result<flashinfos> readHeader(const QString& path);

// Fills the record from the file system; leaves it untouched when the file does not exist.
void readFileFacts(const QString& path, FileFacts& facts);

// 100 ns ticks since 1601 UTC to and from date-times; toLocalDateTime gives the local time.
QDateTime fileTimeToLocalDateTime(qint64 fileTime);
qint64 fileTimeFromDateTime(const QDateTime& time);

}  // namespace kivamo
