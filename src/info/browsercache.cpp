#include "info/browsercache.h"

#include "core/paths.h"
#include "core/playlist.h"
#include "core/settings.h"
#include "info/notes.h"
#include "platform/directories.h"
#include "platform/prompts.h"
#include "playlist/listfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kivamo {

namespace {

const char* const cachePatterns[][2] = {
    {"mozilla/firefox", "cache2"},
    {"chromium", "Cache"},
    {"google-chrome", "Cache"},
};

void appendSniffedMovie(ListContext& context, const QString& path, const QString& name)
{
    MovieEntry entry;
    entry.title = name;
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
}

}  // namespace

QString findBrowserCacheFolder(const QString& cacheHome)
{
    if (cacheHome.isEmpty())
        return {};
    for (const auto& pattern : cachePatterns) {
        QDir browser(cacheHome + u'/' + QString::fromLatin1(pattern[0]));
        const QStringList profiles = browser.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QString& profile : profiles) {
            const QString folder = browser.filePath(profile) + u'/' + QString::fromLatin1(pattern[1]);
            if (QFileInfo(folder).isDir())
                return folder;
        }
    }
    return {};
}

QString currentCacheHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.cache");
}

bool hasSwfSignature(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(3);
    return start == "FWS" || start == "CWS" || start == "ZWS";
}

CacheWalker::CacheWalker(ListContext& context, WalkProgressView& view, DirectoryAdder::Clock clock)
    : m_context(context), m_view(view), m_clock(std::move(clock))
{
}

void CacheWalker::addCacheFolder(const QString& folder)
{
    MessagePrompt question;
    question.caption = QStringLiteral("添加目录");
    question.text = QStringLiteral("是否同时添加子目录？");
    question.icon = PromptIcon::Question;
    question.buttons = PromptButton::Yes | PromptButton::No;
    question.defaultButton = PromptButton::No;
    question.stayOnTop = true;
    const bool includeSubdirectories = m_context.prompts.message(question) == PromptButton::Yes;

    m_added = 0;
    m_continue = true;
    m_statusShown = false;
    m_view.showWindow();
    walk(withTrailingSeparator(folder), includeSubdirectories);
    m_view.closeWindow();
    m_continue = false;
}

void CacheWalker::walk(const QString& folder, bool includeSubdirectories)
{
    if (!QFileInfo(folder).isDir())
        return;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext() && m_continue) {
        it.next();
        const QString name = it.fileName();
        const QFileInfo info = it.fileInfo();
        const QString path = folder + name;
        if (info.isDir()) {
            if (includeSubdirectories && !info.isSymLink()) {
                m_view.processEvents();
                walk(path + u'/', true);
            }
        } else if (hasExtension(name, QStringLiteral(".SWF"))) {
            addFile(m_context, path, false);
            added(path);
        } else if (info.isFile() && hasSwfSignature(path)) {
            // Only regular files are opened: a pipe or device in the folder would block the read.
            appendSniffedMovie(m_context, path, name);
            added(path);
        }
    }
}

void CacheWalker::added(const QString& path)
{
    ++m_added;
    const qint64 now = m_clock();
    if (m_statusShown && now - m_lastStatus < DirectoryAdder::repaintInterval)
        return;
    m_statusShown = true;
    m_lastStatus = now;
    WalkStatus status;
    status.currentText = QStringLiteral("正在添加：") + path;
    status.countText = QStringLiteral("已添加： %1 个").arg(m_added);
    status.barPosition = m_added % 100;
    m_view.showStatus(status);
}

void searchBrowserCache(ListContext& context, CacheWalker& walker, const QString& cacheFolder)
{
    newList(context);
    if (!cacheFolder.isEmpty())
        walker.addCacheFolder(cacheFolder);
    context.list.setListName(QStringLiteral("IE缓存"));
    context.list.setModified(false);
    context.list.refreshTitle();
}

}  // namespace kivamo
