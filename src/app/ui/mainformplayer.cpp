// The main window's side of the player: what the playback controller shows, the timers and sliders
// that feed it, full screen, list activation and the go-to-frame dialog.
#include "app/ui/artwork.h"
#include "app/ui/picturebutton.h"
#include "app/ui/tmainform.h"
#include "core/flashcontrol.h"
#include "player/ui/tfgoto.h"
#include "player/viewcontrols.h"

#include <QCursor>
#include <QLayout>
#include <QMouseEvent>
#include <QMenuBar>

using kivamo::PlayerTimer;

void Tmainform::connectPlayer()
{
    const struct { QTimer* timer; const char* name; int interval; void (Tmainform::*tick)(); } timers[] = {
        {&TMR_PLAY, "TMR_PLAY", 3000, &Tmainform::TMR_PLAYTimer},
        {&TMR_flash, "TMR_flash", 150, &Tmainform::TMR_flashTimer},
        {&TMR_flashclose, "TMR_flashclose", 15, &Tmainform::TMR_flashcloseTimer},
    };
    kivamo::CommandHandler* commands = m_services.commands;
    for (const auto& entry : timers) {
        entry.timer->setObjectName(QString::fromLatin1(entry.name));
        entry.timer->setInterval(entry.interval);
        connect(entry.timer, &QTimer::timeout, this, entry.tick);
    }
    for (QSlider* slider : {SL_MainTrackBar, SL_MainTrackBar2}) {
        connect(slider, &QSlider::sliderPressed, this, [commands] { commands->sliderPressed(); });
        connect(slider, &QSlider::sliderMoved, this, [commands](int value) { commands->sliderMoved(value); });
        connect(slider, &QSlider::sliderReleased, this, [commands, slider] {
            commands->sliderReleased(slider->mapFromGlobal(QCursor::pos()).x(), slider->width(), slider->maximum());
        });
    }
    connect(lv_listview1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { lv_listview1DblClick(index.row()); });
    connect(TB_8, &QToolButton::clicked, this, &Tmainform::MNI_mgotoClick);
    lv_listview1->installEventFilter(this);
}

void Tmainform::TMR_PLAYTimer()
{
    m_services.commands->timerTick(PlayerTimer::Play);
}

void Tmainform::TMR_flashTimer()
{
    m_services.commands->timerTick(PlayerTimer::Flash);
}

void Tmainform::TMR_flashcloseTimer()
{
    m_services.commands->timerTick(PlayerTimer::FlashClose);
}

QTimer& Tmainform::playerTimer(PlayerTimer timer)
{
    switch (timer) {
    case PlayerTimer::Play: return TMR_PLAY;
    case PlayerTimer::Flash: return TMR_flash;
    case PlayerTimer::FlashClose: break;
    }
    return TMR_flashclose;
}

void Tmainform::showTransportLook(const kivamo::TransportLook& look)
{
    B_bplay->setVisible(look.playButtonVisible);
    B_Bpause->setVisible(look.pauseButtonVisible);
    TB_play->setIcon(kivamo::compactPicture(look.playToolImageIndex));
    TB_play->setToolTip(look.playToolHint);
    TB_play->setStatusTip(look.playToolHint);
    TB_play->setAccessibleName(look.playToolHint);
    LAB_s->setSymbol(look.stateGlyph);
}

void Tmainform::setStateGlyph(const QString& glyph)
{
    LAB_s->setSymbol(glyph);
}

void Tmainform::setPositionText(const QString& text)
{
    LAB_play->setText(text);
}

void Tmainform::setStateText(const QString& text)
{
    LAB_state->setText(text);
}

void Tmainform::setTitleItemCaption(const QString& text)
{
    if (QAction* title = menuAction(QStringLiteral("MNI_title")))
        title->setText(text);
}

void Tmainform::setWindowCaption(const QString& text)
{
    setWindowTitle(text);
}

void Tmainform::setQualityImageIndex(int index)
{
    TB_quality->setIcon(kivamo::toolbarPicture(index));
}

void Tmainform::setSlidersEnabled(bool enabled)
{
    SL_MainTrackBar->setEnabled(enabled);
    SL_MainTrackBar2->setEnabled(enabled);
}

void Tmainform::setSliderMaximum(int maximum)
{
    for (QSlider* slider : {SL_MainTrackBar, SL_MainTrackBar2}) {
        const QSignalBlocker quiet(slider);
        slider->setMaximum(maximum);
    }
}

// Setting the position is no user move, so the sliders stay quiet.
void Tmainform::setSliderValue(int value)
{
    for (QSlider* slider : {SL_MainTrackBar, SL_MainTrackBar2}) {
        const QSignalBlocker quiet(slider);
        slider->setValue(value);
    }
}

