// The start-up operations and commands as far as this build carries them out: the player resets
// its look and flags; play-list, playback and dialog commands arrive with their subsystems and do
// nothing until then.
#pragma once

#include "core/appcommands.h"
#include "core/startupoperations.h"

#include <vector>

namespace kivamo {

class InterimOperations : public StartupOperations, public CommandHandler {
public:
    void setDisplay(PlayerDisplay* display) { m_display = display; }

    void resetPlayer() override;
    void newList() override;
    void openListFile(const QString& path) override;
    void clearListModified() override {}
    void addFileFromOutside(const QString& path, bool doubleClick) override;
    int entryCount() const override { return 0; }
    int currentIndex() const override { return m_currentIndex; }
    void setCurrentIndex(int index) override { m_currentIndex = index; }
    void playCurrentEntry() override {}
    QString currentListFile() const override { return {}; }
    void refreshListTitle() override {}
    void registerAssociations(bool) override {}

    void runCommand(Command command) override;
    void setLoopPlay(bool) override {}
    PlayerFlags playerFlags() const override { return m_flags; }

    // Commands received so far, oldest first (shown by nothing yet; read by tests).
    const std::vector<Command>& receivedCommands() const { return m_received; }

private:
    PlayerDisplay* m_display = nullptr;
    PlayerFlags m_flags;
    int m_currentIndex = -1;
    std::vector<Command> m_received;
};

}  // namespace kivamo
