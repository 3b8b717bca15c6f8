// The play-list and player operations that start-up and the single-instance hand-off call on;
// the composition root hands in what the play list and the player provide.
#pragma once

#include <QString>

namespace kivamo {

class StartupOperations {
public:
    virtual ~StartupOperations() = default;

    // Unloads the movie and shows the "not loaded" look.
    virtual void resetPlayer() = 0;
    // The new-list command: empties the play list and resets the player.
    virtual void newList() = 0;
    virtual void openListFile(const QString& path) = 0;
    virtual void clearListModified() = 0;
    // Adds a movie or list file given from outside (command line, hand-off).
    virtual void addFileFromOutside(const QString& path, bool doubleClick) = 0;
    virtual int entryCount() const = 0;
    virtual int currentIndex() const = 0;
    virtual void setCurrentIndex(int index) = 0;
    virtual void playCurrentEntry() = 0;
    // The list file now open; empty when none.
    virtual QString currentListFile() const = 0;
    virtual void refreshListTitle() = 0;
    // Registers the list-file association, and the movie association too when asked.
    virtual void registerAssociations(bool movieType) = 0;
};

// What the player shows when a movie is unloaded; the main window implements it.
class PlayerDisplay {
public:
    virtual ~PlayerDisplay() = default;
    virtual void showNotLoaded() = 0;
};

}  // namespace kivamo
