// The application-wide keys: the table, the Ctrl bookkeeping and each key running its command once.
#include "playerfixture.h"

#include "player/playerkeys.h"

namespace kivamo::test {
namespace {

PlayerKeyEvent press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {key, true, modifiers};
}

TEST(PlayerKeys, Table)
{
    using C = PlayerKeyCommand;
    struct Case {
        int key;
        bool ctrl;
        bool fullScreen;
        C command;
    };
    const Case cases[] = {
        {Qt::Key_Return, true, false, C::EnterFullScreen}, {Qt::Key_Enter, true, false, C::EnterFullScreen},
        {Qt::Key_Return, true, true, C::None},             {Qt::Key_Return, false, false, C::None},
        {Qt::Key_Escape, false, true, C::LeaveFullScreen}, {Qt::Key_Escape, true, true, C::LeaveFullScreen},
        {Qt::Key_Escape, false, false, C::None},
        {Qt::Key_Left, true, false, C::FastBack},          {Qt::Key_Right, true, true, C::FastForward},
        {Qt::Key_Left, false, false, C::None},
        {Qt::Key_O, true, false, C::Pause},                {Qt::Key_P, true, false, C::Play},
        {Qt::Key_R, true, false, C::Rewind},               {Qt::Key_P, false, false, C::None},
        {Qt::Key_F1, true, false, C::Snapshot},            {Qt::Key_F1, false, false, C::Help},
        {Qt::Key_F2, true, false, C::ContinuousSnapshot},  {Qt::Key_F2, false, false, C::None},
        {Qt::Key_BracketLeft, true, false, C::PreviousEntry}, {Qt::Key_BracketRight, true, false, C::NextEntry},
        {Qt::Key_N, true, false, C::None},                 {Qt::Key_E, true, false, C::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(playerKeyCommand(press(c.key), c.ctrl, c.fullScreen), c.command)
            << std::hex << c.key << " ctrl " << c.ctrl << " full " << c.fullScreen;
        EXPECT_EQ(playerKeyCommand({c.key, false, {}}, c.ctrl, c.fullScreen), C::None) << "releases run nothing";
    }
}

TEST(PlayerKeys, CtrlFlagFollowsCtrlAndIsCorrectedByOtherKeys)
{
    EXPECT_TRUE(ctrlFlagAfter(press(Qt::Key_Control, Qt::ControlModifier), false));
    EXPECT_TRUE(ctrlFlagAfter(press(Qt::Key_Control), false)) << "some systems report no modifier on Ctrl itself";
    EXPECT_FALSE(ctrlFlagAfter({Qt::Key_Control, false, Qt::ControlModifier}, true));
    EXPECT_TRUE(ctrlFlagAfter(press(Qt::Key_P, Qt::ControlModifier), false));
    EXPECT_TRUE(ctrlFlagAfter(press(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier), false));
    // Ctrl was released while another program had the focus: the next key tells the truth.
    EXPECT_FALSE(ctrlFlagAfter(press(Qt::Key_P), true));
}

TEST_F(PlayerTest, KeysRunTheirCommandOnce)
{
    addMovie("a");
    addMovie("b");
    FakeFlashControl& control = playReady(0);
    control.frame = 50;
    EXPECT_EQ(player->keyEvent(press(Qt::Key_Control, Qt::ControlModifier)), PlayerKeyCommand::None);
    EXPECT_TRUE(player->state().ctrlDown);
    EXPECT_EQ(player->keyEvent(press(Qt::Key_O, Qt::ControlModifier)), PlayerKeyCommand::Pause);
    EXPECT_EQ(player->keyEvent(press(Qt::Key_Left, Qt::ControlModifier)), PlayerKeyCommand::FastBack);
    EXPECT_EQ(player->keyEvent(press(Qt::Key_R, Qt::ControlModifier)), PlayerKeyCommand::Rewind);
    EXPECT_EQ(control.calls, QStringList({"Stop", "GotoFrame(30)", "Play", "Rewind", "Play"}));
    EXPECT_FALSE(view.looksPlaying());

    EXPECT_EQ(player->keyEvent(press(Qt::Key_F1, Qt::ControlModifier)), PlayerKeyCommand::Snapshot);
    EXPECT_EQ(control.calls.size(), 5) << "snapshots are the window's";

    player->keyEvent(press(Qt::Key_Return, Qt::ControlModifier));
    EXPECT_TRUE(player->state().fullScreen);
    player->keyEvent(press(Qt::Key_Escape));
    EXPECT_FALSE(player->state().fullScreen);
    EXPECT_FALSE(player->state().ctrlDown) << "Esc came without Ctrl";

    player->keyEvent(press(Qt::Key_BracketRight, Qt::ControlModifier));
    EXPECT_EQ(player->state().currentIndex, 1);
    player->keyEvent(press(Qt::Key_BracketRight, Qt::ControlModifier));
    EXPECT_EQ(player->state().currentIndex, 0);
    player->keyEvent({Qt::Key_Control, false, {}});
    EXPECT_FALSE(player->state().ctrlDown);
    EXPECT_EQ(player->keyEvent(press(Qt::Key_BracketLeft)), PlayerKeyCommand::None);
    EXPECT_EQ(player->state().currentIndex, 0);
}

TEST_F(PlayerTest, CtrlPPlaysAndPausesLikeTheButton)
{
    addMovie("a");
    FakeFlashControl& control = playReady(0);
    player->keyEvent(press(Qt::Key_P, Qt::ControlModifier));
    player->keyEvent(press(Qt::Key_P, Qt::ControlModifier));
    EXPECT_EQ(control.calls, QStringList({"Stop", "Play"}));
}

}  // namespace
}  // namespace kivamo::test
