// List files (".kvl"): the reader of the current "#KVL2" and the older "#KVL" format, the writer,
// and the list commands new list, open list and save list.
#pragma once

#include "playlist/listcontext.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace kivamo {

struct MovieEntry;

QString listFileFilter();  // "FLASH播放列表(*.KVL)|*.KVL"

// The bytes of a list file for these entries: "#KVL2" and four lines per entry, GB18030, CR LF.
QByteArray listFileBytes(const std::vector<MovieEntry>& entries);

// Entries of a list file's lines, notes read from each movie's sidecar file. Fails (nothing read)
// when the first line, trimmed, is neither "#KVL2" nor "#KVL".
bool parseListFile(const QStringList& lines, std::vector<MovieEntry>& entries);

// Appends the file's entries to the play list; shows the missing-file and wrong-type boxes and
// returns false when nothing was read. Neither clears the list nor refreshes the title.
bool readListFile(ListContext& context, const QString& path);

// Replaces the play list by the file's entries; the file becomes the current list file when read.
void openListFile(ListContext& context, const QString& path);

// Saves the play list; an empty list is saved as the magic line alone without a message. The
// file is replaced only when written whole; on failure the error is shown, the old file stays and
// false is returned.
bool writeListFile(ListContext& context, const QString& path);

// 新建列表: an empty, unsaved list named "新建" without a list file; the player is reset.
void newList(ListContext& context);
// 载入列表: asks for a list file and opens it in place of the play list.
void openListCommand(ListContext& context);
// 保存列表: asks for a file name ("kvl" added when it has none) and saves; a new list takes the
// file's name and becomes that file, a named list keeps both (saving a copy).
void saveListCommand(ListContext& context);

}  // namespace kivamo
