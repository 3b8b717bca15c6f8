// The un-assign window offscreen: the icon number's key and range rules, the program chooser, and
// the three buttons with what each leaves in main.ini and mimeapps.list.
#include "shell/ui/tfunsetassign.h"

#include "platform/inifile.h"
#include "shell/associations.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

class ApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override { m_application = std::make_unique<QApplication>(m_argc, m_argv); }
    void TearDown() override { m_application.reset(); }

private:
    int m_argc = 1;
    char m_name[5] = "test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_application;
};

[[maybe_unused]] testing::Environment* const kApplication =
    testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

class TfunsetassignTest : public testing::Test {
protected:
    TfunsetassignTest()
    {
        m_environment.dataHome = m_root.filePath("data");
        m_environment.configHome = m_root.filePath("config");
        m_environment.findProgram = [](const QString&) { return QString(); };
        m_environment.runProgram = [](const QString&, const QStringList&) {};
        IniFile ini;
        ini.writeBool(QStringLiteral("common"), QStringLiteral("command"), true);
        EXPECT_TRUE(ini.save(iniPath()).ok());
        m_dialog = std::make_unique<Tfunsetassign>(m_environment, m_prompts, iniPath());
    }

    QString iniPath() const { return m_root.filePath("main.ini"); }
    bool command() const
    {
        return IniFile::load(iniPath()).readBool(QStringLiteral("common"), QStringLiteral("command"), true);
    }
    QString mimeApps() const
    {
        QFile file(mimeAppsListPath(m_environment));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_root;
    AssociationEnvironment m_environment;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Tfunsetassign> m_dialog;
};

void type(QLineEdit* edit, const QString& keys)
{
    for (QChar key : keys) {
        QKeyEvent press(QEvent::KeyPress, key == u'\b' ? int(Qt::Key_Backspace) : 0, Qt::NoModifier, QString(key));
        QCoreApplication::sendEvent(edit, &press);
    }
}

TEST_F(TfunsetassignTest, ShowsItsCaptionsAndStartsWithIconOne)
{
    Tfunsetassign& dialog = *m_dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("卸载SWF文件关联"));
    EXPECT_EQ(dialog.size(), QSize(424, 157));
    EXPECT_EQ(dialog.LAB_assignpath->text(),
              QStringLiteral("您即将卸载本程序与SWF文件的关联，请选择将要进行关联的程序： "));
    EXPECT_TRUE(dialog.LABEDT_assignpath->text().isEmpty());
    EXPECT_EQ(dialog.LAB_iconnum->text(), QStringLiteral("图标序号："));
    EXPECT_EQ(dialog.LABEDT_iconnum->text(), QStringLiteral("1"));
    ASSERT_EQ(dialog.PM_1->actions().size(), 1);
    EXPECT_EQ(dialog.PM_1->actions().at(0)->text(), QStringLiteral("请输入序号"));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("浏览..."));
    EXPECT_EQ(dialog.Button2->text(), QStringLiteral("应用关联设置"));
    EXPECT_EQ(dialog.Button3->text(), QStringLiteral("不设置关联"));
    EXPECT_EQ(dialog.Button4->text(), QStringLiteral("取消"));
}

TEST_F(TfunsetassignTest, IconNumberTakesDigitsAndStaysInRange)
{
    QLineEdit* field = m_dialog->LABEDT_iconnum;
    const struct {
        QString start;
        QString keys;
        QString result;
    } cases[] = {
        {"1", "2", "12"},        {"1", "a-. x", "1"},   {"12", "\b", "1"},   {"1", "\b", "0"},
        {"25", "4", "254"},      {"25", "5", "254"},    {"99", "9", "254"},  {"0", "7", "07"},
        {"3", "+", "3"},
    };
    for (const auto& c : cases) {
        field->setText(c.start);
        field->setCursorPosition(int(c.start.size()));
        type(field, c.keys);
        EXPECT_EQ(field->text(), c.result) << c.start.toStdString() << " + " << c.keys.toStdString();
    }
    field->setText(QString());
    EXPECT_EQ(field->text(), QStringLiteral("0"));
    field->setText(QStringLiteral("100000"));
    EXPECT_EQ(field->text(), QStringLiteral("254"));
}

TEST_F(TfunsetassignTest, BrowseFillsThePathAndCancelKeepsIt)
{
    m_dialog->LABEDT_assignpath->setText(QStringLiteral("/usr/bin/old"));
    m_prompts.expectOpenFiles({});
    m_dialog->Button1Click();
    EXPECT_EQ(m_dialog->LABEDT_assignpath->text(), QStringLiteral("/usr/bin/old"));
    m_prompts.expectOpenFiles({QStringLiteral("/usr/bin/other")});
    m_dialog->Button1Click();
    EXPECT_EQ(m_dialog->LABEDT_assignpath->text(), QStringLiteral("/usr/bin/other"));
    ASSERT_EQ(m_prompts.filePrompts().size(), 2u);
    EXPECT_EQ(m_prompts.filePrompts().at(0).filter, QStringLiteral("可执行程序|*"));
}

TEST_F(TfunsetassignTest, ApplyWithMissingProgramKeepsTheDialogAndTheSettings)
{
    for (const QString& path : {QString(), m_root.filePath("nothing"), m_root.path()}) {
        m_dialog->LABEDT_assignpath->setText(path);
        m_prompts.expectMessage(QStringLiteral("文件不存在"), QStringLiteral("您所指定的程序不存在，请更正后再试。"),
                                PromptIcon::Error);
        m_dialog->Button2->click();
        EXPECT_EQ(m_dialog->result(), QDialog::Rejected) << path.toStdString();
    }
    EXPECT_TRUE(command());
    EXPECT_TRUE(mimeApps().isEmpty());
}

TEST_F(TfunsetassignTest, ApplyGivesMoviesToTheProgramAndCloses)
{
    const QString program = m_root.filePath("player");
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    m_dialog->LABEDT_assignpath->setText(program);
    m_prompts.expectMessage(QStringLiteral("文件关联卸载成功"),
                            QStringLiteral("SWF文件关联卸载成功，当前关联程序\r") + program, PromptIcon::Information);
    m_dialog->Button2->click();
    EXPECT_TRUE(m_prompts.done());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(command());
    const QString entry = handlerDesktopEntryName(program);
    for (const QString& type : kMovieMimeTypes)
        EXPECT_TRUE(mimeApps().contains(type + u'=' + entry)) << mimeApps().toStdString();
}

TEST_F(TfunsetassignTest, KeepButtonOnlyStopsTakingMoviesBack)
{
    m_dialog->Button3->click();
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(command());
    EXPECT_TRUE(mimeApps().isEmpty());
}

TEST_F(TfunsetassignTest, CancelChangesNothing)
{
    m_dialog->LABEDT_assignpath->setText(QStringLiteral("/usr/bin/true"));
    m_dialog->Button4->click();
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(command());
    EXPECT_TRUE(mimeApps().isEmpty());
}

}  // namespace
}  // namespace kivamo
