// Builds the regions and controls of Tmainform with their names, sizes, colours and fonts.
#include "app/ui/tmainform.h"

#include "app/ui/artwork.h"
#include "app/ui/picturebutton.h"
#include "app/layoutrules.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QStandardItemModel>

namespace {

const QColor kWorkArea(0xCF, 0xCF, 0xCF);
const QColor kBars(0xED, 0xEA, 0xE2);
const QColor kListBlue(0x7C, 0x92, 0xC9);
const QColor kStatusStrip(0x14, 0x53, 0xA7);

void paintBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Names a control and gives it what screen readers read: a name, and its hint as description.
template <typename W>
W* named(W* widget, const char* name, const QString& accessibleName, const QString& hint = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName.isEmpty() ? hint : accessibleName);
    if (!hint.isEmpty()) {
        widget->setAccessibleDescription(hint);
        widget->setStatusTip(hint);
    }
    return widget;
}

QWidget* panel(QWidget* parent, const char* name, const QString& role, const QColor& colour)
{
    auto* widget = named(new QWidget(parent), name, role);
    paintBackground(widget, colour);
    return widget;
}

QVBoxLayout* column(QWidget* widget)
{
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QHBoxLayout* row(QWidget* widget)
{
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QLabel* statusLabel(QWidget* parent, const char* name, const QString& text)
{
    // The label's name stays empty so that screen readers read its text as it changes.
    auto* label = named(new QLabel(text, parent), name, text);
    label->setAccessibleName(QString());
    paintBackground(label, kListBlue);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QFrame* groupSeparator(QWidget* parent, const char* name)
{
    auto* bevel = named(new QFrame(parent), name, QStringLiteral("分隔线"));
    bevel->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    bevel->setFixedWidth(2);
    return bevel;
}

}  // namespace

void Tmainform::buildRegions()
{
    setObjectName(QStringLiteral("Tmainform"));
    setAccessibleName(QStringLiteral("Kivamo flash播放器"));
    setMinimumSize(500, 400);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);
    auto* window = column(this);

    pnl_1 = panel(this, "pnl_1", QStringLiteral("工作区"), kWorkArea);
    auto* work = column(pnl_1);
    TT_menu = panel(pnl_1, "TT_menu", QStringLiteral("主菜单"), kBars);
    TT_menu->setFixedHeight(23);
    row(TT_menu)->addStretch();
    work->addWidget(TT_menu);
    buildToolbar();
    work->addWidget(pnl_TOOLBAR);

    auto* body = new QWidget(pnl_1);
    body->setObjectName(QStringLiteral("pnl_body"));
    body->setAccessibleName(QStringLiteral("播放列表与影片"));
    auto* bodyRow = row(body);
    buildListPanel();
    bodyRow->addWidget(pnl_list);
    spl_splitter1 = panel(body, "spl_splitter1", QStringLiteral("列表分隔条"), kBars);
    spl_splitter1->setFixedWidth(8);
    spl_splitter1->setCursor(Qt::SplitHCursor);
    bodyRow->addWidget(spl_splitter1);
    buildMovieArea();
    bodyRow->addWidget(pnl_main, 1);
    work->addWidget(body, 1);

    SB_LButton = named(new QToolButton(pnl_1), "SB_LButton", QStringLiteral("显示/隐藏播放列表"),
                       QStringLiteral("显示/隐藏播放列表"));
    SB_LButton->setFixedSize(8, 33);
    QFont bold = SB_LButton->font();
    bold.setBold(true);
    SB_LButton->setFont(bold);
    SB_LButton->setText(QStringLiteral("<"));
    SB_LButton->setAutoRaise(true);

    window->addWidget(pnl_1, 1);
    pnl_4 = panel(this, "pnl_4", QStringLiteral("底部细条"), kBars);
    pnl_4->setFixedHeight(1);
    window->addWidget(pnl_4);
    pnl_buttom = panel(this, "pnl_buttom", QStringLiteral("底部面板"), kBars);
    auto* bottom = column(pnl_buttom);
    buildStatusBar();
    bottom->addWidget(pnl_statebar);
    buildPlayControl();
    bottom->addWidget(TT_PlayControl);
    buildCompactControl();
    bottom->addWidget(pnl_splaycontrol);
    window->addWidget(pnl_buttom);
    buildPopupMenus();
    buildMainMenu();
    buildFlashMenu();
    SB_LButton->raise();
}

QToolButton* Tmainform::toolbarButton(const char* name, const QString& caption, const QString& hint, int picture)
{
    auto* button = named(new QToolButton(ToolBar), name, caption, hint);
    button->setText(caption);
    button->setIcon(kivamo::toolbarPicture(picture));
    button->setIconSize(QSize(40, 40));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(kivamo::kToolbarButtonWidth, 59);
    m_toolbarButtons.push_back(button);
    m_toolbarControls.push_back(button);
    return button;
}

void Tmainform::buildToolbar()
{
    pnl_TOOLBAR = panel(pnl_1, "pnl_TOOLBAR", QStringLiteral("标准工具"), kBars);
    pnl_TOOLBAR->setFixedHeight(64);
    ToolBar = panel(pnl_TOOLBAR, "ToolBar", QStringLiteral("工具栏"), kBars);
    ToolBar->setContextMenuPolicy(Qt::CustomContextMenu);
    TB_viewlist = toolbarButton("TB_viewlist", QStringLiteral("显示"), QStringLiteral("显示/隐藏播放列表"), 0);
    TB_viewlist->setCheckable(true);
    m_toolbarControls.push_back(bvl_1 = groupSeparator(ToolBar, "bvl_1"));
    TB_zoomout = toolbarButton("TB_zoomout", QStringLiteral("放大"), QStringLiteral("放大影片"), 2);
    TB_zoomin = toolbarButton("TB_zoomin", QStringLiteral("缩小"), QStringLiteral("缩小影片"), 3);
    TB_quality = toolbarButton("TB_quality", QStringLiteral("画质"), QStringLiteral("调整画质"), 13);
    TB_allscreen = toolbarButton("TB_allscreen", QStringLiteral("全屏"), QStringLiteral("全屏播放"), 4);
    TB_bgcolor = toolbarButton("TB_bgcolor", QStringLiteral("背景"), QStringLiteral("设置背景"), 5);
    TB_detail = toolbarButton("TB_detail", QStringLiteral("信息"), QStringLiteral("显示文件信息"), 1);
    m_toolbarControls.push_back(bvl_2 = groupSeparator(ToolBar, "bvl_2"));
    TB_pic = toolbarButton("TB_pic", QStringLiteral("快照"), QStringLiteral("动画截图(ctrl + F1/F2)"), 6);
    TB_print = toolbarButton("TB_print", QStringLiteral("打印"), QStringLiteral("打印"), 7);
    TB_option1 = toolbarButton("TB_option1", QStringLiteral("选项..."), QStringLiteral("选项设置"), 8);
    m_toolbarControls.push_back(bvl_3 = groupSeparator(ToolBar, "bvl_3"));
    TB_update = toolbarButton("TB_update", QStringLiteral("升级"), QStringLiteral("升级"), 10);
    TB_showocx = toolbarButton("TB_showocx", QStringLiteral("插件"), QStringLiteral("插件信息"), 9);
    TB_help = toolbarButton("TB_help", QStringLiteral("帮助"), QStringLiteral("帮助"), 11);
    // Only the first five buttons show their hints as tooltips; every hint reaches the status line.
    for (QToolButton* button : {TB_viewlist, TB_zoomout, TB_zoomin, TB_quality, TB_allscreen})
        button->setToolTip(button->statusTip());
    int left = 0;
    for (QWidget* control : m_toolbarControls) {
        const bool separator = qobject_cast<QFrame*>(control) != nullptr;
        control->setGeometry(left + (separator ? 2 : 0), 2, control->width(), 59);
        left += control->width() + (separator ? 6 : 0);
    }
    B_toolbarmenu = named(new QToolButton(pnl_TOOLBAR), "B_toolbarmenu", QStringLiteral("更多工具"),
                          QStringLiteral("更多工具"));
    B_toolbarmenu->setText(QStringLiteral(">>"));
    B_toolbarmenu->setFixedWidth(16);
    B_toolbarmenu->setAutoRaise(true);
    B_toolbarmenu->setPopupMode(QToolButton::InstantPopup);
    B_toolbarmenu->hide();
}

void Tmainform::buildListPanel()
{
    pnl_list = panel(pnl_1, "pnl_list", QStringLiteral("播放列表面板"), kListBlue);
    pnl_list->setFixedWidth(202);
    auto* layout = column(pnl_list);
    LAB_listtitle = named(new QLabel(QStringLiteral("播放列表：新建"), pnl_list), "LAB_listtitle",
                          QStringLiteral("播放列表：新建"));
    LAB_listtitle->setAccessibleName(QString());
    LAB_listtitle->setFixedHeight(18);
    QPalette titlePalette = LAB_listtitle->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    LAB_listtitle->setPalette(titlePalette);
    layout->addWidget(LAB_listtitle);
    auto* line = panel(pnl_list, "pnl_listline", QStringLiteral("分隔线"), Qt::white);
    line->setFixedHeight(1);
    layout->addWidget(line);
    pnl_listview = panel(pnl_list, "pnl_listview", QStringLiteral("播放列表"), kListBlue);
    auto* viewLayout = column(pnl_listview);
    lv_listview1 = named(new QTableView(pnl_listview), "lv_listview1", QStringLiteral("播放列表"));
    lv_listview1->setMinimumWidth(160);
    lv_listview1->setModel(new QStandardItemModel(0, 1, lv_listview1));
    lv_listview1->horizontalHeader()->hide();
    lv_listview1->verticalHeader()->hide();
    paintBackground(lv_listview1, kListBlue);
    viewLayout->addWidget(lv_listview1);
    layout->addWidget(pnl_listview, 1);
    TT_LToolbar1 = panel(pnl_list, "TT_LToolbar1", QStringLiteral("列表工具"), kListBlue);
    TT_LToolbar1->setFixedHeight(26);
    auto* tools = row(TT_LToolbar1);
    tools->setContentsMargins(2, 1, 2, 1);
    tools->setSpacing(2);
    const struct { const char* name; const char* menu; QString hint; const char* picture; } listButtons[] = {
        {"B_LBListFile", "PM_ListFile", QStringLiteral("文件"), "control-06-addfile"},
        {"B_ListEdit", "PM_ListEdit", QStringLiteral("操作"), "toolbar-08-options"},
        {"B_list", "PM_List", QStringLiteral("列表"), "toolbar-00-list"},
        {"B_cuslist", "PM_cuslist", QStringLiteral("自定义列表"), "toolbar-01-details"},
    };
    for (const auto& spec : listButtons) {
        auto* button = named(new QToolButton(TT_LToolbar1), spec.name, spec.hint, spec.hint);
        button->setToolTip(spec.hint);
        button->setFixedSize(24, 24);
        button->setIconSize(QSize(18, 18));
        button->setIcon(kivamo::namedPicture(QString::fromLatin1(spec.picture)));
        button->setAutoRaise(true);
        button->setPopupMode(QToolButton::InstantPopup);
        auto* menu = new QMenu(button);
        menu->setObjectName(QString::fromLatin1(spec.menu));
        button->setMenu(menu);
        tools->addWidget(button);
    }
    tools->addStretch();
    layout->addWidget(TT_LToolbar1);
}

void Tmainform::buildMovieArea()
{
    pnl_main = panel(pnl_1, "pnl_main", QStringLiteral("影片区"), Qt::white);
    pnl_main->setMinimumSize(10, 10);
    auto* mainLayout = column(pnl_main);
    pnl_flash = panel(pnl_main, "pnl_flash", QStringLiteral("Kivamo flash播放器"), Qt::white);
    pnl_flash->setMouseTracking(true);
    mainLayout->addWidget(pnl_flash);
    auto* flashLayout = column(pnl_flash);
    flashLayout->addStretch();
    IMG1 = named(new QLabel(pnl_flash), "IMG1", QStringLiteral("Kivamo 标志"));
    IMG1->setPixmap(kivamo::namedPicture(QStringLiteral("logo")).pixmap(QSize(160, 160), devicePixelRatioF()));
    IMG1->setAlignment(Qt::AlignCenter);
    IMG1->setMouseTracking(true);
    flashLayout->addWidget(IMG1);
    auto* caption = named(new QLabel(QStringLiteral("Kivamo flash播放器"), pnl_flash), "pnl_flashCaption",
                          QStringLiteral("Kivamo flash播放器"));
    QFont captionFont(QStringLiteral("楷体_GB2312"));
    captionFont.setPixelSize(28);
    caption->setFont(captionFont);
    QPalette captionPalette = caption->palette();
    captionPalette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    caption->setPalette(captionPalette);
    caption->setAlignment(Qt::AlignCenter);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    flashLayout->addWidget(caption);
    flashLayout->addStretch();
}

void Tmainform::buildStatusBar()
{
    pnl_statebar = panel(pnl_buttom, "pnl_statebar", QStringLiteral("状态栏"), kStatusStrip);
    pnl_statebar->setFixedHeight(19);
    auto* layout = row(pnl_statebar);
    LAB_hint = statusLabel(pnl_statebar, "LAB_hint", QStringLiteral("就绪"));
    layout->addWidget(LAB_hint, 1);
    LAB_state = statusLabel(pnl_statebar, "LAB_state", QStringLiteral("当前列表：新建"));
    LAB_state->setFixedWidth(190);
    LAB_state->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(LAB_state);
    LAB_play = statusLabel(pnl_statebar, "LAB_play", QStringLiteral("　　未载入"));
    LAB_play->setFixedWidth(144);
    layout->addWidget(LAB_play);
    LAB_s = named(new kivamo::StateSymbolLabel(pnl_statebar), "LAB_s", QStringLiteral("未载入"));
    LAB_s->setFixedSize(16, 16);
    paintBackground(LAB_s, kListBlue);
    LAB_s->raise();
}

kivamo::PictureButton* Tmainform::controlButton(const char* name, const QString& hint, int glyph, QRect geometry)
{
    QWidget* parent = geometry.width() == 58 ? pnl_Panel : pnl_CtrlPanel;
    auto* button = named(new kivamo::PictureButton(kivamo::compactPicture(glyph), parent), name, hint, hint);
    button->setToolTip(hint);
    button->setGeometry(geometry);
    return button;
}

void Tmainform::buildPlayControl()
{
    TT_PlayControl = panel(pnl_buttom, "TT_PlayControl", QStringLiteral("完整播放控制栏"), kBars);
    TT_PlayControl->setFixedHeight(76);
    pnl_Panel = panel(TT_PlayControl, "pnl_Panel", QStringLiteral("播放按钮"), kBars);
    pnl_Panel->setGeometry(4, 0, 58, 71);
    B_bplay = controlButton("B_bplay", QStringLiteral("播放影片"), 0, QRect(0, 6, 58, 58));
    B_Bpause = controlButton("B_Bpause", QStringLiteral("暂停播放"), 11, QRect(0, 6, 58, 58));
    B_Bpause->hide();
    pnl_CtrlPanel = panel(TT_PlayControl, "pnl_CtrlPanel", QStringLiteral("播放控制"), kBars);
    pnl_CtrlPanel->setToolTip(QStringLiteral("双击跳到指定帧"));
    pnl_CtrlPanel->setStatusTip(QStringLiteral("双击跳到指定帧"));
    pnl_CtrlPanel->setAccessibleDescription(QStringLiteral("双击跳到指定帧"));
    pnl_CtrlPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    pnl_CtrlPanel->setGeometry(66, 0, 600, 71);
    SL_MainTrackBar = named(new QSlider(Qt::Horizontal, pnl_CtrlPanel), "SL_MainTrackBar",
                            QStringLiteral("播放位置"));
    SL_MainTrackBar->setRange(0, 1000);
    SL_MainTrackBar->setEnabled(false);
    B_Bstop = controlButton("B_Bstop", QStringLiteral("停止"), 1, QRect(0, 18, 46, 46));
    B_Bprev = controlButton("B_Bprev", QStringLiteral("上一个"), 2, QRect(40, 30, 34, 34));
    B_Bfprev = controlButton("B_Bfprev", QStringLiteral("快退(ctrl + ←)"), 3, QRect(72, 30, 29, 34));
    B_BprevZ = controlButton("B_BprevZ", QStringLiteral("上一帧"), 4, QRect(100, 30, 29, 34));
    B_Brewind = controlButton("B_Brewind", QStringLiteral("重播"), 5, QRect(128, 30, 29, 34));
    B_Baddfile = controlButton("B_Baddfile", QStringLiteral("添加文件"), 6, QRect(156, 30, 29, 34));
    B_BnextZ = controlButton("B_BnextZ", QStringLiteral("下一帧"), 8, QRect(185, 30, 30, 34));
    B_Bfnext = controlButton("B_Bfnext", QStringLiteral("快进(ctrl + →)"), 9, QRect(215, 30, 29, 34));
    B_Bnext = controlButton("B_Bnext", QStringLiteral("下一个"), 10, QRect(244, 30, 29, 34));
    pnl_button = named(new QFrame(pnl_CtrlPanel), "pnl_button", QStringLiteral("界面切换"));
    pnl_button->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnl_button->setGeometry(616, 40, 54, 25);
    SB_min = named(new QToolButton(pnl_button), "SB_min", QStringLiteral("精"), QStringLiteral("切换到精简界面"));
    SB_min->setText(QStringLiteral("精"));
    SB_min->setToolTip(SB_min->statusTip());
    SB_min->setGeometry(4, 2, 21, 20);
    btn_CBOnTop = named(new QToolButton(pnl_button), "btn_CBOnTop", QStringLiteral("总在最前"),
                        QStringLiteral("总在最前"));
    btn_CBOnTop->setIcon(kivamo::namedPicture(QStringLiteral("control-ontop")));
    btn_CBOnTop->setToolTip(btn_CBOnTop->statusTip());
    btn_CBOnTop->setCheckable(true);
    btn_CBOnTop->setGeometry(28, 2, 21, 20);
    TT_PlayControlResize();
}

QToolButton* Tmainform::compactButton(const char* name, const QString& hint, int picture)
{
    auto* button = named(new QToolButton(TT_1), name, hint, hint);
    button->setToolTip(hint);
    button->setIcon(kivamo::compactPicture(picture));
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    button->setFixedSize(25, 24);
    button->move(int(TT_1->children().size() - 1) * 25, 0);
    return button;
}

void Tmainform::buildCompactControl()
{
    pnl_splaycontrol = panel(pnl_buttom, "pnl_splaycontrol", QStringLiteral("精简播放控制栏"), kBars);
    pnl_splaycontrol->setFixedHeight(22);
    pnl_splaycontrol->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = row(pnl_splaycontrol);
    TT_1 = panel(pnl_splaycontrol, "TT_1", QStringLiteral("精简控制按钮"), kBars);
    TT_1->setFixedSize(275, 22);
    TB_play = compactButton("TB_play", QStringLiteral("播放影片"), 0);
    TB_2 = compactButton("TB_2", QStringLiteral("停止"), 1);
    TB_3 = compactButton("TB_3", QStringLiteral("上一个"), 2);
    TB_4 = compactButton("TB_4", QStringLiteral("快退"), 3);
    TB_5 = compactButton("TB_5", QStringLiteral("上一帧"), 4);
    TB_6 = compactButton("TB_6", QStringLiteral("重播"), 5);
    TB_7 = compactButton("TB_7", QStringLiteral("添加文件"), 6);
    TB_8 = compactButton("TB_8", QStringLiteral("跳到指定帧"), 7);
    TB_9 = compactButton("TB_9", QStringLiteral("下一帧"), 8);
    TB_10 = compactButton("TB_10", QStringLiteral("快进"), 9);
    TB_11 = compactButton("TB_11", QStringLiteral("下一个"), 10);
    layout->addWidget(TT_1);
    SL_MainTrackBar2 = named(new QSlider(Qt::Horizontal, pnl_splaycontrol), "SL_MainTrackBar2",
                             QStringLiteral("播放位置"));
    SL_MainTrackBar2->setRange(0, 1000);
    SL_MainTrackBar2->setEnabled(false);
    layout->addWidget(SL_MainTrackBar2, 1);
    pnl_3 = panel(pnl_splaycontrol, "pnl_3", QStringLiteral("界面切换"), kBars);
    pnl_3->setFixedSize(50, 22);
    SB_mmin = named(new QToolButton(pnl_3), "SB_mmin", QStringLiteral("精"), QStringLiteral("切换到精简界面"));
    SB_mmin->setText(QStringLiteral("精"));
    SB_mmin->setToolTip(SB_mmin->statusTip());
    SB_mmin->setGeometry(4, 2, 18, 18);
    btn_CBOnTop2 = named(new QToolButton(pnl_3), "btn_CBOnTop2", QStringLiteral("总在最前"),
                         QStringLiteral("总在最前"));
    btn_CBOnTop2->setText(QStringLiteral("▲"));
    btn_CBOnTop2->setToolTip(btn_CBOnTop2->statusTip());
    btn_CBOnTop2->setCheckable(true);
    btn_CBOnTop2->setGeometry(25, 2, 18, 18);
    layout->addWidget(pnl_3);
    pnl_splaycontrol->hide();
}
