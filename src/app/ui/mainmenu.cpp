// The main menu MainMenu (five menus shown as flat buttons in TT_menu), the window's pop-up menus,
// and the enabling and check marks brought up to date when a menu opens.
#include "app/ui/tmainform.h"

#include <QActionGroup>
#include <QBoxLayout>
#include <QToolButton>

#include <vector>

namespace {

enum class Kind { Entry, Check, Radio, Sub, End, Separator };

struct MenuRow {
    Kind kind;
    const char* name;
    const char* caption;
    const char* hint;
    const char* shortcut;
    bool ticked;
};

constexpr MenuRow sep{Kind::Separator, "", "", "", "", false};
constexpr MenuRow endSub{Kind::End, "", "", "", "", false};

const std::vector<MenuRow> kFileMenu = {
    {Kind::Entry, "I1", "添加文件(&I)", "添加文件", "", false},
    {Kind::Entry, "MNI_mInsertURL", "添加网络Flash", "添加网上URL", "", false},
    {Kind::Entry, "MNI_d2", "添加目录", "添加目录", "", false},
    {Kind::Sub, "MNI_his", "最近打开的文件", "最近打开的文件", "", false},
    {Kind::Entry, "MNI_delhis", "清除历史记录", "", "", false},
    {Kind::Separator, "MNI_N6", "", "", "", false},
    endSub, sep,
    {Kind::Entry, "N58", "新建列表(&N)", "新建播放列表", "", false},
    {Kind::Entry, "O1", "载入列表(&O)", "打开动画文件", "", false},
    {Kind::Entry, "S2", "保存列表(&S)", "保存播放列表", "", false},
    sep,
    {Kind::Entry, "MNI_print", "打印(&P)...", "打印当前图像", "", false},
    {Kind::Entry, "MNI_mnowdetail", "当前影片信息...", "当前影片信息", "", false},
    sep,
    {Kind::Entry, "X1", "退出(&X)", "退出", "", false},
};

const std::vector<MenuRow> kControlMenu = {
    {Kind::Entry, "MNI_mplay", "播放(&P)", "播放", "Ctrl+P", false},
    {Kind::Entry, "MNI_mpause", "暂停(&S)", "停止播放", "Ctrl+O", false},
    {Kind::Entry, "MNI_Mstop", "停止", "停止播放", "", false},
    {Kind::Entry, "MNI_mrewind", "重播(&R)", "重新开始", "Ctrl+R", false},
    {Kind::Entry, "MNI_mgoto", "跳到指定帧...", "跳到指定帧", "", false},
    {Kind::Entry, "MNI_mfback", "快退", "快退", "", false},
    {Kind::Entry, "MNI_mfnext", "快进", "快进", "", false},
    {Kind::Entry, "MNI_mprezhen", "前一帧", "显示前一帧", "", false},
    {Kind::Entry, "MNI_mnextzhen", "后一帧", "显示后一帧", "", false},
    sep,
    {Kind::Entry, "MNI_mpre", "上一个(&E)", "上一文件", "Ctrl+E", false},
    {Kind::Entry, "MNI_mnext", "下一个(&N)", "下一文件", "Ctrl+N", false},
    sep,
    {Kind::Check, "MNI_mloop", "循环播放", "循环播放切换", "", true},
};

const std::vector<MenuRow> kViewMenu = {
    {Kind::Check, "MNI_mListShow", "播放列表", "显示/隐藏播放列表", "", true},
    {Kind::Check, "MNI_mhvtoolbar", "标准工具", "显示/隐藏标准工具", "", true},
    {Kind::Sub, "MNI_PlayControl", "播放控制栏", "", "", false},
    {Kind::Radio, "MNI_wanzheng", "完整", "完整播放控制栏", "", true},
    {Kind::Radio, "MNI_jingjian", "精简", "精简播放控制栏", "", false},
    endSub,
    {Kind::Sub, "N39", "工具栏显示", "", "", false},
    {Kind::Radio, "MNI_viewtext2", "有文字", "工具栏有文字提示", "", true},
    {Kind::Radio, "MNI_hidetext2", "无文字", "工具栏无文字提示", "", false},
    endSub, sep,
    {Kind::Entry, "MNI_N10", "标准界面", "", "", false},
    {Kind::Entry, "MNI_mini", "精简界面", "", "", false},
    sep,
    {Kind::Entry, "MNI_mzoomout", "放大", "放大", "", false},
    {Kind::Entry, "MNI_mzoomin", "缩小", "缩小", "", false},
    {Kind::Entry, "MNI_minisize", "原始大小", "原始尺寸播放", "", false},
    {Kind::Entry, "MNI_mshowall", "显示全部", "拉伸屏幕播放", "", false},
    sep,
    {Kind::Sub, "MNI_mq", "播放质量", "播放质量选择", "", false},
    {Kind::Radio, "MNI_msl", "低", "", "", false},
    {Kind::Radio, "MNI_msh", "高", "", "", true},
    {Kind::Radio, "MNI_msq", "质量优先", "", "", false},
    {Kind::Radio, "MNI_mss", "速度优先", "", "", false},
    endSub,
    {Kind::Entry, "MNI_allscreen", "全屏播放", "全屏播放", "Ctrl+F", false},
    {Kind::Check, "MNI_MOnTop", "总在最前", "总在最前", "", false},
};

const std::vector<MenuRow> kToolsMenu = {
    {Kind::Sub, "N14", "SWF文件关联", "", "", false},
    {Kind::Entry, "MNI_setassign", "注册文件关联", "", "", false},
    {Kind::Entry, "MNI_unsetassign", "卸载文件关联", "", "", false},
    endSub, sep,
    {Kind::Entry, "MNI_mpic", "单张快照", "动画截图", "", false},
    {Kind::Entry, "MNI_mcontpic", "连续快照...", "连续截图", "", false},
    {Kind::Entry, "N9", "检查升级", "检查最新版本", "", false},
    sep,
    {Kind::Entry, "N11", "选项(&O)...", "选项设置", "", false},
};

const std::vector<MenuRow> kHelpMenu = {
    {Kind::Entry, "H2", "帮助主题(&T)", "打开帮助主题", "F1", false},
    {Kind::Entry, "A2", "关于(&A)...", "关于我们", "", false},
    sep,
    {Kind::Entry, "N23", "插件信息...", "Flash插件信息", "", false},
};

QString plainCaption(const QString& caption)
{
    QString text = caption;
    return text.remove(QLatin1Char('&'));
}

// Shortcut texts are shown after a tab and bind no key: the key hook is the one place keys act.
QAction* addEntry(QMenu* menu, const MenuRow& row, QActionGroup*& group)
{
    const QString caption = QString::fromUtf8(row.caption);
    const QString shortcut = QString::fromLatin1(row.shortcut);
    QAction* action = menu->addAction(shortcut.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcut);
    action->setObjectName(QString::fromLatin1(row.name));
    const QString hint = QString::fromUtf8(row.hint);
    action->setStatusTip(hint);
    action->setToolTip(hint.isEmpty() ? plainCaption(caption) : hint);
    action->setWhatsThis(hint);
    if (row.kind == Kind::Check || row.kind == Kind::Radio) {
        action->setCheckable(true);
        action->setChecked(row.ticked);
    }
    if (row.kind == Kind::Radio) {
        if (!group)
            group = new QActionGroup(menu);
        group->addAction(action);
    } else {
        group = nullptr;
    }
    return action;
}

void fillMenu(QMenu* top, const std::vector<MenuRow>& rows)
{
    QMenu* menu = top;
    QActionGroup* group = nullptr;
    for (const MenuRow& row : rows) {
        switch (row.kind) {
        case Kind::Separator:
            menu->addSeparator()->setObjectName(QString::fromLatin1(row.name));
            group = nullptr;
            break;
        case Kind::Sub: {
            QMenu* sub = menu->addMenu(QString::fromUtf8(row.caption));
            sub->setObjectName(QString::fromLatin1(row.name));
            sub->menuAction()->setObjectName(QString::fromLatin1(row.name));
            const QString hint = QString::fromUtf8(row.hint);
            sub->menuAction()->setStatusTip(hint);
            sub->menuAction()->setWhatsThis(hint);
            sub->setAccessibleName(plainCaption(QString::fromUtf8(row.caption)));
            menu = sub;
            group = nullptr;
            break;
        }
        case Kind::End:
            menu = top;
            group = nullptr;
            break;
        default:
            addEntry(menu, row, group);
        }
    }
}

}  // namespace

