#include "dialogs/ui/tfoption.h"

#include "core/associations.h"
#include "platform/directories.h"
#include "platform/inifile.h"
#include "platform/prompts.h"
#include "playlist/history.h"
#include "core/settings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QStackedWidget>
#include <QTreeWidget>

using namespace kivamo;

namespace {

// The page number a tree node carries: 0 for the root, page index + 1 for the others.
constexpr int kPageRole = Qt::UserRole;

template <typename Widget>
Widget* named(Widget* widget, const char* name, const QString& accessibleName, const QRect& geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    widget->setGeometry(geometry);
    return widget;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, int left, int top, int width = 340)
{
    return named(new QCheckBox(caption, parent), name, caption, QRect(left, top, width, 17));
}

QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, int left, int top, int width = 120)
{
    return named(new QRadioButton(caption, parent), name, caption, QRect(left, top, width, 17));
}

QGroupBox* group(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    return named(new QGroupBox(caption, parent), name, caption, geometry);
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top, int width = 160)
{
    return named(new QLabel(caption, parent), name, caption, QRect(left, top, width, 17));
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    return named(new QPushButton(caption, parent), name, caption, geometry);
}

void setHint(QWidget* widget, const QString& tip)
{
    widget->setToolTip(tip);
    widget->setAccessibleDescription(tip);
}

void showBox(QAbstractButton* widget, const OptionBox& box)
{
    // A radio button may show unselected beside an unselected partner; Qt's exclusive groups
    // refuse that, so exclusivity is lifted while the state is set.
    const bool exclusive = widget->autoExclusive();
    widget->setAutoExclusive(false);
    widget->setChecked(box.checked);
    widget->setAutoExclusive(exclusive);
    widget->setEnabled(box.enabled);
}

// Only the tick comes from the widget: enabling is the logic's, and a disabled ancestor would misreport it.
void readBox(const QAbstractButton* widget, OptionBox& box)
{
    box.checked = widget->isChecked();
}

}  // namespace

Tfoption::Tfoption(OptionsServices services, bool onTop, OpticalProbe isOptical, QWidget* parent)
    : QDialog(parent), m_services(std::move(services)), m_onTop(onTop),
      m_isOptical(isOptical ? std::move(isOptical) : OpticalProbe(isOpticalOrReadOnly))
{
    setObjectName(QStringLiteral("Tfoption"));
    setWindowTitle(QStringLiteral("选项设置"));
    setAccessibleName(QStringLiteral("选项设置"));
    setFixedSize(558, 379);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);

    buildTree();
    pgc_1 = new QStackedWidget(this);
    pgc_1->setObjectName(QStringLiteral("pgc_1"));
    pgc_1->setGeometry(160, 8, 390, 326);
    buildGeneralPage();
    buildPlayPage();
    buildSnapshotPage();
    buildFscommandPage();
    ts_5 = new QWidget;  // designed empty and never shown
    ts_5->setObjectName(QStringLiteral("ts_5"));
    pgc_1->addWidget(ts_5);

    Button2 = button(this, "Button2", QStringLiteral("确定"), QRect(390, 346, 75, 25));
    Button2->setDefault(true);
    Button3 = button(this, "Button3", QStringLiteral("取消"), QRect(475, 346, 75, 25));
    connectHandlers();
    FormCreate();
}

void Tfoption::buildTree()
{
    TV_1 = named(new QTreeWidget(this), "TV_1", QStringLiteral("选项设置"), QRect(8, 8, 145, 361));
    TV_1->setHeaderHidden(true);
    TV_1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TV_1->setSelectionBehavior(QAbstractItemView::SelectRows);
    TV_1->setMouseTracking(true);  // hot tracking
    auto* root = new QTreeWidgetItem(TV_1, QStringList{QStringLiteral("选项设置")});
    root->setData(0, kPageRole, 0);
    const QString pages[] = {QStringLiteral("常规设置"), QStringLiteral("播放设置"), QStringLiteral("截图设置"),
                             QStringLiteral("FSCOMMAND")};
    for (int page = 0; page < 4; ++page)
        (new QTreeWidgetItem(root, QStringList{pages[page]}))->setData(0, kPageRole, page + 1);
}

