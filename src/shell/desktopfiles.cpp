#include "shell/desktopfiles.h"

#include <QSaveFile>

namespace kivamo {

namespace {

bool isSectionLine(const QString& line)
{
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(u'[') && trimmed.endsWith(u']');
}

QString sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    return trimmed.mid(1, trimmed.size() - 2);
}

// The key of a "key=value" line, or empty for comments and other lines.
QString keyOf(const QString& line)
{
    if (line.trimmed().startsWith(u'#'))
        return {};
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? QString() : line.left(equals).trimmed();
}

}  // namespace

QString desktopExecLine(const QString& programPath)
{
    QString quoted;
    for (QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // The key file's own string escapes come on top: every backslash is written twice.
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    return u'"' + quoted + QStringLiteral("\" %f");
}

QStringList splitDesktopExec(const QString& exec)
{
    // First undo the key file's string escape, then the Exec quoting.
    QString value;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] == u'\\' && i + 1 < exec.size() && exec[i + 1] == u'\\')
            ++i;
        value += exec[i];
    }
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool hasArgument = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (inQuotes && c == u'\\' && i + 1 < value.size()) {
            current += value[++i];
        } else if (c == u'"') {
            inQuotes = !inQuotes;
            hasArgument = true;
        } else if (!inQuotes && c == u' ') {
            if (hasArgument)
                arguments.append(current);
            current.clear();
            hasArgument = false;
        } else {
            current += c;
            hasArgument = true;
        }
    }
    if (inQuotes)
        return {};
    if (hasArgument)
        arguments.append(current);
    return arguments;
}

QString readKeyFileValue(const QString& text, const QString& section, const QString& key)
{
    QString current;
    for (const QString& line : text.split(u'\n')) {
        if (isSectionLine(line))
            current = sectionName(line);
        else if (current == section && keyOf(line) == key)
            return line.mid(line.indexOf(u'=') + 1).trimmed();
    }
    return {};
}

QString setKeyFileValue(const QString& text, const QString& section, const QString& key, const QString& value)
{
    QStringList lines = text.isEmpty() ? QStringList() : text.split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    const QString entry = key + u'=' + value;
    QString current;
    qsizetype sectionEnd = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isSectionLine(lines[i])) {
            current = sectionName(lines[i]);
            continue;
        }
        if (current != section)
            continue;
        if (keyOf(lines[i]) == key) {
            lines[i] = entry;
            return lines.join(u'\n') + u'\n';
        }
        if (!lines[i].trimmed().isEmpty())
            sectionEnd = i + 1;
    }
    if (sectionEnd < 0) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (isSectionLine(lines[i]) && sectionName(lines[i]) == section)
                sectionEnd = i + 1;
    }
    if (sectionEnd >= 0) {
        lines.insert(sectionEnd, entry);
    } else {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QString());
        lines.append(u'[' + section + u']');
        lines.append(entry);
    }
    return lines.join(u'\n') + u'\n';
}

QString readUtf8File(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

Result<void> writeUtf8File(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return makeError(ErrorKind::WriteFailed, QStringLiteral("Unable to write to %1").arg(path));
    return {};
}

}  // namespace kivamo
