// Small readers and writers for the freedesktop.org files associations live in: desktop entries
// (Exec quoting) and mimeapps.list (key files edited in place, other lines kept).
#pragma once

#include "core/result.h"

#include <QString>
#include <QStringList>

namespace kivamo {

// The Exec value that runs the program with one file: the path in double quotes (with ", `, $ and
// \ escaped as the desktop-entry rules ask) followed by %f.
QString desktopExecLine(const QString& programPath);
// The arguments of an Exec value with quoting and escapes undone; empty when malformed.
QStringList splitDesktopExec(const QString& exec);

// One value of a key file ("[section]" then "key=value"); empty when absent.
QString readKeyFileValue(const QString& text, const QString& section, const QString& key);
// Sets one value, keeping every other line and the order; adds the section or key when missing.
QString setKeyFileValue(const QString& text, const QString& section, const QString& key, const QString& value);

// Reads a UTF-8 text file; empty when it does not exist or cannot be read.
QString readUtf8File(const QString& path);
// Writes a UTF-8 text file whole, creating its folder; a failed write leaves the old file.
Result<void> writeUtf8File(const QString& path, const QString& text);

}  // namespace kivamo
