// The movie's right-click menu PM_flashmenu, the states of the quality and zoom drop-downs when they
// open, and the full-screen strip pnl_4 that brings the control bar over the movie.
#include "app/ui/tmainform.h"
#include "app/ui/menutext.h"
#include "core/flashcontrol.h"
#include "player/viewcontrols.h"
#include "playlist/listcommands.h"

#include <QActionGroup>
#include <QBoxLayout>

using kivamo::Command;

namespace {

enum class Row { Entry, Check, Separator };

struct FlashMenuRow {
    Row kind;
    const char* name;
    const char* caption;
};

// The items in their order; MNI_list and MNI_rq are sub-menus and are placed by name.
const FlashMenuRow kFlashMenuRows[] = {
    {Row::Entry, "MNI_title", ""}, {Row::Entry, "MNI_list", "从播放列表中选择"}, {Row::Separator, "", ""},
    {Row::Check, "MNI_ALL", "全屏播放"}, {Row::Check, "MNI_rplay", "播放(&P)"}, {Row::Check, "MNI_Pause", "暂停"},
    {Row::Entry, "MNI_rstop", "停止(&S)"}, {Row::Entry, "MNI_rrewind", "重播(&R)"},
    {Row::Entry, "MNI_goto", "跳到指定帧..."}, {Row::Separator, "", ""},
    {Row::Entry, "MNI_rprezhen", "前一帧"}, {Row::Entry, "MNI_rnextzhen", "后一帧"}, {Row::Entry, "MNI_fprev", "快退"},
    {Row::Entry, "MNI_fnext", "快进"}, {Row::Entry, "MNI_rpre", "上一个(&E)"}, {Row::Entry, "MNI_rnext", "下一个(&N)"},
    {Row::Separator, "", ""},
    {Row::Entry, "MNI_rzoomout", "放大"}, {Row::Entry, "MNI_rzoomin", "缩小"},
    {Row::Entry, "MNI_rinisize", "原始大小（100%）"}, {Row::Entry, "MNI_rshowall", "显示全部（拉伸）"},
    {Row::Separator, "", ""},
    {Row::Entry, "MNI_rpic", "单张快照"}, {Row::Entry, "MNI_rcontpic", "连续快照..."}, {Row::Entry, "MNI_rq", "播放质量"},
    {Row::Entry, "MNI_rrcopyto", "当前文件复制到..."}, {Row::Entry, "MNI_rfdetail", "当前影片信息..."},
    {Row::Separator, "", ""}, {Row::Check, "MNI_rloop", "循环播放"},
};

// MNI_rq's items: name, caption, the control's quality value.
const struct { const char* name; const char* caption; int quality; Command command; } kQualityItems[] = {
    {"MNI_sl", "低", 0, Command::QualityLow}, {"MNI_sh", "高", 1, Command::QualityHigh},
    {"MNI_sq", "质量优先", 3, Command::QualityBest}, {"MNI_ss", "速度优先", 2, Command::QualitySpeed},
};

// The items enabled exactly when a movie is loaded.
const char* const kLoadedItems[] = {"MNI_rstop", "MNI_rrewind", "MNI_rprezhen", "MNI_rnextzhen", "MNI_rrcopyto",
                                    "MNI_rpic", "MNI_rcontpic", "MNI_rq", "MNI_ALL", "MNI_rloop", "MNI_rfdetail",
                                    "MNI_goto", "MNI_fprev", "MNI_fnext"};

const struct { const char* name; int quality; } kPopupQualityItems[] = {
    {"pmquality_l", 0}, {"pmquality_h", 1}, {"pmquality_s", 2}, {"pmquality_q", 3},
};

kivamo::PlayerState stateOf(const kivamo::PlayerFlags& flags)
{
    kivamo::PlayerState state;
    state.movieLoaded = flags.movieLoaded;
    state.zoomed = flags.zoomed;
    state.scalingAllowed = flags.scalingAllowed;
    state.fullScreen = flags.fullScreen;
    state.currentPath = flags.currentMoviePath;
    return state;
}

}  // namespace

