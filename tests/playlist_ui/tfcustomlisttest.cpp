// The custom-list dialog offscreen: rows from "list.cfg", grey rows for missing list files, adding,
// editing and deleting through the scripted open dialog, and the file 确定 and 取消 leave behind.
#include "support/testapplication.h"

#include "platform/textfile.h"
#include "playlist/customlists.h"
#include "playlist/ui/tfcustomlist.h"
#include "support/scriptedprompts.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

const QColor kBlack(Qt::black);
const QColor kGrey(0x80, 0x80, 0x80);

class TFCustomListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        m_programDirectory = m_dir.path() + QStringLiteral("/");
        m_existing = makeList(QStringLiteral("fav.kvl"));
        m_other = makeList(QStringLiteral("动画.kvl"));
        m_missing = m_programDirectory + QStringLiteral("gone.kvl");
    }
    QString makeList(const QString& name)
    {
        const QString path = m_programDirectory + name;
        EXPECT_TRUE(writeTextLines(path, {QStringLiteral("#KVL2")}).ok());
        return path;
    }
    QString listFile() const { return customListFilePath(m_programDirectory); }
    void writeCustomLists(const QStringList& lines) { ASSERT_TRUE(writeTextLines(listFile(), lines).ok()); }
    QByteArray fileBytes() const
    {
        QFile file(listFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::unique_ptr<TFCustomList> open()
    {
        return std::make_unique<TFCustomList>(m_prompts, m_programDirectory);
    }
    static QStringList row(const TFCustomList& dialog, int row)
    {
        return {dialog.lv_cuslist->item(row, 0)->text(), dialog.lv_cuslist->item(row, 1)->text()};
    }
    static QColor colour(const TFCustomList& dialog, int row)
    {
        return dialog.lv_cuslist->item(row, 0)->foreground().color();
    }
    static void pressRow(TFCustomList& dialog, int row)
    {
        dialog.show();
        const QRect cell = dialog.lv_cuslist->visualRect(dialog.lv_cuslist->model()->index(row, 0));
        QTest::mousePress(dialog.lv_cuslist->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseRelease(dialog.lv_cuslist->viewport(), Qt::LeftButton, {}, cell.center());
    }

    QTemporaryDir m_dir;
    QString m_programDirectory;
    QString m_existing, m_other, m_missing;
    ScriptedPrompts m_prompts;
};

TEST_F(TFCustomListTest, ControlsAsDesigned)
{
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("自定义播放列表"));
    EXPECT_EQ(dialog->size(), QSize(429, 292));
    struct Button {
        const char* name;
        QString caption;
        QRect geometry;
        bool enabled;
    };
    const Button buttons[] = {
        {"B_add", QStringLiteral("添加"), QRect(344, 8, 75, 25), true},
        {"b_edit", QStringLiteral("编辑"), QRect(344, 40, 75, 25), false},
        {"B_del", QStringLiteral("删除"), QRect(344, 72, 75, 25), false},
        {"Button5", QStringLiteral("确定"), QRect(344, 216, 75, 25), true},
        {"Button4", QStringLiteral("取消"), QRect(344, 256, 75, 25), true},
    };
    for (const Button& b : buttons) {
        auto* widget = dialog->findChild<QPushButton*>(QString::fromLatin1(b.name));
        ASSERT_TRUE(widget) << b.name;
        EXPECT_EQ(widget->text(), b.caption) << b.name;
        EXPECT_EQ(widget->accessibleName(), b.caption) << b.name;
        EXPECT_EQ(widget->geometry(), b.geometry) << b.name;
        EXPECT_EQ(widget->isEnabled(), b.enabled) << b.name;
    }
    EXPECT_TRUE(dialog->Button5->isDefault());
    auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("lv_cuslist"));
    ASSERT_EQ(list, dialog->lv_cuslist);
    EXPECT_EQ(list->geometry(), QRect(8, 8, 321, 273));
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("标题"));
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("路径"));
    EXPECT_EQ(list->horizontalHeader()->sectionSize(1), 200);
    EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->rowCount(), 0);  // no file yet
}

TEST_F(TFCustomListTest, RowsFromTheFileWithMissingListsInGrey)
{
    writeCustomLists({QStringLiteral("x#LLLx"), QStringLiteral("begin"), QStringLiteral("收藏"), m_existing,
                      QStringLiteral("begin "), QStringLiteral("skipped"), QStringLiteral("begin"),
                      QStringLiteral("旧的"), QStringLiteral("  ") + m_missing, QStringLiteral("begin"),
                      QStringLiteral("padded"), QStringLiteral(" ") + m_other + QStringLiteral(" "),
                      QStringLiteral("begin"), QStringLiteral("folder"), m_programDirectory});
    auto dialog = open();
    ASSERT_EQ(dialog->lv_cuslist->rowCount(), 4);
    EXPECT_EQ(row(*dialog, 0), (QStringList{QStringLiteral("收藏"), m_existing}));
    EXPECT_EQ(row(*dialog, 1), (QStringList{QStringLiteral("旧的"), QStringLiteral("  ") + m_missing}));
    EXPECT_EQ(colour(*dialog, 0), kBlack);
    EXPECT_EQ(colour(*dialog, 1), kGrey);
    EXPECT_EQ(dialog->lv_cuslist->item(1, 1)->foreground().color(), kGrey);
    EXPECT_EQ(colour(*dialog, 2), kBlack);  // the path is looked up trimmed
    EXPECT_EQ(colour(*dialog, 3), kGrey);   // a folder is no list file
}

