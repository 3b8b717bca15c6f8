// Copying movies into a folder: the log texts with their CR separators, every conflict choice,
// nested conflicts, failures that leave no partial file, and overwrites that keep the old file
// until the new copy is complete.
#include "info/copymovies.h"

#include "fakeplayback.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <deque>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

// Answers each conflict with the next scripted choice and records what it was shown.
class ScriptedChooser : public ConflictChooser {
public:
    struct Shown {
        QString source, target, proposed;
    };

    ScriptedChooser& then(ConflictChoice choice, const QString& newName = {})
    {
        m_answers.push_back({choice, newName});
        return *this;
    }
    ConflictAnswer choose(const QString& source, const QString& target, const QString& proposed) override
    {
        shown.push_back({source, target, proposed});
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected conflict for " << target.toStdString();
            return {};
        }
        ConflictAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    bool done() const { return m_answers.empty(); }

    std::vector<Shown> shown;

private:
    std::deque<ConflictAnswer> m_answers;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Three movies a.swf, b.swf, c.swf in a source folder, all selected, and a target folder that
// already holds a different b.swf.
struct ThreeFiles {
    QTemporaryDir root;
    QString sourceDir = root.filePath(QStringLiteral("src"));
    QString targetDir = root.filePath(QStringLiteral("dst"));
    PlayList list;
    ScriptedPrompts prompts;
    CopyLogText log;
    ScriptedChooser chooser;
    MovieCopier copier{log, chooser};

    ThreeFiles()
    {
        QDir().mkpath(sourceDir);
        QDir().mkpath(targetDir);
        for (const char* name : {"a", "b", "c"}) {
            const QString path = sourceDir + u'/' + QLatin1String(name) + QStringLiteral(".swf");
            write(path, QByteArray("FWS movie ") + name);
            list.append(movieEntry(QLatin1String(name), path));
        }
        list.selectAll();
        write(dst(QStringLiteral("b.swf")), "old b");
    }
    QString src(const QString& name) const { return sourceDir + u'/' + name; }
    QString dst(const QString& name) const { return targetDir + u'/' + name; }
    QString copied(const QString& name) const
    {
        return QStringLiteral("\r") + src(name) + QStringLiteral("\r到： ") + dst(name) + QStringLiteral("  成功！");
    }
    void run()
    {
        prompts.expectFolder(targetDir, QStringLiteral("请选择要复制到的目录"));
        copySelected(list, prompts, copier, QDir::homePath());
    }
    QStringList targetFiles() const { return QDir(targetDir).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

}  // namespace

TEST(CopyMovies, SkipLogsTheTargetAndGoesOn)
{
    ThreeFiles t;
    t.chooser.then(ConflictChoice::Skip);
    t.run();
    EXPECT_TRUE(t.log.shown());
    EXPECT_EQ(t.log.text(), t.copied(QStringLiteral("a.swf")) + QStringLiteral("\r已跳过：") + t.dst(QStringLiteral("b.swf"))
                                + t.copied(QStringLiteral("c.swf")));
    ASSERT_EQ(t.chooser.shown.size(), 1u);
    EXPECT_EQ(t.chooser.shown[0].source, t.src(QStringLiteral("b.swf")));
    EXPECT_EQ(t.chooser.shown[0].target, t.dst(QStringLiteral("b.swf")));
    EXPECT_EQ(t.chooser.shown[0].proposed, QStringLiteral("b"));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("a.swf"))), QByteArray("FWS movie a"));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("b.swf"))), QByteArray("old b"));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("c.swf"))), QByteArray("FWS movie c"));
    EXPECT_EQ(t.targetFiles(), (QStringList{"a.swf", "b.swf", "c.swf"}));
}

TEST(CopyMovies, SkipAllStopsTheRest)
{
    ThreeFiles t;
    t.chooser.then(ConflictChoice::SkipAll);
    t.run();
    EXPECT_EQ(t.log.text(), t.copied(QStringLiteral("a.swf")) + QStringLiteral("\r\n\r\n==已全部跳过=="));
    EXPECT_FALSE(t.copier.copyContinue());
    EXPECT_EQ(t.targetFiles(), (QStringList{"a.swf", "b.swf"}));
}

