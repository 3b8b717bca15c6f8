// The hand-off file "runtime.dat": line 1 names the running instance, line 2 carries a later start's
// joined arguments; and how both kinds of start join their arguments.
#pragma once

#include "core/result.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kivamo {

QString handOffFilePath(const QString& runtimeDirectory);

// A later start's arguments, each followed by one blank ("My", "Movie.swf" give "My Movie.swf ").
QString joinHandOffArguments(const QStringList& arguments);
// The first start's arguments, each preceded by one blank.
QString joinCommandLine(const QStringList& arguments);

// A joined text naming an existing file relative to the working folder becomes absolute, so the
// running instance, whose working folder may differ, still finds it. Other texts stay as they are.
QString absoluteHandOffText(const QString& joined, const QString& workingDirectory);

struct HandOffFile {
    QString line1;
    QString line2;
};

// Nothing when the file is missing or unreadable.
std::optional<HandOffFile> readHandOffFile(const QString& path);
// The first start's line: the process id in decimal.
Result<void> writeHandOffOwner(const QString& path, qint64 processId);
Result<void> writeHandOffArguments(const QString& path, const QString& line1, const QString& joined);

// Line 1 as a non-negative decimal integer; nothing when it is not one.
std::optional<qint64> parseHandOffOwner(const QString& line1);

// The file named by line 2: the blanks the sender appends are not part of the name.
QString handOffFileName(const QString& line2);

}  // namespace kivamo
