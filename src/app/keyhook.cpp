#include "app/keyhook.h"

#include "player/playerkeys.h"

#include <QKeyEvent>

namespace kivamo {

namespace {

// The window's command for each of the player's key commands.
std::optional<Command> windowCommand(PlayerKeyCommand command)
{
    switch (command) {
    case PlayerKeyCommand::EnterFullScreen: return Command::EnterFullScreen;
    case PlayerKeyCommand::LeaveFullScreen: return Command::LeaveFullScreen;
    case PlayerKeyCommand::FastBack: return Command::FastBack;
    case PlayerKeyCommand::FastForward: return Command::FastForward;
    case PlayerKeyCommand::Pause: return Command::Pause;
    case PlayerKeyCommand::Play: return Command::Play;
    case PlayerKeyCommand::Rewind: return Command::Rewind;
    case PlayerKeyCommand::Snapshot: return Command::Snapshot;
    case PlayerKeyCommand::ContinuousSnapshot: return Command::ContinuousSnapshot;
    case PlayerKeyCommand::Help: return Command::Help;
    case PlayerKeyCommand::PreviousEntry: return Command::PreviousEntry;
    case PlayerKeyCommand::NextEntry: return Command::NextEntry;
    case PlayerKeyCommand::None: break;
    }
    return std::nullopt;
}

}  // namespace

// The player's key table decides; the hook only translates its answer.
std::optional<Command> commandForKey(int qtKey, bool ctrl, bool fullScreen)
{
    PlayerKeyEvent event;
    event.key = qtKey;
    event.press = true;
    event.modifiers = ctrl ? Qt::ControlModifier : Qt::NoModifier;
    return windowCommand(playerKeyCommand(event, ctrl, fullScreen));
}

KeyHook::KeyHook(CommandHandler& commands, QObject* parent) : QObject(parent), m_commands(commands) {}

bool KeyHook::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWindowType())
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Control) {
        m_ctrl = type == QEvent::KeyPress;
        return false;
    }
    if (type == QEvent::KeyPress) {
        const auto command = commandForKey(key, m_ctrl, m_commands.playerFlags().fullScreen);
        if (command && !(m_window && m_window(*command)))
            m_commands.runCommand(*command);
    }
    return false;
}

}  // namespace kivamo