void Tfoption::buildGeneralPage()
{
    ts_1 = new QWidget;
    ts_1->setObjectName(QStringLiteral("ts_1"));
    pgc_1->addWidget(ts_1);
    GroupBox1 = group(ts_1, "GroupBox1", QStringLiteral("常规设置"), QRect(0, 0, 390, 326));
    chk_getnew = check(GroupBox1, "chk_getnew", QStringLiteral("启动时检查最新版本"), 16, 24);
    chk_newswversion = check(GroupBox1, "chk_newswversion", QStringLiteral("检查软件版本"), 40, 48);
    chk_newflversion = check(GroupBox1, "chk_newflversion", QStringLiteral("检查插件版本"), 40, 72);
    chk_history = check(GroupBox1, "chk_history", QStringLiteral("保存播放历史记录(最近5次)"), 16, 104, 220);
    Button1 = button(GroupBox1, "Button1", QStringLiteral("清除历史记录"), QRect(260, 100, 100, 25));
    chk_command = check(GroupBox1, "chk_command", QStringLiteral("保持与SWF文件关联"), 16, 136);
    chk_pupflashmenu = check(GroupBox1, "chk_pupflashmenu", QStringLiteral("使用FLASH自己的右键菜单"), 16, 164);
    chk_banquan = check(GroupBox1, "chk_banquan", QStringLiteral("添加文件时读取版权信息"), 16, 192);
}

void Tfoption::buildPlayPage()
{
    ts_2 = new QWidget;
    ts_2->setObjectName(QStringLiteral("ts_2"));
    pgc_1->addWidget(ts_2);
    GroupBox2 = group(ts_2, "GroupBox2", QStringLiteral("播放设置"), QRect(0, 0, 390, 326));
    chk_autoplay = check(GroupBox2, "chk_autoplay", QStringLiteral("打开播放器自动播放"), 16, 22, 150);
    rb_listtop = radio(GroupBox2, "rb_listtop", QStringLiteral("列表头部"), 176, 22, 90);
    rb_latest = radio(GroupBox2, "rb_latest", QStringLiteral("上次位置"), 270, 22, 90);
    chk_pingbao = check(GroupBox2, "chk_pingbao", QStringLiteral("播放影片时禁止屏保"), 16, 46);
    chk_ontop = check(GroupBox2, "chk_ontop", QStringLiteral("播放影片时总在最前"), 16, 70);
    LAB_1 = label(GroupBox2, "LAB_1", QStringLiteral("快进/快退帧数（10－100）："), 16, 98, 170);
    TRB_Step = named(new QSlider(Qt::Horizontal, GroupBox2), "TRB_Step", QStringLiteral("快进/快退帧数（10－100）："),
                     QRect(186, 94, 130, 24));
    TRB_Step->setRange(kMinimumStep, kMaximumStep);
    TRB_Step->setSingleStep(1);
    TRB_Step->setTickPosition(QSlider::NoTicks);
    TRB_Step->setValue(20);
    LAB_2 = label(GroupBox2, "LAB_2", QStringLiteral("20 帧"), 322, 98, 60);
    chk_autocontinue = check(GroupBox2, "chk_autocontinue", QStringLiteral("自动播放（游戏时慎用）"), 16, 126);
    chk_dclick = check(GroupBox2, "chk_dclick", QStringLiteral("双击影片时全屏播放（游戏时慎用）"), 16, 150);
    GroupBox3 = group(GroupBox2, "GroupBox3", QStringLiteral("影片开始大小"), QRect(16, 178, 358, 52));
    rb_showall = radio(GroupBox3, "rb_showall", QStringLiteral("显示全部"), 16, 24);
    rb_noscale = radio(GroupBox3, "rb_noscale", QStringLiteral("原始大小"), 176, 24);
    GroupBox4 = group(GroupBox2, "GroupBox4", QStringLiteral("双击影片文件或列表时： "), QRect(16, 240, 358, 52));
    rb_newlist = radio(GroupBox4, "rb_newlist", QStringLiteral("新建列表"), 16, 24);
    rb_behind = radio(GroupBox4, "rb_behind", QStringLiteral("追加到当前列表"), 176, 24, 140);
}

