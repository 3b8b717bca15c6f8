#include "app/keyhook.h"

#include <QKeyEvent>

namespace kivamo {

namespace {

std::optional<Command> ctrlCommand(int qtKey, bool fullScreen)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return fullScreen ? std::nullopt : std::optional<Command>(Command::EnterFullScreen);
    case Qt::Key_Left: return Command::FastBack;
    case Qt::Key_Right: return Command::FastForward;
    case Qt::Key_O: return Command::Pause;
    case Qt::Key_P: return Command::Play;
    case Qt::Key_R: return Command::Rewind;
    case Qt::Key_F1: return Command::Snapshot;
    case Qt::Key_F2: return Command::ContinuousSnapshot;
    case Qt::Key_BracketLeft: return Command::PreviousEntry;
    case Qt::Key_BracketRight: return Command::NextEntry;
    default: return std::nullopt;
    }
}

}  // namespace

std::optional<Command> commandForKey(int qtKey, bool ctrl, bool fullScreen)
{
    if (qtKey == Qt::Key_Escape)
        return fullScreen ? std::optional<Command>(Command::LeaveFullScreen) : std::nullopt;
    if (ctrl)
        return ctrlCommand(qtKey, fullScreen);
    if (qtKey == Qt::Key_F1)
        return Command::Help;
    return std::nullopt;
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
        if (const auto command = commandForKey(key, m_ctrl, m_commands.playerFlags().fullScreen))
            m_commands.runCommand(*command);
    }
    return false;
}

}  // namespace kivamo
