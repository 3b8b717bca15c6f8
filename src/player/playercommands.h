// The controls of every playback and view command: object names, captions, hints and shortcut keys,
// so that the main window builds its buttons and menu entries from one table.
#pragma once

#include <QString>

#include <vector>

namespace kivamo {

enum class PlayerCommand {
    Play, Pause, Stop, Rewind, PreviousFrame, NextFrame, FastBack, FastForward, PreviousEntry, NextEntry,
    Loop, ZoomIn, ZoomOut, NativeSize, ShowAll, QualityLow, QualityHigh, QualitySpeed, QualityBest,
    Background, FullScreen, GotoFrame,
};

struct CommandControl {
    QString objectName;
    QString caption;   // empty for picture-only buttons
    QString hint;      // empty when the control has none
    QString shortcut;  // "Ctrl+P"…, as shown on menu items
    // The application key filter runs this key already; the item shows it as text only, so that one
    // key press runs the command once.
    bool shortcutShownOnly = false;
};

// The controls of one command in a fixed order: buttons, compact-bar buttons, main menu, movie menu.
const std::vector<CommandControl>& commandControls(PlayerCommand command);

// The quality value of a quality command, or -1 for other commands.
int commandQuality(PlayerCommand command);

}  // namespace kivamo
