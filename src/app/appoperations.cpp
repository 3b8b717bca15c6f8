#include "app/appoperations.h"

#include "core/playlist.h"
#include "core/settings.h"
#include "dialogs/helpfile.h"
#include "dialogs/updatepage.h"
#include "player/playbackcontroller.h"
#include "player/playercommands.h"
#include "playlist/addmovies.h"
#include "playlist/history.h"
#include "playlist/listfile.h"
#include "shell/versionrecord.h"

#include <QUrl>

namespace kivamo {

AppOperations::AppOperations(AppServices services) : m_services(std::move(services)) {}

AppOperations::~AppOperations() = default;

void AppOperations::attachView(PlayerView& view, const Settings& settings)
{
    m_settings = &settings;
    m_playback = std::make_unique<PlaybackController>(PlaybackServices{
        m_services.list, settings, m_services.prompts, view, m_services.createControl, m_services.programs,
        m_services.screenSaver, m_services.programDirectory});
}

ListContext AppOperations::listContext()
{
    return ListContext{m_services.list, *m_settings, m_services.prompts, *m_playback};
}

void AppOperations::resetPlayer()
{
    m_playback->resetPlayer();
}

void AppOperations::newList()
{
    ListContext list = context();
    kivamo::newList(list);
}

void AppOperations::openListFile(const QString& path)
{
    ListContext list = context();
    kivamo::openListFile(list, path);
}

void AppOperations::clearListModified()
{
    m_services.list.setModified(false);
}

void AppOperations::addFileFromOutside(const QString& path, bool doubleClick)
{
    ListContext list = context();
    addFile(list, path, doubleClick);
}

int AppOperations::entryCount() const
{
    return m_services.list.count();
}

int AppOperations::currentIndex() const
{
    return m_playback->currentIndex();
}

void AppOperations::setCurrentIndex(int index)
{
    m_playback->setCurrentIndex(index);
}

void AppOperations::playCurrentEntry()
{
    m_playback->playCurrentEntry();
}

QString AppOperations::currentListFile() const
{
    return m_services.list.currentListFile();
}

void AppOperations::refreshListTitle()
{
    m_services.list.refreshTitle();
}

bool AppOperations::movieLoaded() const
{
    return m_playback && m_playback->movieLoaded();
}

// The player's share of the commands; false for the others.
bool AppOperations::runPlayerCommand(Command command)
{
    PlaybackController& player = *m_playback;
    switch (command) {
    case Command::Play: player.playCommand(); return true;
    case Command::Pause: player.pauseCommand(); return true;
    case Command::Stop: player.stopCommand(); return true;
    case Command::Rewind: player.rewindCommand(); return true;
    case Command::PreviousFrame: player.previousFrameCommand(); return true;
    case Command::NextFrame: player.nextFrameCommand(); return true;
    case Command::FastBack: player.fastBackCommand(); return true;
    case Command::FastForward: player.fastForwardCommand(); return true;
    case Command::PreviousEntry: player.previousEntryCommand(); return true;
    case Command::NextEntry: player.nextEntryCommand(); return true;
    case Command::EnterFullScreen: player.enterFullScreen(); return true;
    case Command::LeaveFullScreen: player.leaveFullScreen(); return true;
    case Command::ZoomIn: player.zoomInCommand(); return true;
    case Command::ZoomOut: player.zoomOutCommand(); return true;
    case Command::ActualSize: player.nativeSizeCommand(); return true;
    case Command::ShowAll: player.showAllCommand(); return true;
    case Command::BackgroundColour: player.backgroundCommand(); return true;
    case Command::QualityLow: player.qualityCommand(commandQuality(PlayerCommand::QualityLow)); return true;
    case Command::QualityHigh: player.qualityCommand(commandQuality(PlayerCommand::QualityHigh)); return true;
    case Command::QualitySpeed: player.qualityCommand(commandQuality(PlayerCommand::QualitySpeed)); return true;
    case Command::QualityBest: player.qualityCommand(commandQuality(PlayerCommand::QualityBest)); return true;
    default: return false;
    }
}

void AppOperations::runCommand(Command command)
{
    if (runPlayerCommand(command))
        return;
    ListContext list = context();
    switch (command) {
    case Command::AddFiles: addFilesCommand(list); break;
    case Command::NewList: kivamo::newList(list); break;
    case Command::OpenList: openListCommand(list); break;
    case Command::SaveList: saveListCommand(list); break;
    case Command::Help: showHelp(); break;
    case Command::Update:
        // Nothing is awaited and a browser that does not start is not reported.
        if (m_services.openUrl)
            (void)m_services.openUrl(QUrl(productPageAddress()));
        break;
    case Command::ClearHistory: clearHistory(m_services.prompts, m_services.programDirectory); break;
    case Command::RegisterAssociation:
        if (m_associations)
            registerMovieAssociationCommand(*m_associations, m_services.prompts, m_programPath);
        break;
    case Command::PluginInfo: showPluginInfo(m_services.prompts, m_services.pluginFile); break;
    default: m_unhandled.push_back(command); break;
    }
}

// The help index in the browser; without installed pages there is nothing to show.
void AppOperations::showHelp()
{
    const QString index = findHelpIndex(m_services.executableDirectory);
    if (!index.isEmpty() && m_services.openUrl)
        m_services.openUrl(QUrl::fromLocalFile(index));
}

void AppOperations::setAssociations(AssociationEnvironment environment, QString programPath)
{
    m_associations = std::move(environment);
    m_programPath = std::move(programPath);
}

// A failure at start is not the user's doing and is not shown; the menu's command reports its own.
void AppOperations::registerAssociations(bool movieType)
{
    if (m_associations)
        (void)registerAtStartup(*m_associations, m_programPath, movieType, false);
}

void AppOperations::setLoopPlay(bool on)
{
    m_playback->loopClicked(on);
}

PlayerFlags AppOperations::playerFlags() const
{
    PlayerFlags flags;
    if (!m_playback)
        return flags;
    const PlayerState& state = m_playback->state();
    flags.movieLoaded = state.movieLoaded;
    flags.zoomed = state.zoomed;
    flags.scalingAllowed = state.scalingAllowed;
    flags.fullScreen = state.fullScreen;
    flags.currentMoviePath = state.currentPath;
    return flags;
}

void AppOperations::timerTick(PlayerTimer timer)
{
    switch (timer) {
    case PlayerTimer::Play: m_playback->TMR_PLAYTimer(); break;
    case PlayerTimer::Flash: m_playback->TMR_flashTimer(); break;
    case PlayerTimer::FlashClose: m_playback->TMR_flashcloseTimer(); break;
    }
}

void AppOperations::sliderPressed()
{
    m_playback->sliderPressed();
}

void AppOperations::sliderMoved(int value)
{
    m_playback->sliderMoved(value);
}

void AppOperations::sliderReleased(int x, int width, int maximum)
{
    m_playback->sliderReleased(x, width, maximum);
}

void AppOperations::settingsReloaded()
{
    m_playback->applySettings();
}

FlashControl* AppOperations::flashControl() const
{
    return m_playback ? m_playback->control() : nullptr;
}

}  // namespace kivamo
