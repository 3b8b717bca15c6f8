// The application-wide keyboard shortcuts: which command a key press runs.
#pragma once

#include <Qt>

namespace kivamo {

enum class PlayerKeyCommand {
    None,
    EnterFullScreen,
    LeaveFullScreen,
    FastBack,
    FastForward,
    Pause,
    Play,
    Rewind,
    Snapshot,            // single snapshot, run by the window
    ContinuousSnapshot,  // run by the window
    Help,                // run by the window
    PreviousEntry,
    NextEntry,
};

struct PlayerKeyEvent {
    int key = 0;  // Qt::Key
    bool press = true;
    Qt::KeyboardModifiers modifiers;
};

// The Ctrl flag after the event. Ctrl's own press and release set and clear it; every other key
// event carries the modifier state too and corrects the flag, so a Ctrl release that happened while
// another program had the focus does not leave Ctrl held for this one.
bool ctrlFlagAfter(const PlayerKeyEvent& event, bool ctrlDown);

// The command of a key press with the Ctrl flag as ctrlFlagAfter left it; releases run nothing.
// Menu items show the same keys only as text, so the command runs once, from here.
PlayerKeyCommand playerKeyCommand(const PlayerKeyEvent& event, bool ctrlDown, bool fullScreen);

}  // namespace kivamo
