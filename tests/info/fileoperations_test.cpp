// The file commands of the list: title editing with renames, delete from disk, dead-entry removal,
// the path dialog and the file-manager reveal.
#include "info/fileoperations.h"
#include "info/titleeditor.h"
#include "platform/filemanager.h"

#include "fakeplayback.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

void touch(const QString& path, const QByteArray& bytes = "FWS")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class RecordingFileManager : public FileManager {
public:
    bool showItem(const QString& path) override
    {
        shown << path;
        return true;
    }
    QStringList shown;
};

}  // namespace

TEST(TitleEditor, TargetIsTheSelectedEntryButNeverThePlayingOne)
{
    PlayList list;
    EXPECT_EQ(titleEditorTarget(list, -1), std::nullopt);
    list.append(movieEntry(QStringLiteral("a"), QStringLiteral("/a.swf")));
    list.append(movieEntry(QStringLiteral("b"), QStringLiteral("/b.swf")));
    EXPECT_EQ(titleEditorTarget(list, -1), std::nullopt);
    list.setSelected(1, true);
    EXPECT_EQ(titleEditorTarget(list, 0), 1);
    EXPECT_EQ(titleEditorTarget(list, 1), std::nullopt);
}

TEST(TitleEditor, EmptyTitleIsRefusedWithTheWarning)
{
    ListFixture f;
    f.list.append(movieEntry(QStringLiteral("a"), QStringLiteral("/a.swf")));
    f.list.setSelected(0, true);
    f.prompts.expectMessage(QStringLiteral("输入有误"), QStringLiteral("标题不能为空"), PromptIcon::Warning);
    EXPECT_EQ(applyTitle(f.list, f.prompts, 0, QString(), true), TitleEditOutcome::EmptyRefused);
    EXPECT_TRUE(f.prompts.messages().back().stayOnTop);
    EXPECT_EQ(f.list.at(0).title, QStringLiteral("a"));
}

TEST(TitleEditor, TitleAsTypedAndRenameOnlyWhenAsked)
{
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("Old.SWF"));
    touch(old);
    PlayList list;
    list.append(movieEntry(QStringLiteral("Old"), old));
    list.setSelected(0, true);
    ScriptedPrompts prompts;

    EXPECT_EQ(applyTitle(list, prompts, 0, QStringLiteral(" 新 标题 "), false), TitleEditOutcome::Applied);
    EXPECT_EQ(list.at(0).title, QStringLiteral(" 新 标题 "));
    EXPECT_EQ(list.at(0).path, old);

    // The rename keeps ".swf" in lower case whatever the old extension was.
    EXPECT_EQ(applyTitle(list, prompts, 0, QStringLiteral("新标题"), true), TitleEditOutcome::Applied);
    const QString renamed = dir.filePath(QStringLiteral("新标题.swf"));
    EXPECT_EQ(list.at(0).path, renamed);
    EXPECT_TRUE(QFileInfo::exists(renamed));
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_FALSE(list.isModified());
}

TEST(TitleEditor, FailedRenamesKeepPathAndFiles)
{
    QTemporaryDir dir;
    const QString movie = dir.filePath(QStringLiteral("m.swf"));
    const QString other = dir.filePath(QStringLiteral("taken.swf"));
    touch(movie, "movie");
    touch(other, "other");
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    struct Case {
        const char* name;
        QString path;
        QString title;
    } cases[] = {
        {"target exists", movie, QStringLiteral("taken")},
        {"separator in title", movie, QStringLiteral("sub/moved")},
        {"parent folder", movie, QStringLiteral("..")},
        {"file missing", dir.filePath(QStringLiteral("gone.swf")), QStringLiteral("new")},
        {"web address", QStringLiteral("http://example.com/a.swf"), QStringLiteral("new")},
    };
    ScriptedPrompts prompts;
    for (const Case& c : cases) {
        PlayList list;
        list.append(movieEntry(QStringLiteral("t"), c.path));
        list.setSelected(0, true);
        EXPECT_EQ(applyTitle(list, prompts, 0, c.title, true), TitleEditOutcome::RenameFailed) << c.name;
        EXPECT_EQ(list.at(0).title, c.title) << c.name;
        EXPECT_EQ(list.at(0).path, c.path) << c.name;
    }
    QFile m(movie), o(other);
    ASSERT_TRUE(m.open(QIODevice::ReadOnly) && o.open(QIODevice::ReadOnly));
    EXPECT_EQ(m.readAll(), QByteArray("movie"));
    EXPECT_EQ(o.readAll(), QByteArray("other"));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("sub"))).entryList(QDir::Files), QStringList());
}

