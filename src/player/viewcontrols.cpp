#include "player/viewcontrols.h"

#include "core/flashcontrol.h"
#include "core/paths.h"

#include <algorithm>

namespace kivamo {

namespace {

constexpr int titleItemFullLength = 30;
constexpr int titleItemKeptLength = 27;

}  // namespace

TransportLook TransportLook::playing()
{
    return {false, true, 11, QStringLiteral("暂停播放"), QStringLiteral("4")};
}

TransportLook TransportLook::halted()
{
    return {true, false, 0, QStringLiteral("播放影片"), QStringLiteral(";")};
}

int qualityImageIndex(int quality)
{
    return 12 + quality;
}

int controlColourValue(const QColor& colour)
{
    return colour.red() * 65536 + colour.green() * 256 + colour.blue();
}

TitleItem titleItem(const PlayerState& state)
{
    if (!state.movieLoaded)
        return {QStringLiteral("未载入"), {}};
    const QString& path = state.currentPath;
    if (path.size() <= titleItemFullLength)
        return {path, path};
    const QString displayName = titleFromPath(path);
    return {path.left(titleItemKeptLength) + QStringLiteral("..\\") + displayName + QStringLiteral(".swf"), path};
}

FlashMenuState flashMenuState(const PlayerState& state, const FlashControl* control, int entryCount)
{
    FlashMenuState menu;
    const bool loaded = state.movieLoaded;
    menu.playEnabled = loaded;
    if (loaded && control) {
        menu.playChecked = control->Playing();
        menu.pauseChecked = !control->Playing();
    }
    menu.loadedItemsEnabled = loaded;
    menu.entryStepsEnabled = loaded && entryCount > 1;
    menu.zoomInEnabled = loaded && state.scalingAllowed;
    menu.zoomOutEnabled = menu.zoomInEnabled && state.zoomed;
    return menu;
}

QualityMenuState qualityMenuState(const PlayerState& state, const FlashControl* control)
{
    QualityMenuState menu;
    if (control)
        menu.checked = control->Quality();
    menu.enabled = state.movieLoaded;
    return menu;
}

bool zoomMenuEnabled(const PlayerState& state)
{
    return state.movieLoaded;
}

ViewMenuState viewMenuState(const PlayerState& state)
{
    ViewMenuState menu;
    menu.zoomInEnabled = state.movieLoaded && state.scalingAllowed;
    menu.zoomOutEnabled = menu.zoomInEnabled && state.zoomed;
    menu.qualityEnabled = state.movieLoaded;
    menu.fullScreenEnabled = state.movieLoaded;
    return menu;
}

WindowedLayout windowedLayout(const WindowPanels& saved, bool wasFullScreen)
{
    WindowedLayout layout;
    layout.redockPlayControl = wasFullScreen;
    layout.playControl = saved.playControl;
    layout.compactPlayControl = !saved.playControl;
    layout.list = saved.list;
    layout.toolbar = saved.toolbar;
    layout.maximized = saved.maximized;
    layout.onTop = saved.onTop;
    return layout;
}

MovieMouseAction movieMouseAction(MovieMouseEvent event, bool pupflashmenu, bool Dclick, bool fullScreen)
{
    if (event == MovieMouseEvent::RightPress && !pupflashmenu)
        return MovieMouseAction::OpenMovieMenu;
    if (event == MovieMouseEvent::LeftDoubleClick && Dclick)
        return MovieMouseAction::ToggleFullScreen;
    if (event == MovieMouseEvent::Move && fullScreen)
        return MovieMouseAction::HideControlBarAndPassOn;
    return MovieMouseAction::PassOn;
}

std::optional<QString> movieAreaHint(const PlayerState& state, MovieAreaPart part)
{
    if (!state.movieLoaded)
        return std::nullopt;
    return part == MovieAreaPart::MoviePanel ? state.currentPath : QStringLiteral("就绪");
}

bool showsControlBarOverMovie(const PlayerState& state)
{
    return state.fullScreen && state.movieLoaded;
}

bool gotoFieldAccepts(QChar typed)
{
    return (typed >= QLatin1Char('0') && typed <= QLatin1Char('9')) || typed == QChar(u'\b');
}

QString gotoFieldText(const QString& text, int totalFrames)
{
    // Pasted text can bring other characters than typing lets through; only the digits count.
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    // A movie without frames still keeps the field at 1, so the rules never disagree with each other.
    const int total = std::max(totalFrames, 1);
    bool fits = false;
    const qulonglong value = digits.toULongLong(&fits);
    if (digits.isEmpty() || (fits && value == 0))
        return QStringLiteral("1");
    if (!fits || value > qulonglong(total))
        return QString::number(total);
    return digits;
}

GotoDialogTexts gotoDialogTexts(int currentFrame, int totalFrames)
{
    return {QString::number(currentFrame + 1), QStringLiteral("总帧数： ") + QString::number(totalFrames),
            QStringLiteral("当前帧： ") + QString::number(currentFrame + 1)};
}

}  // namespace kivamo