void Tmainform::buildMainMenu()
{
    auto* layout = static_cast<QHBoxLayout*>(TT_menu->layout());
    const struct { QMenu** menu; const char* name; const char* caption; const std::vector<MenuRow>* rows; } menus[] = {
        {&F1, "F1", "文件(&F)", &kFileMenu}, {&N1, "N1", "控制(&C)", &kControlMenu},
        {&V1, "V1", "查看(&V)", &kViewMenu}, {&T1, "T1", "工具(&T)", &kToolsMenu},
        {&H1, "H1", "帮助(&H)", &kHelpMenu},
    };
    QFont menuFont(QStringLiteral("Microsoft Sans Serif"));
    menuFont.setPixelSize(11);
    int index = 0;
    for (const auto& spec : menus) {
        const QString caption = QString::fromUtf8(spec.caption);
        *spec.menu = new QMenu(caption, this);
        (*spec.menu)->setObjectName(QString::fromLatin1(spec.name));
        (*spec.menu)->setAccessibleName(plainCaption(caption));
        fillMenu(*spec.menu, *spec.rows);
        auto* button = new QToolButton(TT_menu);
        button->setObjectName(QStringLiteral("TT_menu_") + QString::fromLatin1(spec.name));
        button->setText(caption);
        button->setAccessibleName(plainCaption(caption));
        button->setFont(menuFont);
        button->setAutoRaise(true);
        button->setFixedHeight(21);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMenu(*spec.menu);
        button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
        layout->insertWidget(index++, button);
    }
}

