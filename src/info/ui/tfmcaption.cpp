#include "info/ui/tfmcaption.h"

#include "core/playlist.h"
#include "info/titleeditor.h"
#include "info/ui/formcontrols.h"

#include <QCheckBox>

using namespace kivamo;

TFmCaption::TFmCaption(PlayList& list, Prompts& prompts, int targetIndex, QWidget* parent)
    : QDialog(parent), m_list(list), m_prompts(prompts), m_targetIndex(targetIndex)
{
    setObjectName(QStringLiteral("FmCaption"));
    setWindowTitle(QStringLiteral("更改标题"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(282, 97);

    LAB_1 = form::label(this, "LAB_1", QStringLiteral("标题："), QRect(8, 12, 40, 14), QStringLiteral("影片的新标题"));
    EDT_caption = form::named(new QLineEdit(this), "EDT_caption", QStringLiteral("标题："), QRect(48, 8, 225, 21),
                              QStringLiteral("影片的新标题"));
    LAB_1->setBuddy(EDT_caption);
    chk_rename = form::named(new QCheckBox(QStringLiteral("同时更改文件名"), this), "chk_rename",
                             QStringLiteral("同时更改文件名"), QRect(48, 36, 225, 17),
                             QStringLiteral("把影片文件改名为新标题"));
    Button1 = form::button(this, "Button1", QStringLiteral("确定"), QRect(112, 64, 75, 25),
                           QStringLiteral("保存新标题"));
    Button1->setDefault(true);
    Button2 = form::button(this, "Button2", QStringLiteral("取消"), QRect(198, 64, 75, 25),
                           QStringLiteral("关闭窗口，不更改"));
    connectHandlers();
    FormShow();
}

void TFmCaption::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, &TFmCaption::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFmCaption::Button2Click);
}

void TFmCaption::FormShow()
{
    if (m_targetIndex >= 0 && m_targetIndex < m_list.count())
        EDT_caption->setText(m_list.at(m_targetIndex).title);
}

void TFmCaption::Button1Click()
{
    if (applyTitle(m_list, m_prompts, m_targetIndex, EDT_caption->text(), chk_rename->isChecked())
        != TitleEditOutcome::EmptyRefused)
        done(Accepted);
}

void TFmCaption::Button2Click()
{
    done(Rejected);
}
