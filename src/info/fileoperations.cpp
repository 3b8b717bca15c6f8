#include "info/fileoperations.h"

#include "core/paths.h"
#include "core/playlist.h"
#include "platform/filemanager.h"
#include "platform/prompts.h"
#include "platform/textfile.h"
#include "playlist/listcommands.h"

#include <QFile>
#include <QFileInfo>

namespace kivamo {

bool deleteSelectedFromDisk(ListContext& context)
{
    MessagePrompt question;
    question.caption = QStringLiteral("删除文件");
    question.text = QStringLiteral("即将从硬盘删除所选文件，是否继续？");
    question.icon = PromptIcon::Question;
    question.buttons = PromptButton::Yes | PromptButton::No;
    question.defaultButton = PromptButton::No;
    question.stayOnTop = true;
    if (context.prompts.message(question) != PromptButton::Yes)
        return false;
    deleteSelected(context, [](const MovieEntry& entry) {
        // Only files are removed: a path that names a folder stays on disk.
        const QString path = trimmed32(entry.path);
        if (isLocalPath(path) && QFileInfo(path).isFile())
            QFile::remove(path);
    });
    return true;
}

int removeDeadEntries(ListContext& context)
{
    PlayList& list = context.list;
    list.clearSelection();
    for (int i = 0; i < list.count(); ++i) {
        if (isMissingLocalFile(list.at(i).path))
            list.setSelected(i, true);
    }
    const int removed = list.removeSelected();
    if (context.playback.movieLoaded())
        context.playback.setCurrentIndex(list.findCurrentEntry());
    return removed;
}

std::optional<int> changePathTarget(const PlayList& list, int currentIndex)
{
    const int selected = list.firstSelected();
    if (list.isEmpty() || selected < 0 || selected == currentIndex)
        return std::nullopt;
    return selected;
}

QString fileStateText(const QString& path)
{
    return QFileInfo::exists(path) ? QStringLiteral("文件状态： 正常")
                                   : QStringLiteral("文件状态： 不存在或者非FLASH影片文件");
}

ChangePathView changePathView(const PlayList& list, int targetIndex)
{
    ChangePathView view;
    view.state = QStringLiteral("文件状态：");
    if (!list.hasSelection() || targetIndex < 0 || targetIndex >= list.count())
        return view;
    const MovieEntry& entry = list.at(targetIndex);
    view.caption = entry.title;
    view.filePath = trimmed32(entry.path);
    view.state = fileStateText(view.filePath);
    return view;
}

void browseForPath(Prompts& prompts, ChangePathView& view)
{
    FilePrompt prompt;
    prompt.filter = QStringLiteral("flash影片(*.swf)|*.swf");
    prompt.fileName = view.filePath;
    const QStringList chosen = prompts.openFiles(prompt);
    if (chosen.isEmpty())
        return;
    view.filePath = chosen.constFirst();
    view.state = fileStateText(view.filePath);
}

void confirmChangePath(PlayList& list, int targetIndex, const QString& path, int currentIndex,
                       const std::function<void(const QString&)>& setCurrentMoviePath)
{
    if (targetIndex < 0 || targetIndex >= list.count())
        return;
    MovieEntry entry = list.at(targetIndex);
    entry.path = path;
    list.setEntry(targetIndex, std::move(entry));
    list.setModified(true);
    list.refreshTitle();
    if (targetIndex == currentIndex && setCurrentMoviePath)
        setCurrentMoviePath(path);
}

bool showSelectedInFileManager(const PlayList& list, FileManager& fileManager)
{
    const int first = list.firstSelected();
    if (first < 0)
        return false;
    return fileManager.showItem(trimmed32(list.at(first).path));
}

}  // namespace kivamo
