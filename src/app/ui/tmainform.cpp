#include "app/ui/tmainform.h"

#include "app/handoff.h"
#include "app/keyhook.h"
#include "app/layoutrules.h"
#include "app/startup.h"
#include "app/ui/artwork.h"
#include "app/ui/picturebutton.h"
#include "app/ui/tfabout.h"
#include "platform/directories.h"
#include "platform/inifile.h"
#include "platform/prompts.h"
#include "playlist/playlistmodel.h"
#include "shell/versionrecord.h"

#include <QCloseEvent>
#include <QStatusTipEvent>
#include <QToolTip>
#include <QWindow>

using kivamo::Command;

namespace {

const QString kProductCaption = QStringLiteral("Kivamo flash播放器 V0.9.3.12 Beta");

}  // namespace

Tmainform::Tmainform(const kivamo::MainFormServices& services, QWidget* parent)
    : QWidget(parent), m_services(services)
{
    Q_ASSERT(services.operations && services.commands && services.prompts);
    buildRegions();
    connectHandlers();
    TMR_hintReshow.setObjectName(QStringLiteral("TMR_hintReshow"));
    TMR_hintReshow.setSingleShot(true);
    TMR_hintReshow.setInterval(200);
    resize(700, 500);
    move(60, 60);
    TB_viewlist->setChecked(true);
}

Tmainform::~Tmainform() = default;

void Tmainform::bindCommand(QObject* sender, Command command)
{
    kivamo::CommandHandler* commands = m_services.commands;
    if (auto* button = qobject_cast<QAbstractButton*>(sender))
        connect(button, &QAbstractButton::clicked, this, [commands, command] { commands->runCommand(command); });
    else if (auto* action = qobject_cast<QAction*>(sender))
        connect(action, &QAction::triggered, this, [commands, command] { commands->runCommand(command); });
}

void Tmainform::bindMenuCommand(const char* name, Command command)
{
    bindCommand(menuAction(QString::fromLatin1(name)), command);
}

