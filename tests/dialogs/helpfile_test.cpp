// Finding the help index: beside the program first, then the installed share/kivamo/help, then the
// data directories in order; folders named index.html and empty entries are passed over.
#include "dialogs/helpfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

class HelpFileTest : public testing::Test {
protected:
    QString path(const QString& relative) const { return QDir::cleanPath(m_root.filePath(relative)); }
    void touch(const QString& relative) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir m_root;
};

TEST_F(HelpFileTest, CandidatesInOrder)
{
    EXPECT_EQ(helpIndexCandidates(QStringLiteral("/opt/k/bin"), {QStringLiteral("/usr/local/share"), QString(),
                                                                 QStringLiteral("/usr/share/")}),
              QStringList({QStringLiteral("/opt/k/bin/help/index.html"),
                           QStringLiteral("/opt/k/share/kivamo/help/index.html"),
                           QStringLiteral("/usr/local/share/kivamo/help/index.html"),
                           QStringLiteral("/usr/share/kivamo/help/index.html")}));
    // The installed share folder named twice is looked at once.
    EXPECT_EQ(helpIndexCandidates(QStringLiteral("/usr/bin"), {QStringLiteral("/usr/share")}),
              QStringList({QStringLiteral("/usr/bin/help/index.html"),
                           QStringLiteral("/usr/share/kivamo/help/index.html")}));
    EXPECT_EQ(helpIndexCandidates(QString(), {}), QStringList());
}

TEST_F(HelpFileTest, FirstExistingFileWins)
{
    const QStringList data = {path("home/.local/share"), path("usr/share")};
    const QString program = path("opt/bin");
    QDir().mkpath(program);
    EXPECT_EQ(findHelpIndex(program, data), QString());

    touch("usr/share/kivamo/help/index.html");
    EXPECT_EQ(findHelpIndex(program, data), path("usr/share/kivamo/help/index.html"));
    touch("home/.local/share/kivamo/help/index.html");
    EXPECT_EQ(findHelpIndex(program, data), path("home/.local/share/kivamo/help/index.html"));
    touch("opt/bin/help/index.html");
    EXPECT_EQ(findHelpIndex(program, data), path("opt/bin/help/index.html"));
}

TEST_F(HelpFileTest, InstalledPrefixBesideTheProgramFolder)
{
    touch("opt/kivamo/share/kivamo/help/index.html");
    QDir().mkpath(path("opt/kivamo/bin"));
    EXPECT_EQ(findHelpIndex(path("opt/kivamo/bin"), {}), path("opt/kivamo/share/kivamo/help/index.html"));
    // The program's own prefix comes before other installations named by the data directories.
    touch("usr/share/kivamo/help/index.html");
    EXPECT_EQ(findHelpIndex(path("opt/kivamo/bin"), {path("usr/share")}),
              path("opt/kivamo/share/kivamo/help/index.html"));
}

TEST_F(HelpFileTest, FolderNamedLikeTheIndexIsNotTheIndex)
{
    QDir().mkpath(path("bin/help/index.html"));
    touch("share/kivamo/help/index.html");
    EXPECT_EQ(findHelpIndex(path("bin"), {}), path("share/kivamo/help/index.html"));
}

}  // namespace
}  // namespace kivamo
