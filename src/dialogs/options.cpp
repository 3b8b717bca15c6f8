#include "dialogs/options.h"

#include "core/associations.h"
#include "core/settings.h"
#include "platform/inifile.h"
#include "platform/prompts.h"
#include "platform/textfile.h"

#include <QFileInfo>

#include <algorithm>

namespace kivamo {

namespace {

const QString kCommon = QStringLiteral("common");
const QString kPlay = QStringLiteral("play");
const QString kPicture = QStringLiteral("picture");

}  // namespace

FolderState folderState(const QString& text, const OpticalProbe& isOptical)
{
    const QString folder = trimmed32(text);
    if (!QFileInfo(folder).isDir())
        return {QStringLiteral("无效(路径不存在)"), QColor(255, 0, 0)};
    if (isOptical && isOptical(folder))
        return {QStringLiteral("无效(光驱路径)"), QColor(255, 0, 0)};
    return {QStringLiteral("有效"), QColor(0, 128, 0)};
}

QString stepText(int step)
{
    return QString::number(step) + QStringLiteral(" 帧");
}

QString imageTypeOf(const OptionsControls& controls)
{
    if (controls.bmp.checked)
        return QStringLiteral("bmp");
    if (controls.gif.checked)
        return QStringLiteral("gif");
    if (controls.jpg.checked)
        return QStringLiteral("jpg");
    return {};
}

void OptionsDialog::setCheck(OptionBox& box, bool value, Rule rule)
{
    if (box.checked == value)
        return;
    box.checked = value;
    if (rule)
        (this->*rule)();
}

void OptionsDialog::setRadio(OptionBox& box, bool value, std::initializer_list<OptionBox*> partners, Rule rule)
{
    // Clearing a radio button leaves its partners alone, so a pair with both keys false shows neither.
    const bool changed = box.checked != value;
    box.checked = value;
    if (!value)
        return;
    for (OptionBox* partner : partners)
        partner->checked = false;
    if (changed && rule)
        (this->*rule)();
}

void OptionsDialog::load(const IniFile& ini, const QString& programDirectory, std::optional<bool> movieOwned,
                         bool onTop)
{
    OptionsControls& c = m_controls;
    if (movieOwned)
        c.command.enabled = !*movieOwned;

    auto read = [&ini](const QString& section, const char* key, bool fallback) {
        return ini.readBool(section, QLatin1String(key), fallback);
    };
    setCheck(c.getnew, read(kCommon, "getnew", true), &OptionsDialog::getnewClicked);
    setCheck(c.newswversion, read(kCommon, "newswversion", true), &OptionsDialog::newswversionClicked);
    setCheck(c.newflversion, read(kCommon, "newflversion", true), &OptionsDialog::newswversionClicked);
    // The dialog assumes history on when the key is missing, unlike the startup loader.
    setCheck(c.history, read(kCommon, "history", true), &OptionsDialog::getnewClicked);
    setCheck(c.command, read(kCommon, "command", false), &OptionsDialog::getnewClicked);
    setCheck(c.fscommand, read(kCommon, "fscommand", false), &OptionsDialog::fscommandClicked);
    setCheck(c.exec, read(kCommon, "exec", false));
    fscommandClicked();
    setCheck(c.banquan, read(kCommon, "banquan", true));
    setCheck(c.autoplay, read(kPlay, "autoplay", true), &OptionsDialog::autoplayClicked);
    setRadio(c.listtop, read(kPlay, "listtop", true), {&c.latest});
    setRadio(c.latest, read(kPlay, "latest", false), {&c.listtop});
    setCheck(c.pingbao, read(kPlay, "pingbao", true));
    setCheck(c.ontop, onTop);
    setRadio(c.newlist, read(kPlay, "newlist", true), {&c.behind});
    setRadio(c.behind, read(kPlay, "behind", false), {&c.newlist});
    setStep(ini.readInteger(kPlay, QStringLiteral("step"), 20));
    setCheck(c.pupflashmenu, read(kPlay, "pupflashmenu", false));
    setRadio(c.noscale, read(kPlay, "noscale", false), {&c.showall});
    c.showall.checked = !c.noscale.checked;
    setCheck(c.dclick, read(kPlay, "dclick", false));
    setCheck(c.autocontinue, read(kPlay, "autocontinue", false));
    setRadio(c.custom, read(kPicture, "custom", true), {&c.def}, &OptionsDialog::defClicked);
    setRadio(c.def, read(kPicture, "def", true), {&c.custom}, &OptionsDialog::defClicked);
    c.path = ini.readString(kPicture, QStringLiteral("path"), imagesDirectory(programDirectory));
    const QString imageType = ini.readString(kPicture, QStringLiteral("imagetype"), QStringLiteral("bmp"));
    if (imageType == QLatin1String("gif"))
        setRadio(c.gif, true, {&c.bmp, &c.jpg});
    else if (imageType == QLatin1String("jpg"))
        setRadio(c.jpg, true, {&c.bmp, &c.gif});
    else
        setRadio(c.bmp, true, {&c.gif, &c.jpg});

    c.newswversion.enabled = c.getnew.checked;
    c.newflversion.enabled = c.getnew.checked;
    autoplayClicked();
    defClicked();
}

void OptionsDialog::getnewClicked()
{
    OptionsControls& c = m_controls;
    c.newswversion.enabled = c.getnew.checked;
    c.newflversion.enabled = c.getnew.checked;
    if (c.getnew.checked && !c.newswversion.checked && !c.newflversion.checked)
        setCheck(c.newswversion, true, &OptionsDialog::newswversionClicked);
}

void OptionsDialog::newswversionClicked()
{
    // The master box is ticked exactly while one of the two checks is on.
    OptionsControls& c = m_controls;
    if (!c.newswversion.checked && !c.newflversion.checked) {
        c.getnew.checked = false;
        getnewClicked();
    }
}

void OptionsDialog::autoplayClicked()
{
    m_controls.listtop.enabled = m_controls.autoplay.checked;
    m_controls.latest.enabled = m_controls.autoplay.checked;
}

void OptionsDialog::fscommandClicked()
{
    m_controls.exec.enabled = m_controls.fscommand.checked;
}

void OptionsDialog::defClicked()
{
    // With 自定义保存 the save dialog asks for folder and format at each snapshot.
    const bool enabled = m_controls.def.checked;
    m_controls.bmp.enabled = enabled;
    m_controls.gif.enabled = enabled;
    m_controls.jpg.enabled = enabled;
}

void OptionsDialog::setStep(int step)
{
    m_controls.step = std::clamp(step, kMinimumStep, kMaximumStep);
}

void OptionsDialog::write(IniFile& ini) const
{
    const OptionsControls& c = m_controls;
    auto put = [&ini](const QString& section, const char* key, bool value) {
        ini.writeBool(section, QLatin1String(key), value);
    };
    put(kCommon, "getnew", c.getnew.checked);
    put(kCommon, "newswversion", c.newswversion.checked);
    put(kCommon, "newflversion", c.newflversion.checked);
    put(kCommon, "history", c.history.checked);
    put(kCommon, "command", c.command.checked);
    put(kCommon, "fscommand", c.fscommand.checked);
    put(kCommon, "exec", c.exec.checked);
    put(kCommon, "banquan", c.banquan.checked);
    put(kPlay, "dclick", c.dclick.checked);
    put(kPlay, "noscale", c.noscale.checked);
    put(kPlay, "autoplay", c.autoplay.checked);
    put(kPlay, "listtop", c.listtop.checked);
    put(kPlay, "latest", c.latest.checked);
    put(kPlay, "pingbao", c.pingbao.checked);
    put(kPlay, "ontop", c.ontop.checked);
    put(kPlay, "newlist", c.newlist.checked);
    put(kPlay, "behind", c.behind.checked);
    ini.writeInteger(kPlay, QStringLiteral("step"), c.step);
    put(kPlay, "pupflashmenu", c.pupflashmenu.checked);
    put(kPlay, "autocontinue", c.autocontinue.checked);
    put(kPicture, "custom", c.custom.checked);
    put(kPicture, "def", c.def.checked);
    ini.writeString(kPicture, QStringLiteral("path"), c.path);
    const QString imageType = imageTypeOf(c);
    if (!imageType.isEmpty())
        ini.writeString(kPicture, QStringLiteral("imagetype"), imageType);
}

bool OptionsDialog::confirm(const OptionsServices& services) const
{
    Q_ASSERT(services.prompts);
    const QString file = settingsFilePath(services.programDirectory);
    IniFile ini = IniFile::load(file);
    write(ini);
    Result<void> saved = ini.save(file);
    if (!saved) {
        reportError(*services.prompts, saved.error().message);
        return false;
    }
    if (m_controls.command.checked && services.associations) {
        // The settings are already stored, so a refused association is reported and the rest goes on.
        Result<void> registered = services.associations->registerMovieAssociation(services.programPath);
        if (!registered)
            reportError(*services.prompts, registered.error().message);
    }
    if (services.applyOnTop)
        services.applyOnTop(m_controls.ontop.checked);
    if (services.reloadSettings)
        services.reloadSettings();
    return true;
}

}  // namespace kivamo
