// Associations against temporary XDG folders: what registration writes, start-up rules, "已关联"
// detection with exact paths, Exec quoting, mimeapps.list edits and the un-assign dialog's rules.
#include "shell/associations.h"
#include "shell/desktopassociations.h"
#include "shell/desktopfiles.h"
#include "shell/unsetassign.h"

#include "platform/inifile.h"
#include "support/scriptedprompts.h"

#include <QDirIterator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

const QString kProgram = QStringLiteral("/opt/kivamo/bin/kivamo");

struct Desktop {
    QTemporaryDir root;
    QStringList runs;
    bool toolsPresent = true;
    AssociationEnvironment environment()
    {
        AssociationEnvironment e;
        e.dataHome = root.filePath("data");
        e.configHome = root.filePath("config");
        e.findProgram = [this](const QString& name) { return toolsPresent ? "/usr/bin/" + name : QString(); };
        e.runProgram = [this](const QString& program, const QStringList& arguments) {
            runs.append(program + u' ' + arguments.join(u' '));
        };
        return e;
    }
    QString read(const QString& relative) const { return readUtf8File(root.filePath(relative)); }
    bool exists(const QString& relative) const { return QFile::exists(root.filePath(relative)); }
    QStringList allFiles() const
    {
        QStringList files;
        QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next().mid(root.path().size() + 1));
        files.sort();
        return files;
    }
};

QString defaultFor(Desktop& desktop, const QString& type)
{
    return readKeyFileValue(desktop.read("config/mimeapps.list"), "Default Applications", type);
}

TEST(Associations, StartupWithCommandWritesEveryFileAndRefreshesTheCaches)
{
    Desktop desktop;
    ASSERT_TRUE(registerAtStartup(desktop.environment(), kProgram, true, false).ok());
    EXPECT_EQ(desktop.allFiles(), (QStringList{
                                      "config/mimeapps.list",
                                      "data/applications/kivamo.desktop",
                                      "data/icons/hicolor/scalable/mimetypes/application-vnd.adobe.flash.movie.svg",
                                      "data/icons/hicolor/scalable/mimetypes/application-x-kivamo-playlist.svg",
                                      "data/mime/packages/kivamo-playlist.xml",
                                  }));
    const QString entry = desktop.read("data/applications/kivamo.desktop");
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/kivamo/bin/kivamo\" %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains(
        "\nMimeType=application/vnd.adobe.flash.movie;application/x-shockwave-flash;application/x-kivamo-playlist;\n"));
    EXPECT_EQ(desktop.read("config/mimeapps.list"),
              "[Default Applications]\n"
              "application/vnd.adobe.flash.movie=kivamo.desktop;\n"
              "application/x-shockwave-flash=kivamo.desktop;\n"
              "application/x-kivamo-playlist=kivamo.desktop;\n");
    const QString package = desktop.read("data/mime/packages/kivamo-playlist.xml");
    EXPECT_TRUE(package.contains("<mime-type type=\"application/x-kivamo-playlist\">"));
    EXPECT_TRUE(package.contains("<glob pattern=\"*.kvl\"/>"));
    EXPECT_TRUE(desktop.runs.contains("/usr/bin/update-mime-database " + desktop.root.filePath("data/mime")));
    EXPECT_TRUE(desktop.runs.contains("/usr/bin/update-desktop-database " + desktop.root.filePath("data/applications/")));
}

