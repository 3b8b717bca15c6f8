// The recent-files history "hiscfg.dat" in the program directory: the last five movies replaced,
// most recent first, each path once.
#pragma once

#include "core/result.h"
#include "playlist/listcontext.h"

#include <QString>
#include <QStringList>

namespace kivamo {

QString historyFilePath(const QString& programDirectory);

// Puts path on top, removing an equal line (compared trimmed) further down, and rewrites the file
// with at most five lines, each trimmed. Fails with the platform's read or write message.
Result<void> addToHistory(const QString& programDirectory, const QString& path);

// The items of the history sub-menu: the file's lines as read while setting history is on, none
// otherwise. Clearing is enabled exactly when there are items.
struct HistoryMenu {
    QStringList items;
    bool clearEnabled = false;
};
HistoryMenu historyMenu(const QString& programDirectory, bool historyOn);

// Plays a history item in a new list; does nothing (false) when its file no longer exists.
bool reopenHistoryItem(ListContext& context, const QString& caption);

// Deletes the history file and says whether there was one.
void clearHistory(Prompts& prompts, const QString& programDirectory);

}  // namespace kivamo
