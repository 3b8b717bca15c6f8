// The list view's commands over the play list: play, delete and select, drag reordering, the keys,
// the enabling of its menus and the "从播放列表中选择" menu entries.
#pragma once

#include "playlist/listcontext.h"

#include <QString>
#include <Qt>

#include <functional>
#include <vector>

namespace kivamo {

struct MovieEntry;

// Plays the first selected entry; false when nothing is selected.
bool playSelected(ListContext& context);

// Removes the selected rows (each passes through onDeleting first, for deleting files from disk),
// marks the list modified, re-derives the current index from the playing marker while a movie is
// loaded, and starts a new list when none are left.
void deleteSelected(ListContext& context, const std::function<void(const MovieEntry&)>& onDeleting = {});

void selectAll(ListContext& context);

// The drop of a drag over row target (a drop over empty space passes -1 and moves nothing).
void dropRowsOnto(ListContext& context, int target);

// Scrolling while dragging over the list: -10 pixels over the top visible row, +10 over the row
// (view height div 14) below it, 0 elsewhere.
int dragScrollPixels(int rowUnderPointer, int topVisibleRow, int viewHeight);

enum class ListKeyCommand { None, PlaySelected, DeleteSelected, SelectAll, SaveList, Details };

// The command of a key pressed in the list view. Del and Ctrl+D are also shortcuts of the list
// view's menu; pass menuShortcutsHandled when the menu runs them, so each runs once.
ListKeyCommand listKeyCommand(int key, Qt::KeyboardModifiers modifiers, bool menuShortcutsHandled);

// What the list menus enable, from the selection and the current index.
struct ListMenuState {
    bool selected = false;    // at least one row is selected
    bool notCurrent = false;  // the first selected row is not the current entry
    bool notEmpty = false;
};
ListMenuState listMenuState(const ListContext& context);

// One item of the "从播放列表中选择" menu, in list order.
struct ListChoice {
    QString caption;
    int index = -1;
    bool checked = false;  // the current entry: checked and without action
};
std::vector<ListChoice> listChoices(const ListContext& context);

}  // namespace kivamo
