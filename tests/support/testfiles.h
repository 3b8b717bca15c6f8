// Files tests write into their temporary folders.
#pragma once

#include "support/swfwriter.h"

#include <QString>
#include <QTemporaryDir>

namespace kivamo::test {

// Writes the bytes to name inside the folder and returns the file's path.
inline QString storeFile(const QTemporaryDir& dir, const QString& name, const Bytes& bytes)
{
    QString path = dir.filePath(name);
    writeFile(path.toStdString(), bytes);
    return path;
}

}  // namespace kivamo::test
