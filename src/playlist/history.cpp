#include "playlist/history.h"

#include "core/playlist.h"
#include "platform/directories.h"
#include "platform/prompts.h"
#include "platform/textfile.h"
#include "playlist/addmovies.h"
#include "playlist/listfile.h"

#include <QFile>
#include <QFileInfo>

namespace kivamo {

namespace {

constexpr int maximumHistory = 5;

}  // namespace

QString historyFilePath(const QString& programDirectory)
{
    return withTrailingSeparator(programDirectory) + QStringLiteral("hiscfg.dat");
}

Result<void> addToHistory(const QString& programDirectory, const QString& path)
{
    const QString file = historyFilePath(programDirectory);
    QStringList lines;
    if (QFileInfo::exists(file)) {
        Result<QStringList> read = readTextLines(file, LineRules{true, true});
        if (!read)
            return read.error();
        lines = std::move(read.value());
    }
    const QString key = trimmed32(path);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (trimmed32(lines.at(i)) == key) {
            lines.removeAt(i);
            break;
        }
    }
    lines.prepend(path);
    QStringList kept;
    for (qsizetype i = 0; i < lines.size() && i < maximumHistory; ++i)
        kept.append(trimmed32(lines.at(i)));
    return writeTextLines(file, kept);
}

HistoryMenu historyMenu(const QString& programDirectory, bool historyOn)
{
    HistoryMenu menu;
    const QString file = historyFilePath(programDirectory);
    if (historyOn && QFileInfo::exists(file)) {
        Result<QStringList> read = readTextLines(file, LineRules{true, true});
        if (read)
            menu.items = read.value();
    }
    menu.clearEnabled = !menu.items.isEmpty();
    return menu;
}

bool reopenHistoryItem(ListContext& context, const QString& caption)
{
    const QString path = trimmed32(caption);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    newList(context);
    addFile(context, path, false);
    if (!context.list.isEmpty()) {
        context.playback.setCurrentIndex(0);
        context.playback.playCurrentEntry();
    }
    return true;
}

void clearHistory(Prompts& prompts, const QString& programDirectory)
{
    const bool removed = QFile::remove(historyFilePath(programDirectory));
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("清除历史记录");
    prompt.text = removed ? QStringLiteral("已经成功清除历史记录！") : QStringLiteral("当前没有历史记录！");
    prompt.icon = PromptIcon::Information;
    prompt.stayOnTop = true;
    prompts.message(prompt);
}

}  // namespace kivamo
