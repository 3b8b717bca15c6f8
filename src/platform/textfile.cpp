#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kivamo {

QString decodeGb18030(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        return QString::fromLocal8Bit(bytes);
    return decoder(bytes);
}

QByteArray encodeGb18030(const QString& text)
{
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        return text.toLocal8Bit();
    return encoder(text);
}

QStringList splitLines(const QString& text, LineRules rules)
{
    QStringView view(text);
    if (rules.ctrlZEndsFile) {
        qsizetype eof = view.indexOf(QChar(26));
        if (eof >= 0)
            view = view.left(eof);
    }
    QStringList lines;
    QString line;
    const qsizetype n = view.size();
    for (qsizetype i = 0; i < n; ++i) {
        QChar c = view[i];
        if (c == u'\n') {
            lines.append(line);
            line.clear();
        } else if (c == u'\r') {
            if (i + 1 < n && view[i + 1] == u'\n') {
                lines.append(line);
                line.clear();
                ++i;
            } else if (!rules.dropLoneCr) {
                line.append(c);
            }
        } else {
            line.append(c);
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

QString trimmed32(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

Result<QStringList> readTextLines(const QString& path, LineRules rules)
{
    QFile file(path);
    if (!file.exists())
        return makeError(ErrorKind::NotFound, QStringLiteral("Cannot open file %1").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return makeError(ErrorKind::CannotOpen, QStringLiteral("Cannot open file %1").arg(path));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return makeError(ErrorKind::ReadFailed, QStringLiteral("Stream read error"));
    return splitLines(decodeGb18030(bytes), rules);
}

Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QFileInfo existing(path);
    if (existing.exists() && !existing.isWritable())
        return makeError(ErrorKind::WriteFailed, QStringLiteral("Cannot create file %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return makeError(ErrorKind::WriteFailed, QStringLiteral("Cannot create file %1").arg(path));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return makeError(ErrorKind::WriteFailed, QStringLiteral("Unable to write to %1").arg(path));
    return {};
}

Result<void> writeTextLines(const QString& path, const QStringList& lines)
{
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return writeFileAtomically(path, encodeGb18030(text));
}

}  // namespace kivamo
