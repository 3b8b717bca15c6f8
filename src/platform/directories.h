// Where the program keeps its files: the program directory, the per-user runtime directory, the
// temporary directory, and whether a path lies on optical or read-only media.
#pragma once

#include "core/result.h"

#include <QString>

#include <functional>

namespace kivamo {

// True when the path's file system is iso9660 or udf, or is mounted read-only.
bool isOpticalOrReadOnly(const QString& path);

// The temporary-files directory with a trailing separator.
QString temporaryDirectory();

// Appends "/" unless the text already ends with a separator.
QString withTrailingSeparator(const QString& directory);

// What the program directory is chosen from; tests fill it by hand.
struct ProgramDirectoryInputs {
    QString executableDirectory;
    QString kivamoHome;     // $KIVAMO_HOME, empty when unset
    QString xdgConfigHome;  // $XDG_CONFIG_HOME, empty when unset
    QString homeDirectory;
    // Probes a folder for optical or read-only media; defaults to isOpticalOrReadOnly.
    std::function<bool(const QString&)> onOpticalOrReadOnly;
    // Probes whether the program may write a folder; defaults to a QFileInfo check.
    std::function<bool(const QString&)> isWritable;
};

// The inputs of the running process (its executable folder and environment).
ProgramDirectoryInputs currentProgramDirectoryInputs();

struct ProgramDirectory {
    QString path;              // with a trailing separator
    bool executableOnOpticalOrReadOnly = false;  // no associations are registered from such media
};

// $KIVAMO_HOME when set; otherwise the executable's folder when it is writable and not on optical or
// read-only media (a portable or build-tree copy); otherwise $XDG_CONFIG_HOME/kivamo/ (~/.config/kivamo/).
ProgramDirectory chooseProgramDirectory(const ProgramDirectoryInputs& inputs);

// Creates the folder with any missing parents; true when it exists afterwards.
bool ensureDirectory(const QString& path);

// $XDG_RUNTIME_DIR when it is set and exists, otherwise a private (0700) folder "kivamo-<uid>" under
// the temporary directory, refused when another user owns it or others may write it.
Result<QString> runtimeDirectory();
Result<QString> runtimeDirectoryFrom(const QString& xdgRuntimeDir, const QString& tempDir, uint userId);

}  // namespace kivamo
