// The command table: every command has its controls with their exact texts, and the shortcuts the
// key filter runs are shown only, so one key press runs its command once.
#include "playerfixture.h"

#include "player/playerkeys.h"

#include <QKeySequence>
#include <set>

namespace kivamo::test {
namespace {

const PlayerCommand allCommands[] = {
    PlayerCommand::Play, PlayerCommand::Pause, PlayerCommand::Stop, PlayerCommand::Rewind,
    PlayerCommand::PreviousFrame, PlayerCommand::NextFrame, PlayerCommand::FastBack, PlayerCommand::FastForward,
    PlayerCommand::PreviousEntry, PlayerCommand::NextEntry, PlayerCommand::Loop, PlayerCommand::ZoomIn,
    PlayerCommand::ZoomOut, PlayerCommand::NativeSize, PlayerCommand::ShowAll, PlayerCommand::QualityLow,
    PlayerCommand::QualityHigh, PlayerCommand::QualitySpeed, PlayerCommand::QualityBest, PlayerCommand::Background,
    PlayerCommand::FullScreen, PlayerCommand::GotoFrame,
};

TEST(PlayerCommands, EveryControlOnceWithAnAccessibleText)
{
    std::set<QString> names;
    for (PlayerCommand command : allCommands) {
        const auto& controls = commandControls(command);
        EXPECT_FALSE(controls.empty()) << int(command);
        for (const CommandControl& control : controls) {
            EXPECT_TRUE(names.insert(control.objectName).second) << control.objectName.toStdString();
            EXPECT_FALSE(control.caption.isEmpty() && control.hint.isEmpty()) << control.objectName.toStdString();
        }
    }
    EXPECT_EQ(names.size(), 72u);
}

TEST(PlayerCommands, ExactTexts)
{
    struct Case {
        PlayerCommand command;
        int index;
        QString name, caption, hint, shortcut;
    };
    const Case cases[] = {
        {PlayerCommand::Play, 0, "B_bplay", "", "播放影片", ""},
        {PlayerCommand::Pause, 1, "MNI_mpause", "暂停(&S)", "", "Ctrl+O"},
        {PlayerCommand::FastBack, 0, "B_Bfprev", "", "快退(ctrl + ←)", ""},
        {PlayerCommand::NextEntry, 3, "MNI_rnext", "下一个(&N)", "", "Ctrl+N"},
        {PlayerCommand::ZoomIn, 0, "TB_zoomout", "放大", "放大影片", ""},
        {PlayerCommand::NativeSize, 2, "MNI_rinisize", "原始大小（100%）", "", ""},
        {PlayerCommand::ShowAll, 1, "MNI_mshowall", "显示全部", "拉伸屏幕播放", ""},
        {PlayerCommand::QualitySpeed, 0, "pmquality_s", "速度优先", "", ""},
        {PlayerCommand::FullScreen, 2, "MNI_ALL", "全屏播放", "", "Ctrl+F"},
        {PlayerCommand::GotoFrame, 0, "pnl_CtrlPanel", "", "双击跳到指定帧", ""},
        {PlayerCommand::Loop, 0, "MNI_rloop", "循环播放", "", ""},
    };
    for (const Case& c : cases) {
        const CommandControl& control = commandControls(c.command).at(size_t(c.index));
        EXPECT_EQ(control.objectName, c.name);
        EXPECT_EQ(control.caption, c.caption) << c.name.toStdString();
        EXPECT_EQ(control.hint, c.hint) << c.name.toStdString();
        EXPECT_EQ(control.shortcut, c.shortcut) << c.name.toStdString();
    }
}

TEST(PlayerCommands, ShortcutsTheKeyFilterRunsAreShownOnly)
{
    for (PlayerCommand command : allCommands) {
        for (const CommandControl& control : commandControls(command)) {
            if (control.shortcut.isEmpty())
                continue;
            const QKeySequence sequence(control.shortcut);
            ASSERT_EQ(sequence.count(), 1) << control.shortcut.toStdString();
            const QKeyCombination combination = sequence[0];
            const PlayerKeyEvent event{int(combination.key()), true, combination.keyboardModifiers()};
            const bool filterRunsIt = playerKeyCommand(event, true, false) != PlayerKeyCommand::None;
            EXPECT_EQ(control.shortcutShownOnly, filterRunsIt) << control.objectName.toStdString();
        }
    }
}

TEST_F(PlayerTest, RunCommandDispatches)
{
    addMovie("a");
    addMovie("b");
    FakeFlashControl& control = playReady(0);
    control.frame = 40;
    for (PlayerCommand command : {PlayerCommand::Pause, PlayerCommand::Rewind, PlayerCommand::NextFrame,
                                  PlayerCommand::PreviousFrame, PlayerCommand::FastForward, PlayerCommand::ZoomIn,
                                  PlayerCommand::ZoomOut, PlayerCommand::ShowAll, PlayerCommand::NativeSize,
                                  PlayerCommand::QualitySpeed, PlayerCommand::GotoFrame})
        player->runCommand(command);
    player->runCommand(PlayerCommand::Loop, true);
    EXPECT_EQ(control.calls, QStringList({"Stop", "Rewind", "Play", "Forward", "Back", "GotoFrame(20)", "Play",
                                          "Zoom(63)", "Zoom(160)", "Zoom(0)", "Scale(noscale)", "Quality(2)",
                                          "Loop(true)"}));
    player->runCommand(PlayerCommand::NextEntry);
    EXPECT_EQ(player->state().currentIndex, 1);
    player->runCommand(PlayerCommand::Stop);
    EXPECT_FALSE(player->movieLoaded());
}

}  // namespace
}  // namespace kivamo::test
