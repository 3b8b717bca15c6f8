// main.ini: every key and default, hand-written values, and the writer run when the window closes.
#include "core/settings.h"

#include "platform/inifile.h"
#include "platform/textfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;

namespace {

QString programDir(const QTemporaryDir& dir)
{
    return dir.path() + u'/';
}

void writeIni(const QString& path, const char* text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

}  // namespace

TEST(Settings, NoFileGivesEveryDefault)
{
    QTemporaryDir dir;
    Settings s = loadSettingsFrom(programDir(dir));
    EXPECT_TRUE(s.getnew && s.newswversion && s.newflversion);
    EXPECT_FALSE(s.history || s.command || s.latest || s.behind || s.fscommand || s.exec || s.noscale);
    EXPECT_FALSE(s.Dclick || s.autocontinue || s.pupflashmenu);
    EXPECT_TRUE(s.autoplay && s.listtop && s.pingbao && s.newlist && s.banquan);
    EXPECT_EQ(s.lastlist, QString());
    EXPECT_EQ(s.lastindex, 0);
    EXPECT_EQ(s.step, 20);

    IniFile none = IniFile::load(settingsFilePath(programDir(dir)));
    WindowSettings w = readWindowSettings(none);
    EXPECT_EQ(QRect(w.left, w.top, w.width, w.height), QRect(60, 60, 700, 500));
    EXPECT_TRUE(w.toolbar && w.list && w.playcontrol);
    EXPECT_FALSE(w.splaycontrol || w.max || w.ontop);

    PictureSettings p = readPictureSettings(none, programDir(dir));
    EXPECT_TRUE(p.custom && p.def);
    EXPECT_EQ(p.path, programDir(dir) + QStringLiteral("images/"));
    EXPECT_EQ(p.imagetype, QStringLiteral("bmp"));
    ContinuousPictureSettings c = readContinuousPictureSettings(none, programDir(dir));
    EXPECT_EQ(c.path, programDir(dir) + QStringLiteral("images/"));
    EXPECT_TRUE(c.autocreat);
    EXPECT_EQ(c.imagetype, QStringLiteral("gif"));
    EXPECT_EQ(c.times, 500);
}

TEST(Settings, EveryKeyIsReadFromItsSection)
{
    // Each key carries the opposite of its default, so a key read from the wrong section or under
    // a misspelt name shows up as a default.
    QTemporaryDir dir;
    writeIni(settingsFilePath(programDir(dir)),
             "[common]\r\ngetnew=0\r\nnewswversion=0\r\nnewflversion=0\r\nhistory=1\r\ncommand=1\r\n"
             "fscommand=1\r\nexec=1\r\nbanquan=0\r\n"
             "[play]\r\nautoplay=0\r\nlisttop=0\r\nlatest=1\r\nlastlist=/m/a.kvl\r\nlastindex=7\r\npingbao=0\r\n"
             "newlist=0\r\nbehind=1\r\nnoscale=1\r\ndclick=1\r\nautocontinue=1\r\npupflashmenu=1\r\nstep=55\r\n"
             "ontop=1\r\n"
             "[form]\r\nwidth=800\r\nheight=600\r\ntop=10\r\nleft=20\r\ntoolbar=0\r\nlist=0\r\nplaycontrol=0\r\n"
             "splaycontrol=1\r\nmax=1\r\n"
             "[picture]\r\ncustom=0\r\ndef=0\r\npath=/shots/\r\nimagetype=jpg\r\n"
             "[contpic]\r\npath=/cont/\r\nautocreat=0\r\nimagetype=jpg\r\ntimes=100\r\n");
    Settings s = loadSettingsFrom(programDir(dir));
    EXPECT_FALSE(s.getnew || s.newswversion || s.newflversion || s.autoplay || s.listtop || s.pingbao);
    EXPECT_FALSE(s.newlist || s.banquan);
    EXPECT_TRUE(s.history && s.command && s.fscommand && s.exec && s.latest && s.behind && s.noscale);
    EXPECT_TRUE(s.Dclick && s.autocontinue && s.pupflashmenu);
    EXPECT_EQ(s.lastlist, QStringLiteral("/m/a.kvl"));
    EXPECT_EQ(s.lastindex, 7);
    EXPECT_EQ(s.step, 55);

    IniFile ini = IniFile::load(settingsFilePath(programDir(dir)));
    WindowSettings w = readWindowSettings(ini);
    EXPECT_EQ(QRect(w.left, w.top, w.width, w.height), QRect(20, 10, 800, 600));
    EXPECT_FALSE(w.toolbar || w.list || w.playcontrol);
    EXPECT_TRUE(w.splaycontrol && w.max && w.ontop);
    PictureSettings p = readPictureSettings(ini, programDir(dir));
    EXPECT_FALSE(p.custom || p.def);
    EXPECT_EQ(p.path, QStringLiteral("/shots/"));
    EXPECT_EQ(p.imagetype, QStringLiteral("jpg"));
    ContinuousPictureSettings c = readContinuousPictureSettings(ini, programDir(dir));
    EXPECT_EQ(c.path, QStringLiteral("/cont/"));
    EXPECT_FALSE(c.autocreat);
    EXPECT_EQ(c.times, 100);
}

TEST(Settings, HandWrittenNumbers)
{
    QTemporaryDir dir;
    struct Case {
        const char* text;
        int step;
    } cases[] = {{"[play]\r\nstep=0x1E\r\n", 30}, {"[play]\r\nstep=abc\r\n", 20}, {"[PLAY]\r\nSTEP=12\r\n", 12}};
    for (const Case& c : cases) {
        writeIni(settingsFilePath(programDir(dir)), c.text);
        EXPECT_EQ(loadSettingsFrom(programDir(dir)).step, c.step) << c.text;
    }
}

TEST(Settings, CloseWritesLayoutKeysAndKeepsTheRest)
{
    QTemporaryDir dir;
    const QString ini = settingsFilePath(programDir(dir));
    writeIni(ini, "[common]\r\nhistory=1\r\n; mine\r\n[form]\r\nwidth=640\r\nheight=480\r\ntop=5\r\nleft=6\r\n");

    CloseState state;
    state.maximized = true;  // the bounds of a maximised window are not written
    state.normalBounds = QRect(100, 100, 1900, 1000);
    state.currentIndex = -1;  // nothing loaded
    state.splaycontrol = true;
    state.ontop = true;
    ASSERT_TRUE(saveOnClose(programDir(dir), state).ok());

    IniFile after = IniFile::load(ini);
    WindowSettings w = readWindowSettings(after);
    EXPECT_EQ(QRect(w.left, w.top, w.width, w.height), QRect(6, 5, 640, 480));
    EXPECT_TRUE(w.max && w.ontop && w.splaycontrol);
    EXPECT_EQ(after.readInteger(QStringLiteral("play"), QStringLiteral("lastindex"), 0), -1);
    EXPECT_TRUE(after.contains(QStringLiteral("play"), QStringLiteral("lastlist")));
    EXPECT_TRUE(loadSettings(after).history);
    auto lines = readTextLines(ini);
    ASSERT_TRUE(lines.ok());
    EXPECT_TRUE(lines.value().contains(QStringLiteral("; mine")));

    // Closing in the normal state writes the bounds, and the next start restores them.
    state.maximized = false;
    state.listFile = QString::fromUtf8("/列表/a.kvl");
    state.currentIndex = 3;
    ASSERT_TRUE(saveOnClose(programDir(dir), state).ok());
    IniFile again = IniFile::load(ini);
    w = readWindowSettings(again);
    EXPECT_EQ(QRect(w.left, w.top, w.width, w.height), QRect(100, 100, 1900, 1000));
    EXPECT_FALSE(w.max);
    Settings s = loadSettings(again);
    EXPECT_EQ(s.lastlist, QString::fromUtf8("/列表/a.kvl"));
    EXPECT_EQ(s.lastindex, 3);
}

TEST(Settings, RefusedCloseWriteReportsTheFileAndWritesNothing)
{
    QTemporaryDir dir;
    const QString missing = dir.path() + QStringLiteral("/gone/");
    auto result = saveOnClose(missing, CloseState{});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, QStringLiteral("Unable to write to %1main.ini").arg(missing));
    EXPECT_FALSE(QFile::exists(settingsFilePath(missing)));
}
