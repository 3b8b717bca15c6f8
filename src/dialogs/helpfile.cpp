#include "dialogs/helpfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kivamo {

namespace {

const QString kIndex = QStringLiteral("index.html");

}  // namespace

QStringList helpIndexCandidates(const QString& programDirectory, const QStringList& dataDirectories)
{
    QStringList candidates;
    if (!programDirectory.isEmpty()) {
        const QDir program(programDirectory);
        candidates.append(QDir::cleanPath(program.filePath(QStringLiteral("help/") + kIndex)));
        candidates.append(QDir::cleanPath(program.filePath(QStringLiteral("../share/kivamo/help/") + kIndex)));
    }
    for (const QString& data : dataDirectories) {
        // An empty entry would turn into a path relative to the working folder.
        if (!data.isEmpty())
            candidates.append(QDir::cleanPath(QDir(data).filePath(QStringLiteral("kivamo/help/") + kIndex)));
    }
    candidates.removeDuplicates();
    return candidates;
}

QString findHelpIndex(const QString& programDirectory, const QStringList& dataDirectories)
{
    for (const QString& candidate : helpIndexCandidates(programDirectory, dataDirectories)) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isReadable())
            return file.absoluteFilePath();
    }
    return {};
}

QString findHelpIndex(const QString& programDirectory)
{
    return findHelpIndex(programDirectory, QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation));
}

}  // namespace kivamo
