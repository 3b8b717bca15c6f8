// The key hook: its own Ctrl flag, the key table, and one command per key press even though Qt
// hands a key event on from the window to the focused widget and its parents.
#include "app/keyhook.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

#include <gtest/gtest.h>

using namespace kivamo;

namespace {

class RecordingCommands : public CommandHandler {
public:
    void runCommand(Command command) override { commands.push_back(command); }
    void setLoopPlay(bool) override {}
    PlayerFlags playerFlags() const override { return flags; }
    std::vector<Command> commands;
    PlayerFlags flags;
};

void press(KeyHook& hook, QObject* target, int key, QEvent::Type type = QEvent::KeyPress)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    hook.eventFilter(target, &event);
}

}  // namespace

TEST(KeyTable, CommandsByKeyCtrlAndFullScreen)
{
    using O = std::optional<Command>;
    const struct { int key; bool ctrl; bool full; O command; } cases[] = {
        {Qt::Key_Return, true, false, Command::EnterFullScreen}, {Qt::Key_Enter, true, false, Command::EnterFullScreen},
        {Qt::Key_Return, true, true, std::nullopt}, {Qt::Key_Return, false, false, std::nullopt},
        {Qt::Key_Escape, false, true, Command::LeaveFullScreen}, {Qt::Key_Escape, true, true, Command::LeaveFullScreen},
        {Qt::Key_Escape, false, false, std::nullopt},
        {Qt::Key_Left, true, false, Command::FastBack}, {Qt::Key_Right, true, false, Command::FastForward},
        {Qt::Key_Left, false, false, std::nullopt},
        {Qt::Key_O, true, false, Command::Pause}, {Qt::Key_P, true, false, Command::Play},
        {Qt::Key_R, true, false, Command::Rewind}, {Qt::Key_P, false, false, std::nullopt},
        {Qt::Key_F1, true, false, Command::Snapshot}, {Qt::Key_F1, false, false, Command::Help},
        {Qt::Key_F1, false, true, Command::Help}, {Qt::Key_F2, true, false, Command::ContinuousSnapshot},
        {Qt::Key_F2, false, false, std::nullopt},
        {Qt::Key_BracketLeft, true, false, Command::PreviousEntry}, {Qt::Key_BracketRight, true, false, Command::NextEntry},
        {Qt::Key_E, true, false, std::nullopt}, {Qt::Key_N, true, false, std::nullopt}, {Qt::Key_F, true, false, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandForKey(c.key, c.ctrl, c.full), c.command) << c.key << " ctrl " << c.ctrl << " full " << c.full;
}

TEST(KeyHook, CtrlFlagIsKeptByTheHookAndEachKeyRunsOnce)
{
    int argc = 0;
    QGuiApplication app(argc, nullptr);
    RecordingCommands commands;
    KeyHook hook(commands);
    QWindow window;
    QObject widgetLike;

    press(hook, &window, Qt::Key_P);
    EXPECT_TRUE(commands.commands.empty());
    press(hook, &window, Qt::Key_Control);
    EXPECT_TRUE(hook.ctrlDown());
    press(hook, &window, Qt::Key_P);
    press(hook, &widgetLike, Qt::Key_P);  // the same press handed on to a widget
    press(hook, &window, Qt::Key_P, QEvent::KeyRelease);
    EXPECT_EQ(commands.commands, std::vector<Command>{Command::Play});
    press(hook, &widgetLike, Qt::Key_Control, QEvent::KeyRelease);  // not the window: ignored
    EXPECT_TRUE(hook.ctrlDown());
    press(hook, &window, Qt::Key_Control, QEvent::KeyRelease);
    EXPECT_FALSE(hook.ctrlDown());
    press(hook, &window, Qt::Key_BracketRight);
    press(hook, &window, Qt::Key_F1);
    commands.flags.fullScreen = true;
    press(hook, &window, Qt::Key_Escape);
    EXPECT_EQ(commands.commands, (std::vector<Command>{Command::Play, Command::Help, Command::LeaveFullScreen}));
    QEvent other(QEvent::MouseButtonPress);
    EXPECT_FALSE(hook.eventFilter(&window, &other));
}