void Tmainform::connectHandlers()
{
    const struct { QAbstractButton* button; Command command; } buttons[] = {
        {TB_zoomout, Command::ZoomIn}, {TB_zoomin, Command::ZoomOut}, {TB_allscreen, Command::EnterFullScreen},
        {TB_bgcolor, Command::BackgroundColour}, 
        {TB_update, Command::Update},
        {TB_showocx, Command::PluginInfo}, {TB_help, Command::Help},
        {B_bplay, Command::Play}, {B_Bpause, Command::Pause}, {B_Bstop, Command::Stop}, {B_Bprev, Command::PreviousEntry},
        {B_Bfprev, Command::FastBack}, {B_BprevZ, Command::PreviousFrame}, {B_Brewind, Command::Rewind},
        {B_Baddfile, Command::AddFiles}, {B_BnextZ, Command::NextFrame}, {B_Bfnext, Command::FastForward},
        {B_Bnext, Command::NextEntry}, {TB_play, Command::Play}, {TB_2, Command::Stop}, {TB_3, Command::PreviousEntry},
        {TB_4, Command::FastBack}, {TB_5, Command::PreviousFrame}, {TB_6, Command::Rewind}, {TB_7, Command::AddFiles},
        {TB_9, Command::NextFrame}, {TB_10, Command::FastForward}, {TB_11, Command::NextEntry},
    };
    for (const auto& entry : buttons)
        bindCommand(entry.button, entry.command);
    const struct { const char* name; Command command; } entries[] = {
        {"I1", Command::AddFiles}, {"MNI_delhis", Command::ClearHistory}, {"N58", Command::NewList}, {"O1", Command::OpenList},
        {"S2", Command::SaveList}, 
        {"MNI_mplay", Command::Play}, {"MNI_mpause", Command::Pause}, {"MNI_Mstop", Command::Stop},
        {"MNI_mrewind", Command::Rewind}, {"MNI_mfback", Command::FastBack},
        {"MNI_mfnext", Command::FastForward}, {"MNI_mprezhen", Command::PreviousFrame},
        {"MNI_mnextzhen", Command::NextFrame}, {"MNI_mpre", Command::PreviousEntry}, {"MNI_mnext", Command::NextEntry},
        {"MNI_mzoomout", Command::ZoomIn}, {"MNI_mzoomin", Command::ZoomOut}, {"MNI_minisize", Command::ActualSize},
        {"MNI_mshowall", Command::ShowAll}, {"MNI_msl", Command::QualityLow}, {"MNI_msh", Command::QualityHigh},
        {"MNI_msq", Command::QualityBest}, {"MNI_mss", Command::QualitySpeed},
        {"MNI_allscreen", Command::EnterFullScreen}, {"MNI_setassign", Command::RegisterAssociation},
        {"N9", Command::Update},
        {"H2", Command::Help}, {"N23", Command::PluginInfo}, {"MNI_INIsize", Command::ActualSize},
        {"MNI_showall", Command::ShowAll}, {"pmquality_l", Command::QualityLow}, {"pmquality_h", Command::QualityHigh},
        {"pmquality_s", Command::QualitySpeed}, {"pmquality_q", Command::QualityBest},
    };
    for (const auto& entry : entries)
        bindMenuCommand(entry.name, entry.command);

    const auto onAction = [this](const char* name, void (Tmainform::*handler)()) {
        connect(menuAction(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    onAction("MNI_mListShow", &Tmainform::SB_LButtonClick);
    onAction("MNI_mhvtoolbar", &Tmainform::MNI_hideToolbarClick);
    onAction("MNI_hideToolbar", &Tmainform::MNI_hideToolbarClick);
    onAction("MNI_viewtext", &Tmainform::MNI_viewtextClick);
    onAction("MNI_viewtext2", &Tmainform::MNI_viewtextClick);
    onAction("MNI_hidetext", &Tmainform::MNI_hidetextClick);
    onAction("MNI_hidetext2", &Tmainform::MNI_hidetextClick);
    onAction("MNI_wanzheng", &Tmainform::MNI_wanzhengClick);
    onAction("MNI_N38", &Tmainform::MNI_wanzhengClick);
    onAction("MNI_jingjian", &Tmainform::MNI_jingjianClick);
    onAction("MNI_1", &Tmainform::MNI_jingjianClick);
    onAction("MNI_N10", &Tmainform::MNI_N10Click);
    onAction("MNI_mini", &Tmainform::MNI_miniClick);
    // A check entry ticks itself when triggered; the on-top rule sets the tick itself, so undo that first.
    QAction* onTop = menuAction(QStringLiteral("MNI_MOnTop"));
    connect(onTop, &QAction::triggered, this, [this, onTop](bool checked) {
        onTop->setChecked(!checked);
        MNI_MOnTopClick();
    });
    onAction("MNI_mloop", &Tmainform::MNI_mloopClick);
    onAction("MNI_mgoto", &Tmainform::MNI_mgotoClick);
    onAction("N11", &Tmainform::N11Click);
    onAction("MNI_mnowdetail", &Tmainform::TB_detailClick);
    connect(TB_detail, &QToolButton::clicked, this, &Tmainform::TB_detailClick);
    onAction("MNI_mpic", &Tmainform::TB_picClick);
    onAction("MNI_pic", &Tmainform::TB_picClick);
    onAction("MNI_mcontpic", &Tmainform::MNI_contpicClick);
    onAction("MNI_contpic", &Tmainform::MNI_contpicClick);
    onAction("MNI_print", &Tmainform::MNI_printClick);
    onAction("MNI_unsetassign", &Tmainform::MNI_unsetassignClick);
    connect(TB_print, &QToolButton::clicked, this, &Tmainform::MNI_printClick);
    connect(TB_option1, &QToolButton::clicked, this, &Tmainform::N11Click);
    connect(TB_pic, &QToolButton::clicked, this, &Tmainform::TB_picClick);
    onAction("X1", &Tmainform::X1Click);
    onAction("A2", &Tmainform::A2Click);

    connect(SB_LButton, &QToolButton::clicked, this, &Tmainform::SB_LButtonClick);
    connect(TB_viewlist, &QToolButton::clicked, this, &Tmainform::SB_LButtonClick);
    connect(SB_min, &QToolButton::clicked, this, &Tmainform::MNI_miniClick);
    connect(SB_mmin, &QToolButton::clicked, this, &Tmainform::MNI_miniClick);
    connect(btn_CBOnTop, &QToolButton::clicked, this, &Tmainform::MNI_MOnTopClick);
    connect(btn_CBOnTop2, &QToolButton::clicked, this, &Tmainform::MNI_MOnTopClick);
    connect(F1, &QMenu::aboutToShow, this, &Tmainform::F1Click);
    connect(N1, &QMenu::aboutToShow, this, &Tmainform::N1Click);
    connect(V1, &QMenu::aboutToShow, this, &Tmainform::V1Click);
    connect(T1, &QMenu::aboutToShow, this, &Tmainform::T1Click);
    connect(ToolBar, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PM_ToolBar->popup(ToolBar->mapToGlobal(at)); });
    connect(TB_quality, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PM_pmquality->popup(TB_quality->mapToGlobal(at)); });
    connect(pnl_splaycontrol, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PM_1->popup(pnl_splaycontrol->mapToGlobal(at)); });
    connect(pnl_CtrlPanel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PM_2->popup(pnl_CtrlPanel->mapToGlobal(at)); });
    connect(&TMR_hintReshow, &QTimer::timeout, this, &Tmainform::AE_1ShowHint);
    for (QWidget* watched : std::initializer_list<QWidget*>{spl_splitter1, pnl_statebar, TT_PlayControl, pnl_TOOLBAR, pnl_main, pnl_flash,
                             IMG1, pnl_CtrlPanel, static_cast<QWidget*>(TB_play)})
        watched->installEventFilter(this);
    connectPlayer();
    connectList();
}

