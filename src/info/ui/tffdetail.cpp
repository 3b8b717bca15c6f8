#include "info/ui/tffdetail.h"

#include "core/playlist.h"
#include "info/ui/formcontrols.h"
#include "platform/prompts.h"

#include <QComboBox>
#include <QGroupBox>

using namespace kivamo;

namespace {

QGroupBox* group(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                 const QString& description)
{
    return form::named(new QGroupBox(caption, parent), name, caption, geometry, description);
}

// The labels of a group, one under the other, 18 pixels apart.
QLabel* row(QGroupBox* parent, const char* name, const QString& caption, int index, const QString& description)
{
    return form::label(parent, name, caption, QRect(8, 18 + 18 * index, parent->width() - 16, 14), description);
}

// A note edit with its label on its left.
QLineEdit* noteEdit(QGroupBox* parent, const char* name, const QString& caption, int top, QLabel** label,
                    const QString& description)
{
    auto* edit = form::named(new QLineEdit(RrightInfo::unknownNote(), parent), name, caption,
                             QRect(52, top, parent->width() - 60, 21), description);
    const QByteArray labelName = QByteArray(name) + "Label";
    *label = form::label(parent, labelName.constData(), caption, QRect(8, top + 4, 44, 14), description);
    (*label)->setBuddy(edit);
    return edit;
}

}  // namespace

TFfdetail::TFfdetail(PlayList& list, Prompts& prompts, int targetIndex, int currentIndex,
                     const NowPlayingInputs& player, QWidget* parent)
    : QDialog(parent),
      m_list(list),
      m_prompts(prompts),
      m_targetIndex(targetIndex),
      m_currentIndex(currentIndex),
      m_player(player)
{
    setObjectName(QStringLiteral("Ffdetail"));
    setWindowTitle(QStringLiteral("影片信息"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(375, 390);
    setFont(form::songtiFont());

    EDT_path = form::named(new QLineEdit(this), "EDT_path", QStringLiteral("影片路径"), QRect(8, 8, 359, 21),
                           QStringLiteral("影片的路径"));
    EDT_path->setReadOnly(true);
    EDT_path->setFrame(false);
    QPalette buttonFace = EDT_path->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    EDT_path->setPalette(buttonFace);
    buildFacts();
    buildNotes();
    Button1 = form::button(this, "Button1", QStringLiteral("确定"), QRect(208, 358, 75, 25),
                           QStringLiteral("保存作者、出处和类型"));
    Button1->setDefault(true);
    Button2 = form::button(this, "Button2", QStringLiteral("取消"), QRect(292, 358, 75, 25),
                           QStringLiteral("关闭窗口，不保存"));
    connectHandlers();
    FormShow();
}

void TFfdetail::buildFacts()
{
    grp_1 = group(this, "grp_1", QStringLiteral("文件属性"), QRect(8, 36, 176, 96), QStringLiteral("文件的大小和日期"));
    LAB_FileSize = row(grp_1, "LAB_FileSize", QStringLiteral("文件大小："), 0, QStringLiteral("文件大小"));
    LAB_FileCDate = row(grp_1, "LAB_FileCDate", QStringLiteral("创建日期："), 1, QStringLiteral("创建日期"));
    LAB_fileRDate = row(grp_1, "LAB_fileRDate", QStringLiteral("访问日期："), 2, QStringLiteral("访问日期"));
    LAB_FileMDate = row(grp_1, "LAB_FileMDate", QStringLiteral("修改日期："), 3, QStringLiteral("修改日期"));
    grp_2 = group(this, "grp_2", QStringLiteral("影片属性"), QRect(192, 36, 175, 132),
                  QStringLiteral("影片文件头记录的属性"));
    LAB_yasuo = row(grp_2, "LAB_yasuo", QStringLiteral("压缩与否："), 0, QStringLiteral("影片是否压缩"));
    LAB_Version = row(grp_2, "LAB_Version", QStringLiteral("编译器版本："), 1, QStringLiteral("影片的版本"));
    LAB_height = row(grp_2, "LAB_height", QStringLiteral("影片高度："), 2, QStringLiteral("影片高度"));
    LAB_width = row(grp_2, "LAB_width", QStringLiteral("影片宽度："), 3, QStringLiteral("影片宽度"));
    LAB_zhenlv = row(grp_2, "LAB_zhenlv", QStringLiteral("影片帧率："), 4, QStringLiteral("影片帧率"));
    LAB_zhenshu = row(grp_2, "LAB_zhenshu", QStringLiteral("影片帧数："), 5, QStringLiteral("影片帧数"));
    grp_now = group(this, "grp_now", QStringLiteral("当前文件"), QRect(8, 172, 359, 72),
                    QStringLiteral("正在播放的影片"));
    LAB_nowstate = row(grp_now, "LAB_nowstate", QStringLiteral("播放状态："), 0, QStringLiteral("播放状态"));
    LAB_nowlist = row(grp_now, "LAB_nowlist", QStringLiteral("当前列表："), 1, QStringLiteral("当前播放列表"));
    LAB_q = row(grp_now, "LAB_q", QStringLiteral("播放品质："), 2, QStringLiteral("播放品质"));
    for (QWidget* widget : {static_cast<QWidget*>(LAB_nowstate), static_cast<QWidget*>(LAB_nowlist),
                            static_cast<QWidget*>(LAB_q), static_cast<QWidget*>(grp_now)})
        widget->setEnabled(false);
}

void TFfdetail::buildNotes()
{
    grp_3 = group(this, "grp_3", QStringLiteral("版权"), QRect(8, 248, 359, 104), QStringLiteral("影片的作者、出处和类型"));
    LABEDT_author = noteEdit(grp_3, "LABEDT_author", QStringLiteral("作者："), 18, &LABEDT_authorLabel,
                             QStringLiteral("影片的作者"));
    LABEDT_place = noteEdit(grp_3, "LABEDT_place", QStringLiteral("出处："), 46, &LABEDT_placeLabel,
                            QStringLiteral("影片的出处"));
    cbb_type = form::named(new QComboBox(grp_3), "cbb_type", QStringLiteral("类型："), QRect(52, 74, 299, 21),
                           QStringLiteral("影片的类型，可以选择也可以输入"));
    cbb_type->setEditable(true);
    cbb_type->setInsertPolicy(QComboBox::NoInsert);
    cbb_type->addItems({QStringLiteral("影片"), QStringLiteral("游戏"), QStringLiteral("课件"), QStringLiteral("广告"),
                        QStringLiteral("MTV"), QStringLiteral("网站"), QStringLiteral("其它")});
    cbb_type->setEditText(RrightInfo::unknownNote());
    LAB_3 = form::label(grp_3, "LAB_3", QStringLiteral("类型："), QRect(8, 78, 44, 14), QStringLiteral("影片的类型"));
    LAB_3->setBuddy(cbb_type);
}

void TFfdetail::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, &TFfdetail::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFfdetail::Button2Click);
}

