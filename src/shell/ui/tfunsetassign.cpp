#include "shell/ui/tfunsetassign.h"

#include "shell/unsetassign.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

template <typename T>
T* placed(T* widget, int x, int y, int width, int height)
{
    widget->setGeometry(x, y, width, height);
    return widget;
}

}  // namespace

Tfunsetassign::Tfunsetassign(kivamo::AssociationEnvironment environment, kivamo::Prompts& prompts, QString iniPath,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      m_environment(std::move(environment)),
      m_prompts(prompts),
      m_iniPath(std::move(iniPath))
{
    setObjectName(QStringLiteral("funsetassign"));
    setWindowTitle(QStringLiteral("卸载SWF文件关联"));
    LAB_assignpath = placed(
        new QLabel(QStringLiteral("您即将卸载本程序与SWF文件的关联，请选择将要进行关联的程序： "), this), 12, 10, 400, 18);
    LABEDT_assignpath = placed(new QLineEdit(this), 12, 32, 316, 24);
    LAB_assignpath->setBuddy(LABEDT_assignpath);
    Button1 = placed(new QPushButton(QStringLiteral("浏览..."), this), 336, 31, 76, 26);
    LAB_iconnum = placed(new QLabel(QStringLiteral("图标序号："), this), 12, 70, 70, 20);
    LABEDT_iconnum = placed(new QLineEdit(QStringLiteral("1"), this), 84, 68, 60, 24);
    LAB_iconnum->setBuddy(LABEDT_iconnum);
    // The field's own menu holds a single inert hint.
    PM_1 = new QMenu(this);
    PM_1->addAction(QStringLiteral("请输入序号"));
    LABEDT_iconnum->setContextMenuPolicy(Qt::CustomContextMenu);
    Button2 = placed(new QPushButton(QStringLiteral("应用关联设置"), this), 92, 117, 106, 28);
    Button3 = placed(new QPushButton(QStringLiteral("不设置关联"), this), 206, 117, 106, 28);
    Button4 = placed(new QPushButton(QStringLiteral("取消"), this), 320, 117, 92, 28);
    setFixedSize(424, 157);

    LABEDT_iconnum->installEventFilter(this);
    connect(LABEDT_iconnum, &QLineEdit::customContextMenuRequested, this,
            [this](const QPoint& at) { PM_1->popup(LABEDT_iconnum->mapToGlobal(at)); });
    connect(LABEDT_iconnum, &QLineEdit::textChanged, this, &Tfunsetassign::LABEDT_iconnumChange);
    connect(Button1, &QPushButton::clicked, this, &Tfunsetassign::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfunsetassign::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfunsetassign::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfunsetassign::Button1Click()
{
    const QString program = kivamo::chooseHandlerProgram(m_prompts);
    if (!program.isEmpty())
        LABEDT_assignpath->setText(program);
}

void Tfunsetassign::LABEDT_iconnumChange()
{
    const QString bounded = kivamo::boundedIconNumber(LABEDT_iconnum->text());
    if (bounded != LABEDT_iconnum->text())
        LABEDT_iconnum->setText(bounded);
}

void Tfunsetassign::Button2Click()
{
    if (kivamo::applyUnassign(m_environment, m_prompts, m_iniPath, LABEDT_assignpath->text()))
        accept();
}

void Tfunsetassign::Button3Click()
{
    const kivamo::Result<void> written = kivamo::keepAssociationsButStopTaking(m_iniPath);
    if (!written) {
        kivamo::reportError(m_prompts, written.error().message);
        return;
    }
    accept();
}

bool Tfunsetassign::eventFilter(QObject* watched, QEvent* event)
{
    // Typed characters other than Backspace and the digits never reach the icon number.
    if (watched == LABEDT_iconnum && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1 && !kivamo::iconNumberKeyAccepted(typed.at(0)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
