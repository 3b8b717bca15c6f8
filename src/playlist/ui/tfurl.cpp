#include "playlist/ui/tfurl.h"

#include "info/ui/formcontrols.h"
#include "playlist/addmovies.h"

using namespace kivamo;

TfURL::TfURL(const ListContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("fURL"));
    setWindowTitle(QStringLiteral("添加网络Flash文件"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(402, 71);

    const form::LabelledEdit path = form::labelledEdit(this, "LABEDT_path", QStringLiteral("输入要添加的网络Flash文件地址："),
                                                       QRect(8, 32, 297, 21),
                                                       QStringLiteral("以 http:// 开头、以 .swf 结尾的影片地址"));
    LABEDT_path = path.edit;
    LABEDT_pathLabel = path.label;
    LABEDT_path->setText(QStringLiteral("http://"));
    Button1 = form::button(this, "Button1", QStringLiteral("确定"), QRect(316, 8, 75, 25),
                           QStringLiteral("添加这个网络地址"));
    Button1->setDefault(true);
    Button2 = form::button(this, "Button2", QStringLiteral("取消"), QRect(316, 38, 75, 25),
                           QStringLiteral("关闭窗口，不添加"));
    connectHandlers();
}

void TfURL::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, &TfURL::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfURL::Button2Click);
}

void TfURL::Button1Click()
{
    // A refused address leaves the dialog open with the text as typed, so it can be corrected.
    if (addWebAddress(m_context, LABEDT_path->text()))
        done(Accepted);
}

void TfURL::Button2Click()
{
    done(Rejected);
}
