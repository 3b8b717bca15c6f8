#include "player/ui/tfgoto.h"

#include "core/flashcontrol.h"
#include "info/ui/formcontrols.h"
#include "player/viewcontrols.h"

#include <QCloseEvent>
#include <QKeyEvent>

using namespace kivamo;

Tfgoto::Tfgoto(FlashControl& control, QWidget* parent) : Tfgoto([&control] { return &control; }, parent) {}

Tfgoto::Tfgoto(ControlSource control, QWidget* parent) : QDialog(parent), m_control(std::move(control))
{
    setObjectName(QStringLiteral("fgoto"));
    setWindowTitle(QStringLiteral("跳到指定帧"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(233, 105);

    LAB_tF = form::label(this, "LAB_tF", QStringLiteral("总帧数："), QRect(16, 12, 200, 14),
                         QStringLiteral("影片的总帧数"));
    LAB_Nf = form::label(this, "LAB_Nf", QStringLiteral("当前帧："), QRect(16, 30, 200, 14),
                         QStringLiteral("影片现在所在的帧"));
    LAB_1 = form::label(this, "LAB_1", QStringLiteral("跳到："), QRect(16, 52, 40, 14),
                        QStringLiteral("要跳到的帧"));
    edt_f = form::named(new QLineEdit(this), "edt_f", QStringLiteral("跳到："), QRect(56, 48, 121, 21),
                        QStringLiteral("要跳到的帧，从 1 数起"));
    LAB_1->setBuddy(edt_f);
    LAB_2 = form::label(this, "LAB_2", QStringLiteral("帧"), QRect(184, 52, 20, 14), QStringLiteral("单位"));
    Button1 = form::button(this, "Button1", QStringLiteral("确定"), QRect(56, 76, 75, 25),
                           QStringLiteral("跳到这一帧并播放"));
    Button1->setDefault(true);
    Button2 = form::button(this, "Button2", QStringLiteral("取消"), QRect(140, 76, 75, 25),
                           QStringLiteral("不跳转，继续播放"));
    connectHandlers();
    FormShow();
}

void Tfgoto::connectHandlers()
{
    edt_f->installEventFilter(this);
    connect(edt_f, &QLineEdit::textChanged, this, &Tfgoto::edt_fChange);
    connect(Button1, &QPushButton::clicked, this, &Tfgoto::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfgoto::Button2Click);
}

void Tfgoto::FormShow()
{
    const FlashControl* control = m_control();
    if (!control)
        return;
    const GotoDialogTexts texts = gotoDialogTexts(control->CurrentFrame(), control->TotalFrames());
    LAB_tF->setText(texts.totalText);
    LAB_Nf->setText(texts.currentText);
    edt_f->setText(texts.field);
}

bool Tfgoto::edt_fKeyPress(QChar typed)
{
    return gotoFieldAccepts(typed);
}

void Tfgoto::edt_fChange()
{
    const FlashControl* control = m_control();
    if (!control)
        return;
    const QString text = gotoFieldText(edt_f->text(), control->TotalFrames());
    if (text != edt_f->text())
        edt_f->setText(text);  // changes once more, to a text that then stays
}

void Tfgoto::Button1Click()
{
    if (FlashControl* control = m_control()) {
        control->GotoFrame(gotoFieldText(edt_f->text(), control->TotalFrames()).toInt() - 1);
        control->Play();
    }
    done(Accepted);
}

void Tfgoto::Button2Click()
{
    done(Rejected);
}

void Tfgoto::FormClose()
{
    // Cancelling resumes too: the opening command stopped the movie.
    if (m_closed)
        return;
    m_closed = true;
    if (FlashControl* control = m_control())
        control->Play();
}

void Tfgoto::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Tfgoto::closeEvent(QCloseEvent* event)
{
    FormClose();
    QDialog::closeEvent(event);
}

bool Tfgoto::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edt_f && event->type() == QEvent::KeyPress) {
        // Keys that type nothing printable (arrows, Delete, Enter, Backspace) pass; typed characters
        // must be digits.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !edt_fKeyPress(text.at(0)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
