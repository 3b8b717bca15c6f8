// The program directory rule, the runtime directory and folder creation.
#include "platform/directories.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace kivamo;

namespace {

ProgramDirectoryInputs inputs(bool writable, bool optical)
{
    ProgramDirectoryInputs in;
    in.executableDirectory = QStringLiteral("/opt/kivamo/bin");
    in.homeDirectory = QStringLiteral("/home/u");
    in.isWritable = [writable](const QString&) { return writable; };
    in.onOpticalOrReadOnly = [optical](const QString&) { return optical; };
    return in;
}

}  // namespace

TEST(ProgramDirectory, ChoosesByEnvironmentWritabilityAndMedia)
{
    struct Case {
        const char* name;
        bool writable;
        bool optical;
        const char* kivamoHome;
        const char* xdgConfig;
        const char* expected;
        bool onOptical;
    } cases[] = {
        {"writable build tree", true, false, "", "", "/opt/kivamo/bin/", false},
        {"installed read-only", false, false, "", "", "/home/u/.config/kivamo/", false},
        {"XDG config honoured", false, false, "", "/cfg", "/cfg/kivamo/", false},
        {"relative XDG ignored", false, false, "", "cfg", "/home/u/.config/kivamo/", false},
        {"optical media", true, true, "", "/cfg/", "/cfg/kivamo/", true},
        {"KIVAMO_HOME wins", true, false, "/tmp/k", "/cfg", "/tmp/k/", false},
        {"KIVAMO_HOME on optical", true, true, "/tmp/k/", "", "/tmp/k/", true},
    };
    for (const Case& c : cases) {
        ProgramDirectoryInputs in = inputs(c.writable, c.optical);
        in.kivamoHome = QString::fromUtf8(c.kivamoHome);
        in.xdgConfigHome = QString::fromUtf8(c.xdgConfig);
        ProgramDirectory dir = chooseProgramDirectory(in);
        EXPECT_EQ(dir.path.toStdString(), c.expected) << c.name;
        EXPECT_EQ(dir.executableOnOpticalOrReadOnly, c.onOptical) << c.name;
    }
}

TEST(ProgramDirectory, TrailingSeparatorAddedOnlyWhenMissing)
{
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/a/")), QStringLiteral("/a/"));
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("C:\\a\\")), QStringLiteral("C:\\a\\"));
    EXPECT_TRUE(temporaryDirectory().endsWith(u'/'));
}

TEST(RuntimeDirectory, PrefersXdgAndOtherwiseMakesAPrivateFolder)
{
    QTemporaryDir xdg;
    auto fromXdg = runtimeDirectoryFrom(xdg.path(), QStringLiteral("/nonexistent"), ::getuid());
    ASSERT_TRUE(fromXdg.ok());
    EXPECT_EQ(fromXdg.value(), xdg.path() + u'/');

    QTemporaryDir temp;
    auto made = runtimeDirectoryFrom(QStringLiteral("/no/such/runtime"), temp.path(), ::getuid());
    ASSERT_TRUE(made.ok());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(made.value()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // A second call finds the folder it made.
    EXPECT_TRUE(runtimeDirectoryFrom(QString(), temp.path(), ::getuid()).ok());
}

TEST(RuntimeDirectory, RefusesAFolderOthersControl)
{
    QTemporaryDir temp;
    // A folder of the expected name that belongs to somebody else.
    EXPECT_FALSE(runtimeDirectoryFrom(QString(), temp.path(), ::getuid() + 1).ok());

    // A folder others may write.
    const QString dir = temp.path() + QStringLiteral("/kivamo-%1").arg(::getuid());
    ASSERT_TRUE(ensureDirectory(dir));
    ::chmod(QFile::encodeName(dir).constData(), 0777);
    EXPECT_FALSE(runtimeDirectoryFrom(QString(), temp.path(), ::getuid()).ok());
}

TEST(Directories, EnsureDirectoryMakesParents)
{
    QTemporaryDir temp;
    const QString deep = temp.path() + QStringLiteral("/a/b/images/");
    EXPECT_TRUE(ensureDirectory(deep));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_TRUE(ensureDirectory(deep));
    EXPECT_FALSE(isOpticalOrReadOnly(temp.path()));
}
