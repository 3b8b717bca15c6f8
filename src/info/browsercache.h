// "搜索IE缓存": a new play list of every movie in the browser's cache folder. Cache files carry no
// extension, so a file also counts as a movie when its first three bytes are an SWF signature.
#pragma once

#include "playlist/addmovies.h"
#include "playlist/listcontext.h"

#include <QString>

namespace kivamo {

// The first cache folder that exists under cacheHome ($XDG_CACHE_HOME, else ~/.cache):
// mozilla/firefox/*/cache2, then chromium/*/Cache, then google-chrome/*/Cache, profiles in name
// order. Empty when there is none.
QString findBrowserCacheFolder(const QString& cacheHome);
// The cache home of this process: $XDG_CACHE_HOME when it is an absolute path, else ~/.cache.
QString currentCacheHome();

// True when the file's first three bytes are "FWS", "CWS" or "ZWS".
bool hasSwfSignature(const QString& path);

// Walks the cache folder with the progress window: ".swf" files are added as any added file is,
// other regular files with an SWF signature become entries titled with their file name.
class CacheWalker {
public:
    CacheWalker(ListContext& context, WalkProgressView& view, DirectoryAdder::Clock clock);

    // Asks "是否同时添加子目录？" and walks the folder.
    void addCacheFolder(const QString& folder);
    void walk(const QString& folder, bool includeSubdirectories);
    void cancel() { m_continue = false; }
    int addedCount() const { return m_added; }

private:
    void added(const QString& path);

    ListContext& m_context;
    WalkProgressView& m_view;
    DirectoryAdder::Clock m_clock;
    bool m_continue = false;
    int m_added = 0;
    qint64 m_lastStatus = 0;
    bool m_statusShown = false;
};

// The command: a new list, the walk of the cache folder, the name "IE缓存", no unsaved mark. When
// no cache folder exists nothing is walked: the list stays empty (no walk of the whole disk).
void searchBrowserCache(ListContext& context, CacheWalker& walker, const QString& cacheFolder);

}  // namespace kivamo
