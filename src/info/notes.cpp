#include "info/notes.h"

#include "core/paths.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace kivamo {

RrightInfo readNotes(const QString& moviePath)
{
    RrightInfo notes;
    if (!isLocalPath(moviePath))
        return notes;
    const QString sidecar = sidecarPath(moviePath);
    if (!QFileInfo::exists(sidecar))
        return notes;
    Result<QStringList> lines = readTextLines(sidecar, LineRules{true, true});
    if (!lines)
        return notes;
    QString* fields[] = {&notes.author, &notes.source, &notes.type};
    for (int i = 0; i < 3 && i < lines->size(); ++i) {
        if (!lines->at(i).isEmpty())
            *fields[i] = lines->at(i);
    }
    return notes;
}

Result<void> writeNotes(const QString& moviePath, const RrightInfo& notes)
{
    if (!QFileInfo::exists(moviePath))
        return makeError(ErrorKind::NotFound, QStringLiteral("Cannot open file %1").arg(moviePath));
    return writeTextLines(sidecarPath(moviePath),
                          {notes.author, notes.source, notes.type, QStringLiteral("路径：") + moviePath});
}

}  // namespace kivamo
