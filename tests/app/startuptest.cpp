// The first start's command line, the running instance's hand-off, and the hand-off file's bytes.
#include "app/handoff.h"
#include "app/startup.h"
#include "core/settings.h"
#include "support/gtestqt.h"
#include "app/fakeoperations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;
using kivamo::test::RecordingOperations;

namespace {

FileExists existing(const QStringList& files)
{
    return [files](const QString& path) { return files.contains(path); };
}

}  // namespace

TEST(HandOffText, JoinsArgumentsAsEachStartDoes)
{
    const struct { QStringList arguments; QString handOff; QString commandLine; } cases[] = {
        {{}, "", ""},
        {{"a.swf"}, "a.swf ", " a.swf"},
        {{"My", "Movie.swf"}, "My Movie.swf ", " My Movie.swf"},
        {{"/x/列表.kvl"}, "/x/列表.kvl ", " /x/列表.kvl"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(joinHandOffArguments(c.arguments), c.handOff);
        EXPECT_EQ(joinCommandLine(c.arguments), c.commandLine);
    }
}

TEST(HandOffText, OwnerLineMustBeADecimalNumber)
{
    const struct { QString line; std::optional<qint64> owner; } cases[] = {
        {"1736", 1736}, {"0", 0}, {"", std::nullopt}, {"12a", std::nullopt}, {"-1", std::nullopt},
        {" 12", std::nullopt}, {"0x10", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseHandOffOwner(c.line), c.owner) << c.line.toStdString();
}

TEST(HandOffFile, LinesAreWrittenWithCrLfAndReadBack)
{
    QTemporaryDir dir;
    const QString path = handOffFilePath(dir.path());
    EXPECT_EQ(QFileInfo(path).fileName(), "runtime.dat");
    EXPECT_FALSE(readHandOffFile(path).has_value());
    ASSERT_TRUE(writeHandOffOwner(path, 4321).ok());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("4321\r\n"));
    file.close();
    ASSERT_TRUE(writeHandOffArguments(path, "4321", "我的 影片.swf ").ok());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("4321\r\n") + QByteArray("\xCE\xD2\xB5\xC4 \xD3\xB0\xC6\xAC.swf \r\n"));
    const auto read = readHandOffFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->line1, "4321");
    EXPECT_EQ(read->line2, "我的 影片.swf ");
    EXPECT_EQ(handOffFileName(read->line2), "我的 影片.swf");
}

TEST(HandOffFile, RelativeNamesBecomeAbsoluteOnlyWhenTheyNameAFile)
{
    QTemporaryDir dir;
    QFile(dir.filePath("My Movie.swf")).open(QIODevice::WriteOnly);
    EXPECT_EQ(absoluteHandOffText("My Movie.swf ", dir.path()), dir.filePath("My Movie.swf") + " ");
    EXPECT_EQ(absoluteHandOffText("missing.swf ", dir.path()), "missing.swf ");
    EXPECT_EQ(absoluteHandOffText("", dir.path()), "");
    EXPECT_EQ(absoluteHandOffText("http://x/a.swf ", dir.path()), "http://x/a.swf ");
    EXPECT_EQ(absoluteHandOffText("/abs/a.swf ", dir.path()), "/abs/a.swf ");
}

TEST(CommandLine, WhatTheFirstStartPlays)
{
    const QString cwd = QDir::currentPath();
    const struct { const char* what; QStringList arguments; Settings settings; QStringList files; QStringList calls; } cases[] = {
        {"movie", {"/m/a.swf"}, {}, {"/m/a.swf"}, {"new list", "add /m/a.swf 1", "index 0", "play"}},
        {"upper-case extension", {"/m/A.SWF"}, {}, {"/m/A.SWF"}, {"new list", "add /m/A.SWF 1", "index 0", "play"}},
        {"list file is opened, not appended", {"/l/x.kvl"}, {}, {"/l/x.kvl"},
         {"new list", "clear modified", "open /l/x.kvl", "index 0", "play"}},
        {"unquoted blank joins", {"/m/My", "Movie.swf"}, {}, {"/m/My Movie.swf"},
         {"new list", "add /m/My Movie.swf 1", "index 0", "play"}},
        {"missing file leaves the list empty", {"/m/gone.swf"}, {}, {}, {}},
        {"relative name gets its long form", {"rel.swf"}, {}, {"rel.swf"},
         {"new list", "add " + cwd + "/rel.swf 1", "index 0", "play"}},
    };
    for (const auto& c : cases) {
        RecordingOperations operations;
        runCommandLine(joinCommandLine(c.arguments), c.settings, operations, existing(c.files));
        EXPECT_EQ(operations.calls, c.calls) << c.what;
    }
}

TEST(CommandLine, WithoutArgumentsTheLastListReopensAndAutoplayChoosesTheEntry)
{
    const auto settings = [](bool autoplay, bool latest, int lastindex, QString lastlist) {
        Settings s;
        s.autoplay = autoplay;
        s.latest = latest;
        s.lastindex = lastindex;
        s.lastlist = lastlist;
        return s;
    };
    const struct { const char* what; Settings settings; QStringList calls; } cases[] = {
        {"no last list", settings(true, false, 0, ""), {"new list"}},
        {"last list missing", settings(true, false, 0, "/l/gone.kvl"), {"new list"}},
        {"first entry", settings(true, false, 1, "/l/x.kvl"), {"open /l/x.kvl", "index 0", "play"}},
        {"last-played entry", settings(true, true, 1, "/l/x.kvl"), {"open /l/x.kvl", "index 1", "play"}},
        {"index beyond the list", settings(true, true, 3, "/l/x.kvl"), {"open /l/x.kvl"}},
        {"nothing was loaded", settings(true, true, -1, "/l/x.kvl"), {"open /l/x.kvl"}},
        {"autoplay off", settings(false, true, 1, "/l/x.kvl"), {"open /l/x.kvl"}},
    };
    for (const auto& c : cases) {
        RecordingOperations operations;
        runCommandLine(QString(), c.settings, operations, existing({"/l/x.kvl"}));
        EXPECT_EQ(operations.calls, c.calls) << c.what;
    }
}

TEST(HandOff, TheRunningInstanceAddsTheFileAndPlaysTheFirstEntry)
{
    Settings replace;
    Settings append;
    append.newlist = false;
    const struct { const char* what; QString line2; Settings settings; int entriesBefore; QStringList calls; } cases[] = {
        {"new list", "/m/a.swf ", replace, 3, {"new list", "add /m/a.swf 1", "index 0", "play", "title"}},
        {"appended, first entry plays", "/m/a.swf ", append, 3, {"add /m/a.swf 1", "index 0", "play", "title"}},
        {"start without arguments only refreshes", "", replace, 3, {"title"}},
        {"missing file", "/m/gone.swf ", replace, 3, {"title"}},
        {"web address", "http://x/a.swf ", replace, 3, {"title"}},
    };
    for (const auto& c : cases) {
        RecordingOperations operations;
        operations.entries = c.entriesBefore;
        runHandOff(c.line2, c.settings, operations, existing({"/m/a.swf"}));
        EXPECT_EQ(operations.calls, c.calls) << c.what;
    }
}
