#include "app/handoff.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace kivamo {

QString handOffFilePath(const QString& runtimeDirectory)
{
    return QDir(runtimeDirectory.trimmed()).filePath(QStringLiteral("runtime.dat"));
}

QString joinHandOffArguments(const QStringList& arguments)
{
    QString text;
    for (const QString& argument : arguments)
        text += argument + QLatin1Char(' ');
    return text;
}

QString joinCommandLine(const QStringList& arguments)
{
    QString text;
    for (const QString& argument : arguments)
        text += QLatin1Char(' ') + argument;
    return text;
}

QString absoluteHandOffText(const QString& joined, const QString& workingDirectory)
{
    const QString name = trimmed32(joined);
    if (name.isEmpty() || QDir::isAbsolutePath(name))
        return joined;
    const QFileInfo info(QDir(workingDirectory), name);
    if (!info.isFile())
        return joined;
    return info.absoluteFilePath() + QLatin1Char(' ');
}

std::optional<HandOffFile> readHandOffFile(const QString& path)
{
    const Result<QStringList> lines = readTextLines(path);
    if (!lines)
        return std::nullopt;
    HandOffFile file;
    if (!lines->isEmpty())
        file.line1 = lines->at(0);
    if (lines->size() > 1)
        file.line2 = lines->at(1);
    return file;
}

Result<void> writeHandOffOwner(const QString& path, qint64 processId)
{
    return writeTextLines(path, {QString::number(processId)});
}

Result<void> writeHandOffArguments(const QString& path, const QString& line1, const QString& joined)
{
    return writeTextLines(path, {line1, joined});
}

std::optional<qint64> parseHandOffOwner(const QString& line1)
{
    if (line1.isEmpty())
        return std::nullopt;
    for (const QChar c : line1) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = line1.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString handOffFileName(const QString& line2)
{
    return trimmed32(line2);
}

}  // namespace kivamo
