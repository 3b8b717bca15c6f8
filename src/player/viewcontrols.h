// The rules of the view commands that need no control: menu states, the movie menu's title item,
// the go-to-frame field, the layout after full screen and the movie window's mouse handling.
#pragma once

#include "core/playerstate.h"
#include "player/playerview.h"

#include <QChar>
#include <QColor>
#include <QString>

#include <optional>

namespace kivamo {

class FlashControl;

// TB_quality shows picture 12 + the control's quality.
int qualityImageIndex(int quality);
// The colour as the control takes it: red·65536 + green·256 + blue.
int controlColourValue(const QColor& colour);

// PM_flashmenu's title item MNI_title.
struct TitleItem {
    QString caption;
    QString hint;
};
// Paths of at most 30 characters stand as they are; longer ones become their first 27 characters,
// "..\", the display name and ".swf". Without a movie: "未载入".
TitleItem titleItem(const PlayerState& state);

// PM_flashmenu's states when it opens.
struct FlashMenuState {
    bool playEnabled = false;   // MNI_rplay
    bool playChecked = false;
    bool pauseChecked = false;  // MNI_Pause
    bool loadedItemsEnabled = false;  // stop, rewind, frame steps, copy, snapshots, quality,
                                      // full screen, loop, details, go to frame
    bool entryStepsEnabled = false;   // MNI_rpre, MNI_rnext
    bool zoomInEnabled = false;       // MNI_rzoomout, MNI_rinisize, MNI_rshowall
    bool zoomOutEnabled = false;      // MNI_rzoomin
};
FlashMenuState flashMenuState(const PlayerState& state, const FlashControl* control, int entryCount);

// PM_pmquality and the quality submenus: which of the four items is ticked (none without a control)
// and whether they are enabled.
struct QualityMenuState {
    std::optional<int> checked;
    bool enabled = false;
};
QualityMenuState qualityMenuState(const PlayerState& state, const FlashControl* control);

// PM_zoom: native size and show all.
bool zoomMenuEnabled(const PlayerState& state);

// The View menu's player items.
struct ViewMenuState {
    bool zoomInEnabled = false;   // MNI_mzoomout, MNI_minisize, MNI_mshowall
    bool zoomOutEnabled = false;  // MNI_mzoomin
    bool qualityEnabled = false;  // MNI_mq
    bool fullScreenEnabled = false;  // MNI_allscreen
};
ViewMenuState viewMenuState(const PlayerState& state);

// The layout after full screen from the panels saved on entering it.
WindowedLayout windowedLayout(const WindowPanels& saved, bool wasFullScreen);

// What the movie window filter does with a mouse event before the control sees it.
enum class MovieMouseEvent { RightPress, LeftDoubleClick, Move, Other };
enum class MovieMouseAction {
    PassOn,                    // the control handles it
    OpenMovieMenu,             // PM_flashmenu at the pointer; consumed
    ToggleFullScreen,          // consumed
    HideControlBarAndPassOn,   // pnl_buttom hidden and docked again, then passed on
};
MovieMouseAction movieMouseAction(MovieMouseEvent event, bool pupflashmenu, bool Dclick, bool fullScreen);

// LAB_hint while the pointer is over the movie panel pnl_flash (the movie's path) or the picture
// IMG1 behind the movie ("就绪"); nothing without a loaded movie.
enum class MovieAreaPart { MoviePanel, BackgroundPicture };
std::optional<QString> movieAreaHint(const PlayerState& state, MovieAreaPart part);

// Whether touching the bottom strip pnl_4 shows the control bar over the movie.
bool showsControlBarOverMovie(const PlayerState& state);

// Tfgoto's field edt_f: only digits and backspace may be typed.
bool gotoFieldAccepts(QChar typed);
// The field after a change: empty or 0 becomes "1", above the total becomes the total. Returns the
// text unchanged when it already obeys these rules.
QString gotoFieldText(const QString& text, int totalFrames);

// The texts Tfgoto shows when it opens (frames counted from 1).
struct GotoDialogTexts {
    QString field;         // edt_f
    QString totalText;     // LAB_tF
    QString currentText;   // LAB_Nf
};
GotoDialogTexts gotoDialogTexts(int currentFrame, int totalFrames);

}  // namespace kivamo
