// The options dialog's logic: loading main.ini with the dialog's defaults and rules, the folder
// state, and what "确定" writes and applies.
#include "core/associations.h"
#include "core/settings.h"
#include "dialogs/options.h"
#include "platform/inifile.h"
#include "platform/textfile.h"
#include "support/scriptedprompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

class RecordingAssociations : public Associations {
public:
    std::optional<bool> owned;
    bool refuse = false;
    QStringList registered;

    std::optional<bool> movieAssociationOpensProgram(const QString&) const override { return owned; }
    Result<void> registerMovieAssociation(const QString& programPath) override
    {
        registered << programPath;
        if (refuse)
            return makeError(ErrorKind::WriteFailed, QStringLiteral("无法写入关联"));
        return {};
    }
};

OptionsDialog loaded(const QString& iniText, const QString& programDirectory = QStringLiteral("/prog/"),
                     std::optional<bool> owned = std::nullopt, bool onTop = false)
{
    OptionsDialog dialog;
    dialog.load(IniFile::fromText(iniText), programDirectory, owned, onTop);
    return dialog;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(OptionsLoad, NoKeysShowsTheDialogDefaults)
{
    const OptionsDialog dialog = loaded(QString());
    const OptionsControls& c = dialog.controls();
    EXPECT_TRUE(c.getnew.checked);
    EXPECT_FALSE(c.getnew.enabled);
    EXPECT_TRUE(c.newswversion.checked && c.newswversion.enabled);
    EXPECT_TRUE(c.newflversion.checked && c.newflversion.enabled);
    EXPECT_TRUE(c.history.checked);  // the startup loader would say false
    EXPECT_FALSE(c.command.checked);
    EXPECT_TRUE(c.command.enabled);
    EXPECT_FALSE(c.pupflashmenu.checked);
    EXPECT_TRUE(c.banquan.checked);
    EXPECT_TRUE(c.autoplay.checked);
    EXPECT_TRUE(c.listtop.checked && c.listtop.enabled);
    EXPECT_FALSE(c.latest.checked);
    EXPECT_TRUE(c.latest.enabled);
    EXPECT_TRUE(c.pingbao.checked);
    EXPECT_FALSE(c.ontop.checked);
    EXPECT_EQ(c.step, 20);
    EXPECT_EQ(stepText(c.step), QStringLiteral("20 帧"));
    EXPECT_FALSE(c.autocontinue.checked);
    EXPECT_FALSE(c.dclick.checked);
    EXPECT_TRUE(c.showall.checked);
    EXPECT_FALSE(c.noscale.checked);
    EXPECT_TRUE(c.newlist.checked);
    EXPECT_FALSE(c.behind.checked);
    EXPECT_FALSE(c.custom.checked);
    EXPECT_TRUE(c.def.checked);
    EXPECT_TRUE(dialog.pictureControlsEnabled());
    EXPECT_EQ(c.path, QStringLiteral("/prog/images/"));
    EXPECT_TRUE(c.bmp.checked && c.bmp.enabled);
    EXPECT_FALSE(c.gif.checked || c.jpg.checked);
    EXPECT_FALSE(c.fscommand.checked);
    EXPECT_FALSE(c.exec.checked);
    EXPECT_FALSE(c.exec.enabled);
}

// Radio pairs with a key for each button: the later key wins when both are on, none shows when both are off.
TEST(OptionsLoad, RadioPairsApplyTheLaterKeyLast)
{
    struct Case {
        const char* first;
        const char* second;
        const char* section;
        bool firstValue, secondValue;
        bool firstChecked, secondChecked;
    };
    const Case cases[] = {
        {"listtop", "latest", "play", true, true, false, true},
        {"listtop", "latest", "play", true, false, true, false},
        {"listtop", "latest", "play", false, true, false, true},
        {"listtop", "latest", "play", false, false, false, false},
        {"newlist", "behind", "play", true, true, false, true},
        {"newlist", "behind", "play", false, false, false, false},
        {"newlist", "behind", "play", true, false, true, false},
        {"custom", "def", "picture", true, true, false, true},
        {"custom", "def", "picture", true, false, true, false},
        {"custom", "def", "picture", false, false, false, false},
    };
    for (const Case& k : cases) {
        const QString text = QStringLiteral("[%1]\n%2=%3\n%4=%5\n")
                                 .arg(QLatin1String(k.section), QLatin1String(k.first))
                                 .arg(int(k.firstValue))
                                 .arg(QLatin1String(k.second))
                                 .arg(int(k.secondValue));
        const OptionsControls c = loaded(text).controls();
        const std::string name = std::string(k.first) + "=" + std::to_string(k.firstValue) + " " + k.second + "=" +
                                 std::to_string(k.secondValue);
        const std::pair<OptionBox, OptionBox> boxes = k.first == std::string("listtop") ? std::pair(c.listtop, c.latest)
                                                      : k.first == std::string("newlist") ? std::pair(c.newlist, c.behind)
                                                                                           : std::pair(c.custom, c.def);
        EXPECT_EQ(boxes.first.checked, k.firstChecked) << name;
        EXPECT_EQ(boxes.second.checked, k.secondChecked) << name;
    }
}

TEST(OptionsLoad, PictureControlsFollowDefaultSaving)
{
    const OptionsDialog custom = loaded(QStringLiteral("[picture]\ncustom=1\ndef=0\n"));
    EXPECT_FALSE(custom.pictureControlsEnabled());
    EXPECT_FALSE(custom.controls().bmp.enabled || custom.controls().gif.enabled || custom.controls().jpg.enabled);

    OptionsDialog dialog = loaded(QString());
    dialog.controls().custom.checked = true;
    dialog.controls().def.checked = false;
    dialog.defClicked();
    EXPECT_FALSE(dialog.pictureControlsEnabled());
    EXPECT_FALSE(dialog.controls().jpg.enabled);
}

TEST(OptionsLoad, ImageTypeSelectsItsButtonOrLeavesBmp)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {QString(), QStringLiteral("bmp")},
        {QStringLiteral("imagetype=bmp"), QStringLiteral("bmp")},
        {QStringLiteral("imagetype=gif"), QStringLiteral("gif")},
        {QStringLiteral("imagetype=jpg"), QStringLiteral("jpg")},
        {QStringLiteral("imagetype=GIF"), QStringLiteral("bmp")},
        {QStringLiteral("imagetype=png"), QStringLiteral("bmp")},
        {QStringLiteral("imagetype="), QStringLiteral("bmp")},
    };
    for (const auto& [line, expected] : cases) {
        const OptionsControls c = loaded(QStringLiteral("[picture]\n") + line + QStringLiteral("\n")).controls();
        EXPECT_EQ(imageTypeOf(c), expected) << line.toStdString();
        EXPECT_EQ(int(c.bmp.checked) + int(c.gif.checked) + int(c.jpg.checked), 1) << line.toStdString();
    }
}

