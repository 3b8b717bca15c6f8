// A player for the list commands in these tests: it records the current index and resets.
#pragma once

#include "core/movieentry.h"
#include "core/playlist.h"
#include "core/settings.h"
#include "playlist/listcontext.h"
#include "support/scriptedprompts.h"

#include <QStringList>

namespace kivamo::test {

class FakePlayback : public ListPlayback {
public:
    bool movieLoaded() const override { return loaded; }
    int currentIndex() const override { return current; }
    void setCurrentIndex(int index) override { current = index; }
    void playCurrentEntry() override { ++plays; }
    void resetPlayer() override
    {
        loaded = false;
        current = -1;
        ++resets;
    }

    bool loaded = false;
    int current = -1;
    int plays = 0;
    int resets = 0;
};

// A list, settings, scripted prompts and the fake player, wired into one ListContext.
struct ListFixture {
    PlayList list;
    Settings settings;
    ScriptedPrompts prompts;
    FakePlayback playback;
    ListContext context{list, settings, prompts, playback};
};

inline MovieEntry movieEntry(const QString& title, const QString& path)
{
    MovieEntry entry;
    entry.title = title;
    entry.path = path;
    return entry;
}

inline QStringList entryPaths(const PlayList& list)
{
    QStringList paths;
    for (const MovieEntry& entry : list.entries())
        paths << entry.path;
    return paths;
}

}  // namespace kivamo::test
