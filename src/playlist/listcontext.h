// What the play-list commands work on: the list, the startup settings, the prompts and the player.
#pragma once

namespace kivamo {

class PlayList;
class Prompts;
struct Settings;

// The player as the play-list commands see it; the playback controller implements it.
class ListPlayback {
public:
    virtual ~ListPlayback() = default;
    virtual bool movieLoaded() const = 0;
    virtual int currentIndex() const = 0;
    virtual void setCurrentIndex(int index) = 0;
    // Plays the entry at the current index (the caller sets the index first).
    virtual void playCurrentEntry() = 0;
    // Unloads the movie; the current index becomes -1.
    virtual void resetPlayer() = 0;
};

struct ListContext {
    PlayList& list;
    const Settings& settings;
    Prompts& prompts;
    ListPlayback& playback;
};

}  // namespace kivamo
