#include "info/ui/tfchangepath.h"

#include "core/playlist.h"
#include "info/ui/formcontrols.h"

#include <QGroupBox>
#include <QToolButton>

using namespace kivamo;

TFchangepath::TFchangepath(PlayList& list, Prompts& prompts, int targetIndex, int currentIndex,
                           PathSetter setCurrentMoviePath, QWidget* parent)
    : QDialog(parent),
      m_list(list),
      m_prompts(prompts),
      m_targetIndex(targetIndex),
      m_currentIndex(currentIndex),
      m_setCurrentMoviePath(std::move(setCurrentMoviePath))
{
    setObjectName(QStringLiteral("Fchangepath"));
    setWindowTitle(QStringLiteral("更改路径"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(395, 144);

    grp_1 = form::named(new QGroupBox(QStringLiteral("文件属性"), this), "grp_1", QStringLiteral("文件属性"),
                        QRect(8, 4, 379, 101), QStringLiteral("影片的标题、路径和状态"));
    LAB_1 = form::label(grp_1, "LAB_1", QStringLiteral("文件标题："), QRect(8, 20, 64, 14),
                        QStringLiteral("影片的标题"));
    LAB_caption = form::label(grp_1, "LAB_caption", QString(), QRect(72, 20, 296, 14), QStringLiteral("影片的标题"));
    LAB_caption->setAccessibleName(QStringLiteral("文件标题"));
    const form::LabelledEdit path = form::labelledEdit(grp_1, "LABEDT_filepath", QStringLiteral("文件路径："),
                                                       QRect(8, 52, 296, 21), QStringLiteral("影片文件的新路径"));
    LABEDT_filepath = path.edit;
    LABEDT_filepathLabel = path.label;
    LABEDT_filepath->setReadOnly(true);
    B_browser = form::named(new QToolButton(grp_1), "B_browser", QStringLiteral("浏览..."), QRect(308, 52, 60, 21),
                            QStringLiteral("选择影片文件"));
    B_browser->setText(QStringLiteral("浏览..."));
    B_browser->setAutoRaise(true);
    lbl_FileState = form::label(grp_1, "lbl_FileState", QStringLiteral("文件状态："), QRect(8, 80, 360, 14),
                                QStringLiteral("路径上的文件是否存在"));
    Button1 = form::button(this, "Button1", QStringLiteral("确定"), QRect(224, 112, 75, 25),
                           QStringLiteral("使用新路径"));
    Button1->setDefault(true);
    Button2 = form::button(this, "Button2", QStringLiteral("取消"), QRect(312, 112, 75, 25),
                           QStringLiteral("关闭窗口，不更改"));
    connectHandlers();
    FormShow();
}

void TFchangepath::connectHandlers()
{
    connect(B_browser, &QToolButton::clicked, this, &TFchangepath::B_browserClick);
    connect(Button1, &QPushButton::clicked, this, &TFchangepath::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFchangepath::Button2Click);
}

void TFchangepath::FormShow()
{
    m_view = changePathView(m_list, m_targetIndex);
    showView();
}

void TFchangepath::B_browserClick()
{
    browseForPath(m_prompts, m_view);
    showView();
}

void TFchangepath::Button1Click()
{
    confirmChangePath(m_list, m_targetIndex, LABEDT_filepath->text(), m_currentIndex, m_setCurrentMoviePath);
    done(Accepted);
}

void TFchangepath::Button2Click()
{
    done(Rejected);
}

void TFchangepath::showView()
{
    LAB_caption->setText(m_view.caption);
    LABEDT_filepath->setText(m_view.filePath);
    if (!m_view.state.isEmpty())
        lbl_FileState->setText(m_view.state);
}