void Tmainform::FormCreate(const QStringList& arguments, TFabout* splash, QObject* hookTarget)
{
    m_keyHook = std::make_unique<kivamo::KeyHook>(*m_services.commands);
    m_keyHook->setWindowCommands([this](Command command) {
        if (command == Command::Snapshot)
            TB_picClick();
        else if (command == Command::ContinuousSnapshot)
            MNI_contpicClick();
        else
            return false;
        return true;
    });
    m_services.operations->resetPlayer();
    m_services.operations->clearListModified();
    kivamo::ensureDirectory(kivamo::imagesDirectory(m_services.programDirectory));
    setWindowTitle(kProductCaption);
    if (splash)
        splash->close();
    if (hookTarget)
        hookTarget->installEventFilter(m_keyHook.get());
    m_settings = kivamo::loadSettingsFrom(m_services.programDirectory);
    restoreWindow();
    if (!m_services.programOnOpticalOrReadOnly)
        m_services.operations->registerAssociations(m_settings.command);
    kivamo::runCommandLine(kivamo::joinCommandLine(arguments), m_settings, *m_services.operations);
}

void Tmainform::restoreWindow()
{
    const kivamo::WindowSettings window = kivamo::readWindowSettings(
        kivamo::IniFile::load(kivamo::settingsFilePath(m_services.programDirectory)));
    resize(window.width, window.height);
    move(window.left, window.top);
    pnl_TOOLBAR->setVisible(window.toolbar);
    pnl_list->setVisible(window.list);
    TT_PlayControl->setVisible(window.playcontrol);
    pnl_splaycontrol->setVisible(window.splaycontrol);
    TB_viewlist->setChecked(window.list);
    SB_LButton->move(window.list ? lv_listview1->width() : 0, SB_LButton->y());
    menuAction(QStringLiteral("MNI_MOnTop"))->setChecked(!window.ontop);
    MNI_MOnTopClick();
    setWindowState(window.max ? (windowState() | Qt::WindowMaximized) : (windowState() & ~Qt::WindowMaximized));
}