TEST(OptionsLoad, StepIsKeptOnTheSlider)
{
    const std::vector<std::pair<QString, int>> cases = {
        {QStringLiteral("57"), 57},  {QStringLiteral("0x1E"), 30}, {QStringLiteral("abc"), 20},
        {QStringLiteral("10"), 10},  {QStringLiteral("100"), 100}, {QStringLiteral("9"), 10},
        {QStringLiteral("-5"), 10},  {QStringLiteral("101"), 100},
    };
    for (const auto& [value, expected] : cases) {
        const OptionsControls c = loaded(QStringLiteral("[play]\nstep=") + value + QStringLiteral("\n")).controls();
        EXPECT_EQ(c.step, expected) << value.toStdString();
        EXPECT_EQ(stepText(c.step), QString::number(expected) + QStringLiteral(" 帧")) << value.toStdString();
    }
}

TEST(OptionsLoad, VersionChecksAndTheMasterBox)
{
    // Both checks off in the file: the master box goes off with them and both are disabled.
    OptionsControls c = loaded(QStringLiteral("[common]\nnewswversion=0\nnewflversion=0\n")).controls();
    EXPECT_FALSE(c.getnew.checked);
    EXPECT_FALSE(c.newswversion.checked || c.newflversion.checked);
    EXPECT_FALSE(c.newswversion.enabled || c.newflversion.enabled);

    // Master off: the stored checks show but cannot be changed.
    c = loaded(QStringLiteral("[common]\ngetnew=0\n")).controls();
    EXPECT_FALSE(c.getnew.checked);
    EXPECT_TRUE(c.newswversion.checked && c.newflversion.checked);
    EXPECT_FALSE(c.newswversion.enabled || c.newflversion.enabled);

    // One check left on keeps the master box on.
    c = loaded(QStringLiteral("[common]\nnewswversion=0\n")).controls();
    EXPECT_TRUE(c.getnew.checked);
    EXPECT_TRUE(c.newflversion.checked);
    EXPECT_TRUE(c.newswversion.enabled);
}

