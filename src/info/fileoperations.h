// The play-list commands that act on the movie files: delete from disk, remove dead entries,
// the path dialog's logic and showing a movie in the file manager.
#pragma once

#include "playlist/listcontext.h"

#include <QString>

#include <functional>
#include <optional>

namespace kivamo {

class FileManager;
class PlayList;

// "物理删除所选": asks first; on Yes removes the selected entries as "删除所选" does and deletes the
// file of each removed entry with a local path (network paths and web addresses only leave the
// list). Returns whether the user agreed.
bool deleteSelectedFromDisk(ListContext& context);

// "删除所有失效项目": removes the entries whose local file is gone, keeping network and web entries;
// no file is deleted and the list is not marked modified. Returns how many were removed.
int removeDeadEntries(ListContext& context);

// The path dialog "更改路径".
struct ChangePathView {
    QString caption;   // LAB_caption: the entry's title
    QString filePath;  // LABEDT_filepath
    QString state;     // lbl_FileState
};

// The target index, or nothing when the list is empty, nothing is selected or the selected entry is
// the loaded movie (which cannot be relocated).
std::optional<int> changePathTarget(const PlayList& list, int currentIndex);

// "文件状态： 正常" or "文件状态： 不存在或者非FLASH影片文件".
QString fileStateText(const QString& path);

// What the dialog shows on opening; nothing is filled without a selection.
ChangePathView changePathView(const PlayList& list, int targetIndex);

// "浏览...": the chosen movie replaces the path; the view is unchanged when cancelled.
void browseForPath(Prompts& prompts, ChangePathView& view);

// "确定": the entry's path becomes the text, the list is marked modified and its title refreshed;
// for the current entry setCurrentMoviePath follows. Title and notes stay; no file moves.
void confirmChangePath(PlayList& list, int targetIndex, const QString& path, int currentIndex,
                       const std::function<void(const QString&)>& setCurrentMoviePath);

// "在浏览器中打开": reveals the first selected entry's file; false when nothing was shown.
bool showSelectedInFileManager(const PlayList& list, FileManager& fileManager);

}  // namespace kivamo
