#include "player/playbackcontroller.h"

#include "core/paths.h"
#include "core/playlist.h"
#include "core/settings.h"
#include "platform/prompts.h"
#include "platform/screensaver.h"
#include "player/programstarter.h"
#include "player/viewcontrols.h"
#include "playlist/addmovies.h"
#include "playlist/history.h"
#include "playlist/listcommands.h"

#include <QFileInfo>

#include <algorithm>

namespace kivamo {

namespace {

constexpr int zoomCloser = 63;
constexpr int zoomWider = 160;
constexpr int zoomWholeMovie = 0;
constexpr int statusSteps = 5;

int timerSlot(PlayerTimer timer)
{
    return int(timer);
}

}  // namespace

PlaybackController::PlaybackController(PlaybackServices services)
    : m_services(std::move(services))
{
}

PlaybackController::~PlaybackController() = default;

bool PlaybackController::isTimerEnabled(PlayerTimer timer) const
{
    return m_timers[timerSlot(timer)];
}

void PlaybackController::applySettings()
{
    m_services.screenSaver.setInhibited(m_services.settings.pingbao);
}

void PlaybackController::setTimer(PlayerTimer timer, bool enabled)
{
    m_timers[timerSlot(timer)] = enabled;
    m_services.view.setTimerEnabled(timer, enabled);
}

ListContext PlaybackController::listContext()
{
    return ListContext{m_services.list, m_services.settings, m_services.prompts, *this};
}

void PlaybackController::showPlayingState()
{
    m_lookPlaying = true;
    m_services.view.showTransportLook(TransportLook::playing());
}

void PlaybackController::showHaltedState()
{
    m_lookPlaying = false;
    m_services.view.showTransportLook(TransportLook::halted());
}

void PlaybackController::showQualityPicture()
{
    if (m_control)
        m_services.view.setQualityImageIndex(qualityImageIndex(m_control->Quality()));
}

void PlaybackController::addReplacedMovieToHistory()
{
    if (!m_services.settings.history || m_state.currentPath == PlayerState::noMoviePath())
        return;
    const Result<void> added = addToHistory(m_services.programDirectory, m_state.currentPath);
    if (!added)
        reportError(m_services.prompts, added.error().message);
}

void PlaybackController::playCurrentEntry()
{
    const int index = m_state.currentIndex;
    if (index < 0 || index >= m_services.list.count())
        return;
    addReplacedMovieToHistory();
    m_control.reset();
    // A "quit" still pending belonged to the movie just destroyed, not to the one that follows.
    setTimer(PlayerTimer::FlashClose, false);
    m_control = m_services.createControl();
    if (m_control) {
        m_control->setEvents({[this](int s) { FL_flashReadyStateChange(s); },
                              [this](int p) { FL_flashProgress(p); },
                              [this](const QString& c, const QString& a) { FL_flashFSCommand(c, a); }});
    }
    if (!loadCurrentEntry())
        return;
    const MovieEntry& entry = m_services.list.at(index);
    m_state.movieLoaded = true;
    m_state.currentTitle = entry.title;
    m_state.currentAuthor = entry.author;
    m_state.currentSource = entry.source;
    m_state.currentType = entry.type;
    m_services.list.markCurrentEntry(index);
}

bool PlaybackController::loadCurrentEntry()
{
    const MovieEntry& entry = m_services.list.at(m_state.currentIndex);
    const QString path = entry.path.trimmed();
    m_state.currentPath = path;
    if (!QFileInfo(path).isFile() && !isWebAddress(path)) {
        MessagePrompt missing;
        missing.caption = QStringLiteral("文件未找到");
        missing.text = path + QStringLiteral("不存在，请更新路径");
        missing.icon = PromptIcon::Error;
        missing.buttons = PromptButton::Ok;
        m_services.prompts.message(missing);
        resetPlayer();
        return false;
    }
    if (m_control) {
        m_control->WMode(QStringLiteral("opaque"));
        if (m_services.settings.noscale)
            m_control->Scale(QStringLiteral("noscale"));
    }
    m_state.scalingAllowed = true;
    if (m_control)
        m_control->BackgroundColor(-1);
    m_services.view.setStateText(entry.title);
    m_services.view.scrollToEntry(m_state.currentIndex);
    setTimer(PlayerTimer::Play, true);
    m_services.view.setWindowCaption(path + QStringLiteral(" - ") + programCaption());
    if (m_control)
        m_control->Movie(path);
    showPlayingState();
    showQualityPicture();
    return true;
}

void PlaybackController::resetPlayer()
{
    m_control.reset();
    if (m_state.fullScreen)
        leaveFullScreen();
    setTimer(PlayerTimer::Play, false);
    setTimer(PlayerTimer::FlashClose, false);
    m_services.list.refreshTitle();
    resetState();
    showHaltedState();
    PlayerView& view = m_services.view;
    view.setPositionText(QStringLiteral("　　未载入"));
    view.setSlidersEnabled(false);
    view.setWindowCaption(QStringLiteral("未载入 - ") + programCaption());
    view.setStateGlyph(QStringLiteral("<"));
    view.setSliderValue(0);
    m_services.list.markCurrentEntry(-1);
}

void PlaybackController::resetState()
{
    m_state.currentPath = PlayerState::noMoviePath();
    m_state.currentTitle.clear();
    m_state.currentIndex = -1;
    m_state.movieLoaded = false;
    m_state.zoomed = false;
    m_state.currentAuthor = PlayerState::unknownNote();
    m_state.currentSource = PlayerState::unknownNote();
    m_state.currentType = PlayerState::unknownNote();
}

void PlaybackController::playCommand()
{
    if (m_services.list.isEmpty()) {
        ListContext context = listContext();
        addFilesCommand(context);
        return;
    }
    if (!m_control) {
        ListContext context = listContext();
        playSelected(context);
        return;
    }
    // The button's look decides, not the control: a movie that halted itself still shows playing
    // until the user pauses it.
    if (m_lookPlaying) {
        pauseCommand();
        return;
    }
    m_control->Play();
    showPlayingState();
}

void PlaybackController::pauseCommand()
{
    showHaltedState();
    if (m_control)
        m_control->Stop();
}

void PlaybackController::stopCommand()
{
    resetPlayer();
}

void PlaybackController::rewindCommand()
{
    if (!m_control)
        return;
    m_control->Rewind();
    m_control->Play();
}

void PlaybackController::previousFrameCommand()
{
    if (!m_control)
        return;
    m_control->Back();
    showHaltedState();
}

void PlaybackController::nextFrameCommand()
{
    if (!m_control)
        return;
    m_control->Forward();
    showHaltedState();
}

void PlaybackController::gotoAndPlay(int frame)
{
    m_control->GotoFrame(frame);
    m_control->Play();
}

void PlaybackController::fastBackCommand()
{
    if (!m_control)
        return;
    const int step = m_services.settings.step;
    const int current = m_control->CurrentFrame();
    gotoAndPlay(current > step ? current - step : 1);
}

void PlaybackController::fastForwardCommand()
{
    if (!m_control)
        return;
    const int step = m_services.settings.step;
    const int current = m_control->CurrentFrame();
    const int total = m_control->TotalFrames();
    gotoAndPlay(total - current > step ? current + step : total);
}

void PlaybackController::nextEntryCommand()
{
    if (!m_state.movieLoaded)
        return;
    const int count = m_services.list.count();
    if (count == 0)
        return;
    m_state.currentIndex = m_state.currentIndex < count - 1 ? m_state.currentIndex + 1 : 0;
    playCurrentEntry();
}

void PlaybackController::previousEntryCommand()
{
    if (!m_state.movieLoaded)
        return;
    const int count = m_services.list.count();
    if (count == 0)
        return;
    m_state.currentIndex = m_state.currentIndex > 0 ? m_state.currentIndex - 1 : count - 1;
    playCurrentEntry();
}

void PlaybackController::loopClicked(bool checked)
{
    if (m_control)
        m_control->Loop(checked);
}

void PlaybackController::FL_flashReadyStateChange(int state)
{
    if (!m_control || state != 4)
        return;
    setTimer(PlayerTimer::Flash, true);
    m_services.view.setSlidersEnabled(true);
    m_services.view.setSliderMaximum(m_control->TotalFrames() - 1);
    m_services.view.setSliderValue(0);
}

void PlaybackController::FL_flashProgress(int percent)
{
    const QString text = QStringLiteral("下载中：") + QString::number(percent) + QStringLiteral("％");
    m_services.view.setStateText(text);
    m_services.view.setTitleItemCaption(text);
}

void PlaybackController::FL_flashFSCommand(const QString& command, const QString& argument)
{
    if (!m_services.settings.fscommand)
        return;
    if (command == QLatin1String("fullscreen") && argument == QLatin1String("true") && !m_state.fullScreen) {
        enterFullScreen();
    } else if (command == QLatin1String("allowscale") && argument == QLatin1String("false")) {
        if (m_control)
            m_control->Scale(QStringLiteral("noscale"));
        m_state.scalingAllowed = false;
    } else if (command == QLatin1String("exec") && m_services.settings.exec) {
        const QString program = execProgramPath(argument);
        if (!program.isEmpty())
            m_services.programs.startDetached(program);
    } else if (command == QLatin1String("quit")) {
        // The control is inside its own event now; it is destroyed from the next tick instead.
        setTimer(PlayerTimer::FlashClose, true);
    }
}

void PlaybackController::TMR_flashTimer()
{
    if (!m_control || m_control->ReadyState() != 4)
        return;
    const int frame = m_control->FrameNum();
    m_services.view.setPositionText(QStringLiteral("　　当前帧：") + QString::number(frame + 1) + QStringLiteral("/")
                                    + QString::number(m_control->TotalFrames()) + QStringLiteral("帧"));
    m_services.view.setSliderValue(frame);
}

QString PlaybackController::listStatusText() const
{
    // Joined piece by piece: a list name may itself contain "%1" or "%2".
    const PlayList& list = m_services.list;
    QString text = QStringLiteral(" 列表：") + list.listName() + QLatin1Char('(') + QString::number(list.count())
        + QLatin1Char(')');
    if (list.isModified())
        text += QStringLiteral(" [未保存]");
    return text;
}

void PlaybackController::TMR_PLAYTimer()
{
    const QString labels[] = {QString(), QStringLiteral(" 标题："), QStringLiteral(" 作者："),
                                     QStringLiteral(" 出处："), QStringLiteral(" 类型：")};
    const QString notes[] = {QString(), m_state.currentTitle, m_state.currentAuthor, m_state.currentSource,
                             m_state.currentType};
    const int step = m_state.statusStep;
    m_services.view.setStateText(step == 0 ? listStatusText() : labels[step] + notes[step]);
    m_state.statusStep = (step + 1) % statusSteps;

    if (m_state.movieLoaded)
        showQualityPicture();
    if (!m_services.settings.autocontinue || !m_control)
        return;
    if (m_control->TotalFrames() == m_control->FrameNum() + 1)
        nextEntryCommand();
    if (m_control)
        m_control->Play();
}

void PlaybackController::TMR_flashcloseTimer()
{
    setTimer(PlayerTimer::FlashClose, false);
    resetPlayer();
}

void PlaybackController::sliderPressed()
{
    setTimer(PlayerTimer::Flash, false);
    m_state.trackDragging = true;
}

void PlaybackController::sliderMoved(int value)
{
    if (!m_control || !m_state.trackDragging || m_control->ReadyState() <= 1)
        return;
    m_services.view.setPositionText(QStringLiteral("　　正在拖动：") + QString::number(value + 1) + QStringLiteral("/")
                                    + QString::number(m_control->TotalFrames()) + QStringLiteral("帧"));
}

void PlaybackController::sliderReleased(int x, int width, int maximum)
{
    setTimer(PlayerTimer::Flash, true);
    m_state.trackDragging = false;
    // A slider of no width (collapsed layout) points at its start rather than dividing by zero.
    const qint64 pointed = width > 0 ? qint64(x) * maximum / width : 0;
    const int value = int(std::clamp<qint64>(pointed, 0, std::max(maximum, 0)));
    m_services.view.setSliderValue(value);
    // The slider value is the 0-based frame the drag text showed as value + 1: go exactly there.
    if (m_control)
        gotoAndPlay(value);
    showPlayingState();
}

void PlaybackController::runCommand(PlayerCommand command, bool checked)
{
    using C = PlayerCommand;
    switch (command) {
    case C::Play: playCommand(); break;
    case C::Pause: pauseCommand(); break;
    case C::Stop: stopCommand(); break;
    case C::Rewind: rewindCommand(); break;
    case C::PreviousFrame: previousFrameCommand(); break;
    case C::NextFrame: nextFrameCommand(); break;
    case C::FastBack: fastBackCommand(); break;
    case C::FastForward: fastForwardCommand(); break;
    case C::PreviousEntry: previousEntryCommand(); break;
    case C::NextEntry: nextEntryCommand(); break;
    case C::Loop: loopClicked(checked); break;
    case C::ZoomIn: zoomInCommand(); break;
    case C::ZoomOut: zoomOutCommand(); break;
    case C::NativeSize: nativeSizeCommand(); break;
    case C::ShowAll: showAllCommand(); break;
    case C::QualityLow:
    case C::QualityHigh:
    case C::QualitySpeed:
    case C::QualityBest: qualityCommand(commandQuality(command)); break;
    case C::Background: backgroundCommand(); break;
    case C::FullScreen: fullScreenCommand(); break;
    case C::GotoFrame: break;
    }
}

PlayerKeyCommand PlaybackController::keyEvent(const PlayerKeyEvent& event)
{
    m_state.ctrlDown = ctrlFlagAfter(event, m_state.ctrlDown);
    const PlayerKeyCommand command = playerKeyCommand(event, m_state.ctrlDown, m_state.fullScreen);
    switch (command) {
    case PlayerKeyCommand::EnterFullScreen: enterFullScreen(); break;
    case PlayerKeyCommand::LeaveFullScreen: leaveFullScreen(); break;
    case PlayerKeyCommand::FastBack: fastBackCommand(); break;
    case PlayerKeyCommand::FastForward: fastForwardCommand(); break;
    case PlayerKeyCommand::Pause: pauseCommand(); break;
    case PlayerKeyCommand::Play: playCommand(); break;
    case PlayerKeyCommand::Rewind: rewindCommand(); break;
    case PlayerKeyCommand::PreviousEntry: previousEntryCommand(); break;
    case PlayerKeyCommand::NextEntry: nextEntryCommand(); break;
    case PlayerKeyCommand::Snapshot:
    case PlayerKeyCommand::ContinuousSnapshot:
    case PlayerKeyCommand::Help:
    case PlayerKeyCommand::None: break;
    }
    return command;
}

void PlaybackController::zoomInCommand()
{
    if (!m_state.scalingAllowed)
        return;
    if (m_control)
        m_control->Zoom(zoomCloser);
    m_state.zoomed = true;
}

void PlaybackController::zoomOutCommand()
{
    if (m_state.scalingAllowed && m_control && m_state.zoomed)
        m_control->Zoom(zoomWider);
}

void PlaybackController::nativeSizeCommand()
{
    if (!m_state.scalingAllowed)
        return;
    if (m_control)
        m_control->Scale(QStringLiteral("noscale"));
    m_state.zoomed = false;
}

void PlaybackController::showAllCommand()
{
    if (!m_state.scalingAllowed || !m_control)
        return;
    m_control->Zoom(zoomWholeMovie);
    m_state.zoomed = false;
}

void PlaybackController::qualityCommand(int quality)
{
    if (!m_control)
        return;
    m_control->Quality(quality);
    showQualityPicture();
}

void PlaybackController::backgroundCommand()
{
    if (!m_control)
        return;
    const std::optional<QColor> colour = m_services.prompts.chooseColour(QColor(Qt::white));
    // The dialog runs the event loop: a movie's deferred "quit" may have unloaded it meanwhile.
    if (colour && m_control)
        m_control->BackgroundColor(controlColourValue(*colour));
}

void PlaybackController::fullScreenCommand()
{
    if (!m_state.movieLoaded)
        return;
    if (m_state.fullScreen)
        leaveFullScreen();
    else
        enterFullScreen();
}

void PlaybackController::enterFullScreen()
{
    if (!m_state.movieLoaded || m_state.fullScreen)
        return;
    m_savedPanels = m_services.view.windowPanels();
    m_state.fullScreen = true;
    m_services.view.showFullScreen();
}

void PlaybackController::leaveFullScreen()
{
    // The saved panels exist only after entering; leaving twice must not apply them again.
    if (!m_state.fullScreen)
        return;
    m_state.fullScreen = false;
    m_services.view.showWindowed(windowedLayout(m_savedPanels, true));
}

std::optional<GotoDialogTexts> PlaybackController::beginGoto()
{
    if (!m_control || !m_state.movieLoaded)
        return std::nullopt;
    m_control->Stop();
    return gotoDialogTexts(m_control->CurrentFrame(), m_control->TotalFrames());
}

void PlaybackController::gotoAccepted(int frameFromOne)
{
    if (m_control)
        gotoAndPlay(frameFromOne - 1);
}

void PlaybackController::gotoClosed()
{
    if (m_control)
        m_control->Play();
}

}  // namespace kivamo
