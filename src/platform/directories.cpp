#include "platform/directories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace kivamo {

bool isOpticalOrReadOnly(const QString& path)
{
    QStorageInfo storage(path);
    if (!storage.isValid())
        return false;
    QByteArray type = storage.fileSystemType().toLower();
    return storage.isReadOnly() || type == "iso9660" || type == "udf";
}

QString withTrailingSeparator(const QString& directory)
{
    if (directory.endsWith(u'/') || directory.endsWith(u'\\'))
        return directory;
    return directory + u'/';
}

QString temporaryDirectory()
{
    return withTrailingSeparator(QDir::tempPath().trimmed());
}

ProgramDirectoryInputs currentProgramDirectoryInputs()
{
    ProgramDirectoryInputs inputs;
    inputs.executableDirectory = QCoreApplication::applicationDirPath();
    inputs.kivamoHome = qEnvironmentVariable("KIVAMO_HOME");
    inputs.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    inputs.homeDirectory = QDir::homePath();
    return inputs;
}

ProgramDirectory chooseProgramDirectory(const ProgramDirectoryInputs& inputs)
{
    auto optical = inputs.onOpticalOrReadOnly ? inputs.onOpticalOrReadOnly : isOpticalOrReadOnly;
    auto writable = inputs.isWritable ? inputs.isWritable
                                      : [](const QString& dir) { return QFileInfo(dir).isWritable(); };
    ProgramDirectory result;
    result.executableOnOpticalOrReadOnly = !inputs.executableDirectory.isEmpty() && optical(inputs.executableDirectory);
    if (!inputs.kivamoHome.isEmpty()) {
        result.path = withTrailingSeparator(inputs.kivamoHome);
        return result;
    }
    if (!inputs.executableDirectory.isEmpty() && !result.executableOnOpticalOrReadOnly
        && writable(inputs.executableDirectory)) {
        result.path = withTrailingSeparator(inputs.executableDirectory);
        return result;
    }
    QString config = inputs.xdgConfigHome;
    // The XDG rules ignore a relative $XDG_CONFIG_HOME.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = withTrailingSeparator(inputs.homeDirectory) + QStringLiteral(".config");
    result.path = withTrailingSeparator(config) + QStringLiteral("kivamo/");
    return result;
}

bool ensureDirectory(const QString& path)
{
    return QDir().mkpath(path) && QFileInfo(path).isDir();
}

Result<QString> runtimeDirectoryFrom(const QString& xdgRuntimeDir, const QString& tempDir, uint userId)
{
    if (!xdgRuntimeDir.isEmpty() && QFileInfo(xdgRuntimeDir).isDir())
        return withTrailingSeparator(xdgRuntimeDir);
    QString dir = withTrailingSeparator(tempDir) + QStringLiteral("kivamo-%1").arg(userId);
    QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return makeError(ErrorKind::CannotOpen, QStringLiteral("Cannot create file %1").arg(dir));
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != userId
        || (info.st_mode & (S_IWGRP | S_IWOTH)))
        return makeError(ErrorKind::CannotOpen, QStringLiteral("Cannot open file %1").arg(dir));
    return withTrailingSeparator(dir);
}

Result<QString> runtimeDirectory()
{
    return runtimeDirectoryFrom(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), ::getuid());
}

}  // namespace kivamo