void Tmainform::buildFlashMenu()
{
    PM_flashmenu = new QMenu(this);
    PM_flashmenu->setObjectName(QStringLiteral("PM_flashmenu"));
    for (const FlashMenuRow& row : kFlashMenuRows) {
        const QString name = QString::fromLatin1(row.name);
        const QString caption = QString::fromUtf8(row.caption);
        if (row.kind == Row::Separator) {
            PM_flashmenu->addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (name == QLatin1String("MNI_list") || name == QLatin1String("MNI_rq")) {
            QMenu* sub = PM_flashmenu->addMenu(caption);
            sub->setObjectName(name);
            action = sub->menuAction();
        } else {
            action = PM_flashmenu->addAction(caption);
            action->setCheckable(row.kind == Row::Check);
        }
        action->setObjectName(name);
    }
    auto* list = PM_flashmenu->findChild<QMenu*>(QStringLiteral("MNI_list"));
    QAction* listCaption = list->addAction(LAB_listtitle->text());
    listCaption->setObjectName(QStringLiteral("MNI_listcaption"));
    list->setDefaultAction(listCaption);
    list->addSeparator()->setObjectName(QStringLiteral("MNI_N7"));
    menuAction(QStringLiteral("MNI_title"))->setText(kivamo::titleItem({}).caption);
    menuAction(QStringLiteral("MNI_rloop"))->setChecked(true);

    auto* quality = PM_flashmenu->findChild<QMenu*>(QStringLiteral("MNI_rq"));
    auto* group = new QActionGroup(quality);
    for (const auto& item : kQualityItems) {
        QAction* action = quality->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setCheckable(true);
        action->setChecked(item.quality == 1);
        group->addAction(action);
        bindCommand(action, item.command);
    }
    connectFlashMenu();
}

void Tmainform::connectFlashMenu()
{
    const struct { const char* name; Command command; } commands[] = {
        {"MNI_rplay", Command::Play}, {"MNI_Pause", Command::Pause}, {"MNI_rstop", Command::Stop},
        {"MNI_rrewind", Command::Rewind}, {"MNI_rprezhen", Command::PreviousFrame}, {"MNI_rnextzhen", Command::NextFrame},
        {"MNI_fprev", Command::FastBack}, {"MNI_fnext", Command::FastForward}, {"MNI_rpre", Command::PreviousEntry},
        {"MNI_rnext", Command::NextEntry}, {"MNI_rzoomout", Command::ZoomIn}, {"MNI_rzoomin", Command::ZoomOut},
        {"MNI_rinisize", Command::ActualSize}, {"MNI_rshowall", Command::ShowAll},
    };
    for (const auto& entry : commands)
        bindMenuCommand(entry.name, entry.command);
    const auto onAction = [this](const char* name, void (Tmainform::*handler)()) {
        connect(menuAction(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    onAction("MNI_goto", &Tmainform::MNI_mgotoClick);
    onAction("MNI_rpic", &Tmainform::TB_picClick);
    onAction("MNI_rcontpic", &Tmainform::MNI_contpicClick);
    onAction("MNI_rfdetail", &Tmainform::TB_detailClick);
    onAction("MNI_rloop", &Tmainform::MNI_rloopClick);
    onAction("MNI_ALL", &Tmainform::MNI_ALLClick);
    connect(PM_flashmenu, &QMenu::aboutToShow, this, &Tmainform::PM_flashmenuPopup);
    connect(PM_flashmenu->findChild<QMenu*>(QStringLiteral("MNI_list")), &QMenu::aboutToShow, this,
            &Tmainform::MNI_listClick);
    connect(PM_flashmenu->findChild<QMenu*>(QStringLiteral("MNI_rq")), &QMenu::aboutToShow, this,
            &Tmainform::MNI_rqClick);
    connect(PM_pmquality, &QMenu::aboutToShow, this, &Tmainform::PM_pmqualityPopup);
    connect(PM_zoom, &QMenu::aboutToShow, this, &Tmainform::PM_zoomPopup);
    connect(TB_quality, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PM_pmquality->popup(TB_quality->mapToGlobal(at)); });
    pnl_4->setMouseTracking(true);
    pnl_4->installEventFilter(this);
}

void Tmainform::PM_flashmenuPopup()
{
    const kivamo::PlayerState state = stateOf(m_services.commands->playerFlags());
    const kivamo::FlashMenuState menu =
        kivamo::flashMenuState(state, m_services.commands->flashControl(), m_services.operations->entryCount());
    const kivamo::TitleItem title = kivamo::titleItem(state);
    QAction* titleAction = menuAction(QStringLiteral("MNI_title"));
    titleAction->setText(kivamo::plainMenuText(title.caption));
    titleAction->setStatusTip(title.hint);
    titleAction->setToolTip(title.hint);
    QAction* play = menuAction(QStringLiteral("MNI_rplay"));
    play->setEnabled(menu.playEnabled);
    // Without a control the ticks keep what they showed last.
    if (menu.playEnabled && m_services.commands->flashControl()) {
        play->setChecked(menu.playChecked);
        menuAction(QStringLiteral("MNI_Pause"))->setChecked(menu.pauseChecked);
    }
    for (const char* name : kLoadedItems)
        menuAction(QString::fromLatin1(name))->setEnabled(menu.loadedItemsEnabled);
    for (const char* name : {"MNI_rpre", "MNI_rnext"})
        menuAction(QString::fromLatin1(name))->setEnabled(menu.entryStepsEnabled);
    for (const char* name : {"MNI_rzoomout", "MNI_rinisize", "MNI_rshowall"})
        menuAction(QString::fromLatin1(name))->setEnabled(menu.zoomInEnabled);
    menuAction(QStringLiteral("MNI_rzoomin"))->setEnabled(menu.zoomOutEnabled);
    menuAction(QStringLiteral("MNI_ALL"))->setChecked(state.fullScreen);
}

// The entries for direct choice, rebuilt each time the sub-menu opens, after its caption item and
// line. The current entry is ticked and does nothing; any other plays its entry.
void Tmainform::MNI_listClick()
{
    auto* menu = PM_flashmenu->findChild<QMenu*>(QStringLiteral("MNI_list"));
    const QList<QAction*> items = menu->actions();
    for (int i = 2; i < items.size(); ++i)
        delete items[i];
    menuAction(QStringLiteral("MNI_listcaption"))->setText(LAB_listtitle->text());
    if (!m_services.listContext)
        return;
    for (const kivamo::ListChoice& choice : kivamo::listChoices(m_services.listContext())) {
        auto* item = new QAction(kivamo::plainMenuText(choice.caption), menu);
        item->setObjectName(QStringLiteral("MNI_listItem"));
        item->setData(choice.index);
        item->setCheckable(choice.checked);
        item->setChecked(choice.checked);
        if (!choice.checked) {
            connect(item, &QAction::triggered, this, [this, index = choice.index] {
                m_services.operations->setCurrentIndex(index);
                m_services.operations->playCurrentEntry();
            });
        }
        menu->addAction(item);
    }
}

void Tmainform::MNI_rqClick()
{
    const kivamo::QualityMenuState menu =
        kivamo::qualityMenuState(stateOf(m_services.commands->playerFlags()), m_services.commands->flashControl());
    if (!menu.checked)
        return;
    for (const auto& item : kQualityItems)
        menuAction(QString::fromLatin1(item.name))->setChecked(item.quality == *menu.checked);
}

void Tmainform::PM_pmqualityPopup()
{
    const kivamo::QualityMenuState menu =
        kivamo::qualityMenuState(stateOf(m_services.commands->playerFlags()), m_services.commands->flashControl());
    for (const auto& item : kPopupQualityItems) {
        QAction* action = menuAction(QString::fromLatin1(item.name));
        action->setEnabled(menu.enabled);
        if (menu.checked)
            action->setChecked(item.quality == *menu.checked);
    }
}

void Tmainform::PM_zoomPopup()
{
    const bool enabled = kivamo::zoomMenuEnabled(stateOf(m_services.commands->playerFlags()));
    for (const char* name : {"MNI_INIsize", "MNI_showall"})
        menuAction(QString::fromLatin1(name))->setEnabled(enabled);
}

void Tmainform::MNI_rloopClick()
{
    QAction* loop = menuAction(QStringLiteral("MNI_rloop"));
    menuAction(QStringLiteral("MNI_mloop"))->setChecked(loop->isChecked());
    m_services.commands->setLoopPlay(loop->isChecked());
}

void Tmainform::MNI_ALLClick()
{
    const bool fullScreen = m_services.commands->playerFlags().fullScreen;
    m_services.commands->runCommand(fullScreen ? Command::LeaveFullScreen : Command::EnterFullScreen);
}

void Tmainform::openMovieMenu(const QPoint& globalPosition)
{
    PM_flashmenu->popup(globalPosition);
}

// The strip along the bottom brings the control bar over the bottom of the movie in full screen.
void Tmainform::pnl_4MouseMove()
{
    if (!kivamo::showsControlBarOverMovie(stateOf(m_services.commands->playerFlags())))
        return;
    if (!m_controlBarOverMovie) {
        m_controlBarOverMovie = true;
        layout()->removeWidget(pnl_buttom);
        pnl_buttom->setParent(pnl_main);
    }
    const int height = pnl_buttom->sizeHint().height();
    pnl_buttom->setGeometry(0, pnl_main->height() - height, pnl_main->width(), height);
    pnl_buttom->show();
    pnl_buttom->raise();
}

// Moving over the movie again hides the control bar and puts it back into its place at the bottom.
void Tmainform::hideControlBarOverMovie()
{
    if (!m_controlBarOverMovie)
        return;
    m_controlBarOverMovie = false;
    pnl_buttom->hide();
    pnl_buttom->setParent(this);
    static_cast<QBoxLayout*>(layout())->addWidget(pnl_buttom);
}
