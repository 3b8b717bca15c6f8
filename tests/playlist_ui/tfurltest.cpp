// TfURL offscreen: the typed address is checked, added or refused with the warning, and the dialog
// goes away when it closes.
#include "playlist/ui/tfurl.h"

#include "support/testapplication.h"
#include "walkfixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

void deletePending()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

TEST(TfURL, OpensWithItsDesignLayout)
{
    ensureApplication();
    ListFixture f;
    TfURL dialog(f.context);
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加网络Flash文件"));
    EXPECT_EQ(dialog.size(), QSize(402, 71));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("LABEDT_path"), dialog.LABEDT_path);
    EXPECT_EQ(dialog.LABEDT_path->text(), QStringLiteral("http://"));
    EXPECT_EQ(dialog.LABEDT_pathLabel->text(), QStringLiteral("输入要添加的网络Flash文件地址："));
    EXPECT_EQ(dialog.LABEDT_pathLabel->buddy(), dialog.LABEDT_path);
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button1")->text(), QStringLiteral("确定"));
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button2")->text(), QStringLiteral("取消"));
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(control->accessibleDescription().isEmpty()) << control->objectName().toStdString();
    }
}

TEST(TfURL, AddsAcceptedAddressesAndRefusesOthers)
{
    ensureApplication();
    struct Case {
        const char* typed;
        bool accepted;
    } cases[] = {
        {"http://example.com/a.swf", true},
        {"http://example.com/GAME.SWF", true},    // the extension test ignores case
        {"HTTP://example.com/a.swf", false},      // the scheme test does not
        {"http://", false},
        {"https://example.com/a.swf", false},
        {"http://example.com/a.swf.txt", false},
        {"ftp://example.com/a.swf", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ListFixture f;
        if (!c.accepted)
            f.prompts.expectMessage(QStringLiteral("网址输入有误"), QStringLiteral("网址输入有误，请正确输入"),
                                    PromptIcon::Warning);
        QPointer<TfURL> dialog = new TfURL(f.context);
        dialog->show();
        dialog->LABEDT_path->setText(QString::fromUtf8(c.typed));
        dialog->Button1Click();
        deletePending();
        if (c.accepted) {
            EXPECT_TRUE(dialog.isNull()) << "an accepted address closes and destroys the dialog";
            ASSERT_EQ(f.list.count(), 1);
            EXPECT_EQ(f.list.at(0).path, QString::fromUtf8(c.typed));
            EXPECT_EQ(f.list.at(0).title, QString::fromUtf8(c.typed));
        } else {
            ASSERT_FALSE(dialog.isNull()) << "a refused address keeps the dialog open";
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->LABEDT_path->text(), QString::fromUtf8(c.typed));
            EXPECT_EQ(f.list.count(), 0);
            EXPECT_TRUE(f.prompts.messages().at(0).stayOnTop);
            delete dialog;
        }
        EXPECT_TRUE(f.prompts.done());
    }
}

TEST(TfURL, CancelAndTheFrameCloseWithoutAdding)
{
    ensureApplication();
    for (bool byButton : {true, false}) {
        ListFixture f;
        QPointer<TfURL> dialog = new TfURL(f.context);
        dialog->show();
        dialog->LABEDT_path->setText(QStringLiteral("http://example.com/a.swf"));
        if (byButton)
            dialog->Button2Click();
        else
            dialog->close();
        deletePending();
        EXPECT_TRUE(dialog.isNull());
        EXPECT_EQ(f.list.count(), 0);
    }
}