TEST(OptionsRules, UntickingBothVersionChecksDisablesThemForGood)
{
    OptionsDialog dialog = loaded(QString());
    OptionsControls& c = dialog.controls();
    c.newswversion.checked = false;
    dialog.newswversionClicked();
    EXPECT_TRUE(c.getnew.checked);
    EXPECT_TRUE(c.newflversion.enabled);
    c.newflversion.checked = false;
    dialog.newswversionClicked();
    EXPECT_FALSE(c.getnew.checked);
    EXPECT_FALSE(c.getnew.enabled);
    EXPECT_FALSE(c.newswversion.enabled || c.newflversion.enabled);

    // The history box shares the master box's rule; it must not bring the checks back.
    c.history.checked = false;
    dialog.getnewClicked();
    EXPECT_FALSE(c.newswversion.checked || c.newswversion.enabled);

    IniFile ini;
    dialog.write(ini);
    EXPECT_FALSE(ini.readBool(QStringLiteral("common"), QStringLiteral("getnew"), true));
    EXPECT_FALSE(ini.readBool(QStringLiteral("common"), QStringLiteral("newswversion"), true));
}

TEST(OptionsRules, NoSelectedFormatWritesNoImageType)
{
    OptionsDialog dialog = loaded(QStringLiteral("[picture]\nimagetype=gif\n"));
    dialog.controls().gif.checked = false;
    IniFile ini = IniFile::fromText(QStringLiteral("[picture]\nimagetype=jpg\n"));
    dialog.write(ini);
    EXPECT_EQ(ini.readString(QStringLiteral("picture"), QStringLiteral("imagetype"), {}), QStringLiteral("jpg"));
}

TEST(OptionsRules, EnablingFollowsTheMasterBoxes)
{
    OptionsDialog dialog = loaded(QStringLiteral("[common]\nfscommand=1\nexec=1\n[play]\nautoplay=0\n"));
    OptionsControls& c = dialog.controls();
    EXPECT_TRUE(c.exec.enabled && c.exec.checked);
    EXPECT_FALSE(c.listtop.enabled || c.latest.enabled);
    c.fscommand.checked = false;
    dialog.fscommandClicked();
    EXPECT_FALSE(c.exec.enabled);
    EXPECT_TRUE(c.exec.checked);  // disabled, yet written as it stands
    c.autoplay.checked = true;
    dialog.autoplayClicked();
    EXPECT_TRUE(c.listtop.enabled && c.latest.enabled);
}

TEST(OptionsLoad, AssociationStateAndOnTopComeFromTheProgram)
{
    EXPECT_FALSE(loaded(QStringLiteral("[common]\ncommand=1\n"), QStringLiteral("/p/"), true).controls().command.enabled);
    EXPECT_TRUE(loaded(QStringLiteral("[common]\ncommand=1\n"), QStringLiteral("/p/"), true).controls().command.checked);
    EXPECT_TRUE(loaded(QString(), QStringLiteral("/p/"), false).controls().command.enabled);
    EXPECT_TRUE(loaded(QString(), QStringLiteral("/p/"), std::nullopt).controls().command.enabled);
    // chk_ontop shows the window's mode, not the stored key.
    EXPECT_TRUE(loaded(QStringLiteral("[play]\nontop=0\n"), QStringLiteral("/p/"), std::nullopt, true).controls().ontop.checked);
    EXPECT_FALSE(loaded(QStringLiteral("[play]\nontop=1\n"), QStringLiteral("/p/"), std::nullopt, false).controls().ontop.checked);
}