TEST(Associations, StartupRulesForCommandAndMedia)
{
    const struct {
        const char* what;
        bool command;
        bool optical;
        bool tools;
        bool movieDefault;
        bool listDefault;
        int runs;
    } cases[] = {
        {"command off: only the list", false, false, true, false, true, 2},
        {"optical or read-only media: nothing", true, true, true, false, false, 0},
        {"tools absent: files but no runs", true, false, false, true, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desktop desktop;
        desktop.toolsPresent = c.tools;
        ASSERT_TRUE(registerAtStartup(desktop.environment(), kProgram, c.command, c.optical).ok());
        EXPECT_EQ(!defaultFor(desktop, kMovieMimeTypes[0]).isEmpty(), c.movieDefault);
        EXPECT_EQ(!defaultFor(desktop, kMovieMimeTypes[1]).isEmpty(), c.movieDefault);
        EXPECT_EQ(!defaultFor(desktop, kPlayListMimeType).isEmpty(), c.listDefault);
        EXPECT_EQ(desktop.exists("data/icons/hicolor/scalable/mimetypes/application-vnd.adobe.flash.movie.svg"),
                  c.movieDefault);
        EXPECT_EQ(desktop.runs.size(), c.runs);
        if (c.optical) {
            EXPECT_TRUE(desktop.allFiles().isEmpty());
        }
    }
}

TEST(Associations, MimeAppsListKeepsWhatOthersWrote)
{
    Desktop desktop;
    ASSERT_TRUE(writeUtf8File(desktop.root.filePath("config/mimeapps.list"),
                              "# user notes\n[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                              "[Default Applications]\napplication/x-shockwave-flash=other.desktop;\n"
                              "image/png=eog.desktop;\n")
                    .ok());
    ASSERT_TRUE(registerMovieAssociation(desktop.environment(), kProgram).ok());
    EXPECT_EQ(desktop.read("config/mimeapps.list"),
              "# user notes\n[Added Associations]\ntext/plain=gedit.desktop;\n\n"
              "[Default Applications]\napplication/x-shockwave-flash=kivamo.desktop;\n"
              "image/png=eog.desktop;\napplication/vnd.adobe.flash.movie=kivamo.desktop;\n");
}

TEST(Associations, OwnershipComparesTheProgramPathExactly)
{
    Desktop desktop;
    AssociationEnvironment environment = desktop.environment();
    EXPECT_TRUE(registerItemEnabled(environment, kProgram, true)) << "no default handler: state kept";
    EXPECT_FALSE(registerItemEnabled(environment, kProgram, false)) << "no default handler: state kept";
    ASSERT_TRUE(registerMovieAssociation(environment, kProgram).ok());
    EXPECT_EQ(defaultMovieHandlerProgram(environment), kProgram);
    EXPECT_FALSE(registerItemEnabled(environment, kProgram, true));
    EXPECT_TRUE(registerItemEnabled(environment, "/opt/Kivamo/bin/kivamo", false)) << "letter case differs";
    EXPECT_TRUE(registerItemEnabled(environment, "/opt/kivamo/bin/kivamo ", false));
    ASSERT_TRUE(registerMovieAssociation(environment, "/usr/bin/otherplayer", false).ok());
    EXPECT_TRUE(registerItemEnabled(environment, kProgram, false));
}

TEST(Associations, SystemWideDefaultEntriesAreFoundBelowTheUsersOwn)
{
    Desktop desktop;
    AssociationEnvironment environment = desktop.environment();
    environment.dataDirs = {desktop.root.filePath("system")};
    ASSERT_TRUE(writeUtf8File(desktop.root.filePath("system/applications/ruffle.desktop"),
                              "[Desktop Entry]\nType=Application\nExec=/usr/bin/ruffle %f\n")
                    .ok());
    ASSERT_TRUE(writeUtf8File(desktop.root.filePath("config/mimeapps.list"),
                              "[Default Applications]\napplication/vnd.adobe.flash.movie=ruffle.desktop;\n")
                    .ok());
    EXPECT_EQ(defaultMovieHandlerProgram(environment), QStringLiteral("/usr/bin/ruffle"));
    EXPECT_TRUE(registerItemEnabled(environment, kProgram, false));
    ASSERT_TRUE(writeUtf8File(desktop.root.filePath("data/applications/ruffle.desktop"),
                              "[Desktop Entry]\nExec=\"/opt/kivamo/bin/kivamo\" %f\n")
                    .ok());
    EXPECT_FALSE(registerItemEnabled(environment, kProgram, true)) << "the user's entry of that name wins";
}

TEST(Associations, ExecQuotingRoundTrips)
{
    const struct {
        const char* path;
        const char* exec;
    } cases[] = {
        {"/opt/kivamo", "\"/opt/kivamo\" %f"},
        {"/home/a b/kivamo", "\"/home/a b/kivamo\" %f"},
        // The key file's string escape doubles the quoting backslash too: \\$ stands for a dollar.
        {"/x/say \"hi\"", "\"/x/say \\\\\"hi\\\\\"\" %f"},
        {"/x/$HOME`", "\"/x/\\\\$HOME\\\\`\" %f"},
        {"/x/back\\slash", "\"/x/back\\\\\\\\slash\" %f"},
        {"/程序/播放器", "\"/程序/播放器\" %f"},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(desktopExecLine(path), QString::fromUtf8(c.exec)) << c.path;
        EXPECT_EQ(splitDesktopExec(desktopExecLine(path)), (QStringList{path, "%f"})) << c.path;
    }
    EXPECT_EQ(splitDesktopExec("\"/unterminated %f"), QStringList{});
    EXPECT_EQ(splitDesktopExec("plain  %U"), (QStringList{"plain", "%U"}));
}

TEST(Associations, RegisterCommandConfirms)
{
    Desktop desktop;
    ScriptedPrompts prompts;
    prompts.expectMessage("设置成功", "文件关联设置成功，双击SWF文件时会用本播放器打开。", PromptIcon::Information);
    registerMovieAssociationCommand(desktop.environment(), prompts, kProgram);
    EXPECT_TRUE(prompts.messages().at(0).stayOnTop);
    EXPECT_EQ(defaultFor(desktop, kMovieMimeTypes[0]), "kivamo.desktop;");
}

TEST(Unassign, IconNumberFieldRules)
{
    const struct {
        const char* text;
        const char* result;
    } texts[] = {{"", "0"}, {"0", "0"}, {"1", "1"}, {"254", "254"}, {"255", "254"}, {"300", "254"},
                 {"99999999999999999999", "254"}, {"007", "007"}};
    for (const auto& c : texts)
        EXPECT_EQ(boundedIconNumber(c.text), QString::fromUtf8(c.result)) << c.text;
    for (QChar key : QString("0123456789\b"))
        EXPECT_TRUE(iconNumberKeyAccepted(key)) << key.unicode();
    for (QChar key : QString("a-+. \x7f٣"))
        EXPECT_FALSE(iconNumberKeyAccepted(key)) << key.unicode();
}

TEST(Unassign, ApplyGivesMoviesToTheChosenProgram)
{
    Desktop desktop;
    AssociationEnvironment environment = desktop.environment();
    ASSERT_TRUE(registerAtStartup(environment, kProgram, true, false).ok());
    const QString other = desktop.root.filePath("bin/other player");
    ASSERT_TRUE(writeUtf8File(other, "#!/bin/sh\n").ok());
    const QString ini = desktop.root.filePath("main.ini");
    ASSERT_TRUE(writeUtf8File(ini, "[common]\r\ncommand=1\r\nhistory=1\r\n").ok());

    ScriptedPrompts prompts;
    prompts.expectMessage("文件关联卸载成功", "SWF文件关联卸载成功，当前关联程序\r" + other, PromptIcon::Information);
    EXPECT_TRUE(applyUnassign(environment, prompts, ini, other));
    EXPECT_FALSE(IniFile::load(ini).readBool("common", "command", true));
    EXPECT_TRUE(IniFile::load(ini).readBool("common", "history", false));
    EXPECT_EQ(defaultFor(desktop, kMovieMimeTypes[0]), "kivamo-handler-other_player.desktop;");
    EXPECT_EQ(defaultFor(desktop, kMovieMimeTypes[1]), "kivamo-handler-other_player.desktop;");
    EXPECT_EQ(defaultFor(desktop, kPlayListMimeType), "kivamo.desktop;") << "the list association stays";
    EXPECT_EQ(defaultMovieHandlerProgram(environment), other);
    EXPECT_TRUE(desktop.read("data/applications/kivamo.desktop").contains("Exec=\"/opt/kivamo/bin/kivamo\" %f"));
}

TEST(Unassign, BrowseOffersAnyFileAndReturnsTheChoice)
{
    ScriptedPrompts prompts;
    prompts.expectOpenFiles({"/usr/bin/player"});
    prompts.expectOpenFiles({});
    EXPECT_EQ(chooseHandlerProgram(prompts), QStringLiteral("/usr/bin/player"));
    EXPECT_EQ(chooseHandlerProgram(prompts), QString());
    EXPECT_EQ(prompts.filePrompts().at(0).filter, QStringLiteral("可执行程序|*"));
    EXPECT_FALSE(prompts.filePrompts().at(0).multiple);
}

TEST(Unassign, MissingProgramKeepsTheDialogAndWritesNothing)
{
    Desktop desktop;
    const QString ini = desktop.root.filePath("main.ini");
    ScriptedPrompts prompts;
    for (int i = 0; i < 3; ++i)
        prompts.expectMessage("文件不存在", "您所指定的程序不存在，请更正后再试。", PromptIcon::Error);
    EXPECT_FALSE(applyUnassign(desktop.environment(), prompts, ini, desktop.root.filePath("nothing")));
    EXPECT_FALSE(applyUnassign(desktop.environment(), prompts, ini, QString()));
    EXPECT_FALSE(applyUnassign(desktop.environment(), prompts, ini, desktop.root.path()));
    EXPECT_TRUE(desktop.allFiles().isEmpty());
}

TEST(Unassign, DoNotAssociateOnlyStopsTakingMoviesBack)
{
    Desktop desktop;
    ASSERT_TRUE(registerAtStartup(desktop.environment(), kProgram, true, false).ok());
    const QString before = desktop.read("config/mimeapps.list");
    const QString ini = desktop.root.filePath("main.ini");
    ASSERT_TRUE(keepAssociationsButStopTaking(ini).ok());
    EXPECT_FALSE(IniFile::load(ini).readBool("common", "command", true));
    EXPECT_EQ(desktop.read("config/mimeapps.list"), before);
}

TEST(DesktopAssociations, OptionsViewOfTheMovieAssociation)
{
    Desktop desktop;
    DesktopAssociations associations(desktop.environment());
    // No default handler yet: nothing can be told, so the options window keeps its box as it was.
    EXPECT_EQ(associations.movieAssociationOpensProgram(kProgram), std::nullopt);
    ASSERT_TRUE(associations.registerMovieAssociation(kProgram).ok());
    EXPECT_EQ(associations.movieAssociationOpensProgram(kProgram), std::optional<bool>(true));
    // Another spelling of the path is another program.
    EXPECT_EQ(associations.movieAssociationOpensProgram(QStringLiteral("/opt/Kivamo/bin/kivamo")),
              std::optional<bool>(false));
}

}  // namespace
}  // namespace kivamo
