#include "player/playerkeys.h"

namespace kivamo {

bool ctrlFlagAfter(const PlayerKeyEvent& event, bool ctrlDown)
{
    if (event.key == Qt::Key_Control)
        return event.press;
    if (event.key == 0)
        return ctrlDown;
    return event.modifiers.testFlag(Qt::ControlModifier);
}

namespace {

PlayerKeyCommand ctrlCommand(int key)
{
    switch (key) {
    case Qt::Key_Left: return PlayerKeyCommand::FastBack;
    case Qt::Key_Right: return PlayerKeyCommand::FastForward;
    case Qt::Key_O: return PlayerKeyCommand::Pause;
    case Qt::Key_P: return PlayerKeyCommand::Play;
    case Qt::Key_R: return PlayerKeyCommand::Rewind;
    case Qt::Key_F1: return PlayerKeyCommand::Snapshot;
    case Qt::Key_F2: return PlayerKeyCommand::ContinuousSnapshot;
    case Qt::Key_BracketLeft: return PlayerKeyCommand::PreviousEntry;
    case Qt::Key_BracketRight: return PlayerKeyCommand::NextEntry;
    default: return PlayerKeyCommand::None;
    }
}

}  // namespace

PlayerKeyCommand playerKeyCommand(const PlayerKeyEvent& event, bool ctrlDown, bool fullScreen)
{
    if (!event.press)
        return PlayerKeyCommand::None;
    const bool enter = event.key == Qt::Key_Return || event.key == Qt::Key_Enter;
    if (enter)
        return ctrlDown && !fullScreen ? PlayerKeyCommand::EnterFullScreen : PlayerKeyCommand::None;
    if (event.key == Qt::Key_Escape)
        return fullScreen ? PlayerKeyCommand::LeaveFullScreen : PlayerKeyCommand::None;
    if (ctrlDown)
        return ctrlCommand(event.key);
    return event.key == Qt::Key_F1 ? PlayerKeyCommand::Help : PlayerKeyCommand::None;
}

}  // namespace kivamo