static QMenu* newPopup(QWidget* parent, const char* name)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

void Tmainform::buildPopupMenus()
{
    PM_ToolBar = newPopup(this, "PM_ToolBar");
    QActionGroup* group = nullptr;
    addEntry(PM_ToolBar, {Kind::Entry, "MNI_hideToolbar", "隐藏工具栏", "", "", false}, group);
    PM_ToolBar->addSeparator();
    addEntry(PM_ToolBar, {Kind::Radio, "MNI_viewtext", "有文字", "", "", true}, group);
    addEntry(PM_ToolBar, {Kind::Radio, "MNI_hidetext", "无文字", "", "", false}, group);
    PM_1 = newPopup(this, "PM_1");
    addEntry(PM_1, {Kind::Entry, "MNI_N38", "完整显示", "", "", false}, group);
    PM_2 = newPopup(this, "PM_2");
    addEntry(PM_2, {Kind::Entry, "MNI_1", "精简显示", "", "", false}, group);
    PM_TOOLBAR2 = newPopup(this, "PM_TOOLBAR2");
    B_toolbarmenu->setMenu(PM_TOOLBAR2);

    PM_zoom = newPopup(this, "PM_zoom");
    addEntry(PM_zoom, {Kind::Entry, "MNI_INIsize", "原始大小", "", "", false}, group);
    addEntry(PM_zoom, {Kind::Entry, "MNI_showall", "显示全部", "", "", false}, group);
    PM_pmquality = newPopup(this, "PM_pmquality");
    group = nullptr;
    addEntry(PM_pmquality, {Kind::Radio, "pmquality_l", "低", "", "", false}, group);
    addEntry(PM_pmquality, {Kind::Radio, "pmquality_h", "高", "", "", true}, group);
    addEntry(PM_pmquality, {Kind::Radio, "pmquality_s", "速度优先", "", "", false}, group);
    addEntry(PM_pmquality, {Kind::Radio, "pmquality_q", "质量优先", "", "", false}, group);
    PM_pic = newPopup(this, "PM_pic");
    addEntry(PM_pic, {Kind::Entry, "MNI_pic", "单张快照", "", "Ctrl+F1", false}, group);
    addEntry(PM_pic, {Kind::Entry, "MNI_contpic", "连续快照...", "", "", false}, group);
    TB_zoomin->setMenu(PM_zoom);
    TB_zoomin->setPopupMode(QToolButton::MenuButtonPopup);
    TB_quality->setMenu(PM_pmquality);
    TB_quality->setPopupMode(QToolButton::MenuButtonPopup);
    TB_quality->setContextMenuPolicy(Qt::CustomContextMenu);
    TB_pic->setMenu(PM_pic);
    TB_pic->setPopupMode(QToolButton::MenuButtonPopup);
}

