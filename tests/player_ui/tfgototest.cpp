// Tfgoto offscreen over the recording control: the texts it opens with, the field rules while
// typing, the jump on "确定", and that the movie plays on however the dialog closes.
#include "player/ui/tfgoto.h"

#include "support/testapplication.h"
#include "support/fakeflashcontrol.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

void deletePending()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A control at frame 4 (the dialog's frame 5) of a 100-frame movie.
void atFrameFiveOfHundred(FakeFlashControl& fake)
{
    fake.totalFrames = 100;
    fake.frame = 4;
}

}  // namespace

TEST(Tfgoto, OpensWithTheFramesCountedFromOne)
{
    ensureApplication();
    FakeFlashControl fake;
        atFrameFiveOfHundred(fake);
    Tfgoto dialog(fake);
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("跳到指定帧"));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_tF")->text(), QStringLiteral("总帧数： 100"));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_Nf")->text(), QStringLiteral("当前帧： 5"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("edt_f")->text(), QStringLiteral("5"));
    EXPECT_EQ(dialog.LAB_1->text(), QStringLiteral("跳到："));
    EXPECT_EQ(dialog.LAB_2->text(), QStringLiteral("帧"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button1")->text(), QStringLiteral("确定"));
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button2")->text(), QStringLiteral("取消"));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "a fixed dialog frame";
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        EXPECT_FALSE(widget->accessibleDescription().isEmpty()) << widget->objectName().toStdString();
    }
    EXPECT_TRUE(fake.calls.isEmpty()) << "opening neither plays nor jumps";
}

TEST(Tfgoto, FieldKeepsToTheMovieWhileTyping)
{
    ensureApplication();
    struct Case {
        const char* keys;  // typed after the field was emptied (which already makes it "1")
        const char* field;
    } cases[] = {
        {"", "1"},
        {"7", "17"},        // the "1" left by emptying stays in front
        {"\b42", "100"},    // backspace empties the field, which gives "1" again; 142 is above the total
        {"a-b.", "1"},      // letters and signs are refused
        {"\b0", "10"},
        {"99", "100"},      // 199 is above the 100 frames
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        FakeFlashControl fake;
        atFrameFiveOfHundred(fake);
        Tfgoto dialog(fake);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.edt_f->clear();
        ASSERT_EQ(dialog.edt_f->text(), QStringLiteral("1"));
        dialog.edt_f->setCursorPosition(1);
        QTest::keyClicks(dialog.edt_f, QString::fromLatin1(c.keys));
        EXPECT_EQ(dialog.edt_f->text(), QString::fromLatin1(c.field));
    }
}

TEST(Tfgoto, ChangedTextObeysTheRules)
{
    ensureApplication();
    const std::pair<const char*, const char*> cases[] = {
        {"", "1"}, {"0", "1"}, {"000", "1"}, {"1", "1"}, {"100", "100"}, {"101", "100"},
        {"99999999999999999999999", "100"}, {"0042", "0042"},
    };
    for (const auto& [typed, shown] : cases) {
        SCOPED_TRACE(typed);
        FakeFlashControl fake;
        atFrameFiveOfHundred(fake);
        Tfgoto dialog(fake);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.edt_f->setText(QString::fromLatin1(typed));  // pasting arrives as a change
        EXPECT_EQ(dialog.edt_f->text(), QString::fromLatin1(shown));
    }
}

TEST(Tfgoto, ConfirmJumpsAndPlays)
{
    ensureApplication();
    FakeFlashControl fake;
        atFrameFiveOfHundred(fake);
    QPointer<Tfgoto> dialog = new Tfgoto(fake);
    dialog->show();
    dialog->edt_f->setText(QStringLiteral("42"));
    dialog->Button1Click();
    deletePending();
    EXPECT_TRUE(dialog.isNull()) << "the dialog is destroyed, so the next one is built anew";
    // The jump plays, and closing plays once more, as after any close.
    EXPECT_EQ(fake.calls, QStringList({QStringLiteral("GotoFrame(41)"), QStringLiteral("Play"),
                                       QStringLiteral("Play")}));
    EXPECT_EQ(fake.frame, 41);
}

TEST(Tfgoto, EveryOtherCloseResumesTheMovieOnce)
{
    ensureApplication();
    enum class Close { CancelButton, Escape, Frame };
    for (Close way : {Close::CancelButton, Close::Escape, Close::Frame}) {
        SCOPED_TRACE(int(way));
        FakeFlashControl fake;
        atFrameFiveOfHundred(fake);
        QPointer<Tfgoto> dialog = new Tfgoto(fake);
        dialog->show();
        dialog->edt_f->setText(QStringLiteral("42"));
        if (way == Close::CancelButton)
            dialog->Button2Click();
        else if (way == Close::Escape)
            QTest::keyClick(dialog.data(), Qt::Key_Escape);
        else
            dialog->close();
        deletePending();
        EXPECT_TRUE(dialog.isNull());
        EXPECT_EQ(fake.calls, QStringList({QStringLiteral("Play")}));
        EXPECT_EQ(fake.frame, 4);
    }
}

TEST(Tfgoto, ControlDroppedWhileOpenIsLeftAlone)
{
    ensureApplication();
    auto fake = std::make_unique<FakeFlashControl>();
    atFrameFiveOfHundred(*fake);
    FakeFlashControl* alive = fake.get();
    QPointer<Tfgoto> dialog = new Tfgoto([&alive]() -> FlashControl* { return alive; });
    dialog->show();
    EXPECT_EQ(dialog->LAB_tF->text(), QStringLiteral("总帧数： 100"));
    // The player replaces its control (a timer ran while the dialog was open).
    const QStringList callsBefore = fake->calls;
    fake.reset();
    alive = nullptr;
    dialog->edt_f->setText(QStringLiteral("500"));  // no total to clamp against: the text stays
    EXPECT_EQ(dialog->edt_f->text(), QStringLiteral("500"));
    dialog->Button1Click();
    deletePending();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(callsBefore.isEmpty());
}
