#include "playlist/listcommands.h"

#include "core/playlist.h"
#include "playlist/listfile.h"

namespace kivamo {

bool playSelected(ListContext& context)
{
    const int first = context.list.firstSelected();
    if (first < 0)
        return false;
    context.playback.setCurrentIndex(first);
    context.playback.playCurrentEntry();
    return true;
}

void deleteSelected(ListContext& context, const std::function<void(const MovieEntry&)>& onDeleting)
{
    if (onDeleting) {
        for (int i = 0; i < context.list.count(); ++i) {
            if (context.list.isSelected(i))
                onDeleting(context.list.at(i));
        }
    }
    context.list.removeSelected();
    context.list.setModified(true);
    if (context.playback.movieLoaded())
        context.playback.setCurrentIndex(context.list.findCurrentEntry());
    context.list.refreshTitle();
    if (context.list.isEmpty())
        newList(context);
}

void selectAll(ListContext& context)
{
    context.list.selectAll();
}

void dropRowsOnto(ListContext& context, int target)
{
    context.list.dropSelectedOnto(target);
    if (context.playback.movieLoaded())
        context.playback.setCurrentIndex(context.list.findCurrentEntry());
}

int dragScrollPixels(int rowUnderPointer, int topVisibleRow, int viewHeight)
{
    if (rowUnderPointer == topVisibleRow)
        return -10;
    if (rowUnderPointer == topVisibleRow + viewHeight / 14)
        return 10;
    return 0;
}

ListKeyCommand listKeyCommand(int key, Qt::KeyboardModifiers modifiers, bool menuShortcutsHandled)
{
    // The modifier tests compare the whole set; the keypad flag is not a modifier here.
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    const bool onlyCtrl = mods == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return onlyCtrl ? ListKeyCommand::None : ListKeyCommand::PlaySelected;
    case Qt::Key_Delete:
        return menuShortcutsHandled ? ListKeyCommand::None : ListKeyCommand::DeleteSelected;
    case Qt::Key_A:
        return onlyCtrl ? ListKeyCommand::SelectAll : ListKeyCommand::None;
    case Qt::Key_S:
        return onlyCtrl ? ListKeyCommand::SaveList : ListKeyCommand::None;
    case Qt::Key_D:
        return onlyCtrl && !menuShortcutsHandled ? ListKeyCommand::Details : ListKeyCommand::None;
    default:
        return ListKeyCommand::None;
    }
}

ListMenuState listMenuState(const ListContext& context)
{
    ListMenuState state;
    const int first = context.list.firstSelected();
    state.selected = first >= 0;
    state.notCurrent = state.selected && first != context.playback.currentIndex();
    state.notEmpty = !context.list.isEmpty();
    return state;
}

std::vector<ListChoice> listChoices(const ListContext& context)
{
    std::vector<ListChoice> choices;
    choices.reserve(size_t(context.list.count()));
    const int current = context.playback.currentIndex();
    for (int i = 0; i < context.list.count(); ++i)
        choices.push_back({context.list.at(i).title, i, i == current});
    return choices;
}

}  // namespace kivamo
