// TFchangepath offscreen: what it shows for the entry, the browse step through the scripted file
// chooser, and "确定" changing only the entry's path.
#include "info/ui/tfchangepath.h"

#include "dialogfixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

using namespace kivamo;
using namespace kivamo::test;

namespace {

const QString kNormal = QStringLiteral("文件状态： 正常");
const QString kMissing = QStringLiteral("文件状态： 不存在或者非FLASH影片文件");

}  // namespace

TEST(TFchangepath, ShowsTheSelectedEntry)
{
    DialogFixture f;
    const QString present = f.path(QStringLiteral("here.swf"));
    ASSERT_TRUE(writeBytes(present, "movie"));
    struct Case {
        QString stored;
        QString shown;
        QString state;
    } cases[] = {
        {present, present, kNormal},
        {QStringLiteral("  ") + present + QStringLiteral(" "), present, kNormal},  // blanks trimmed
        {f.path(QStringLiteral("gone.swf")), f.path(QStringLiteral("gone.swf")), kMissing},
        {QStringLiteral("http://example.com/a.swf"), QStringLiteral("http://example.com/a.swf"), kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        PlayList list;
        MovieEntry entry;
        entry.title = QStringLiteral("标题");
        entry.path = c.stored;
        list.append(entry);
        list.setSelected(0, true);
        TFchangepath dialog(list, f.prompts, 0, -1, {});
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        EXPECT_EQ(dialog.findChild<QLabel*>("LAB_caption")->text(), QStringLiteral("标题"));
        EXPECT_EQ(dialog.findChild<QLineEdit*>("LABEDT_filepath")->text(), c.shown);
        EXPECT_EQ(dialog.findChild<QLabel*>("lbl_FileState")->text(), c.state);
    }
}

TEST(TFchangepath, HasItsDesignLayout)
{
    DialogFixture f;
    TFchangepath dialog(f.list, f.prompts, -1, -1, {});
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("更改路径"));
    EXPECT_EQ(dialog.size(), QSize(395, 144));
    EXPECT_EQ(dialog.findChild<QGroupBox*>("grp_1")->title(), QStringLiteral("文件属性"));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_1")->text(), QStringLiteral("文件标题："));
    EXPECT_EQ(dialog.LABEDT_filepathLabel->text(), QStringLiteral("文件路径："));
    EXPECT_TRUE(dialog.LABEDT_filepath->isReadOnly());
    QToolButton* browse = dialog.findChild<QToolButton*>("B_browser");
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->text(), QStringLiteral("浏览..."));
    EXPECT_TRUE(browse->autoRaise());
    // Without a selection nothing is filled: the design captions stay.
    EXPECT_EQ(dialog.lbl_FileState->text(), QStringLiteral("文件状态："));
    EXPECT_TRUE(dialog.LAB_caption->text().isEmpty());
    EXPECT_TRUE(dialog.findChild<QPushButton*>("Button1")->isDefault());
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("确定"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button2")->text(), QStringLiteral("取消"));
    expectAccessible(dialog);
}

TEST(TFchangepath, BrowseTakesTheChosenMovie)
{
    DialogFixture f;
    const QString chosen = f.path(QStringLiteral("new.swf"));
    ASSERT_TRUE(writeBytes(chosen, "movie"));
    const int target = f.add(QStringLiteral("标题"), f.path(QStringLiteral("gone.swf")));
    f.list.setSelected(target, true);
    TFchangepath dialog(f.list, f.prompts, target, -1, {});
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);

    f.prompts.expectOpenFiles({});  // cancelled: nothing changes
    dialog.B_browserClick();
    EXPECT_EQ(dialog.LABEDT_filepath->text(), f.path(QStringLiteral("gone.swf")));
    EXPECT_EQ(dialog.lbl_FileState->text(), kMissing);

    f.prompts.expectOpenFiles({chosen});
    dialog.B_browserClick();
    EXPECT_EQ(dialog.LABEDT_filepath->text(), chosen);
    EXPECT_EQ(dialog.lbl_FileState->text(), kNormal);
    ASSERT_EQ(f.prompts.filePrompts().size(), 2u);
    EXPECT_EQ(f.prompts.filePrompts().at(1).filter, QStringLiteral("flash影片(*.swf)|*.swf"));
    EXPECT_EQ(f.list.at(target).path, f.path(QStringLiteral("gone.swf"))) << "only 确定 stores the path";
    EXPECT_TRUE(f.prompts.done());
}

TEST(TFchangepath, ConfirmChangesOnlyThePath)
{
    for (bool targetIsCurrent : {false, true}) {
        SCOPED_TRACE(targetIsCurrent);
        DialogFixture f;
        const QString oldPath = f.path(QStringLiteral("old.swf"));
        const QString chosen = f.path(QStringLiteral("new.swf"));
        ASSERT_TRUE(writeBytes(oldPath, "old"));
        ASSERT_TRUE(writeBytes(chosen, "new"));
        f.add(QStringLiteral("甲"), f.path(QStringLiteral("a.swf")));
        MovieEntry entry;
        entry.title = QStringLiteral("标题");
        entry.path = oldPath;
        entry.author = QStringLiteral("作者");
        f.list.append(entry);
        const int target = 1;
        f.list.setSelected(target, true);
        QStringList currentPaths;
        QPointer<TFchangepath> dialog = new TFchangepath(f.list, f.prompts, target, targetIsCurrent ? target : 0,
                                                         [&](const QString& path) { currentPaths << path; });
        dialog->show();
        f.prompts.expectOpenFiles({chosen});
        dialog->B_browserClick();
        dialog->Button1Click();
        deletePending();

        EXPECT_TRUE(dialog.isNull());
        MovieEntry expected = entry;
        expected.path = chosen;
        EXPECT_EQ(f.list.at(target), expected) << "title and notes stay";
        EXPECT_TRUE(f.list.isModified());
        EXPECT_EQ(currentPaths, targetIsCurrent ? QStringList{chosen} : QStringList{});
        EXPECT_EQ(fileBytes(oldPath), QByteArray("old")) << "no file moves";
        EXPECT_EQ(fileBytes(chosen), QByteArray("new"));
    }
}

TEST(TFchangepath, CancelKeepsTheEntry)
{
    DialogFixture f;
    const int target = f.add(QStringLiteral("标题"), f.path(QStringLiteral("old.swf")));
    f.list.setSelected(target, true);
    QPointer<TFchangepath> dialog = new TFchangepath(f.list, f.prompts, target, -1, {});
    dialog->show();
    f.prompts.expectOpenFiles({f.path(QStringLiteral("other.swf"))});
    dialog->B_browserClick();
    dialog->Button2Click();
    deletePending();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(f.list.at(target).path, f.path(QStringLiteral("old.swf")));
    EXPECT_FALSE(f.list.isModified());
}
