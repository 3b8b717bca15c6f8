#include "info/notes.h"

#include "core/paths.h"
#include "platform/textfile.h"

#include <QDirIterator>
#include <QFileInfo>

namespace kivamo {

namespace {

RrightInfo readSidecar(const QString& sidecar)
{
    RrightInfo notes;
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

}  // namespace

RrightInfo readNotes(const QString& moviePath)
{
    if (!isLocalPath(moviePath))
        return {};
    const QString sidecar = sidecarPath(moviePath);
    return QFileInfo::exists(sidecar) ? readSidecar(sidecar) : RrightInfo{};
}

RrightInfo NotesReader::read(const QString& moviePath)
{
    if (!moviePath.startsWith(u'/'))
        return readNotes(moviePath);
    const QString sidecar = sidecarPath(moviePath);
    return sidecarExists(sidecar) ? readSidecar(sidecar) : RrightInfo{};
}

bool NotesReader::sidecarExists(const QString& sidecar)
{
    const qsizetype slash = sidecar.lastIndexOf(u'/');
    const QString folder = sidecar.left(slash + 1);
    auto it = m_folders.find(folder);
    if (it == m_folders.end()) {
        QSet<QString> names;
        QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
        while (entries.hasNext()) {
            entries.next();
            names.insert(entries.fileName());
        }
        it = m_folders.insert(folder, names);
    }
    return it->contains(sidecar.mid(slash + 1));
}

Result<void> writeNotes(const QString& moviePath, const RrightInfo& notes)
{
    if (!QFileInfo::exists(moviePath))
        return makeError(ErrorKind::NotFound, QStringLiteral("Cannot open file %1").arg(moviePath));
    return writeTextLines(sidecarPath(moviePath),
                          {notes.author, notes.source, notes.type, QStringLiteral("路径：") + moviePath});
}

}  // namespace kivamo
