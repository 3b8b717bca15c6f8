#include "app/startup.h"

#include "app/handoff.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/startupoperations.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace kivamo {

namespace {

void playFirstEntry(StartupOperations& operations)
{
    if (operations.entryCount() > 0) {
        operations.setCurrentIndex(0);
        operations.playCurrentEntry();
    }
}

// The long form of a local path: absolute, with "." and ".." resolved; network paths stay.
QString longForm(const QString& path)
{
    if (path.startsWith(QLatin1String("\\\\")))
        return path;
    return QFileInfo(path).absoluteFilePath();
}

void openNamedFile(const QString& name, StartupOperations& operations)
{
    operations.newList();
    const QString path = longForm(name);
    if (hasExtension(path, QStringLiteral(".SWF"))) {
        operations.addFileFromOutside(path, true);
    } else {
        operations.clearListModified();
        operations.openListFile(path);
    }
    playFirstEntry(operations);
}

void reopenLastList(const Settings& settings, StartupOperations& operations, const FileExists& exists)
{
    if (!settings.lastlist.isEmpty() && exists(settings.lastlist))
        operations.openListFile(settings.lastlist);
    else
        operations.newList();
    if (!settings.autoplay)
        return;
    const int index = settings.latest ? settings.lastindex : 0;
    if (index >= 0 && index < operations.entryCount()) {
        operations.setCurrentIndex(index);
        operations.playCurrentEntry();
    }
}

}  // namespace

bool fileExistsOnDisk(const QString& path)
{
    return QFileInfo(path).isFile();
}

void runCommandLine(const QString& joined, const Settings& settings, StartupOperations& operations,
                    const FileExists& exists)
{
    if (joined.isEmpty()) {
        reopenLastList(settings, operations, exists);
        return;
    }
    const QString name = trimmed32(joined);
    if (!name.isEmpty() && exists(name))
        openNamedFile(name, operations);
}

void runHandOff(const QString& line2, const Settings& settings, StartupOperations& operations,
                const FileExists& exists)
{
    const QString name = handOffFileName(line2);
    if (!name.isEmpty() && exists(name)) {
        if (settings.newlist)
            operations.newList();
        operations.addFileFromOutside(name, true);
        playFirstEntry(operations);
    }
    operations.refreshListTitle();
}

}  // namespace kivamo
