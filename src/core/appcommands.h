// The commands the main window's controls, menus and keys dispatch to, and the player flags the
// window reads to enable its menus; the subsystems that own the commands implement them.
#pragma once

#include <QString>

namespace kivamo {

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
};

}  // namespace kivamo