TEST(OptionsLoad, KeysMatchWhateverTheirCase)
{
    const OptionsControls c =
        loaded(QStringLiteral("[PLAY]\nDclick=1\nNOSCALE=1\n[Common]\nHistory=0\n[picture]\nPATH=/m/\n")).controls();
    EXPECT_TRUE(c.dclick.checked);
    EXPECT_TRUE(c.noscale.checked);
    EXPECT_FALSE(c.showall.checked);
    EXPECT_FALSE(c.history.checked);
    EXPECT_EQ(c.path, QStringLiteral("/m/"));
}

TEST(OptionsFolderState, TextsAndColours)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString existing = dir.path();
    const QString missing = dir.filePath(QStringLiteral("nowhere"));
    QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
    auto never = [](const QString&) { return false; };
    auto always = [](const QString&) { return true; };
    const QColor green(0, 128, 0), red(255, 0, 0);

    struct Case {
        QString text;
        OpticalProbe probe;
        QString state;
        QColor colour;
    };
    const std::vector<Case> cases = {
        {existing, never, QStringLiteral("有效"), green},
        {QStringLiteral("  ") + existing + QStringLiteral("/ "), never, QStringLiteral("有效"), green},
        {existing, always, QStringLiteral("无效(光驱路径)"), red},
        // A folder that does not exist reads as missing even on optical media.
        {missing, always, QStringLiteral("无效(路径不存在)"), red},
        {missing, never, QStringLiteral("无效(路径不存在)"), red},
        {dir.filePath(QStringLiteral("file")), never, QStringLiteral("无效(路径不存在)"), red},
        {QString(), never, QStringLiteral("无效(路径不存在)"), red},
    };
    for (const Case& k : cases) {
        const FolderState state = folderState(k.text, k.probe);
        EXPECT_EQ(state.text, k.state) << k.text.toStdString();
        EXPECT_EQ(state.colour, k.colour) << k.text.toStdString();
    }
}

class OptionsConfirm : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_programDirectory = m_dir.path() + QStringLiteral("/");
        m_services.programDirectory = m_programDirectory;
        m_services.programPath = QStringLiteral("/opt/kivamo/kivamo");
        m_services.prompts = &m_prompts;
        m_services.associations = &m_associations;
        m_services.applyOnTop = [this](bool onTop) { m_calls << QStringLiteral("ontop %1").arg(int(onTop)); };
        m_services.reloadSettings = [this] {
            m_calls << QStringLiteral("reload");
            m_reloaded = loadSettingsFrom(m_programDirectory);
        };
    }
    QString iniPath() const { return settingsFilePath(m_programDirectory); }
    OptionsDialog loadedFromFile()
    {
        OptionsDialog dialog;
        dialog.load(IniFile::load(iniPath()), m_programDirectory, std::nullopt, false);
        return dialog;
    }

    QTemporaryDir m_dir;
    QString m_programDirectory;
    ScriptedPrompts m_prompts;
    RecordingAssociations m_associations;
    OptionsServices m_services;
    QStringList m_calls;
    Settings m_reloaded;
};

