// The INI file: private-profile matching and number rules, and edits that keep the rest of the file.
#include "platform/inifile.h"

#include "platform/textfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;

TEST(IniFile, NumbersFollowThePrivateProfileRules)
{
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"30", 30},         {"0x1E", 30},        {"0X1e", 30},       {" 42 ", 42},
        {"-1", -1},         {"+7", 7},           {"abc", std::nullopt}, {"", std::nullopt},
        {"12abc", std::nullopt}, {"0x", std::nullopt}, {"1.5", std::nullopt},
        {"2147483647", 2147483647}, {"2147483648", std::nullopt}, {"0xFFFFFFFF", -1},
        {"0x100000000", std::nullopt}, {"１２", std::nullopt},  // full-width digits are no number
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseProfileInteger(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

TEST(IniFile, SectionsAndKeysMatchWhateverTheirCase)
{
    IniFile ini = IniFile::fromText(QStringLiteral("[PLAY]\nDclick=1\nstep=0x1E\nbad=abc\n[Common]\nHistory=0\n"));
    EXPECT_TRUE(ini.readBool(QStringLiteral("play"), QStringLiteral("dclick"), false));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Play"), QStringLiteral("STEP"), 20), 30);
    EXPECT_EQ(ini.readInteger(QStringLiteral("play"), QStringLiteral("bad"), 20), 20);
    EXPECT_FALSE(ini.readBool(QStringLiteral("common"), QStringLiteral("history"), true));
    EXPECT_TRUE(ini.readBool(QStringLiteral("common"), QStringLiteral("missing"), true));
    EXPECT_FALSE(ini.contains(QStringLiteral("nosection"), QStringLiteral("step")));
}

TEST(IniFile, BooleansAreIntegersAndStringsAreCapped)
{
    IniFile ini = IniFile::fromText(QStringLiteral("[a]\nt=2\nf=0\nhex=0x0\nlong=") + QString(3000, u'x') + u'\n');
    EXPECT_TRUE(ini.readBool(QStringLiteral("a"), QStringLiteral("t"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("a"), QStringLiteral("f"), true));
    EXPECT_FALSE(ini.readBool(QStringLiteral("a"), QStringLiteral("hex"), true));
    EXPECT_EQ(ini.readString(QStringLiteral("a"), QStringLiteral("long"), {}).size(), IniFile::kMaxStringLength);
}

TEST(IniFile, WritesKeepCommentsOrderAndOtherSections)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("main.ini");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; written by hand\r\n[form]\r\nWidth=640\r\n; keep me\r\nheight=480\r\n[other]\r\nx=y\r\n");
    f.close();

    IniFile ini = IniFile::load(path);
    ini.writeInteger(QStringLiteral("FORM"), QStringLiteral("width"), 800);
    ini.writeBool(QStringLiteral("play"), QStringLiteral("ontop"), true);
    ini.writeString(QStringLiteral("play"), QStringLiteral("lastlist"), QString::fromUtf8("/影片/列表.kvl"));
    ASSERT_TRUE(ini.save(path).ok());

    auto lines = readTextLines(path);
    ASSERT_TRUE(lines.ok());
    const QStringList expected{
        QStringLiteral("; written by hand"), QStringLiteral("[form]"), QStringLiteral("Width=800"),
        QStringLiteral("; keep me"), QStringLiteral("height=480"), QString(), QStringLiteral("[other]"),
        QStringLiteral("x=y"), QString(), QStringLiteral("[play]"), QStringLiteral("ontop=1"),
        QString::fromUtf8("lastlist=/影片/列表.kvl"),
    };
    // Blank lines between sections are the writer's layout; the content and its order are what matters.
    QStringList content = lines.value();
    content.removeAll(QString());
    QStringList expectedContent = expected;
    expectedContent.removeAll(QString());
    EXPECT_EQ(content, expectedContent);
    EXPECT_EQ(IniFile::load(path).readString(QStringLiteral("play"), QStringLiteral("lastlist"), {}),
              QString::fromUtf8("/影片/列表.kvl"));
}

TEST(IniFile, MissingFileGivesDefaultsAndRefusedSaveSaysSo)
{
    QTemporaryDir dir;
    IniFile ini = IniFile::load(dir.filePath("none.ini"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("play"), QStringLiteral("step"), 20), 20);

    const QString refused = dir.filePath("missing-folder/main.ini");
    ini.writeInteger(QStringLiteral("play"), QStringLiteral("step"), 30);
    auto result = ini.save(refused);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, QStringLiteral("Unable to write to %1").arg(refused));
}

TEST(IniFile, LineBreaksInValuesCannotForgeKeys)
{
    IniFile ini;
    ini.writeString(QStringLiteral("play"), QStringLiteral("lastlist"), QStringLiteral("a\r\n[common]\r\nexec=1"));
    IniFile reread = IniFile::fromText(ini.toText());
    EXPECT_FALSE(reread.contains(QStringLiteral("common"), QStringLiteral("exec")));
}
