// The application-wide key filter: keeps its own Ctrl flag and turns the player's shortcut keys
// into commands, letting every event through.
#pragma once

#include "core/appcommands.h"

#include <QObject>

#include <functional>
#include <optional>

namespace kivamo {

// The command a key press gives, judged by the Ctrl flag and the full-screen flag; nothing for other keys.
std::optional<Command> commandForKey(int qtKey, bool ctrl, bool fullScreen);

class KeyHook : public QObject {
    Q_OBJECT
public:
    explicit KeyHook(CommandHandler& commands, QObject* parent = nullptr);

    // Commands the window runs itself (snapshots); true when it took the command.
    void setWindowCommands(std::function<bool(Command)> run) { m_window = std::move(run); }

    bool ctrlDown() const { return m_ctrl; }
    void clearCtrl() { m_ctrl = false; }

    // Only events delivered to a top-level window count: Qt hands a key press on from the window
    // to the focused widget and its parents, and each key must run its command once.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CommandHandler& m_commands;
    std::function<bool(Command)> m_window;
    bool m_ctrl = false;
};

}  // namespace kivamo