void Tmainform::FormShow()
{
    SB_LButton->setText(pnl_list->isVisibleTo(this) ? QStringLiteral("<") : QStringLiteral(">"));
    placeListHandle();
}

void Tmainform::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tmainform::handOffReceived(const QString& runtimeFile)
{
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    const std::optional<kivamo::HandOffFile> file = kivamo::readHandOffFile(runtimeFile);
    // The sender always writes the file first; an unreadable one is treated as a start without arguments.
    kivamo::runHandOff(file ? file->line2 : QString(), m_settings, *m_services.operations);
}

void Tmainform::showNotLoaded()
{
    B_bplay->show();
    B_Bpause->hide();
    TB_play->setIcon(kivamo::compactPicture(0));
    TB_play->setToolTip(QStringLiteral("播放影片"));
    TB_play->setStatusTip(QStringLiteral("播放影片"));
    TB_play->setAccessibleName(QStringLiteral("播放影片"));
    LAB_play->setText(QStringLiteral("　　未载入"));
    for (QSlider* slider : {SL_MainTrackBar, SL_MainTrackBar2}) {
        slider->setEnabled(false);
        slider->setValue(0);
    }
    setWindowTitle(QStringLiteral("未载入 - ") + kProductCaption);
    LAB_s->setSymbol(QStringLiteral("<"));
}

void Tmainform::showPlayList(kivamo::PlayListModel* model, std::function<std::pair<QString, QString>()> titles)
{
    QAbstractItemModel* placeholder = lv_listview1->model();
    lv_listview1->setModel(model);
    delete placeholder;
    const auto show = [this, titles] {
        const auto [title, state] = titles();
        LAB_listtitle->setText(title);
        LAB_state->setText(state);
    };
    connect(model, &kivamo::PlayListModel::listTitleChanged, this, show);
    followListSelection();
    show();
}

void Tmainform::X1Click()
{
    close();
}

void Tmainform::A2Click()
{
    auto* about = new TFabout(true, this);
    kivamo::TFileVersionInfo engine(kivamo::findPluginFile());
    if (engine.read())
        about->setPluginVersion(engine.FileVersion);
    about->setWindowModality(Qt::ApplicationModal);
    about->show();
}

void Tmainform::closeEvent(QCloseEvent* event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void Tmainform::FormClose()
{
    kivamo::CloseState state;
    state.maximized = isMaximized();
    state.normalBounds = QRect(pos(), size());
    state.listFile = m_services.operations->currentListFile();
    state.currentIndex = m_services.commands->playerFlags().movieLoaded ? m_services.operations->currentIndex() : -1;
    state.toolbar = pnl_TOOLBAR->isVisibleTo(this);
    state.list = pnl_list->isVisibleTo(this);
    state.playcontrol = TT_PlayControl->isVisibleTo(this);
    state.splaycontrol = pnl_splaycontrol->isVisibleTo(this);
    state.ontop = btn_CBOnTop->isChecked();
    const kivamo::Result<void> saved = kivamo::saveOnClose(m_services.programDirectory, state);
    if (!saved)
        kivamo::reportError(*m_services.prompts, saved.error().message);
}

void Tmainform::AE_1Hint(const QString& hint)
{
    LAB_hint->setText(kivamo::statusLineForHint(hint));
}

void Tmainform::AE_1ShowHint()
{
    if (!m_hintReshowWidget || !m_hintReshowWidget->underMouse() || !QToolTip::isVisible())
        return;
    QToolTip::showText(QCursor::pos(), m_hintReshowWidget->toolTip(), m_hintReshowWidget);
}

void Tmainform::pnl_flashMouseMove()
{
    const kivamo::PlayerFlags flags = m_services.commands->playerFlags();
    if (flags.movieLoaded)
        LAB_hint->setText(flags.currentMoviePath);
}

void Tmainform::IMG1MouseMove()
{
    if (m_services.commands->playerFlags().movieLoaded)
        LAB_hint->setText(QStringLiteral("就绪"));
}

bool Tmainform::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        AE_1Hint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}