void Tfoption::buildSnapshotPage()
{
    ts_3 = new QWidget;
    ts_3->setObjectName(QStringLiteral("ts_3"));
    pgc_1->addWidget(ts_3);
    GroupBox5 = group(ts_3, "GroupBox5", QStringLiteral("保存路径"), QRect(0, 0, 390, 160));
    rb_custom = radio(GroupBox5, "rb_custom", QStringLiteral("自定义保存"), 16, 24);
    rb_def = radio(GroupBox5, "rb_def", QStringLiteral("默认保存："), 16, 52);
    edt_path = named(new QLineEdit(GroupBox5), "edt_path", QStringLiteral("默认保存："), QRect(32, 76, 260, 22));
    B_browse = button(GroupBox5, "B_browse", QStringLiteral("浏览"), QRect(300, 75, 75, 25));
    LAB_state = label(GroupBox5, "LAB_state", QStringLiteral("路径状态："), 32, 112, 70);
    LAB_PathState = label(GroupBox5, "LAB_PathState", QString(), 104, 112, 200);
    GroupBox6 = group(ts_3, "GroupBox6", QStringLiteral("图像格式"), QRect(0, 170, 390, 110));
    rb_bmp = radio(GroupBox6, "rb_bmp", QStringLiteral("BMP(24bit)"), 16, 24);
    setHint(rb_bmp, QStringLiteral("画质最好，但文件巨大"));
    rb_gif = radio(GroupBox6, "rb_gif", QStringLiteral("GIF(8bit)"), 16, 50);
    setHint(rb_gif, QStringLiteral("256色显示，画质最差"));
    rb_jpg = radio(GroupBox6, "rb_jpg", QStringLiteral("JPG(80%)"), 16, 76);
    setHint(rb_jpg, QStringLiteral("80％压缩率"));
}

void Tfoption::buildFscommandPage()
{
    ts_4 = new QWidget;
    ts_4->setObjectName(QStringLiteral("ts_4"));
    pgc_1->addWidget(ts_4);
    GroupBox7 = group(ts_4, "GroupBox7", QStringLiteral("FSCOMMAND设置"), QRect(0, 0, 390, 110));
    chk_fscommand = check(GroupBox7, "chk_fscommand",
                          QStringLiteral("相应FLASH影片的FSCOMMAND命令（例如自动全屏播放）"), 16, 28, 366);
    chk_exec = check(GroupBox7, "chk_exec", QStringLiteral("执行EXEC命令（该命令运行FLASH调用外部程序，慎用）"), 16, 60, 366);
}

void Tfoption::connectHandlers()
{
    // clicked is emitted for the user's clicks only; ticks set by the dialog itself go through the logic.
    connect(TV_1, &QTreeWidget::itemClicked, this, [this] { TV_1Click(); });
    for (QCheckBox* box : {chk_getnew, chk_history, chk_command})
        connect(box, &QCheckBox::clicked, this, &Tfoption::chk_getnewClick);
    for (QCheckBox* box : {chk_newswversion, chk_newflversion})
        connect(box, &QCheckBox::clicked, this, &Tfoption::chk_newswversionClick);
    connect(chk_autoplay, &QCheckBox::clicked, this, &Tfoption::chk_autoplayClick);
    connect(chk_fscommand, &QCheckBox::clicked, this, &Tfoption::chk_fscommandClick);
    for (QRadioButton* button : {rb_custom, rb_def})
        connect(button, &QRadioButton::clicked, this, &Tfoption::rb_defClick);
    connect(edt_path, &QLineEdit::textChanged, this, &Tfoption::edt_pathChange);
    connect(B_browse, &QPushButton::clicked, this, &Tfoption::B_browseClick);
    connect(TRB_Step, &QSlider::valueChanged, this, &Tfoption::TRB_StepChange);
    connect(Button1, &QPushButton::clicked, this, &Tfoption::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfoption::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfoption::Button3Click);
}

void Tfoption::FormCreate()
{
    std::optional<bool> owned;
    if (m_services.associations)
        owned = m_services.associations->movieAssociationOpensProgram(m_services.programPath);
    m_logic.load(IniFile::load(settingsFilePath(m_services.programDirectory)), m_services.programDirectory, owned,
                 m_onTop);
    showControls();
}