TEST_F(OptionsConfirm, PressingOkAtOnceWritesEveryKeyInOrder)
{
    const OptionsDialog dialog = loadedFromFile();
    ASSERT_TRUE(dialog.confirm(m_services));
    // Every line ends with CR LF; the blank lines between sections are the INI writer's business.
    const QByteArray bytes = fileBytes(iniPath());
    EXPECT_FALSE(bytes.contains("\n\n") || QByteArray(bytes).replace("\r\n", "").contains('\n'));
    const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QStringList expected = {
        QStringLiteral("[common]"), QStringLiteral("getnew=1"), QStringLiteral("newswversion=1"),
        QStringLiteral("newflversion=1"), QStringLiteral("history=1"), QStringLiteral("command=0"),
        QStringLiteral("fscommand=0"), QStringLiteral("exec=0"), QStringLiteral("banquan=1"),
        QStringLiteral("[play]"), QStringLiteral("dclick=0"), QStringLiteral("noscale=0"),
        QStringLiteral("autoplay=1"), QStringLiteral("listtop=1"), QStringLiteral("latest=0"),
        QStringLiteral("pingbao=1"), QStringLiteral("ontop=0"), QStringLiteral("newlist=1"),
        QStringLiteral("behind=0"), QStringLiteral("step=20"), QStringLiteral("pupflashmenu=0"),
        QStringLiteral("autocontinue=0"),
        QStringLiteral("[picture]"), QStringLiteral("custom=0"), QStringLiteral("def=1"),
        QStringLiteral("path=") + m_programDirectory + QStringLiteral("images/"), QStringLiteral("imagetype=bmp"),
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(m_calls, (QStringList{QStringLiteral("ontop 0"), QStringLiteral("reload")}));
    EXPECT_TRUE(m_reloaded.history);  // the new value is in effect at once
    EXPECT_TRUE(m_associations.registered.isEmpty());
}

TEST_F(OptionsConfirm, EditsKeepOtherKeysAndTheirSpelling)
{
    ASSERT_TRUE(writeTextLines(iniPath(), {QStringLiteral("[form]"), QStringLiteral("width=800"),
                                           QStringLiteral("[play]"), QStringLiteral("Dclick=1"),
                                           QStringLiteral("lastlist=/l/a.kvl")})
                    .ok());
    OptionsDialog dialog = loadedFromFile();
    EXPECT_TRUE(dialog.controls().dclick.checked);
    dialog.setStep(57);
    EXPECT_EQ(stepText(dialog.controls().step), QStringLiteral("57 帧"));
    dialog.controls().dclick.checked = false;
    dialog.controls().bmp.checked = false;
    dialog.controls().jpg.checked = true;
    dialog.controls().path = QStringLiteral("  /nowhere/at all ");
    ASSERT_TRUE(dialog.confirm(m_services));

    const IniFile ini = IniFile::load(iniPath());
    EXPECT_EQ(ini.readInteger(QStringLiteral("play"), QStringLiteral("step"), 0), 57);
    EXPECT_EQ(ini.readInteger(QStringLiteral("form"), QStringLiteral("width"), 0), 800);
    EXPECT_EQ(ini.readString(QStringLiteral("play"), QStringLiteral("lastlist"), {}), QStringLiteral("/l/a.kvl"));
    EXPECT_EQ(ini.readString(QStringLiteral("picture"), QStringLiteral("imagetype"), {}), QStringLiteral("jpg"));
    // The folder is written as typed, even when it does not exist.
    EXPECT_TRUE(fileBytes(iniPath()).contains("path=  /nowhere/at all \r\n"));
    EXPECT_TRUE(fileBytes(iniPath()).contains("Dclick=0\r\n"));
    EXPECT_EQ(m_reloaded.step, 57);
    EXPECT_FALSE(m_reloaded.Dclick);
}

TEST_F(OptionsConfirm, AssociationAndOnTopFollowTheBoxes)
{
    OptionsDialog dialog = loadedFromFile();
    dialog.controls().command.checked = true;
    dialog.controls().ontop.checked = true;
    ASSERT_TRUE(dialog.confirm(m_services));
    EXPECT_EQ(m_associations.registered, QStringList{QStringLiteral("/opt/kivamo/kivamo")});
    EXPECT_EQ(m_calls, (QStringList{QStringLiteral("ontop 1"), QStringLiteral("reload")}));
    EXPECT_TRUE(m_reloaded.command);

    // A refused association is shown; the settings are stored and applied all the same.
    m_associations.refuse = true;
    m_calls.clear();
    m_prompts.expectMessage(QStringLiteral("Kivamo"), QStringLiteral("无法写入关联"), PromptIcon::Error);
    EXPECT_TRUE(dialog.confirm(m_services));
    EXPECT_EQ(m_calls, (QStringList{QStringLiteral("ontop 1"), QStringLiteral("reload")}));
}

TEST_F(OptionsConfirm, UnwritableSettingsStopEverythingElse)
{
    // A folder in the place of main.ini cannot be replaced by the file.
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    OptionsDialog dialog = loadedFromFile();
    dialog.controls().command.checked = true;
    m_prompts.expectMessage(QStringLiteral("Kivamo"), QStringLiteral("Unable to write to ") + iniPath(), PromptIcon::Error);
    EXPECT_FALSE(dialog.confirm(m_services));
    EXPECT_TRUE(m_calls.isEmpty());
    EXPECT_TRUE(m_associations.registered.isEmpty());
}

}  // namespace
}  // namespace kivamo
