#include "playlist/addmovies.h"

#include "core/paths.h"
#include "core/playlist.h"
#include "core/settings.h"
#include "info/notes.h"
#include "platform/directories.h"
#include "platform/textfile.h"
#include "playlist/listfile.h"

#include <QDirIterator>
#include <QFileInfo>

namespace kivamo {

namespace {

const QString movieExtension = QStringLiteral(".SWF");
const QString listExtension = QStringLiteral(".KVL");

void appendMovie(ListContext& context, const QString& path)
{
    MovieEntry entry;
    entry.title = titleFromPath(path);
    entry.path = path;
    if (context.settings.banquan) {
        const RrightInfo notes = readNotes(path);
        entry.author = notes.author;
        entry.source = notes.source;
        entry.type = notes.type;
    } else {
        entry.author = entry.source = entry.type = QStringLiteral("<未知>");
    }
    context.list.append(std::move(entry));
    context.list.setModified(true);
}

}  // namespace

bool addFile(ListContext& context, const QString& path, bool doubleClicked)
{
    const QString trimmedPath = trimmed32(path);
    const QString extension = upperExtension(trimmedPath);
    bool added = false;
    if (extension == movieExtension) {
        appendMovie(context, trimmedPath);
        added = true;
    } else if (extension == listExtension) {
        if (!doubleClicked || context.settings.behind) {
            if (readListFile(context, trimmedPath))
                context.list.setModified(true);
        } else {
            openListFile(context, trimmedPath);
        }
    }
    context.list.refreshTitle();
    return added;
}

void addFiles(ListContext& context, const QStringList& paths)
{
    for (const QString& path : paths)
        addFile(context, path, false);
    context.list.setModified(true);
    context.list.refreshTitle();
}

void addFilesCommand(ListContext& context)
{
    FilePrompt prompt;
    prompt.filter = QStringLiteral("FLASH影片(*.SWF)|*.SWF|FLASH播放列表(*.KVL)|*.KVL");
    prompt.multiple = true;
    const QStringList chosen = context.prompts.openFiles(prompt);
    if (!chosen.isEmpty())
        addFiles(context, chosen);
}

std::optional<MessagePrompt> webAddressWarning(const QString& text)
{
    if (text.startsWith(QLatin1String("http://")) && upperExtension(text) == movieExtension)
        return std::nullopt;
    MessagePrompt warning;
    warning.caption = QStringLiteral("网址输入有误");
    warning.text = QStringLiteral("网址输入有误，请正确输入");
    warning.icon = PromptIcon::Warning;
    warning.stayOnTop = true;
    return warning;
}

bool addWebAddress(ListContext& context, const QString& text)
{
    if (std::optional<MessagePrompt> warning = webAddressWarning(text)) {
        context.prompts.message(*warning);
        return false;
    }
    addFile(context, text, false);
    return true;
}

DirectoryAdder::DirectoryAdder(ListContext& context, WalkProgressView& view, Clock clock)
    : m_context(context), m_view(view), m_clock(std::move(clock))
{
}

void DirectoryAdder::addDirectory(const QString& directory)
{
    MessagePrompt question;
    question.caption = QStringLiteral("添加目录");
    question.text = QStringLiteral("是否同时添加子目录？");
    question.icon = PromptIcon::Question;
    question.buttons = PromptButton::Yes | PromptButton::No;
    question.defaultButton = PromptButton::No;
    question.stayOnTop = true;
    const bool includeSubdirectories = m_context.prompts.message(question) == PromptButton::Yes;

    m_addedCount = 0;
    m_addContinue = true;
    m_statusShown = m_eventsRun = false;
    m_view.showWindow();
    walk(directory, includeSubdirectories);
    m_view.closeWindow();
    m_addContinue = false;
}

void DirectoryAdder::walk(const QString& directory, bool includeSubdirectories)
{
    if (!QFileInfo(directory).isDir())
        return;
    QDirIterator it(directory, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        const QFileInfo info = it.fileInfo();
        if (upperExtension(name) == movieExtension && !info.isDir()) {
            const QString path = directory + name;
            addFile(m_context, path, false);
            movieAdded(path);
        }
        if (includeSubdirectories && info.isDir() && !info.isSymLink()) {
            if (takeSlot(m_lastEvents, m_eventsRun))
                m_view.processEvents();
            walk(directory + name + u'/', true);
        }
        if (!m_addContinue)
            break;
    }
}

void DirectoryAdder::movieAdded(const QString& path)
{
    ++m_addedCount;
    if (!m_addContinue)
        return;
    if (!takeSlot(m_lastStatus, m_statusShown))
        return;
    WalkStatus status;
    status.currentText = QStringLiteral("正在添加：") + path;
    status.countText = QStringLiteral("已添加： %1 个").arg(m_addedCount);
    status.barPosition = m_addedCount % 100;
    m_view.showStatus(status);
}

bool DirectoryAdder::takeSlot(qint64& last, bool& taken)
{
    const qint64 now = m_clock();
    if (taken && now - last < repaintInterval)
        return false;
    taken = true;
    last = now;
    return true;
}

void addChosenDirectoryCommand(ListContext& context, DirectoryAdder& adder)
{
    const QString folder = context.prompts.chooseFolder(QStringLiteral("请选择要添加的目录"), QString());
    if (folder.isEmpty())
        return;
    adder.addDirectory(withTrailingSeparator(folder));
    context.list.setModified(true);
    context.list.refreshTitle();
}

void dropOnList(ListContext& context, DirectoryAdder& adder, const QStringList& names)
{
    for (const QString& name : names) {
        addFile(context, name, false);
        const QString directory = withTrailingSeparator(trimmed32(name));
        if (QFileInfo(directory).isDir())
            adder.addDirectory(directory);
    }
}

bool dropOnPanel(ListContext& context, DirectoryAdder& adder, const QStringList& names)
{
    if (names.size() != 1 || upperExtension(trimmed32(names.constFirst())) != movieExtension) {
        dropOnList(context, adder, names);
        return false;
    }
    context.list.clear();
    addFile(context, names.constFirst(), false);
    if (context.list.isEmpty())
        return false;
    context.list.clearSelection();
    context.list.setSelected(0, true);
    context.playback.setCurrentIndex(context.list.firstSelected());
    context.playback.playCurrentEntry();
    return true;
}

}  // namespace kivamo
