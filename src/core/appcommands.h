// The commands the main window's controls, menus and keys dispatch to, and the player flags the
// window reads to enable its menus; the subsystems that own the commands implement them.
#pragma once

#include "player/playerview.h"

#include <QString>

namespace kivamo {

class FlashControl;

// Every command a control of the main window starts but another subsystem carries out.
enum class Command {
    Play, Pause, Stop, Rewind, PreviousFrame, NextFrame, FastBack, FastForward, PreviousEntry, NextEntry,
    GoToFrame, EnterFullScreen, LeaveFullScreen, ZoomIn, ZoomOut, ActualSize, ShowAll, BackgroundColour,
    QualityLow, QualityHigh, QualitySpeed, QualityBest,
    AddFiles, AddAddress, AddDirectory, ClearHistory, NewList, OpenList, SaveList,
    Details, Print, Snapshot, ContinuousSnapshot, Options, Update, Help, PluginInfo,
    RegisterAssociation, UnregisterAssociation,
};

// The flags the window reads when a menu opens and the key hook reads for full screen.
struct PlayerFlags {
    bool movieLoaded = false;
    bool zoomed = false;
    bool scalingAllowed = true;
    bool fullScreen = false;
    QString currentMoviePath = QStringLiteral("z:\\");  // "z:\" while nothing is loaded
};

// Carries out the commands; each call runs its command exactly once.
class CommandHandler {
public:
    virtual ~CommandHandler() = default;
    virtual void runCommand(Command command) = 0;
    // The loop tick of the movie menu's entry, applied to the player.
    virtual void setLoopPlay(bool on) = 0;
    virtual PlayerFlags playerFlags() const = 0;

    // The player's timers and position sliders; a handler without a player ignores them.
    virtual void timerTick(PlayerTimer) {}
    virtual void sliderPressed() {}
    virtual void sliderMoved(int) {}
    // x inside the slider that was used, its width and maximum.
    virtual void sliderReleased(int, int, int) {}
    // The control of the loaded movie, for the go-to-frame dialog; nullptr without one.
    virtual FlashControl* flashControl() const { return nullptr; }
    // The startup settings were reloaded in place; settings that act at once follow them.
    virtual void settingsReloaded() {}
};

}  // namespace kivamo
