// Save snapshot (checks, messages and the status line), automatic snapshot names and the single
// snapshot command `TB_picClick`, driven through Prompts so that they run without a window.
#pragma once

#include "platform/prompts.h"

#include <QImage>
#include <QString>

#include <functional>

namespace kivamo {

// What saving a snapshot needs from the program around it; tests fill it by hand.
struct SnapshotServices {
    Prompts* prompts = nullptr;
    // The status line `LAB_hint`.
    std::function<void(const QString&)> showStatus;
    // Whether a folder lies on optical or read-only media; defaults to isOpticalOrReadOnly.
    std::function<bool(const QString&)> onOpticalMedia;
    // The mount point shown where a drive letter was named; defaults to QStorageInfo's root path.
    std::function<QString(const QString&)> mountPointOf;
};

// The directory part of a file name up to and including its last separator.
QString snapshotFolderOf(const QString& fileName);

// Writes the picture in the format of the file name's extension. The refusals come in this order:
// no movie (silent), missing folder, optical media, unknown extension (silent), failed write.
bool saveSnapshot(const SnapshotServices& services, bool movieLoaded, const QImage& picture, const QString& fileName);

// folder + movie title + the smallest n from 0 for which no such file exists + "." + image type.
QString automaticSnapshotName(const QString& folder, const QString& moviePath, const QString& imageType);

// The save dialog's filter, in the system's "description|patterns" form.
QString snapshotSaveFilter();

// What the single snapshot reads from the player when it runs.
struct SnapshotSource {
    bool controlExists = false;
    bool movieLoaded = false;
    QString moviePath;
    std::function<QImage()> capture;
};

// `TB_picClick`: captures first, then names the file automatically when [picture] custom is false and
// the folder exists, otherwise asks with the save dialog. Reads [picture] from main.ini in programDirectory.
void takeSingleSnapshot(const SnapshotServices& services, const SnapshotSource& source, const QString& programDirectory);

}  // namespace kivamo
