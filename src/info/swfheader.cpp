#include "info/swfheader.h"

#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

namespace kivamo {

namespace {

// Ticks from 1601-01-01 to 1970-01-01.
constexpr qint64 kUnixEpochTicks = 116444736000000000LL;

// Reads exactly count bytes at offset; false when the file ends first.
bool readAt(QFile& file, qint64 offset, char* out, qint64 count)
{
    return file.seek(offset) && file.read(out, count) == count;
}

// The four Nbits-wide signed fields after the 5-bit size, most significant bit first.
void decodeRect(const unsigned char* buffer, unsigned nbits, qint32 fields[4])
{
    unsigned bit = 5;
    for (int f = 0; f < 4; ++f) {
        quint32 value = 0;
        for (unsigned i = 0; i < nbits; ++i, ++bit)
            value = (value << 1) | ((buffer[bit / 8] >> (7 - bit % 8)) & 1u);
        if (nbits > 0 && (value & (1u << (nbits - 1))))
            value |= ~0u << nbits;
        fields[f] = nbits == 0 ? 0 : static_cast<qint32>(value);
    }
}

}  // namespace

Result<flashinfos> readHeader(const QString& path)
{
    flashinfos info;
    if (!QFileInfo::exists(path))
        return info;
    const QString openPath = trimmed32(path);
    QFile file(openPath);
    if (!file.open(QIODevice::ReadOnly))
        return makeError(ErrorKind::CannotOpen, QStringLiteral("Cannot open file %1").arg(openPath));
    const Error readError = makeError(ErrorKind::ReadFailed, QStringLiteral("Stream read error"));

    QByteArray signature = file.read(3);
    info.signature = QString::fromLatin1(signature);
    if (signature != "FWS" && signature != "CWS")
        return info;
    info.isFlash = true;

    char byte = 0;
    if (!readAt(file, 3, &byte, 1))
        return readError;
    info.version = static_cast<quint8>(byte);
    if (!readAt(file, 8, &byte, 1))
        return readError;
    const unsigned nbits = static_cast<unsigned char>(byte) >> 3;
    const unsigned r = (nbits * 4 + 5) / 8 + 2;

    unsigned char buffer[20] = {};
    if (!readAt(file, 8, reinterpret_cast<char*>(buffer), r + 1))
        return readError;
    qint32 twips[4];  // Xmin, Xmax, Ymin, Ymax
    decodeRect(buffer, nbits, twips);
    info.frameRect.left = twips[0] / 20;
    info.frameRect.right = twips[1] / 20;
    info.frameRect.top = twips[2] / 20;
    info.frameRect.bottom = twips[3] / 20;
    info.frameRate = buffer[r];

    unsigned char count[2];
    if (!readAt(file, 9 + r, reinterpret_cast<char*>(count), 2))
        return readError;
    info.frameCount = count[0] | (count[1] << 8);
    return info;
}

void readFileFacts(const QString& path, FileFacts& facts)
{
    QFileInfo file(path);
    if (!file.exists())
        return;
    facts.size = static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(file.size()) & 0xFFFFFFFFu));
    // Not every Linux file system records a birth time; the status-change time stands in for it.
    QDateTime created = file.birthTime();
    if (!created.isValid())
        created = file.metadataChangeTime();
    facts.created = fileTimeFromDateTime(created);
    facts.modified = fileTimeFromDateTime(file.lastModified());
    facts.accessed = fileTimeFromDateTime(file.lastRead());
    facts.found = true;
}

QDateTime fileTimeToLocalDateTime(qint64 fileTime)
{
    qint64 msecs = (fileTime - kUnixEpochTicks) / 10000;
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).toLocalTime();
}

qint64 fileTimeFromDateTime(const QDateTime& time)
{
    if (!time.isValid())
        return 0;
    return time.toMSecsSinceEpoch() * 10000 + kUnixEpochTicks;
}

}  // namespace kivamo
