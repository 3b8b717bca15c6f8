// A play list, its settings, scripted prompts and a player that only records, for the windows that
// add movies.
#pragma once

#include "core/playlist.h"
#include "core/settings.h"
#include "playlist/listcontext.h"
#include "support/scriptedprompts.h"

namespace kivamo::test {

class IdlePlayback : public ListPlayback {
public:
    bool movieLoaded() const override { return false; }
    int currentIndex() const override { return -1; }
    void setCurrentIndex(int) override {}
    void playCurrentEntry() override {}
    void resetPlayer() override {}
};

struct ListFixture {
    PlayList list;
    Settings settings;
    ScriptedPrompts prompts;
    IdlePlayback playback;
    ListContext context{list, settings, prompts, playback};
};

}  // namespace kivamo::test
