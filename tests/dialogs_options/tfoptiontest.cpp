// The options window offscreen: its controls by name, the handlers wired to them, and what 确定 and
// 取消 leave in main.ini of a temporary program directory.
#include "support/testapplication.h"

#include "core/associations.h"
#include "core/settings.h"
#include "dialogs/ui/tfoption.h"
#include "platform/inifile.h"
#include "platform/textfile.h"
#include "playlist/history.h"
#include "support/scriptedprompts.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

class OwnedAssociations : public Associations {
public:
    std::optional<bool> owned;
    QStringList registered;
    std::optional<bool> movieAssociationOpensProgram(const QString&) const override { return owned; }
    Result<void> registerMovieAssociation(const QString& programPath) override
    {
        registered << programPath;
        return {};
    }
};

class TfoptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        m_programDirectory = m_dir.path() + QStringLiteral("/");
        m_services.programDirectory = m_programDirectory;
        m_services.programPath = QStringLiteral("/opt/kivamo/kivamo");
        m_services.prompts = &m_prompts;
        m_services.associations = &m_associations;
        m_services.applyOnTop = [this](bool onTop) { m_onTopApplied = onTop; };
        m_services.reloadSettings = [this] { m_reloaded = loadSettingsFrom(m_programDirectory); };
    }
    void writeIni(const QStringList& lines) { ASSERT_TRUE(writeTextLines(iniPath(), lines).ok()); }
    QString iniPath() const { return settingsFilePath(m_programDirectory); }
    std::unique_ptr<Tfoption> open(bool onTop = false, OpticalProbe probe = [](const QString&) { return false; })
    {
        auto dialog = std::make_unique<Tfoption>(m_services, onTop, std::move(probe));
        dialog->FormShow();
        return dialog;
    }
    IniFile stored() const { return IniFile::load(iniPath()); }

    QTemporaryDir m_dir;
    QString m_programDirectory;
    ScriptedPrompts m_prompts;
    OwnedAssociations m_associations;
    OptionsServices m_services;
    std::optional<bool> m_onTopApplied;
    Settings m_reloaded;
};

template <typename Widget>
Widget* find(QWidget& window, const char* name)
{
    return window.findChild<Widget*>(QString::fromLatin1(name));
}

TEST_F(TfoptionTest, EveryControlHasItsNameAndAnAccessibleName)
{
    auto dialog = open();
    const char* checks[] = {"chk_getnew", "chk_newswversion", "chk_newflversion", "chk_history", "chk_command",
                            "chk_pupflashmenu", "chk_banquan", "chk_autoplay", "chk_pingbao", "chk_ontop",
                            "chk_autocontinue", "chk_dclick", "chk_fscommand", "chk_exec"};
    for (const char* name : checks) {
        QCheckBox* box = find<QCheckBox>(*dialog, name);
        ASSERT_TRUE(box) << name;
        EXPECT_EQ(box->accessibleName(), box->text()) << name;
    }
    const char* radios[] = {"rb_listtop", "rb_latest", "rb_showall", "rb_noscale", "rb_newlist", "rb_behind",
                            "rb_custom", "rb_def", "rb_bmp", "rb_gif", "rb_jpg"};
    for (const char* name : radios) {
        QRadioButton* radio = find<QRadioButton>(*dialog, name);
        ASSERT_TRUE(radio) << name;
        EXPECT_FALSE(radio->accessibleName().isEmpty()) << name;
    }
    const char* others[] = {"TV_1", "pgc_1", "ts_1", "ts_2", "ts_3", "ts_4", "ts_5", "Button1", "Button2", "Button3",
                            "LAB_1", "TRB_Step", "LAB_2", "edt_path", "B_browse", "LAB_state", "LAB_PathState"};
    for (const char* name : others)
        EXPECT_TRUE(find<QWidget>(*dialog, name)) << name;
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选项设置"));
    EXPECT_EQ(dialog->size(), QSize(558, 379));
    EXPECT_EQ(dialog->rb_gif->toolTip(), QStringLiteral("256色显示，画质最差"));
    EXPECT_EQ(dialog->rb_jpg->accessibleDescription(), QStringLiteral("80％压缩率"));
    EXPECT_TRUE(dialog->Button2->isDefault());
}

