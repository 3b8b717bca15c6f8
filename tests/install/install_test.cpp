// `cmake --install` into a temporary prefix: the files land where the desktop looks for them, the
// installed programs run from there, and the installed program's help lookup finds the installed pages.
#include "dialogs/helpfile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QString output;
};

ProgramRun run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ProgramRun result;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

class InstallTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_prefix = new QTemporaryDir;
        s_install = run(QStringLiteral(KIVAMO_CMAKE_COMMAND),
                        {QStringLiteral("--install"), QStringLiteral(KIVAMO_BIN_DIR "/.."), QStringLiteral("--prefix"),
                         s_prefix->path()});
    }
    static void TearDownTestSuite()
    {
        delete s_prefix;
        s_prefix = nullptr;
    }
    static QString installed(const QString& relative) { return QDir(s_prefix->path()).filePath(relative); }

    static QTemporaryDir* s_prefix;
    static ProgramRun s_install;
};

QTemporaryDir* InstallTest::s_prefix = nullptr;
ProgramRun InstallTest::s_install;

TEST_F(InstallTest, FilesLandWhereTheDesktopLooks)
{
    ASSERT_EQ(s_install.exitCode, 0) << s_install.output.toStdString();
    for (const char* file : {"bin/kivamo", "bin/kivamo-swf", "share/applications/kivamo.desktop",
                             "share/mime/packages/kivamo.xml", "share/thumbnailers/kivamo.thumbnailer",
                             "share/icons/hicolor/scalable/apps/kivamo.svg",
                             "share/icons/hicolor/scalable/mimetypes/application-x-kivamo-playlist.svg",
                             "share/icons/hicolor/scalable/mimetypes/application-vnd.adobe.flash.movie.svg",
                             "share/man/man1/kivamo.1", "share/man/man1/kivamo-swf.1",
                             "share/man/zh_CN/man1/kivamo.1", "share/man/zh_CN/man1/kivamo-swf.1",
                             "share/kivamo/help/index.html", "share/kivamo/help/style.css",
                             "share/kivamo/help/images/tfpic.png"})
        EXPECT_TRUE(QFileInfo(installed(QString::fromUtf8(file))).isFile()) << file;
    EXPECT_TRUE(QFileInfo(installed(QStringLiteral("bin/kivamo"))).isExecutable());
    EXPECT_TRUE(QFileInfo(installed(QStringLiteral("bin/kivamo-swf"))).isExecutable());
}

TEST_F(InstallTest, InstalledProgramsRunAndFindTheirHelp)
{
    ASSERT_EQ(s_install.exitCode, 0) << s_install.output.toStdString();
    const ProgramRun version = run(installed(QStringLiteral("bin/kivamo")), {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.startsWith(QLatin1String("kivamo "))) << version.output.toStdString();
    const ProgramRun usage = run(installed(QStringLiteral("bin/kivamo-swf")), {});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.output.contains(QLatin1String("usage: kivamo-swf"))) << usage.output.toStdString();
    // No help folder lies beside the installed program, so the prefix's share folder is found.
    EXPECT_EQ(findHelpIndex(installed(QStringLiteral("bin")), {}),
              installed(QStringLiteral("share/kivamo/help/index.html")));
}

}  // namespace
}  // namespace kivamo