QAction* Tmainform::menuAction(const QString& name) const
{
    for (QMenu* menu : findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->objectName() == name)
                return action;
        }
    }
    return nullptr;
}

void Tmainform::F1Click()
{
    const bool loaded = m_services.commands->playerFlags().movieLoaded;
    menuAction(QStringLiteral("MNI_mnowdetail"))->setEnabled(loaded);
    menuAction(QStringLiteral("MNI_print"))->setEnabled(loaded);
    fillHistoryMenu();
}

void Tmainform::N1Click()
{
    const bool loaded = m_services.commands->playerFlags().movieLoaded;
    for (QAction* action : N1->actions()) {
        if (!action->isSeparator())
            action->setEnabled(loaded);
    }
    // The movie menu's loop entry arrives with the player; until then the main entry keeps its own tick.
    if (QAction* rloop = menuAction(QStringLiteral("MNI_rloop")))
        menuAction(QStringLiteral("MNI_mloop"))->setChecked(rloop->isChecked());
}

void Tmainform::V1Click()
{
    const kivamo::PlayerFlags flags = m_services.commands->playerFlags();
    const bool scalable = flags.movieLoaded && flags.scalingAllowed;
    for (const char* name : {"MNI_mzoomout", "MNI_minisize", "MNI_mshowall"})
        menuAction(QString::fromLatin1(name))->setEnabled(scalable);
    menuAction(QStringLiteral("MNI_mzoomin"))->setEnabled(scalable && flags.zoomed);
    menuAction(QStringLiteral("MNI_mq"))->setEnabled(flags.movieLoaded);
    menuAction(QStringLiteral("MNI_allscreen"))->setEnabled(flags.movieLoaded);
    menuAction(QStringLiteral("MNI_mListShow"))->setChecked(pnl_list->isVisibleTo(this));
    menuAction(QStringLiteral("MNI_mhvtoolbar"))->setChecked(pnl_TOOLBAR->isVisibleTo(this));
    menuAction(QStringLiteral("MNI_wanzheng"))->setChecked(TT_PlayControl->isVisibleTo(this));
    menuAction(QStringLiteral("MNI_jingjian"))->setChecked(pnl_splaycontrol->isVisibleTo(this));
}

void Tmainform::T1Click()
{
    const bool loaded = m_services.commands->playerFlags().movieLoaded;
    menuAction(QStringLiteral("MNI_mpic"))->setEnabled(loaded);
    menuAction(QStringLiteral("MNI_mcontpic"))->setEnabled(loaded);
}

void Tmainform::MNI_mloopClick()
{
    QAction* loop = menuAction(QStringLiteral("MNI_mloop"));
    if (QAction* rloop = menuAction(QStringLiteral("MNI_rloop")))
        rloop->setChecked(loop->isChecked());
    m_services.commands->setLoopPlay(loop->isChecked());
}
