// The title editor's logic: which entry it may edit, the empty-title refusal, the new title and the
// optional rename of the movie file to match it.
#pragma once

#include <QString>

#include <optional>

namespace kivamo {

class PlayList;
class Prompts;

// The target index for "更改标题...": the selected entry, or nothing when the list is empty, nothing
// is selected or the selected entry is the movie now loaded (its title cannot change).
std::optional<int> titleEditorTarget(const PlayList& list, int currentIndex);

// What "确定" did.
enum class TitleEditOutcome {
    EmptyRefused,  // "标题不能为空" was shown; the editor stays open
    Applied,       // title stored; no rename asked or the rename succeeded
    RenameFailed,  // title stored, file and path unchanged
};

// "确定": an empty text is refused with the warning; otherwise, with a selection, the title becomes
// the text as typed, and when asked the file is renamed to its folder + text + ".swf", the path
// changing only when the rename succeeded. A rename never replaces an existing file and never
// moves the file to another folder (a title holding a separator is refused for renaming). The list
// is not marked modified.
TitleEditOutcome applyTitle(PlayList& list, Prompts& prompts, int targetIndex, const QString& text,
                            bool renameFile);

// The folder + title + ".swf" path a rename goes to.
QString renamedMoviePath(const QString& moviePath, const QString& title);

}  // namespace kivamo