TEST(CopyMovies, RenameIntoASecondConflictAndThenAFreeName)
{
    ThreeFiles t;
    write(t.dst(QStringLiteral("b2.swf")), "old b2");
    t.chooser.then(ConflictChoice::Rename, QStringLiteral("b2")).then(ConflictChoice::Rename, QStringLiteral("b3"));
    t.run();
    ASSERT_EQ(t.chooser.shown.size(), 2u);
    EXPECT_EQ(t.chooser.shown[1].target, t.dst(QStringLiteral("b2.swf")));
    EXPECT_EQ(t.chooser.shown[1].proposed, QStringLiteral("b2"));
    EXPECT_EQ(t.chooser.shown[1].source, t.src(QStringLiteral("b.swf")));
    EXPECT_EQ(t.log.text(), t.copied(QStringLiteral("a.swf")) + QStringLiteral("\r") + t.src(QStringLiteral("b.swf"))
                                + QStringLiteral("\r到： ") + t.dst(QStringLiteral("b3.swf")) + QStringLiteral("  成功！")
                                + t.copied(QStringLiteral("c.swf")));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("b.swf"))), QByteArray("old b"));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("b2.swf"))), QByteArray("old b2"));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("b3.swf"))), QByteArray("FWS movie b"));
    EXPECT_TRUE(t.chooser.done());
}

TEST(CopyMovies, OverwriteReplacesTheExistingTarget)
{
    ThreeFiles t;
    t.chooser.then(ConflictChoice::Overwrite);
    t.run();
    EXPECT_EQ(t.log.text(), t.copied(QStringLiteral("a.swf")) + t.copied(QStringLiteral("b.swf")) + t.copied(QStringLiteral("c.swf")));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("b.swf"))), QByteArray("FWS movie b"));
    EXPECT_EQ(t.targetFiles(), (QStringList{"a.swf", "b.swf", "c.swf"}));
}

TEST(CopyMovies, ClosingTheConflictWindowSkipsWithoutALine)
{
    ThreeFiles t;
    t.chooser.then(ConflictChoice::Closed);
    t.run();
    EXPECT_EQ(t.log.text(), t.copied(QStringLiteral("a.swf")) + t.copied(QStringLiteral("c.swf")));
}

TEST(CopyMovies, OnlySelectedEntriesAndNothingWhenCancelled)
{
    ThreeFiles t;
    t.list.setSelected(1, false);
    t.prompts.expectFolder(QString());
    copySelected(t.list, t.prompts, t.copier, QString());
    EXPECT_FALSE(t.log.shown());
    t.run();
    EXPECT_EQ(t.log.text(), t.copied(QStringLiteral("a.swf")) + t.copied(QStringLiteral("c.swf")));

    // Without a selection no folder is asked for.
    t.list.clearSelection();
    copySelected(t.list, t.prompts, t.copier, QString());
}

TEST(CopyMovies, WebAndMissingEntriesReportCopyFailed)
{
    ThreeFiles t;
    t.list.clear();
    t.list.append(movieEntry(QStringLiteral("web"), QStringLiteral(" http://example.com/x/web.swf ")));
    t.list.append(movieEntry(QStringLiteral("gone"), t.src(QStringLiteral("gone.swf"))));
    t.list.selectAll();
    t.run();
    EXPECT_EQ(t.log.text(), QStringLiteral("\r复制失败：\rhttp://example.com/x/web.swf不存在。\r复制失败：\r")
                                + t.src(QStringLiteral("gone.swf")) + QStringLiteral("不存在。"));
}

