// Path rules shared by every subsystem: kinds of paths, titles, extensions and sidecar files.
// Lists made on Windows keep their meaning: "X:…" is a local drive path there and here.
#pragma once

#include <QString>

namespace kivamo {

// "X:…": a path with ":" as its second character.
bool isDrivePath(const QString& path);
// A local file: an absolute path ("/…") or a drive path.
bool isLocalPath(const QString& path);
// A network share: "\\server\…" or "smb://…".
bool isNetworkPath(const QString& path);
// A web address: the first four characters are exactly "http".
bool isWebAddress(const QString& path);

// The file-name part: after the last "/", "\" or ":".
QString fileNamePart(const QString& path);

// The entry title: a web address is its own title; otherwise the file name without its last four
// characters, whatever they are (a name of four characters or fewer gives an empty title).
QString titleFromPath(const QString& path);

// The extension upper-cased: from the last "." that no separator follows; empty when there is none.
QString upperExtension(const QString& path);
// Compares the extension after upper-casing: hasExtension(p, ".SWF").
bool hasExtension(const QString& path, const QString& upperCaseExtension);

// The movie's notes file: its path without the last four characters, followed by ".fci".
QString sidecarPath(const QString& moviePath);

}  // namespace kivamo
