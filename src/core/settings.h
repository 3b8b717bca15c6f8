// The settings file main.ini: the startup settings record, the window keys, the snapshot keys,
// their defaults, and the writer that runs when the main window closes.
#pragma once

#include "core/result.h"

#include <QRect>
#include <QString>

namespace kivamo {

class IniFile;

// The in-memory record consulted while the program runs; replaced whole on every load.
struct Settings {
    bool getnew = true;
    bool newswversion = true;
    bool newflversion = true;
    bool history = false;
    bool command = false;
    bool autoplay = true;
    bool listtop = true;
    bool latest = false;
    QString lastlist;
    int lastindex = 0;
    bool pingbao = true;
    bool newlist = true;
    bool behind = false;
    bool fscommand = false;
    bool exec = false;
    bool noscale = false;
    bool Dclick = false;
    bool autocontinue = false;
    bool pupflashmenu = false;
    int step = 20;
    bool banquan = true;
};

// The [form] keys and [play] ontop, read directly from the file when the main window is created.
struct WindowSettings {
    int width = 700;
    int height = 500;
    int top = 60;
    int left = 60;
    bool toolbar = true;
    bool list = true;
    bool playcontrol = true;
    bool splaycontrol = false;
    bool max = false;
    bool ontop = false;
};

// [picture]: single snapshots.
struct PictureSettings {
    bool custom = true;
    bool def = true;
    QString path;  // default: program directory + "images/"
    QString imagetype = QStringLiteral("bmp");
};

// [contpic]: continuous snapshots.
struct ContinuousPictureSettings {
    QString path;  // default: program directory + "images/"
    bool autocreat = true;
    QString imagetype = QStringLiteral("gif");
    int times = 500;
};

// What the main window hands to the writer when it closes.
struct CloseState {
    bool maximized = false;
    QRect normalBounds;   // left, top, width, height of the window when not maximised
    QString listFile;     // the list file now open, empty when none
    int currentIndex = -1;  // -1 when nothing is loaded
    bool toolbar = true;
    bool list = true;
    bool playcontrol = true;
    bool splaycontrol = false;
    bool ontop = false;
};

QString settingsFilePath(const QString& programDirectory);
QString imagesDirectory(const QString& programDirectory);

Settings loadSettings(const IniFile& ini);
// Reads main.ini in the program directory; a missing or unreadable file gives every default.
Settings loadSettingsFrom(const QString& programDirectory);

WindowSettings readWindowSettings(const IniFile& ini);
PictureSettings readPictureSettings(const IniFile& ini, const QString& programDirectory);
ContinuousPictureSettings readContinuousPictureSettings(const IniFile& ini, const QString& programDirectory);

// Writes the close keys in their order: bounds (only when not maximised), lastlist, lastindex,
// the four panels, ontop, max. Fails with "Unable to write to %s"; nothing is written then.
Result<void> saveOnClose(const QString& programDirectory, const CloseState& state);

}  // namespace kivamo