TEST(TitleEditor, WithoutSelectionTheTitleStays)
{
    PlayList list;
    list.append(movieEntry(QStringLiteral("a"), QStringLiteral("/a.swf")));
    ScriptedPrompts prompts;
    EXPECT_EQ(applyTitle(list, prompts, 0, QStringLiteral("b"), false), TitleEditOutcome::Applied);
    EXPECT_EQ(list.at(0).title, QStringLiteral("a"));
}

TEST(DeleteFromDisk, OnlyLocalFilesAreDeletedAfterYes)
{
    QTemporaryDir dir;
    const QString keep = dir.filePath(QStringLiteral("keep.swf"));
    const QString doomed = dir.filePath(QStringLiteral("doomed.swf"));
    const QString folder = dir.filePath(QStringLiteral("folder.swf"));
    touch(keep);
    touch(doomed);
    QDir().mkpath(folder);
    ListFixture f;
    f.list.append(movieEntry(QStringLiteral("keep"), keep));
    f.list.append(movieEntry(QStringLiteral("doomed"), QStringLiteral(" ") + doomed));
    f.list.append(movieEntry(QStringLiteral("net"), QStringLiteral("\\\\server\\share\\n.swf")));
    f.list.append(movieEntry(QStringLiteral("web"), QStringLiteral("http://example.com/w.swf")));
    f.list.append(movieEntry(QStringLiteral("folder"), folder));
    for (int i = 1; i < 5; ++i)
        f.list.setSelected(i, true);

    f.prompts.expectMessage(QStringLiteral("删除文件"), QStringLiteral("即将从硬盘删除所选文件，是否继续？"),
                            PromptIcon::Question, PromptButton::Yes | PromptButton::No, PromptButton::No);
    EXPECT_FALSE(deleteSelectedFromDisk(f.context));
    EXPECT_EQ(f.list.count(), 5);
    EXPECT_TRUE(QFileInfo::exists(doomed));
    EXPECT_EQ(f.prompts.messages().back().defaultButton, PromptButton::No);
    EXPECT_TRUE(f.prompts.messages().back().stayOnTop);

    f.prompts.expectMessage(QStringLiteral("删除文件"), QStringLiteral("即将从硬盘删除所选文件，是否继续？"),
                            PromptIcon::Question, PromptButton::Yes | PromptButton::No, PromptButton::Yes);
    EXPECT_TRUE(deleteSelectedFromDisk(f.context));
    EXPECT_EQ(entryPaths(f.list), QStringList{keep});
    EXPECT_FALSE(QFileInfo::exists(doomed));
    EXPECT_TRUE(QFileInfo::exists(keep));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(f.list.isModified());
}

TEST(DeadEntries, RemovesOnlyMissingLocalFiles)
{
    QTemporaryDir dir;
    const QString here = dir.filePath(QStringLiteral("here.swf"));
    const QString playing = dir.filePath(QStringLiteral("playing.swf"));
    touch(here);
    touch(playing);
    ListFixture f;
    f.list.append(movieEntry(QStringLiteral("gone"), dir.filePath(QStringLiteral("gone.swf"))));
    f.list.append(movieEntry(QStringLiteral("here"), here));
    f.list.append(movieEntry(QStringLiteral("net"), QStringLiteral("\\\\server\\n.swf")));
    f.list.append(movieEntry(QStringLiteral("smb"), QStringLiteral("smb://server/n.swf")));
    f.list.append(movieEntry(QStringLiteral("drive"), QStringLiteral("Z:\\flash\\gone.swf")));
    f.list.append(movieEntry(QStringLiteral("web"), QStringLiteral("http://example.com/w.swf")));
    f.list.append(movieEntry(QStringLiteral("playing"), playing));
    f.list.markCurrentEntry(6);
    f.list.setSelected(1, true);
    f.playback.loaded = true;
    f.playback.current = 6;

    EXPECT_EQ(removeDeadEntries(f.context), 2);
    EXPECT_EQ(entryPaths(f.list), (QStringList{here, QStringLiteral("\\\\server\\n.swf"), QStringLiteral("smb://server/n.swf"),
                                               QStringLiteral("http://example.com/w.swf"), playing}));
    EXPECT_EQ(f.playback.current, 4);
    EXPECT_FALSE(f.list.isModified());
    EXPECT_TRUE(QFileInfo::exists(here));
}