void Tmainform::setTimerEnabled(PlayerTimer timer, bool enabled)
{
    QTimer& target = playerTimer(timer);
    if (!enabled)
        target.stop();
    else if (!target.isActive())
        target.start();
}

void Tmainform::scrollToEntry(int index)
{
    if (QAbstractItemModel* model = lv_listview1->model())
        lv_listview1->scrollTo(model->index(index, 0));
}

kivamo::WindowPanels Tmainform::windowPanels() const
{
    kivamo::WindowPanels panels;
    panels.toolbar = pnl_TOOLBAR->isVisibleTo(this);
    panels.list = pnl_list->isVisibleTo(this);
    panels.playControl = TT_PlayControl->isVisibleTo(this);
    panels.onTop = btn_CBOnTop->isChecked();
    panels.maximized = isMaximized();
    return panels;
}

void Tmainform::showFullScreen()
{
    if (!isFullScreen())
        m_windowedBounds = QRect(pos(), size());
    for (QWidget* part : {pnl_buttom, pnl_list, spl_splitter1, static_cast<QWidget*>(SB_LButton), pnl_TOOLBAR, TT_menu})
        part->hide();
    for (const char* name : {"MNI_allscreen", "MNI_ALL"}) {
        if (QAction* item = menuAction(QString::fromLatin1(name)))
            item->setChecked(true);
    }
    applyOnTop(false);
    QWidget::showFullScreen();
}

void Tmainform::showWindowed(const kivamo::WindowedLayout& layout)
{
    hideControlBarOverMovie();
    for (const char* name : {"MNI_allscreen", "MNI_ALL"}) {
        if (QAction* item = menuAction(QString::fromLatin1(name)))
            item->setChecked(false);
    }
    if (layout.redockPlayControl)
        TT_PlayControl->hide();
    pnl_buttom->show();
    TT_menu->show();
    spl_splitter1->show();
    SB_LButton->show();
    TT_PlayControl->setVisible(layout.playControl);
    pnl_splaycontrol->setVisible(layout.compactPlayControl);
    pnl_list->setVisible(layout.list);
    pnl_TOOLBAR->setVisible(layout.toolbar);
    if (layout.maximized) {
        showMaximized();
    } else {
        showNormal();
        if (m_windowedBounds.isValid())
            setGeometry(m_windowedBounds);
    }
    applyOnTop(layout.onTop);
    placeListHandle();
}

void Tmainform::placeMovieControl(QWidget* control)
{
    control->setParent(pnl_main);
    control->setProperty("kivamoMovie", true);
    control->installEventFilter(this);
    pnl_main->layout()->addWidget(control);
    pnl_flash->hide();
    // The logo comes back when the player drops the control and no other took its place.
    connect(control, &QObject::destroyed, this, [this] {
        if (!m_services.commands->flashControl())
            pnl_flash->show();
    });
    control->show();
    control->setFocus();
}

bool Tmainform::movieMouseEvent(QEvent* event)
{
    kivamo::MovieMouseEvent kind = kivamo::MovieMouseEvent::Other;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton)
        kind = kivamo::MovieMouseEvent::RightPress;
    else if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
        kind = kivamo::MovieMouseEvent::LeftDoubleClick;
    else if (event->type() == QEvent::MouseMove)
        kind = kivamo::MovieMouseEvent::Move;
    if (kind == kivamo::MovieMouseEvent::Other)
        return false;
    const kivamo::PlayerFlags flags = m_services.commands->playerFlags();
    switch (kivamo::movieMouseAction(kind, m_settings.pupflashmenu, m_settings.Dclick, flags.fullScreen)) {
    case kivamo::MovieMouseAction::OpenMovieMenu:
        openMovieMenu(mouse->globalPosition().toPoint());
        return true;
    case kivamo::MovieMouseAction::ToggleFullScreen:
        m_services.commands->runCommand(flags.fullScreen ? kivamo::Command::LeaveFullScreen
                                                         : kivamo::Command::EnterFullScreen);
        return true;
    case kivamo::MovieMouseAction::HideControlBarAndPassOn:
        hideControlBarOverMovie();
        break;
    case kivamo::MovieMouseAction::PassOn:
        break;
    }
    return false;
}

void Tmainform::lv_listview1DblClick(int row)
{
    if (row < 0 || row >= m_services.operations->entryCount())
        return;
    m_services.operations->setCurrentIndex(row);
    m_services.operations->playCurrentEntry();
}

void Tmainform::MNI_mgotoClick()
{
    kivamo::CommandHandler* commands = m_services.commands;
    if (!commands->playerFlags().movieLoaded || !commands->flashControl())
        return;
    // The dialog's closing plays on, so opening it halts the movie.
    commands->flashControl()->Stop();
    auto* dialog = new Tfgoto([commands] { return commands->flashControl(); }, this);
    dialog->setObjectName(QStringLiteral("Tfgoto"));
    dialog->show();
}
