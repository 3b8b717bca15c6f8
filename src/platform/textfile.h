// Text files as the system keeps them: GB18030 (a superset of code page 936), CR LF on writing,
// and one line reader that applies each format's reading rules.
#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kivamo {

QString decodeGb18030(const QByteArray& bytes);
QByteArray encodeGb18030(const QString& text);

// How a format's reader treats line ends. LF and CR LF always end a line.
struct LineRules {
    bool dropLoneCr = false;     // a CR not followed by LF is removed from the text
    bool ctrlZEndsFile = false;  // the first Ctrl+Z (26) ends the file
};

// Splits decoded text into lines; a final line without a line end still counts.
QStringList splitLines(const QString& text, LineRules rules = {});

// Removes characters with code 32 or less at both ends (the trimming every format uses).
QString trimmed32(const QString& text);

// Reads a whole text file into lines. Errors: "Cannot open file %s" when it exists but cannot be
// opened (NotFound when it does not exist), "Stream read error" when reading fails.
Result<QStringList> readTextLines(const QString& path, LineRules rules = {});

// Rewrites a text file whole: each line followed by CR LF, GB18030, through a temporary file that
// replaces the old one only when everything was written. Errors: "Cannot create file %s" when the
// file cannot be created or is not writable, "Unable to write to %s" when writing fails.
Result<void> writeTextLines(const QString& path, const QStringList& lines);

// The same for bytes already encoded.
Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace kivamo
