// What a movie's scripts may reach on this machine: the folder that keeps its SharedObject data, the
// local text files LoadVars and XML read, and the language it is told.
#pragma once

#include <QLocale>
#include <QString>
#include <QUrl>

#include <string>

namespace kivamo {

// The folder under root for the SharedObject data of the movie at source (a local path or a web
// address): root/localhost/<the movie's absolute path> or root/<host>/<the address's path>, with
// ".." and empty segments removed so that a movie never reaches outside root. Empty when root or
// source is empty.
QString sharedObjectFolderFor(const QString& root, const QString& source);

// The file a script's address names, relative to the movie's folder for a local movie: a relative
// path or a file: address. Empty for web addresses and for movies that are not local files.
QString scriptFilePath(const QString& movieSource, const QString& url);

// The web address a script's address names: an http or https address as it stands, or one relative to a
// movie that came from the web. Invalid for everything else (a local movie's relative paths, file: and other
// schemes), so a movie from the web never reads local files through it.
QUrl scriptWebAddress(const QString& movieSource, const QString& url);

// Reads a local text file for a script, up to maxBytes; false when it is missing, unreadable or larger.
bool readScriptText(const QString& path, qint64 maxBytes, std::string& text);

// The language as Flash reports it: "zh-CN" and "zh-TW" for Chinese, otherwise the two-letter code.
QString flashLanguage(const QLocale& locale);

}  // namespace kivamo
