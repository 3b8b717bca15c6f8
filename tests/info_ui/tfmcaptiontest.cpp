// TFmCaption offscreen: the title it opens with, the empty-title refusal, the new title and the
// rename of the movie file, checked on the list and on disk.
#include "info/ui/tfmcaption.h"

#include "dialogfixture.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace kivamo;
using namespace kivamo::test;

TEST(TFmCaption, OpensWithTheEntrysTitle)
{
    DialogFixture f;
    f.add(QStringLiteral("甲"), f.path(QStringLiteral("a.swf")));
    const int target = f.add(QStringLiteral("  乙 "), f.path(QStringLiteral("b.swf")));
    f.list.setSelected(target, true);
    TFmCaption dialog(f.list, f.prompts, target);
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("更改标题"));
    EXPECT_EQ(dialog.size(), QSize(282, 97));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_1")->text(), QStringLiteral("标题："));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("EDT_caption")->text(), QStringLiteral("  乙 "));
    QCheckBox* rename = dialog.findChild<QCheckBox*>("chk_rename");
    ASSERT_NE(rename, nullptr);
    EXPECT_EQ(rename->text(), QStringLiteral("同时更改文件名"));
    EXPECT_FALSE(rename->isChecked());
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button1")->text(), QStringLiteral("确定"));
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button2")->text(), QStringLiteral("取消"));
    expectAccessible(dialog);
}

TEST(TFmCaption, EmptyTitleIsRefusedAndTheEditorStays)
{
    DialogFixture f;
    const int target = f.add(QStringLiteral("甲"), f.path(QStringLiteral("a.swf")));
    f.list.setSelected(target, true);
    f.prompts.expectMessage(QStringLiteral("输入有误"), QStringLiteral("标题不能为空"), PromptIcon::Warning);
    QPointer<TFmCaption> dialog = new TFmCaption(f.list, f.prompts, target);
    dialog->show();
    dialog->EDT_caption->clear();
    dialog->Button1Click();
    deletePending();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(f.prompts.messages().at(0).stayOnTop);
    EXPECT_EQ(f.list.at(target).title, QStringLiteral("甲"));
    delete dialog;
}

TEST(TFmCaption, ConfirmStoresTheTitleAndRenamesOnlyWhenAsked)
{
    struct Case {
        const char* name;
        const char* typed;
        bool rename;
        bool blockTarget;      // a file already holds the new name
        const char* fileAfter; // the entry's file name afterwards
    } cases[] = {
        {"title only", " 新标题 ", false, false, "old.SWF"},
        {"title and file", "新标题", true, false, "新标题.swf"},  // the extension becomes lower case
        {"target taken", "新标题", true, true, "old.SWF"},
        {"separator in title", "a/b", true, false, "old.SWF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        const QString oldPath = f.path(QStringLiteral("old.SWF"));
        ASSERT_TRUE(writeBytes(oldPath, "movie"));
        if (c.blockTarget) {
            ASSERT_TRUE(writeBytes(f.path(QStringLiteral("新标题.swf")), "other"));
        }
        f.add(QStringLiteral("甲"), f.path(QStringLiteral("a.swf")));
        const int target = f.add(QStringLiteral("旧"), oldPath);
        f.list.setSelected(target, true);
        QPointer<TFmCaption> dialog = new TFmCaption(f.list, f.prompts, target);
        dialog->show();
        dialog->EDT_caption->setText(QString::fromUtf8(c.typed));
        dialog->chk_rename->setChecked(c.rename);
        dialog->Button1Click();
        deletePending();

        EXPECT_TRUE(dialog.isNull());
        EXPECT_EQ(f.list.at(target).title, QString::fromUtf8(c.typed)) << "taken as typed, not trimmed";
        const QString expected = f.path(QString::fromUtf8(c.fileAfter));
        EXPECT_EQ(f.list.at(target).path, expected);
        EXPECT_EQ(fileBytes(expected), QByteArray("movie"));
        if (c.blockTarget) {
            EXPECT_EQ(fileBytes(f.path(QStringLiteral("新标题.swf"))), QByteArray("other"));
        }
        EXPECT_FALSE(f.list.isModified());
        EXPECT_EQ(f.list.at(0).title, QStringLiteral("甲"));
    }
}

TEST(TFmCaption, CancelChangesNothing)
{
    DialogFixture f;
    const QString oldPath = f.path(QStringLiteral("old.swf"));
    ASSERT_TRUE(writeBytes(oldPath, "movie"));
    const int target = f.add(QStringLiteral("旧"), oldPath);
    f.list.setSelected(target, true);
    for (bool byButton : {true, false}) {
        QPointer<TFmCaption> dialog = new TFmCaption(f.list, f.prompts, target);
        dialog->show();
        dialog->EDT_caption->setText(QStringLiteral("新"));
        dialog->chk_rename->setChecked(true);
        if (byButton)
            dialog->Button2Click();
        else
            dialog->close();
        deletePending();
        EXPECT_TRUE(dialog.isNull());
        EXPECT_EQ(f.list.at(target).title, QStringLiteral("旧"));
        EXPECT_EQ(f.list.at(target).path, oldPath);
        EXPECT_TRUE(QFileInfo::exists(oldPath));
    }
}
