#include "app/demolist.h"

#include "core/movieentry.h"
#include "core/paths.h"
#include "playlist/listfile.h"

#include <QDir>
#include <QSaveFile>

namespace kivamo {

Result<QString> writeDemoList(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return Error{ErrorKind::NotFound, QStringLiteral("目录不存在：") + folder};
    std::vector<MovieEntry> entries;
    const QStringList names = dir.entryList({QStringLiteral("*.swf")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        MovieEntry entry;
        entry.path = QDir::toNativeSeparators(dir.absoluteFilePath(name));
        entry.title = titleFromPath(entry.path);
        entries.push_back(entry);
    }
    const QString path = dir.absoluteFilePath(kDemoListName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(listFileBytes(entries)) < 0 || !file.commit())
        return Error{ErrorKind::WriteFailed, QStringLiteral("无法写入文件：") + path};
    return path;
}

}  // namespace kivamo