TEST(ChangePath, TargetViewBrowseAndConfirm)
{
    QTemporaryDir dir;
    const QString moved = dir.filePath(QStringLiteral("moved.swf"));
    touch(moved);
    PlayList list;
    list.append(movieEntry(QStringLiteral("playing"), QStringLiteral("/p.swf")));
    list.append(movieEntry(QStringLiteral("lost"), QStringLiteral("  /old/lost.swf ")));
    EXPECT_EQ(changePathTarget(list, 0), std::nullopt);
    list.setSelected(0, true);
    EXPECT_EQ(changePathTarget(list, 0), std::nullopt);  // the loaded movie cannot be relocated
    list.clearSelection();
    list.setSelected(1, true);
    ASSERT_EQ(changePathTarget(list, 0), 1);

    ChangePathView view = changePathView(list, 1);
    EXPECT_EQ(view.caption, QStringLiteral("lost"));
    EXPECT_EQ(view.filePath, QStringLiteral("/old/lost.swf"));
    EXPECT_EQ(view.state, QStringLiteral("文件状态： 不存在或者非FLASH影片文件"));

    ScriptedPrompts prompts;
    prompts.expectOpenFiles({});
    browseForPath(prompts, view);
    EXPECT_EQ(view.filePath, QStringLiteral("/old/lost.swf"));
    prompts.expectOpenFiles({moved});
    browseForPath(prompts, view);
    EXPECT_EQ(view.filePath, moved);
    EXPECT_EQ(view.state, QStringLiteral("文件状态： 正常"));
    EXPECT_EQ(prompts.filePrompts().back().filter, QStringLiteral("flash影片(*.swf)|*.swf"));

    QString currentPath = QStringLiteral("untouched");
    confirmChangePath(list, 1, view.filePath, 0, [&](const QString& p) { currentPath = p; });
    EXPECT_EQ(list.at(1).path, moved);
    EXPECT_EQ(list.at(1).title, QStringLiteral("lost"));
    EXPECT_TRUE(list.isModified());
    EXPECT_EQ(currentPath, QStringLiteral("untouched"));

    confirmChangePath(list, 0, moved, 0, [&](const QString& p) { currentPath = p; });
    EXPECT_EQ(currentPath, moved);
    confirmChangePath(list, 7, QStringLiteral("/x.swf"), 0, {});
    EXPECT_EQ(list.count(), 2);

    // Without a selection the dialog shows its design texts.
    list.clearSelection();
    EXPECT_EQ(changePathView(list, 1).state, QStringLiteral("文件状态："));
    EXPECT_TRUE(changePathView(list, 1).filePath.isEmpty());
}

TEST(FileManagerReveal, FirstSelectedEntryIsShown)
{
    PlayList list;
    RecordingFileManager manager;
    EXPECT_FALSE(showSelectedInFileManager(list, manager));
    list.append(movieEntry(QStringLiteral("a"), QStringLiteral("/a.swf")));
    list.append(movieEntry(QStringLiteral("b"), QStringLiteral(" /films/b.swf ")));
    list.append(movieEntry(QStringLiteral("c"), QStringLiteral("/c.swf")));
    list.setSelected(2, true);
    list.setSelected(1, true);
    EXPECT_TRUE(showSelectedInFileManager(list, manager));
    EXPECT_EQ(manager.shown, QStringList{QStringLiteral("/films/b.swf")});
}
