#include "info/titleeditor.h"

#include "core/paths.h"
#include "core/playlist.h"
#include "platform/prompts.h"

#include <QFile>
#include <QFileInfo>

namespace kivamo {

namespace {

bool isSafeFileTitle(const QString& title)
{
    return !title.contains(u'/') && !title.contains(u'\\') && title != QLatin1String(".")
        && title != QLatin1String("..");
}

}  // namespace

std::optional<int> titleEditorTarget(const PlayList& list, int currentIndex)
{
    const int selected = list.firstSelected();
    if (list.isEmpty() || selected < 0 || selected == currentIndex)
        return std::nullopt;
    return selected;
}

QString renamedMoviePath(const QString& moviePath, const QString& title)
{
    const QString name = fileNamePart(moviePath);
    return moviePath.left(moviePath.size() - name.size()) + title + QStringLiteral(".swf");
}

TitleEditOutcome applyTitle(PlayList& list, Prompts& prompts, int targetIndex, const QString& text,
                            bool renameFile)
{
    if (text.isEmpty()) {
        MessagePrompt warning;
        warning.caption = QStringLiteral("输入有误");
        warning.text = QStringLiteral("标题不能为空");
        warning.icon = PromptIcon::Warning;
        warning.stayOnTop = true;
        prompts.message(warning);
        return TitleEditOutcome::EmptyRefused;
    }
    if (targetIndex < 0 || targetIndex >= list.count())
        return TitleEditOutcome::Applied;
    MovieEntry entry = list.at(targetIndex);
    if (list.hasSelection())
        entry.title = text;
    TitleEditOutcome outcome = TitleEditOutcome::Applied;
    if (renameFile) {
        const QString newPath = renamedMoviePath(entry.path, text);
        // QFile::rename refuses an existing target, so no other movie is ever overwritten.
        if (isSafeFileTitle(text) && QFileInfo(entry.path).isFile() && QFile::rename(entry.path, newPath))
            entry.path = newPath;
        else
            outcome = TitleEditOutcome::RenameFailed;
    }
    list.setEntry(targetIndex, std::move(entry));
    return outcome;
}

}  // namespace kivamo