TEST_F(TFCustomListTest, AddAppendsTheChosenListAndCancelAddsNothing)
{
    auto dialog = open();
    m_prompts.expectOpenFiles({});
    dialog->B_add->click();
    EXPECT_EQ(dialog->lv_cuslist->rowCount(), 0);
    m_prompts.expectOpenFiles({m_other});
    dialog->B_add->click();
    m_prompts.expectOpenFiles({m_missing});
    dialog->B_add->click();
    ASSERT_EQ(dialog->lv_cuslist->rowCount(), 2);
    EXPECT_EQ(row(*dialog, 0), (QStringList{QStringLiteral("动画"), m_other}));
    EXPECT_EQ(row(*dialog, 1), (QStringList{QStringLiteral("gone"), m_missing}));
    EXPECT_EQ(colour(*dialog, 1), kGrey);
    ASSERT_EQ(m_prompts.filePrompts().size(), 3u);
    EXPECT_EQ(m_prompts.filePrompts()[0].filter, QStringLiteral("flash播放列表文件(*.kvl)|*.kvl"));
    EXPECT_EQ(m_prompts.filePrompts()[0].defaultSuffix, QStringLiteral("kvl"));
}

TEST_F(TFCustomListTest, EditAndDeleteActOnTheSelectedRow)
{
    writeCustomLists({QStringLiteral("#LLL"), QStringLiteral("begin"), QStringLiteral("a"), m_existing,
                      QStringLiteral("begin"), QStringLiteral("b"), m_missing});
    auto dialog = open();
    // Without a selection the buttons do nothing (no dialog is shown).
    dialog->b_editClick();
    dialog->B_delClick();
    EXPECT_EQ(dialog->lv_cuslist->rowCount(), 2);

    pressRow(*dialog, 1);
    EXPECT_TRUE(dialog->b_edit->isEnabled());
    EXPECT_TRUE(dialog->B_del->isEnabled());
    m_prompts.expectOpenFiles({});
    dialog->b_edit->click();
    EXPECT_EQ(row(*dialog, 1), (QStringList{QStringLiteral("b"), m_missing}));
    m_prompts.expectOpenFiles({m_other});
    dialog->b_edit->click();
    EXPECT_EQ(row(*dialog, 1), (QStringList{QStringLiteral("动画"), m_other}));
    EXPECT_EQ(colour(*dialog, 1), kBlack);

    pressRow(*dialog, 0);
    dialog->B_del->click();
    ASSERT_EQ(dialog->lv_cuslist->rowCount(), 1);
    EXPECT_EQ(row(*dialog, 0), (QStringList{QStringLiteral("动画"), m_other}));
    EXPECT_FALSE(dialog->b_edit->isEnabled());
    EXPECT_FALSE(dialog->B_del->isEnabled());
}

TEST_F(TFCustomListTest, OkRewritesTheFileTrimmedWithGreyRowsKept)
{
    writeCustomLists({QStringLiteral("old #LLL header"), QStringLiteral("begin"), QStringLiteral("  收藏 "),
                      QStringLiteral(" ") + m_existing, QStringLiteral("begin"), QStringLiteral("旧的"), m_missing});
    auto dialog = open();
    m_prompts.expectOpenFiles({m_other});
    dialog->B_add->click();
    dialog->Button5->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const QString expected = QStringLiteral("#LLL\r\nbegin\r\n收藏\r\n") + m_existing + QStringLiteral("\r\nbegin\r\n旧的\r\n") +
                             m_missing + QStringLiteral("\r\nbegin\r\n动画\r\n") + m_other + QStringLiteral("\r\n");
    EXPECT_EQ(fileBytes(), encodeGb18030(expected));
}

TEST_F(TFCustomListTest, OkOnAFreshInstallationWritesTheMagicOnly)
{
    auto dialog = open();
    dialog->Button5Click();
    EXPECT_EQ(fileBytes(), QByteArray("#LLL\r\n"));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(TFCustomListTest, CancelLeavesTheFileAsItWas)
{
    writeCustomLists({QStringLiteral("#LLL"), QStringLiteral("begin"), QStringLiteral("  a  "), m_existing});
    const QByteArray before = fileBytes();
    auto dialog = open();
    m_prompts.expectOpenFiles({m_other});
    dialog->B_add->click();
    pressRow(*dialog, 0);
    dialog->B_del->click();
    dialog->Button4->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(fileBytes(), before);

    auto fresh = std::make_unique<TFCustomList>(m_prompts, m_programDirectory + QStringLiteral("empty/"));
    fresh->Button4Click();
    EXPECT_FALSE(QFile::exists(m_programDirectory + QStringLiteral("empty/list.cfg")));
}

TEST_F(TFCustomListTest, UnwritableFileKeepsTheDialogOpen)
{
    ASSERT_TRUE(QDir().mkpath(listFile()));  // a folder where the file should go
    auto dialog = open();
    m_prompts.expectOpenFiles({m_existing});
    dialog->B_add->click();
    m_prompts.expectMessage(QStringLiteral("Kivamo"), QStringLiteral("Cannot create file ") + listFile(), PromptIcon::Error);
    dialog->Button5Click();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->lv_cuslist->rowCount(), 1);
}

}  // namespace
}  // namespace kivamo