void Tfoption::FormShow()
{
    TV_1->expandAll();
    pgc_1->setCurrentWidget(ts_1);
    TV_1->setCurrentItem(TV_1->topLevelItem(0)->child(0));
}

void Tfoption::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
}

void Tfoption::TV_1Click()
{
    // Only a click chooses the page: moving through the tree with the keyboard leaves it as it is.
    const QTreeWidgetItem* item = TV_1->currentItem();
    if (!item)
        return;
    const int number = item->data(0, kPageRole).toInt();
    if (number > 0)
        pgc_1->setCurrentIndex(number - 1);
}

void Tfoption::chk_getnewClick()
{
    readControls();
    m_logic.getnewClicked();
    showControls();
}

void Tfoption::chk_newswversionClick()
{
    readControls();
    m_logic.newswversionClicked();
    showControls();
}

void Tfoption::chk_autoplayClick()
{
    readControls();
    m_logic.autoplayClicked();
    showControls();
}

void Tfoption::chk_fscommandClick()
{
    readControls();
    m_logic.fscommandClicked();
    showControls();
}

void Tfoption::rb_defClick()
{
    readControls();
    m_logic.defClicked();
    showControls();
}

void Tfoption::edt_pathChange()
{
    const FolderState state = folderState(edt_path->text(), m_isOptical);
    LAB_PathState->setText(state.text);
    LAB_PathState->setAccessibleName(state.text);
    QPalette palette = LAB_PathState->palette();
    palette.setColor(QPalette::WindowText, state.colour);
    LAB_PathState->setPalette(palette);
}

void Tfoption::B_browseClick()
{
    const QString folder = m_services.prompts->chooseFolder(QStringLiteral("选择保存截图的目录"), QString());
    if (!folder.isEmpty())
        edt_path->setText(folder);
}

void Tfoption::TRB_StepChange()
{
    LAB_2->setText(stepText(TRB_Step->value()));
    LAB_2->setAccessibleName(LAB_2->text());
}

void Tfoption::Button1Click()
{
    clearHistory(*m_services.prompts, m_services.programDirectory);
}

void Tfoption::Button2Click()
{
    readControls();
    if (m_logic.confirm(m_services))
        accept();
}

void Tfoption::Button3Click()
{
    reject();
}

std::vector<std::pair<QAbstractButton*, OptionBox*>> Tfoption::boxTable(OptionsControls& c)
{
    return {
        {chk_getnew, &c.getnew},       {chk_newswversion, &c.newswversion}, {chk_newflversion, &c.newflversion},
        {chk_history, &c.history},     {chk_command, &c.command},           {chk_pupflashmenu, &c.pupflashmenu},
        {chk_banquan, &c.banquan},     {chk_autoplay, &c.autoplay},         {rb_listtop, &c.listtop},
        {rb_latest, &c.latest},        {chk_pingbao, &c.pingbao},           {chk_ontop, &c.ontop},
        {chk_autocontinue, &c.autocontinue}, {chk_dclick, &c.dclick},       {rb_showall, &c.showall},
        {rb_noscale, &c.noscale},      {rb_newlist, &c.newlist},            {rb_behind, &c.behind},
        {rb_custom, &c.custom},        {rb_def, &c.def},                    {rb_bmp, &c.bmp},
        {rb_gif, &c.gif},              {rb_jpg, &c.jpg},                    {chk_fscommand, &c.fscommand},
        {chk_exec, &c.exec},
    };
}

void Tfoption::readControls()
{
    OptionsControls& c = m_logic.controls();
    for (const auto& [widget, box] : boxTable(c))
        readBox(widget, *box);
    c.step = TRB_Step->value();
    c.path = edt_path->text();
}

void Tfoption::showControls()
{
    OptionsControls& c = m_logic.controls();
    for (const auto& [widget, box] : boxTable(c))
        showBox(widget, *box);
    TRB_Step->setValue(c.step);
    TRB_StepChange();
    if (edt_path->text() != c.path)
        edt_path->setText(c.path);
    edt_pathChange();
    const bool pictureEnabled = m_logic.pictureControlsEnabled();
    for (QWidget* widget : std::initializer_list<QWidget*>{edt_path, B_browse, LAB_state, LAB_PathState})
        widget->setEnabled(pictureEnabled);
}
