#include "core/settings.h"

#include "platform/inifile.h"

#include <variant>

namespace kivamo {

namespace {

// One row of a record's key table: section, key, and the member that holds it.
template <typename Record>
struct KeyRow {
    const char* section;
    const char* key;
    std::variant<bool Record::*, int Record::*, QString Record::*> member;
};

// Fills a record from the file; each missing key keeps the default the record starts with.
template <typename Record, std::size_t N>
void readRows(const IniFile& ini, Record& record, const KeyRow<Record> (&rows)[N])
{
    for (const KeyRow<Record>& row : rows) {
        QString section = QLatin1String(row.section);
        QString key = QLatin1String(row.key);
        if (auto b = std::get_if<bool Record::*>(&row.member))
            record.*(*b) = ini.readBool(section, key, record.*(*b));
        else if (auto i = std::get_if<int Record::*>(&row.member))
            record.*(*i) = ini.readInteger(section, key, record.*(*i));
        else if (auto s = std::get_if<QString Record::*>(&row.member))
            record.*(*s) = ini.readString(section, key, record.*(*s));
    }
}

// The startup settings in the record's order.
const KeyRow<Settings> kSettingsRows[] = {
    {"common", "getnew", &Settings::getnew},
    {"common", "newswversion", &Settings::newswversion},
    {"common", "newflversion", &Settings::newflversion},
    {"common", "history", &Settings::history},
    {"common", "command", &Settings::command},
    {"play", "autoplay", &Settings::autoplay},
    {"play", "listtop", &Settings::listtop},
    {"play", "latest", &Settings::latest},
    {"play", "lastlist", &Settings::lastlist},
    {"play", "lastindex", &Settings::lastindex},
    {"play", "pingbao", &Settings::pingbao},
    {"play", "newlist", &Settings::newlist},
    {"play", "behind", &Settings::behind},
    {"common", "fscommand", &Settings::fscommand},
    {"common", "exec", &Settings::exec},
    {"play", "noscale", &Settings::noscale},
    {"play", "Dclick", &Settings::Dclick},
    {"play", "autocontinue", &Settings::autocontinue},
    {"play", "pupflashmenu", &Settings::pupflashmenu},
    {"play", "step", &Settings::step},
    {"common", "banquan", &Settings::banquan},
};

const KeyRow<WindowSettings> kWindowRows[] = {
    {"form", "width", &WindowSettings::width},
    {"form", "height", &WindowSettings::height},
    {"form", "top", &WindowSettings::top},
    {"form", "left", &WindowSettings::left},
    {"form", "toolbar", &WindowSettings::toolbar},
    {"form", "list", &WindowSettings::list},
    {"form", "playcontrol", &WindowSettings::playcontrol},
    {"form", "splaycontrol", &WindowSettings::splaycontrol},
    {"play", "ontop", &WindowSettings::ontop},
    {"form", "max", &WindowSettings::max},
};

const KeyRow<PictureSettings> kPictureRows[] = {
    {"picture", "custom", &PictureSettings::custom},
    {"picture", "def", &PictureSettings::def},
    {"picture", "path", &PictureSettings::path},
    {"picture", "imagetype", &PictureSettings::imagetype},
};

const KeyRow<ContinuousPictureSettings> kContinuousRows[] = {
    {"contpic", "path", &ContinuousPictureSettings::path},
    {"contpic", "autocreat", &ContinuousPictureSettings::autocreat},
    {"contpic", "imagetype", &ContinuousPictureSettings::imagetype},
    {"contpic", "times", &ContinuousPictureSettings::times},
};

}  // namespace

QString settingsFilePath(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("main.ini");
}

QString imagesDirectory(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("images/");
}

Settings loadSettings(const IniFile& ini)
{
    Settings settings;
    readRows(ini, settings, kSettingsRows);
    return settings;
}

Settings loadSettingsFrom(const QString& programDirectory)
{
    return loadSettings(IniFile::load(settingsFilePath(programDirectory)));
}

WindowSettings readWindowSettings(const IniFile& ini)
{
    WindowSettings settings;
    readRows(ini, settings, kWindowRows);
    return settings;
}

PictureSettings readPictureSettings(const IniFile& ini, const QString& programDirectory)
{
    PictureSettings settings;
    settings.path = imagesDirectory(programDirectory);
    readRows(ini, settings, kPictureRows);
    return settings;
}

ContinuousPictureSettings readContinuousPictureSettings(const IniFile& ini, const QString& programDirectory)
{
    ContinuousPictureSettings settings;
    settings.path = imagesDirectory(programDirectory);
    readRows(ini, settings, kContinuousRows);
    return settings;
}

Result<void> saveOnClose(const QString& programDirectory, const CloseState& state)
{
    const QString path = settingsFilePath(programDirectory);
    IniFile ini = IniFile::load(path);
    const QString form = QStringLiteral("form");
    const QString play = QStringLiteral("play");
    if (!state.maximized) {
        ini.writeInteger(form, QStringLiteral("width"), state.normalBounds.width());
        ini.writeInteger(form, QStringLiteral("height"), state.normalBounds.height());
        ini.writeInteger(form, QStringLiteral("top"), state.normalBounds.top());
        ini.writeInteger(form, QStringLiteral("left"), state.normalBounds.left());
    }
    ini.writeString(play, QStringLiteral("lastlist"), state.listFile);
    ini.writeInteger(play, QStringLiteral("lastindex"), state.currentIndex);
    ini.writeBool(form, QStringLiteral("toolbar"), state.toolbar);
    ini.writeBool(form, QStringLiteral("list"), state.list);
    ini.writeBool(form, QStringLiteral("playcontrol"), state.playcontrol);
    ini.writeBool(form, QStringLiteral("splaycontrol"), state.splaycontrol);
    ini.writeBool(play, QStringLiteral("ontop"), state.ontop);
    ini.writeBool(form, QStringLiteral("max"), state.maximized);
    return ini.save(path);
}

}  // namespace kivamo
