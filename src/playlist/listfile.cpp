#include "playlist/listfile.h"

#include "core/movieentry.h"
#include "core/paths.h"
#include "core/playlist.h"
#include "info/notes.h"
#include "platform/prompts.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace kivamo {

namespace {

const QString currentMagic = QStringLiteral("#KVL2");
const QString oldMagic = QStringLiteral("#KVL");

// Lines are read as a text file reads them: past the end there are only empty lines.
class LineCursor {
public:
    explicit LineCursor(const QStringList& lines) : m_lines(lines) {}
    bool atEnd() const { return m_next >= m_lines.size(); }
    QString next() { return atEnd() ? QString() : m_lines.at(m_next++); }

private:
    const QStringList& m_lines;
    qsizetype m_next = 0;
};

// Trailing blanks and control characters go; leading ones stay in the file.
QString trimmedRight(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= 32)
        --end;
    return text.left(end);
}

MovieEntry entryFromRecord(LineCursor& cursor)
{
    MovieEntry entry;
    entry.title = trimmed32(cursor.next());
    entry.path = trimmed32(cursor.next());
    const RrightInfo notes = readNotes(entry.path);
    entry.author = notes.author;
    entry.source = notes.source;
    entry.type = notes.type;
    return entry;
}

bool isExistingFile(const QString& path)
{
    QFileInfo info(path);
    return info.exists() && !info.isDir();
}

void showListError(Prompts& prompts, const QString& text)
{
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("错误");
    prompt.text = text;
    prompts.message(prompt);
}

}  // namespace

QString listFileFilter()
{
    return QStringLiteral("FLASH播放列表(*.KVL)|*.KVL");
}

QByteArray listFileBytes(const std::vector<MovieEntry>& entries)
{
    QString text = currentMagic + QStringLiteral("\r\n");
    text.reserve(qsizetype(entries.size()) * 64 + 8);
    for (const MovieEntry& entry : entries) {
        text += QStringLiteral(">\r\n");
        text += trimmedRight(entry.title);
        text += QStringLiteral("\r\n");
        text += trimmedRight(entry.path);
        text += QStringLiteral("\r\n");
        text += trimmedRight(entry.spare);
        text += QStringLiteral("\r\n");
    }
    return encodeGb18030(text);
}

bool parseListFile(const QStringList& lines, std::vector<MovieEntry>& entries)
{
    LineCursor cursor(lines);
    const QString magic = trimmed32(cursor.next());
    const bool current = magic == currentMagic;
    if (!current && magic != oldMagic)
        return false;
    const QString marker = current ? QStringLiteral(">") : QStringLiteral("begin");
    while (!cursor.atEnd()) {
        if (trimmed32(cursor.next()) != marker)
            continue;
        MovieEntry entry = entryFromRecord(cursor);
        if (current)
            entry.spare = trimmed32(cursor.next());
        entries.push_back(std::move(entry));
    }
    return true;
}

bool readListFile(ListContext& context, const QString& path)
{
    if (!isExistingFile(path)) {
        showListError(context.prompts, QStringLiteral("错误：") + path + QStringLiteral("文件不存在"));
        return false;
    }
    Result<QStringList> lines = readTextLines(path, LineRules{true, true});
    if (!lines) {
        reportError(context.prompts, lines.error().message);
        return false;
    }
    std::vector<MovieEntry> entries;
    if (!parseListFile(lines.value(), entries)) {
        showListError(context.prompts, QStringLiteral("文件打开错误：非列表文件类型"));
        return false;
    }
    context.list.append(std::move(entries));
    return true;
}

void openListFile(ListContext& context, const QString& path)
{
    context.list.clear();
    if (readListFile(context, path)) {
        context.list.setListName(titleFromPath(path));
        context.list.setCurrentListFile(trimmed32(path));
    }
    context.list.setModified(false);
    context.list.refreshTitle();
}

bool writeListFile(ListContext& context, const QString& path)
{
    Result<void> written = writeFileAtomically(path, listFileBytes(context.list.entries()));
    if (!written) {
        reportError(context.prompts, written.error().message);
        return false;
    }
    if (context.list.isEmpty())
        return true;
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("保存成功");
    prompt.text = QStringLiteral("列表文件保存成功！");
    prompt.icon = PromptIcon::Information;
    prompt.stayOnTop = true;
    context.prompts.message(prompt);
    context.list.setModified(false);
    return true;
}

void newList(ListContext& context)
{
    context.list.clear();
    context.playback.resetPlayer();
    context.list.setModified(true);
    context.list.setListName(PlayList::newListName());
    context.list.refreshTitle();
    context.list.setCurrentListFile(QString());
}

void openListCommand(ListContext& context)
{
    FilePrompt prompt;
    prompt.filter = listFileFilter();
    prompt.multiple = true;
    const QStringList chosen = context.prompts.openFiles(prompt);
    if (chosen.isEmpty())
        return;
    context.list.clear();
    context.playback.resetPlayer();
    openListFile(context, chosen.constFirst());
}

void saveListCommand(ListContext& context)
{
    FilePrompt prompt;
    prompt.filter = listFileFilter();
    prompt.defaultSuffix = QStringLiteral("kvl");
    prompt.confirmOverwrite = true;
    QString path = context.prompts.saveFile(prompt);
    if (path.isEmpty())
        return;
    if (upperExtension(fileNamePart(path)).isEmpty())
        path += QStringLiteral(".kvl");
    if (!writeListFile(context, path))
        return;
    context.list.setModified(false);
    if (context.list.listName() == PlayList::newListName()) {
        context.list.setListName(titleFromPath(path));
        context.list.setCurrentListFile(path);
    }
    context.list.refreshTitle();
}

}  // namespace kivamo