void TFfdetail::FormShow()
{
    const DetailsView view = detailsView(m_list, m_targetIndex, m_currentIndex, m_player);
    if (!view.filled)
        return;
    grp_now->setEnabled(view.now.enabled);
    LAB_nowstate->setEnabled(view.now.enabled);
    LAB_nowlist->setEnabled(view.now.enabled);
    LAB_q->setEnabled(view.now.enabled);
    LAB_nowstate->setText(view.now.state);
    LAB_nowlist->setText(view.now.list);
    LAB_q->setText(view.now.quality);
    LABEDT_author->setText(view.notes.author);
    LABEDT_place->setText(view.notes.source);
    cbb_type->setEditText(view.notes.type);
    // A movie that cannot be read opens with its notes but without facts, after the report.
    if (view.error)
        reportError(m_prompts, view.error->message);
    else
        showLabels(view.labels);
}

void TFfdetail::showLabels(const DetailLabels& labels)
{
    LAB_FileSize->setText(labels.fileSize);
    LAB_FileCDate->setText(labels.created);
    LAB_fileRDate->setText(labels.accessed);
    LAB_FileMDate->setText(labels.modified);
    LAB_yasuo->setText(labels.compressed);
    LAB_Version->setText(labels.version);
    LAB_height->setText(labels.height);
    LAB_width->setText(labels.width);
    LAB_zhenlv->setText(labels.frameRate);
    LAB_zhenshu->setText(labels.frameCount);
    EDT_path->setText(labels.path);
}

void TFfdetail::Button1Click()
{
    RrightInfo notes;
    notes.author = LABEDT_author->text();
    notes.source = LABEDT_place->text();
    notes.type = cbb_type->currentText();
    // A failed write keeps the dialog open; the entry already holds the notes.
    const Result<void> stored = confirmDetails(m_list, m_targetIndex, notes);
    if (!stored) {
        reportError(m_prompts, stored.error().message);
        return;
    }
    done(Accepted);
}

void TFfdetail::Button2Click()
{
    done(Rejected);
}
