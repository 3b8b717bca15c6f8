// PlaybackController: turns the play list's current entry into a playing movie and keeps the window
// in step with it: transport commands, the control's events, the three timers, the sliders, the
// movie's FSCommand calls, the keyboard shortcuts and the view commands that act on the control.
#pragma once

#include "core/flashcontrol.h"
#include "core/playerstate.h"
#include "player/playercommands.h"
#include "player/playerkeys.h"
#include "player/playerview.h"
#include "playlist/listcontext.h"

#include <QColor>
#include <QString>

#include <memory>
#include <optional>

namespace kivamo {

class PlayList;
class ProgramStarter;
class Prompts;
class ScreenSaverInhibitor;
struct Settings;
struct GotoDialogTexts;

struct PlaybackServices {
    PlayList& list;
    const Settings& settings;  // the startup settings record, reloaded in place
    Prompts& prompts;
    PlayerView& view;
    FlashControlFactory createControl;
    ProgramStarter& programs;
    ScreenSaverInhibitor& screenSaver;
    QString programDirectory;  // where the recent-files history lives
};

class PlaybackController : public ListPlayback {
public:
    static QString programCaption() { return QStringLiteral("Kivamo flash播放器 V0.9.3.12 Beta"); }

    explicit PlaybackController(PlaybackServices services);
    ~PlaybackController() override;

    const PlayerState& state() const { return m_state; }
    FlashControl* control() const { return m_control.get(); }
    bool isTimerEnabled(PlayerTimer timer) const;
    // Follows settings that act at once (pingbao); call after loading the startup settings.
    void applySettings();

    // ListPlayback
    bool movieLoaded() const override { return m_state.movieLoaded; }
    int currentIndex() const override { return m_state.currentIndex; }
    void setCurrentIndex(int index) override { m_state.currentIndex = index; }
    void playCurrentEntry() override;
    void resetPlayer() override;

    void showPlayingState();
    void showHaltedState();

    // Transport commands.
    void playCommand();
    void pauseCommand();
    void stopCommand();
    void rewindCommand();
    void previousFrameCommand();
    void nextFrameCommand();
    void fastBackCommand();
    void fastForwardCommand();
    void previousEntryCommand();
    void nextEntryCommand();
    void loopClicked(bool checked);  // MNI_rloop's new check mark

    // The control's events.
    void FL_flashReadyStateChange(int state);
    void FL_flashProgress(int percent);
    void FL_flashFSCommand(const QString& command, const QString& argument);

    // Timer ticks.
    void TMR_flashTimer();
    void TMR_PLAYTimer();
    void TMR_flashcloseTimer();

    // Position sliders (left button only): x inside the slider that was used, its width and maximum.
    void sliderPressed();
    void sliderMoved(int value);
    void sliderReleased(int x, int width, int maximum);

    // Runs the command of a button or menu entry; checked is the loop item's new check mark. Go to
    // frame is the window's (it shows the dialog) and does nothing here.
    void runCommand(PlayerCommand command, bool checked = false);

    // The application-wide key filter: runs the command of a key press and returns it; snapshots and
    // help are returned for the window to run. Consumed when the result is not None.
    PlayerKeyCommand keyEvent(const PlayerKeyEvent& event);

    // View commands.
    void zoomInCommand();
    void zoomOutCommand();
    void nativeSizeCommand();
    void showAllCommand();
    void qualityCommand(int quality);
    void backgroundCommand();
    void fullScreenCommand();  // toggle
    void enterFullScreen();
    void leaveFullScreen();

    // Go to frame: beginGoto stops the control and gives the dialog's texts, or nothing when there is
    // no movie; gotoAccepted jumps to a frame counted from 1; gotoClosed resumes in every case.
    std::optional<GotoDialogTexts> beginGoto();
    void gotoAccepted(int frameFromOne);
    void gotoClosed();

private:
    ListContext listContext();
    void setTimer(PlayerTimer timer, bool enabled);
    void addReplacedMovieToHistory();
    bool loadCurrentEntry();
    void resetState();
    void showQualityPicture();
    QString listStatusText() const;
    void gotoAndPlay(int frame);

    PlaybackServices m_services;
    PlayerState m_state;
    std::unique_ptr<FlashControl> m_control;
    WindowPanels m_savedPanels;
    bool m_timers[3] = {false, false, false};
    bool m_lookPlaying = false;
};

}  // namespace kivamo
