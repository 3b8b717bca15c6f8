#include "playlist/customlists.h"

#include "core/paths.h"
#include "core/playlist.h"
#include "platform/directories.h"
#include "platform/prompts.h"
#include "platform/textfile.h"
#include "playlist/listfile.h"

#include <QFile>
#include <QFileInfo>

namespace kivamo {

namespace {

const QString customListMagic = QStringLiteral("#LLL");
const QString recordMarker = QStringLiteral("begin");

QString chooseListFile(Prompts& prompts)
{
    FilePrompt prompt;
    prompt.filter = QStringLiteral("flash播放列表文件(*.kvl)|*.kvl");
    prompt.defaultSuffix = QStringLiteral("kvl");
    const QStringList chosen = prompts.openFiles(prompt);
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

}  // namespace

QString customListFilePath(const QString& programDirectory)
{
    return withTrailingSeparator(programDirectory) + QStringLiteral("list.cfg");
}

std::vector<CustomList> parseCustomLists(const QStringList& lines)
{
    std::vector<CustomList> lists;
    if (lines.isEmpty() || !lines.constFirst().contains(customListMagic))
        return lists;
    const qsizetype count = lines.size();
    for (qsizetype i = 1; i < count; ++i) {
        if (lines.at(i) != recordMarker)
            continue;
        CustomList list;
        list.name = i + 1 < count ? lines.at(i + 1) : QString();
        list.path = i + 2 < count ? lines.at(i + 2) : QString();
        lists.push_back(list);
        i += 2;
    }
    return lists;
}

std::vector<CustomList> readCustomLists(const QString& programDirectory)
{
    const QString file = customListFilePath(programDirectory);
    if (!QFileInfo::exists(file))
        return {};
    Result<QStringList> lines = readTextLines(file, LineRules{true, true});
    return lines ? parseCustomLists(lines.value()) : std::vector<CustomList>{};
}

CustomListMenu customListMenu(const PlayList& list, const QString& programDirectory)
{
    return {!list.isModified(), readCustomLists(programDirectory)};
}

void openCustomList(ListContext& context, const QString& caption, const QString& hint)
{
    if (caption == QLatin1String("-"))
        return;
    context.list.clear();
    context.playback.resetPlayer();
    context.list.setModified(false);
    openListFile(context, trimmed32(hint));
}

void addCurrentListToCustom(ListContext& context, const QString& programDirectory)
{
    if (context.list.isModified()) {
        MessagePrompt warning;
        warning.caption = QStringLiteral("自定义列表");
        warning.text = QStringLiteral("请先保存列表，之后才能添加到自定义列表");
        warning.icon = PromptIcon::Warning;
        warning.stayOnTop = true;
        context.prompts.message(warning);
        return;
    }
    const QString file = customListFilePath(programDirectory);
    if (!QFileInfo::exists(file))
        return;
    QFile existing(file);
    if (!existing.open(QIODevice::ReadOnly)) {
        reportError(context.prompts, QStringLiteral("Cannot open file %1").arg(file));
        return;
    }
    QByteArray bytes = existing.readAll();
    existing.close();
    // A hand-edited file may lack its last line end; the record must still start on its own line.
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += "\r\n";
    bytes += encodeGb18030(recordMarker + QStringLiteral("\r\n") + context.list.listName() + QStringLiteral("\r\n")
                           + context.list.currentListFile() + QStringLiteral("\r\n"));
    Result<void> written = writeFileAtomically(file, bytes);
    if (!written)
        reportError(context.prompts, written.error().message);
}

void CustomListEditor::load(const QString& programDirectory)
{
    m_rows = readCustomLists(programDirectory);
}

void CustomListEditor::add(const QString& listFile)
{
    m_rows.push_back({titleFromPath(listFile), listFile});
}

void CustomListEditor::edit(int row, const QString& listFile)
{
    if (row >= 0 && row < int(m_rows.size()))
        m_rows[size_t(row)] = {titleFromPath(listFile), listFile};
}

void CustomListEditor::remove(int row)
{
    if (row >= 0 && row < int(m_rows.size()))
        m_rows.erase(m_rows.begin() + row);
}

bool CustomListEditor::isMissing(int row) const
{
    // A folder is no list file: it cannot be opened as one either.
    return !QFileInfo(trimmed32(m_rows[size_t(row)].path)).isFile();
}

bool CustomListEditor::addThroughDialog(Prompts& prompts)
{
    const QString file = chooseListFile(prompts);
    if (file.isEmpty())
        return false;
    add(file);
    return true;
}

bool CustomListEditor::editThroughDialog(Prompts& prompts, int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return false;
    const QString file = chooseListFile(prompts);
    if (file.isEmpty())
        return false;
    edit(row, file);
    return true;
}

bool CustomListEditor::save(Prompts& prompts, const QString& programDirectory) const
{
    QStringList lines{customListMagic};
    for (const CustomList& row : m_rows)
        lines << recordMarker << trimmed32(row.name) << trimmed32(row.path);
    Result<void> written = writeTextLines(customListFilePath(programDirectory), lines);
    if (!written)
        reportError(prompts, written.error().message);
    return written.ok();
}

}  // namespace kivamo
