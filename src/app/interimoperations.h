// The start-up operations and commands as far as this build carries them out: the play list adds,
// opens, saves and empties lists; the player resets its look and flags; playback, view and dialog
// commands arrive with their subsystems and do nothing until then.
#pragma once

#include "core/appcommands.h"
#include "core/startupoperations.h"
#include "playlist/listcontext.h"

#include <vector>

namespace kivamo {

class PlayList;
class Prompts;
struct Settings;

class InterimOperations : public StartupOperations, public CommandHandler, public ListPlayback {
public:
    InterimOperations(PlayList& list, Prompts& prompts);

    void setDisplay(PlayerDisplay* display) { m_display = display; }
    // The startup settings the list commands read; the main window owns them.
    void setSettings(const Settings* settings) { m_settings = settings; }

    void resetPlayer() override;
    void newList() override;
    void openListFile(const QString& path) override;
    void clearListModified() override;
    void addFileFromOutside(const QString& path, bool doubleClick) override;
    int entryCount() const override;
    int currentIndex() const override { return m_currentIndex; }
    void setCurrentIndex(int index) override { m_currentIndex = index; }
    void playCurrentEntry() override {}
    QString currentListFile() const override;
    void refreshListTitle() override;
    void registerAssociations(bool) override {}

    void runCommand(Command command) override;
    void setLoopPlay(bool) override {}
    PlayerFlags playerFlags() const override { return m_flags; }

    bool movieLoaded() const override { return m_flags.movieLoaded; }

    // Commands received so far, oldest first.
    const std::vector<Command>& receivedCommands() const { return m_received; }

private:
    ListContext context();

    PlayList& m_list;
    Prompts& m_prompts;
    const Settings* m_settings = nullptr;
    PlayerDisplay* m_display = nullptr;
    PlayerFlags m_flags;
    int m_currentIndex = -1;
    std::vector<Command> m_received;
};

}  // namespace kivamo