TEST(CopyMovies, UnwritableTargetsLogTheFailureAndLeaveNoFile)
{
    ThreeFiles t;
    // A plain file where the target folder should be, and a folder that does not exist.
    const QString fileAsFolder = t.root.filePath(QStringLiteral("plain"));
    write(fileAsFolder, "not a folder");
    const QString missingFolder = t.root.filePath(QStringLiteral("missing/deeper"));
    for (const QString& folder : {fileAsFolder, missingFolder}) {
        t.log.clear();
        const QString target = folder + QStringLiteral("/a.swf");
        EXPECT_FALSE(t.copier.copyMovieFile(t.src(QStringLiteral("a.swf")), target, true));
        EXPECT_EQ(t.log.text(), QStringLiteral("\r") + t.src(QStringLiteral("a.swf")) + QStringLiteral("\r到： ") + target
                                    + QStringLiteral("  ======失败！（目标目录不可写或没有足够空间）"));
    }
    EXPECT_EQ(readAll(fileAsFolder), QByteArray("not a folder"));
    EXPECT_FALSE(QFileInfo::exists(missingFolder));
    EXPECT_EQ(QDir(t.root.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
}

TEST(CopyMovies, FailedOverwriteKeepsTheOldFile)
{
    ThreeFiles t;
    // A folder as the source: it exists but cannot be read as a file.
    const QString folderSource = t.src(QStringLiteral("folder.swf"));
    QDir().mkpath(folderSource);
    EXPECT_FALSE(t.copier.copyMovieFile(folderSource, t.dst(QStringLiteral("b.swf")), false));
    EXPECT_TRUE(t.log.text().endsWith(QStringLiteral("  ======失败！（目标目录不可写或没有足够空间）")));
    EXPECT_EQ(readAll(t.dst(QStringLiteral("b.swf"))), QByteArray("old b"));
    EXPECT_EQ(t.targetFiles(), QStringList{"b.swf"});
}

TEST(CopyMovies, SafeCopyNeverReplacesWithoutOverwrite)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("s.swf"));
    const QString target = dir.filePath(QStringLiteral("t.swf"));
    write(source, QByteArray(200000, 'x'));
    write(target, "keep me");
    EXPECT_FALSE(copyFileSafely(source, target, false));
    EXPECT_EQ(readAll(target), QByteArray("keep me"));
    EXPECT_TRUE(copyFileSafely(source, target, true));
    EXPECT_EQ(readAll(target), QByteArray(200000, 'x'));
    // Copying a file onto itself with overwrite keeps its bytes.
    EXPECT_TRUE(copyFileSafely(source, source, true));
    EXPECT_EQ(readAll(source), QByteArray(200000, 'x'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{"s.swf", "t.swf"}));
    // Permissions of the source travel with the copy.
    QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    const QString fresh = dir.filePath(QStringLiteral("fresh.swf"));
    EXPECT_TRUE(copyFileSafely(source, fresh, false));
    EXPECT_EQ(QFile::permissions(fresh) & 0x0FFF, QFile::permissions(source) & 0x0FFF);
}

TEST(CopyMovies, CopyCurrentUsesTheTitle)
{
    ThreeFiles t;
    t.prompts.expectFolder(t.targetDir);
    copyCurrent(t.src(QStringLiteral("c.swf")), t.prompts, t.copier, QString());
    EXPECT_EQ(t.log.text(), t.copied(QStringLiteral("c.swf")));

    t.prompts.expectFolder(t.targetDir);
    t.chooser.then(ConflictChoice::Skip);
    copyCurrent(t.src(QStringLiteral("b.swf")), t.prompts, t.copier, QString());
    EXPECT_EQ(t.log.text(), QStringLiteral("\r已跳过：") + t.dst(QStringLiteral("b.swf")));

    // A web address is its own title and is never a file.
    t.prompts.expectFolder(t.targetDir);
    copyCurrent(QStringLiteral("http://example.com/w.swf"), t.prompts, t.copier, QString());
    EXPECT_EQ(t.log.text(), QStringLiteral("\r复制失败：\rhttp://example.com/w.swf不存在。"));
}

TEST(CopyMovies, LogIsRepaintedBeforeAndScrolledAfterEachFile)
{
    // Records the calls of the copy on the log window in order.
    class RecordingLog : public CopyLog {
    public:
        void showWindow() override { calls << QStringLiteral("show"); }
        void clear() override { calls << QStringLiteral("clear"); }
        void append(const QString&) override { calls << QStringLiteral("append"); }
        void repaint() override { calls << QStringLiteral("repaint"); }
        void scrollToEnd() override { calls << QStringLiteral("scroll"); }
        QStringList calls;
    } log;
    ThreeFiles t;
    MovieCopier copier(log, t.chooser);
    t.chooser.then(ConflictChoice::Skip);
    t.prompts.expectFolder(t.targetDir);
    copySelected(t.list, t.prompts, copier, QString());
    EXPECT_EQ(log.calls, (QStringList{"show", "clear", "repaint", "append", "scroll", "append", "repaint", "append", "scroll"}));
}
