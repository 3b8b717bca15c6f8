#include "info/ui/tfcopyto.h"

#include "info/ui/formcontrols.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

using namespace kivamo;

namespace {

// The log separates its lines by single CRs (and CR LF before "==已全部跳过=="); the box shows each
// as one line break.
QString displayedText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

TFcopyto::TFcopyto(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Fcopyto"));
    setWindowTitle(QStringLiteral("文件复制到"));
    setAccessibleName(windowTitle());
    setModal(false);
    setFixedSize(368, 227);

    redt_1 = form::named(new QPlainTextEdit(this), "redt_1", QStringLiteral("复制记录"), QRect(8, 8, 352, 177),
                         QStringLiteral("每个文件的复制结果"));
    redt_1->setReadOnly(true);
    redt_1->setFont(form::songtiFont());
    redt_1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Button1 = form::button(this, "Button1", QStringLiteral("隐藏"), QRect(285, 194, 75, 25),
                           QStringLiteral("隐藏复制记录窗口"));
    connect(Button1, &QPushButton::clicked, this, &TFcopyto::Button1Click);
}

void TFcopyto::Button1Click()
{
    hide();
}

void TFcopyto::showWindow()
{
    show();
    raise();
}

void TFcopyto::clear()
{
    m_text.clear();
    redt_1->clear();
}

void TFcopyto::append(const QString& text)
{
    m_text += text;
    // The whole text is shown again, so that a CR LF split across two appends still makes one break.
    redt_1->setPlainText(displayedText(m_text));
}

void TFcopyto::repaint()
{
    QDialog::repaint();
}

void TFcopyto::scrollToEnd()
{
    redt_1->verticalScrollBar()->setValue(redt_1->verticalScrollBar()->maximum());
}

TFhaveexist::TFhaveexist(const QString& source, const QString& target, const QString& proposedName, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Fhaveexist"));
    setWindowTitle(QStringLiteral("复制文件"));
    setAccessibleName(windowTitle());
    setFixedSize(356, 120);

    LAB_1 = form::label(this, "LAB_1", QStringLiteral("目标文件已经存在，是否覆盖或重命名？"), QRect(8, 8, 340, 14),
                        QStringLiteral("复制的目标文件已经存在"));
    LAB_path = form::label(this, "LAB_path", target, QRect(8, 26, 340, 14), QStringLiteral("已经存在的目标文件"));
    LAB_path->setAccessibleName(QStringLiteral("目标文件"));
    LAB_source = form::label(this, "LAB_source", source, QRect(8, 26, 340, 14), QStringLiteral("要复制的文件"));
    LAB_source->setAccessibleName(QStringLiteral("源文件"));
    LAB_source->hide();
    const form::LabelledEdit rename = form::labelledEdit(this, "LABEDT_newpath", QStringLiteral("重命名为："),
                                                         QRect(8, 60, 300, 21), QStringLiteral("复制后的新文件名"));
    LABEDT_newpath = rename.edit;
    LABEDT_newpathLabel = rename.label;
    LABEDT_newpath->setText(proposedName);
    LAB_3 = form::label(this, "LAB_3", QStringLiteral(".swf"), QRect(312, 64, 36, 14), QStringLiteral("新文件的扩展名"));
    Button1 = form::button(this, "Button1", QStringLiteral("重命名(&R)"), QRect(8, 88, 80, 25),
                           QStringLiteral("以新文件名复制"));
    Button1->setAccessibleName(QStringLiteral("重命名"));
    Button1->setDefault(true);
    Button2 = form::button(this, "Button2", QStringLiteral("覆盖(&C)"), QRect(94, 88, 80, 25),
                           QStringLiteral("覆盖已经存在的文件"));
    Button2->setAccessibleName(QStringLiteral("覆盖"));
    Button3 = form::button(this, "Button3", QStringLiteral("跳过(&ESC)"), QRect(180, 88, 80, 25),
                           QStringLiteral("不复制这个文件"));
    Button3->setAccessibleName(QStringLiteral("跳过"));
    Button4 = form::button(this, "Button4", QStringLiteral("全部跳过"), QRect(266, 88, 82, 25),
                           QStringLiteral("不复制这个和其余所有文件"));
    connectHandlers();
}

void TFhaveexist::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, &TFhaveexist::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFhaveexist::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFhaveexist::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFhaveexist::Button4Click);
}

void TFhaveexist::Button1Click()
{
    m_answer.newBaseName = LABEDT_newpath->text();
    finish(ConflictChoice::Rename);
}

void TFhaveexist::Button2Click()
{
    finish(ConflictChoice::Overwrite);
}

void TFhaveexist::Button3Click()
{
    finish(ConflictChoice::Skip);
}

void TFhaveexist::Button4Click()
{
    finish(ConflictChoice::SkipAll);
}

void TFhaveexist::keyPressEvent(QKeyEvent* event)
{
    // Esc is the cancel button "跳过(&ESC)"; the window frame, unlike it, skips without a log line.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button3Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFhaveexist::finish(ConflictChoice choice)
{
    m_answer.choice = choice;
    done(choice == ConflictChoice::Skip ? Rejected : Accepted);
}

ConflictAnswer HaveExistChooser::choose(const QString& source, const QString& target, const QString& proposedName)
{
    TFhaveexist dialog(source, target, proposedName, m_parent);
    dialog.exec();
    return dialog.answer();
}
