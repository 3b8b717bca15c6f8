// PlayerView: the labels, buttons, sliders, timers and window modes the playback controller sets;
// the main window implements it, tests record it.
#pragma once

#include <QString>

namespace kivamo {

// The transport buttons and the play-state glyph for the playing or the halted look.
struct TransportLook {
    bool playButtonVisible = true;   // B_bplay
    bool pauseButtonVisible = false;  // B_Bpause
    int playToolImageIndex = 0;       // TB_play
    QString playToolHint;
    QString stateGlyph;               // LAB_s in the play-symbol font

    static TransportLook playing();
    static TransportLook halted();
};

enum class PlayerTimer { Play, Flash, FlashClose };  // TMR_PLAY, TMR_flash, TMR_flashclose

// What is remembered on entering full screen, to be given back on leaving.
struct WindowPanels {
    bool toolbar = true;      // pnl_TOOLBAR
    bool list = true;         // pnl_list
    bool playControl = true;  // TT_PlayControl
    bool onTop = false;       // btn_CBOnTop pressed
    bool maximized = false;
};

// How the window looks again after full screen.
struct WindowedLayout {
    bool redockPlayControl = false;  // hide TT_PlayControl and dock it at the bottom first
    bool playControl = true;         // TT_PlayControl
    bool compactPlayControl = false;  // pnl_splaycontrol: shown exactly when the full bar is not
    bool list = true;                // pnl_list (left edge 0)
    bool toolbar = true;             // pnl_TOOLBAR
    bool maximized = false;          // otherwise the bounds from before full screen
    bool onTop = false;
};

class PlayerView {
public:
    virtual ~PlayerView() = default;

    virtual void showTransportLook(const TransportLook& look) = 0;
    virtual void setStateGlyph(const QString& glyph) = 0;      // LAB_s
    virtual void setPositionText(const QString& text) = 0;     // LAB_play
    virtual void setStateText(const QString& text) = 0;        // LAB_state
    virtual void setTitleItemCaption(const QString& text) = 0;  // MNI_title
    virtual void setWindowCaption(const QString& text) = 0;
    virtual void setQualityImageIndex(int index) = 0;          // TB_quality

    // Both position sliders, SL_MainTrackBar and SL_MainTrackBar2.
    virtual void setSlidersEnabled(bool enabled) = 0;
    virtual void setSliderMaximum(int maximum) = 0;
    virtual void setSliderValue(int value) = 0;

    virtual void setTimerEnabled(PlayerTimer timer, bool enabled) = 0;
    // Scrolls the play list so that the entry is at least partly visible.
    virtual void scrollToEntry(int index) = 0;

    virtual WindowPanels windowPanels() const = 0;
    // Hides the bottom area, list, splitter, list toggle, tool bar and menu bar, ticks the full-screen
    // items, and shows the window caption-less over the whole screen (never topmost).
    virtual void showFullScreen() = 0;
    virtual void showWindowed(const WindowedLayout& layout) = 0;
};

}  // namespace kivamo