TEST_F(TfoptionTest, NoKeysOpensOnTheGeneralPage)
{
    ASSERT_TRUE(QDir().mkpath(m_programDirectory + QStringLiteral("images")));
    writeIni({QStringLiteral("[common]"), QStringLiteral("[play]")});
    auto dialog = open();
    EXPECT_EQ(dialog->pgc_1->currentWidget(), dialog->ts_1);
    EXPECT_EQ(dialog->TV_1->currentItem()->text(0), QStringLiteral("常规设置"));
    EXPECT_TRUE(dialog->chk_getnew->isChecked());
    EXPECT_FALSE(dialog->chk_getnew->isEnabled());
    EXPECT_TRUE(dialog->chk_newswversion->isChecked() && dialog->chk_newflversion->isChecked());
    EXPECT_TRUE(dialog->chk_history->isChecked());
    EXPECT_TRUE(dialog->chk_autoplay->isChecked());
    EXPECT_TRUE(dialog->rb_listtop->isChecked());
    EXPECT_EQ(dialog->TRB_Step->value(), 20);
    EXPECT_EQ(dialog->LAB_2->text(), QStringLiteral("20 帧"));
    EXPECT_TRUE(dialog->rb_showall->isChecked());
    EXPECT_TRUE(dialog->rb_newlist->isChecked());
    EXPECT_TRUE(dialog->rb_def->isChecked());
    EXPECT_FALSE(dialog->rb_custom->isChecked());
    EXPECT_EQ(dialog->edt_path->text(), m_programDirectory + QStringLiteral("images/"));
    EXPECT_EQ(dialog->LAB_PathState->text(), QStringLiteral("有效"));
    EXPECT_EQ(dialog->LAB_PathState->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_TRUE(dialog->rb_bmp->isChecked());
    EXPECT_FALSE(dialog->chk_fscommand->isChecked());
    EXPECT_FALSE(dialog->chk_exec->isEnabled());
}

TEST_F(TfoptionTest, OkAtOnceStoresTheShownDefaults)
{
    auto dialog = open();
    dialog->Button2->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const IniFile ini = stored();
    EXPECT_TRUE(ini.readBool(QStringLiteral("common"), QStringLiteral("history"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("picture"), QStringLiteral("custom"), true));
    EXPECT_TRUE(ini.readBool(QStringLiteral("picture"), QStringLiteral("def"), false));
    EXPECT_EQ(m_onTopApplied, std::optional<bool>(false));
    EXPECT_TRUE(m_reloaded.history);
    EXPECT_TRUE(m_associations.registered.isEmpty());
}

TEST_F(TfoptionTest, CancelWritesNothing)
{
    auto dialog = open();
    dialog->chk_history->click();
    dialog->TRB_Step->setValue(80);
    dialog->Button3->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_FALSE(m_onTopApplied.has_value());
}

TEST_F(TfoptionTest, UntickingBothVersionChecks)
{
    auto dialog = open();
    dialog->chk_newswversion->click();
    EXPECT_TRUE(dialog->chk_getnew->isChecked());
    dialog->chk_newflversion->click();
    EXPECT_FALSE(dialog->chk_getnew->isChecked());
    EXPECT_FALSE(dialog->chk_newswversion->isEnabled());
    EXPECT_FALSE(dialog->chk_newflversion->isEnabled());
    dialog->Button2Click();
    EXPECT_FALSE(stored().readBool(QStringLiteral("common"), QStringLiteral("getnew"), true));
}

TEST_F(TfoptionTest, RadioPairsShowTheLaterKeyOrNeither)
{
    writeIni({QStringLiteral("[play]"), QStringLiteral("listtop=1"), QStringLiteral("latest=1"),
              QStringLiteral("newlist=0"), QStringLiteral("behind=0")});
    auto dialog = open();
    EXPECT_TRUE(dialog->rb_latest->isChecked());
    EXPECT_FALSE(dialog->rb_listtop->isChecked());
    EXPECT_FALSE(dialog->rb_newlist->isChecked());
    EXPECT_FALSE(dialog->rb_behind->isChecked());
    dialog->Button2Click();
    const IniFile ini = stored();
    EXPECT_FALSE(ini.readBool(QStringLiteral("play"), QStringLiteral("listtop"), true));
    EXPECT_TRUE(ini.readBool(QStringLiteral("play"), QStringLiteral("latest"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("play"), QStringLiteral("newlist"), true));
    EXPECT_FALSE(ini.readBool(QStringLiteral("play"), QStringLiteral("behind"), true));
}

TEST_F(TfoptionTest, StepSliderShowsFramesAndIsStored)
{
    auto dialog = open();
    dialog->TRB_Step->setValue(57);
    EXPECT_EQ(dialog->LAB_2->text(), QStringLiteral("57 帧"));
    dialog->Button2Click();
    EXPECT_EQ(stored().readInteger(QStringLiteral("play"), QStringLiteral("step"), 0), 57);
    EXPECT_EQ(m_reloaded.step, 57);
}

TEST_F(TfoptionTest, FolderStateOnOpticalAndMissingFolders)
{
    const QString optical = m_programDirectory + QStringLiteral("cdrom");
    ASSERT_TRUE(QDir().mkpath(optical));
    auto dialog = open(false, [optical](const QString& path) { return path.startsWith(optical); });
    EXPECT_EQ(dialog->LAB_PathState->text(), QStringLiteral("无效(路径不存在)"));  // images/ not made yet
    dialog->edt_path->setText(optical);
    EXPECT_EQ(dialog->LAB_PathState->text(), QStringLiteral("无效(光驱路径)"));
    EXPECT_EQ(dialog->LAB_PathState->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    dialog->edt_path->setText(optical + QStringLiteral("/missing"));
    EXPECT_EQ(dialog->LAB_PathState->text(), QStringLiteral("无效(路径不存在)"));
    dialog->edt_path->setText(m_programDirectory);
    EXPECT_EQ(dialog->LAB_PathState->text(), QStringLiteral("有效"));
}

TEST_F(TfoptionTest, OnlyAClickOnTheTreeChangesThePage)
{
    auto dialog = open();
    dialog->show();
    QTreeWidgetItem* root = dialog->TV_1->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 4);
    dialog->TV_1->setCurrentItem(root->child(3));  // as the arrow keys would
    EXPECT_EQ(dialog->pgc_1->currentWidget(), dialog->ts_1);
    const QRect node = dialog->TV_1->visualItemRect(root->child(1));
    QTest::mouseClick(dialog->TV_1->viewport(), Qt::LeftButton, {}, node.center());
    EXPECT_EQ(dialog->pgc_1->currentWidget(), dialog->ts_2);
    dialog->TV_1->setCurrentItem(root);
    dialog->TV_1Click();  // the root carries no page
    EXPECT_EQ(dialog->pgc_1->currentWidget(), dialog->ts_2);
    dialog->TV_1->setCurrentItem(root->child(3));
    dialog->TV_1Click();
    EXPECT_EQ(dialog->pgc_1->currentWidget(), dialog->ts_4);
}

TEST_F(TfoptionTest, EnablingRulesFollowClicks)
{
    auto dialog = open();
    dialog->chk_fscommand->click();
    EXPECT_TRUE(dialog->chk_exec->isEnabled());
    dialog->chk_autoplay->click();
    EXPECT_FALSE(dialog->rb_listtop->isEnabled() || dialog->rb_latest->isEnabled());
    dialog->rb_custom->click();
    for (QWidget* widget : std::initializer_list<QWidget*>{dialog->edt_path, dialog->B_browse, dialog->LAB_state,
                                                           dialog->LAB_PathState, dialog->rb_bmp, dialog->rb_gif,
                                                           dialog->rb_jpg})
        EXPECT_FALSE(widget->isEnabled()) << widget->objectName().toStdString();
    dialog->rb_def->click();
    EXPECT_TRUE(dialog->edt_path->isEnabled() && dialog->rb_jpg->isEnabled());
}

TEST_F(TfoptionTest, AssociationStateAndRegistration)
{
    m_associations.owned = true;
    writeIni({QStringLiteral("[common]"), QStringLiteral("command=1")});
    auto owned = open(true);
    EXPECT_FALSE(owned->chk_command->isEnabled());
    EXPECT_TRUE(owned->chk_command->isChecked());
    EXPECT_TRUE(owned->chk_ontop->isChecked());

    m_associations.owned = false;
    auto dialog = open();
    EXPECT_TRUE(dialog->chk_command->isEnabled());
    dialog->chk_ontop->click();
    dialog->Button2Click();
    EXPECT_EQ(m_associations.registered, QStringList{QStringLiteral("/opt/kivamo/kivamo")});
    EXPECT_EQ(m_onTopApplied, std::optional<bool>(true));
}

TEST_F(TfoptionTest, ClearHistoryActsAtOnceAndBrowseFillsTheFolder)
{
    ASSERT_TRUE(addToHistory(m_programDirectory, QStringLiteral("/m/a.swf")).ok());
    auto dialog = open();
    m_prompts.expectMessage(QStringLiteral("清除历史记录"), QStringLiteral("已经成功清除历史记录！"), PromptIcon::Information);
    dialog->Button1->click();
    EXPECT_FALSE(QFile::exists(historyFilePath(m_programDirectory)));
    m_prompts.expectMessage(QStringLiteral("清除历史记录"), QStringLiteral("当前没有历史记录！"), PromptIcon::Information);
    dialog->Button1->click();

    m_prompts.expectFolder(QString(), QStringLiteral("选择保存截图的目录"));
    const QString before = dialog->edt_path->text();
    dialog->B_browse->click();
    EXPECT_EQ(dialog->edt_path->text(), before);
    m_prompts.expectFolder(m_programDirectory, QStringLiteral("选择保存截图的目录"));
    dialog->B_browse->click();
    EXPECT_EQ(dialog->edt_path->text(), m_programDirectory);
    EXPECT_EQ(dialog->LAB_PathState->text(), QStringLiteral("有效"));
    dialog->Button3Click();
    EXPECT_FALSE(QFile::exists(iniPath()));
}

}  // namespace
}  // namespace kivamo
