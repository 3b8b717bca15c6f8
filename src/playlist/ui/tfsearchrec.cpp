#include "playlist/ui/tfsearchrec.h"

#include "info/ui/formcontrols.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QProgressBar>
#include <QScreen>
#include <QToolButton>

using namespace kivamo;

Tfsearchrec::Tfsearchrec(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fsearchrec"));
    setWindowTitle(QStringLiteral("正在添加文件，请稍等..."));
    setAccessibleName(windowTitle());
    setFixedSize(444, 81);
    setFont(form::songtiFont());
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);

    pnl_1 = form::named(new QFrame(this), "pnl_1", windowTitle(), QRect(0, 0, 444, 81),
                        QStringLiteral("目录添加进度"));
    pnl_1->setFrameShape(QFrame::Panel);
    pnl_1->setMouseTracking(true);
    LAB_1 = form::label(pnl_1, "LAB_1", QStringLiteral("正在添加："), QRect(8, 8, 425, 14),
                        QStringLiteral("正在添加的文件"));
    LAB_2 = form::label(pnl_1, "LAB_2", QStringLiteral("已添加："), QRect(8, 32, 113, 14),
                        QStringLiteral("已添加的影片数"));
    PROB_1 = form::named(new QProgressBar(pnl_1), "PROB_1", QStringLiteral("添加进度"), QRect(136, 32, 297, 16),
                         QStringLiteral("已添加影片数除以100的余数"));
    PROB_1->setRange(0, 100);
    PROB_1->setValue(20);
    PROB_1->setTextVisible(false);
    SB_cancel = form::named(new QToolButton(pnl_1), "SB_cancel", QStringLiteral("取消"), QRect(376, 56, 57, 17),
                            QStringLiteral("停止添加目录"));
    SB_cancel->setText(QStringLiteral("取消"));
    SB_cancel->setAutoRaise(true);
    setMouseTracking(true);
    connectHandlers();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Tfsearchrec::connectHandlers()
{
    connect(SB_cancel, &QToolButton::clicked, this, &Tfsearchrec::SB_cancelClick);
    // Mouse moves over the panel and its labels reach the window's handler too.
    for (QWidget* widget : {static_cast<QWidget*>(pnl_1), static_cast<QWidget*>(LAB_1),
                            static_cast<QWidget*>(LAB_2), static_cast<QWidget*>(PROB_1)}) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
}

void Tfsearchrec::SB_cancelClick()
{
    close();
}

void Tfsearchrec::FormClose()
{
    m_addContinue = false;
    if (m_cancel)
        m_cancel();
}

void Tfsearchrec::FormMouseMove()
{
    // A window left behind by a walk that has ended goes away at the first touch of the mouse.
    if (!m_addContinue)
        close();
}

void Tfsearchrec::showWindow()
{
    m_addContinue = true;
    show();
    raise();
    repaint();
}

void Tfsearchrec::showStatus(const WalkStatus& status)
{
    LAB_1->setText(status.currentText);
    LAB_2->setText(status.countText);
    PROB_1->setValue(status.barPosition);
    repaint();
    processEvents();
}

void Tfsearchrec::processEvents()
{
    QCoreApplication::processEvents();
}

void Tfsearchrec::closeWindow()
{
    close();
}

void Tfsearchrec::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

bool Tfsearchrec::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        FormMouseMove();
    return QWidget::eventFilter(watched, event);
}
