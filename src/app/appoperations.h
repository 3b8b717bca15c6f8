// AppOperations: the start-up operations and the window's commands, carried out by the play list's
// commands and by the playback controller, which owns the movie being played.
#pragma once

#include "core/appcommands.h"
#include "core/flashcontrol.h"
#include "core/startupoperations.h"
#include "playlist/listcontext.h"
#include "shell/associations.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QUrl;

namespace kivamo {

class PlaybackController;
class PlayList;
class PlayerView;
class ProgramStarter;
class Prompts;
class ScreenSaverInhibitor;
struct Settings;

// What the operations need besides the window; all outlive them.
struct AppServices {
    PlayList& list;
    Prompts& prompts;
    FlashControlFactory createControl;
    ProgramStarter& programs;
    ScreenSaverInhibitor& screenSaver;
    QString programDirectory;
    // Where the program file lies: its help pages are looked up from here.
    QString executableDirectory;
    // Opens a page in the desktop's browser (QDesktopServices::openUrl in the program).
    std::function<bool(const QUrl&)> openUrl;
    // The file holding the engine's version record (the running program).
    QString pluginFile;
};

class AppOperations : public StartupOperations, public CommandHandler {
public:
    explicit AppOperations(AppServices services);
    ~AppOperations() override;

    // Creates the player over the window once it exists; settings is the window's startup record,
    // reloaded in place. Must be called before any operation runs.
    void attachView(PlayerView& view, const Settings& settings);
    PlaybackController& playback() { return *m_playback; }
    const PlaybackController& playback() const { return *m_playback; }

    void resetPlayer() override;
    void newList() override;
    void openListFile(const QString& path) override;
    void clearListModified() override;
    void addFileFromOutside(const QString& path, bool doubleClick) override;
    int entryCount() const override;
    int currentIndex() const override;
    void setCurrentIndex(int index) override;
    void playCurrentEntry() override;
    QString currentListFile() const override;
    void refreshListTitle() override;
    // Registers at start through the environment given; without one nothing is registered.
    void registerAssociations(bool movieType) override;
    void setAssociations(AssociationEnvironment environment, QString programPath);

    void runCommand(Command command) override;
    void setLoopPlay(bool on) override;
    PlayerFlags playerFlags() const override;
    void timerTick(PlayerTimer timer) override;
    void sliderPressed() override;
    void sliderMoved(int value) override;
    void sliderReleased(int x, int width, int maximum) override;
    FlashControl* flashControl() const override;
    void settingsReloaded() override;

    bool movieLoaded() const;
    // What the list commands and list windows work on.
    ListContext listContext();
    // Commands no subsystem carried out yet (dialogs still to be wired), oldest first.
    const std::vector<Command>& unhandledCommands() const { return m_unhandled; }

private:
    ListContext context() { return listContext(); }
    bool runPlayerCommand(Command command);
    void showHelp();

    AppServices m_services;
    const Settings* m_settings = nullptr;
    std::unique_ptr<PlaybackController> m_playback;
    std::optional<AssociationEnvironment> m_associations;
    QString m_programPath;  // the program the associations open
    std::vector<Command> m_unhandled;
};

}  // namespace kivamo
