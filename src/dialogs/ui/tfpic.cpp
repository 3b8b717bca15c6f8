#include "dialogs/ui/tfpic.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>

namespace {

constexpr int kClientWidth = 376;
constexpr int kClientHeight = 228;
constexpr int kUpperPanelHeight = 121;
constexpr int kProgressPanelHeight = 56;
const QString kCaption = QStringLiteral("连续快照");
const QString kRunningCaption = QStringLiteral("连续快照－－正在截图...");

template <typename T>
T* placed(T* widget, int x, int y, int width, int height)
{
    widget->setGeometry(x, y, width, height);
    return widget;
}

}  // namespace

Tfpic::Tfpic(kivamo::SnapshotServices services, kivamo::ContinuousSource source, QString programDirectory,
             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      m_timerAdapter(TMR_pic),
      m_logic(services, std::move(source), m_timerAdapter, std::move(programDirectory)),
      m_prompts(services.prompts)
{
    setObjectName(QStringLiteral("fpic"));
    setWindowTitle(kCaption);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connectControls();
    // FormCreate: the [contpic] settings into the fields, then the folder state.
    m_logic.load();
    showFields();
    edt_pathChange();
    setFixedSize(kClientWidth, kClientHeight);
}

void Tfpic::buildControls()
{
    pnl_1 = placed(new QWidget(this), 0, 0, kClientWidth, kUpperPanelHeight);
    LAB_1 = placed(new QLabel(QStringLiteral("路径："), pnl_1), 8, 10, 40, 20);
    edt_path = placed(new QLineEdit(pnl_1), 50, 8, 230, 22);
    b_broswer = placed(new QPushButton(QStringLiteral("浏览..."), pnl_1), 288, 7, 80, 24);
    LAB_pathstate = placed(new QLabel(pnl_1), 50, 34, 200, 18);
    chk_autocreat = placed(new QCheckBox(QStringLiteral("目录不存在时自动创建"), pnl_1), 210, 33, 160, 20);
    LAB_2 = placed(new QLabel(QStringLiteral("图像格式："), pnl_1), 8, 60, 70, 20);
    rb_gif = placed(new QRadioButton(QStringLiteral("GIF( 8bit )"), pnl_1), 80, 60, 100, 20);
    rb_jpg = placed(new QRadioButton(QStringLiteral("JPG( 80% )"), pnl_1), 190, 60, 100, 20);
    rb_gif->setChecked(true);
    LAB_3 = placed(new QLabel(QStringLiteral("截图间隔："), pnl_1), 8, 90, 70, 20);
    LAB_5 = placed(new QLabel(QStringLiteral("100"), pnl_1), 80, 90, 28, 20);
    TRB_times = placed(new QSlider(Qt::Horizontal, pnl_1), 108, 88, 150, 24);
    TRB_times->setRange(100, 2000);
    TRB_times->setSingleStep(10);
    TRB_times->setPageStep(100);
    LAB_6 = placed(new QLabel(QStringLiteral("2000"), pnl_1), 260, 90, 34, 20);
    LAB_times = placed(new QLabel(pnl_1), 298, 90, 76, 20);

    pnl_2 = placed(new QWidget(this), 0, kUpperPanelHeight, kClientWidth, kProgressPanelHeight);
    LAB_4 = placed(new QLabel(QStringLiteral("已完成："), pnl_2), 8, 6, 60, 20);
    LAB_path = placed(new QLabel(pnl_2), 70, 6, 220, 20);
    LAB_7 = placed(new QLabel(QStringLiteral("完成数量："), pnl_2), 8, 30, 70, 20);
    LAB_count = placed(new QLabel(QStringLiteral("0张"), pnl_2), 80, 30, 120, 20);
    B_stop2 = placed(new QPushButton(QStringLiteral("停止"), pnl_2), 296, 16, 72, 24);
    B_stop2->hide();

    const int buttonsTop = kUpperPanelHeight + kProgressPanelHeight + 14;
    chk_save = placed(new QCheckBox(QStringLiteral("保存设置"), this), 8, buttonsTop + 2, 90, 20);
    b_start = placed(new QPushButton(QStringLiteral("开始"), this), 130, buttonsTop, 74, 26);
    B_stop = placed(new QPushButton(QStringLiteral("停止"), this), 210, buttonsTop, 74, 26);
    B_stop->setEnabled(false);
    B_close = placed(new QPushButton(QStringLiteral("关闭"), this), 290, buttonsTop, 74, 26);
}

void Tfpic::connectControls()
{
    edt_path->installEventFilter(this);
    connect(edt_path, &QLineEdit::textChanged, this, &Tfpic::edt_pathChange);
    connect(b_broswer, &QPushButton::clicked, this, &Tfpic::b_broswerClick);
    connect(TRB_times, &QSlider::valueChanged, this, &Tfpic::TRB_timesChange);
    connect(b_start, &QPushButton::clicked, this, &Tfpic::b_startClick);
    connect(B_stop, &QPushButton::clicked, this, &Tfpic::B_stopClick);
    connect(B_stop2, &QPushButton::clicked, this, &Tfpic::B_stopClick);
    connect(B_close, &QPushButton::clicked, this, &Tfpic::B_closeClick);
    connect(&TMR_pic, &QTimer::timeout, this, &Tfpic::TMR_picTimer);
}

void Tfpic::readFields()
{
    m_logic.path = edt_path->text();
    m_logic.autocreat = chk_autocreat->isChecked();
    m_logic.gifSelected = !rb_jpg->isChecked();
    m_logic.setTimes(TRB_times->value());
    m_logic.saveSettings = chk_save->isChecked();
}

void Tfpic::showFields()
{
    edt_path->setText(m_logic.path);
    chk_autocreat->setChecked(m_logic.autocreat);
    (m_logic.gifSelected ? rb_gif : rb_jpg)->setChecked(true);
    TRB_times->setValue(m_logic.times);
    TRB_timesChange(TRB_times->value());
    chk_save->setChecked(m_logic.saveSettings);
}

void Tfpic::showProgress()
{
    LAB_count->setText(m_logic.countLabel());
    LAB_path->setText(m_logic.lastFile());
}

void Tfpic::edt_pathChange()
{
    m_logic.path = edt_path->text();
    const kivamo::PathState state = m_logic.pathState();
    LAB_pathstate->setText(state.text);
    QPalette palette = LAB_pathstate->palette();
    palette.setColor(QPalette::WindowText, state.colour);
    LAB_pathstate->setPalette(palette);
}

void Tfpic::b_broswerClick()
{
    const QString folder = m_prompts->chooseFolder(QStringLiteral("请选择存放路径："), QString());
    if (!folder.isEmpty())
        edt_path->setText(folder);
}

void Tfpic::TRB_timesChange(int position)
{
    m_logic.setTimes(position);
    LAB_times->setText(m_logic.timesLabel());
}

void Tfpic::b_startClick()
{
    readFields();
    if (m_logic.start()) {
        setRunningView(true);
        showProgress();
    }
    edt_pathChange();
}

void Tfpic::TMR_picTimer()
{
    m_logic.tick();
    showProgress();
}

void Tfpic::B_stopClick()
{
    if (!m_logic.running())
        return;
    setRunningView(false);
    LAB_count->setText(QStringLiteral("0张"));
    m_logic.stop();
}

void Tfpic::B_closeClick()
{
    readFields();
    const kivamo::Result<void> saved = m_logic.closeButton();
    if (!saved)
        kivamo::reportError(*m_prompts, saved.error().message);
    close();
}

void Tfpic::setRunningView(bool running)
{
    for (QWidget* control : std::initializer_list<QWidget*>{
             b_start, B_close, LAB_1, LAB_2, LAB_3, LAB_5, LAB_6, edt_path, b_broswer, LAB_pathstate,
             chk_autocreat, rb_gif, rb_jpg, TRB_times, LAB_times})
        control->setEnabled(!running);
    B_stop->setEnabled(running);
    B_stop2->setEnabled(running);
    B_stop2->setVisible(running);
    pnl_1->setVisible(!running);
    chk_save->setVisible(!running);
    b_start->setVisible(!running);
    B_stop->setVisible(!running);
    B_close->setVisible(!running);
    setWindowTitle(running ? kRunningCaption : kCaption);
    if (running) {
        // The strip shows only the progress, at the top edge of the screen.
        pnl_2->move(0, 0);
        setFixedSize(kClientWidth, kProgressPanelHeight);
        const QScreen* shown = screen();
        const int top = shown ? shown->availableGeometry().top() : 0;
        move(x(), top);
    } else {
        pnl_1->move(0, 0);
        pnl_2->move(0, kUpperPanelHeight);
        setFixedSize(kClientWidth, kClientHeight);
    }
}

bool Tfpic::eventFilter(QObject* watched, QEvent* event)
{
    // edt_pathKeyPress: a separator typed after a trailing one is dropped.
    if (watched == edt_path && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1) {
            m_logic.path = edt_path->text();
            if (!m_logic.acceptKey(typed.at(0)))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfpic::closeEvent(QCloseEvent* event)
{
    if (m_logic.canClose())
        event->accept();
    else
        event->ignore();
}

void Tfpic::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    raise();
}

void Tfpic::reject()
{
    // Esc is the "关闭" button; while a run is going it is refused like any close.
    if (m_logic.running()) {
        m_logic.canClose();
        return;
    }
    B_closeClick();
}

Tfpic* openContinuousSnapshot(QPointer<Tfpic>& open, const std::function<Tfpic*()>& create)
{
    if (!open)
        open = create();
    if (open) {
        open->show();
        open->raise();
        open->activateWindow();
    }
    return open;
}
