// Tmainform's layout switches and rules: list panel, toolbar and its overflow menu, captions,
// control bars, standard and compact layouts, on-top mode, and the resize and paint rules.
#include "app/ui/tmainform.h"

#include "app/layoutrules.h"
#include "app/ui/picturebutton.h"

#include <QLayout>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolTip>

namespace {

constexpr int kToolbarMenuWidth = 16;

// Rows dragged within the list carry the model's own data; files dragged in carry addresses.
bool isRowDrag(const QAbstractItemModel& model, const QMimeData& data)
{
    const QStringList types = model.mimeTypes();
    return !types.isEmpty() && data.hasFormat(types.first()) && !data.hasUrls();
}

}  // namespace

void Tmainform::SB_LButtonClick()
{
    const bool shown = !pnl_list->isVisibleTo(this);
    pnl_list->setVisible(shown);
    SB_LButton->move(shown ? lv_listview1->width() : 0, SB_LButton->y());
    SB_LButton->setText(shown ? QStringLiteral("<") : QStringLiteral(">"));
    TB_viewlist->setChecked(shown);
}

void Tmainform::placeListHandle()
{
    if (QLayout* layout = pnl_1->layout())
        layout->activate();
    spl_splitter1Paint();
}

void Tmainform::spl_splitter1Paint()
{
    const QPoint splitterLeft = spl_splitter1->mapTo(pnl_1, QPoint(0, 0));
    SB_LButton->move(splitterLeft.x(), kivamo::splitterHandleTop(spl_splitter1->height()));
    SB_LButton->raise();
}

void Tmainform::MNI_hideToolbarClick()
{
    pnl_TOOLBAR->setVisible(!pnl_TOOLBAR->isVisibleTo(this));
}

void Tmainform::setToolbarCaptions(bool shown)
{
    for (QToolButton* button : m_toolbarButtons) {
        button->setToolButtonStyle(shown ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        button->setFixedHeight(shown ? 59 : 40);
    }
    for (QWidget* control : m_toolbarControls) {
        if (qobject_cast<QFrame*>(control))
            control->setFixedHeight(shown ? 59 : 40);
    }
    pnl_TOOLBAR->setFixedHeight(shown ? 64 : 50);
    for (const char* name : {"MNI_viewtext", "MNI_viewtext2"})
        menuAction(QString::fromLatin1(name))->setChecked(shown);
    for (const char* name : {"MNI_hidetext", "MNI_hidetext2"})
        menuAction(QString::fromLatin1(name))->setChecked(!shown);
}

void Tmainform::MNI_viewtextClick()
{
    setToolbarCaptions(true);
}

void Tmainform::MNI_hidetextClick()
{
    setToolbarCaptions(false);
}

void Tmainform::MNI_wanzhengClick()
{
    TT_PlayControl->show();
    pnl_splaycontrol->hide();
    // Full screen keeps the bottom panel for its own overlay, which the full-screen mode places.
    if (m_services.commands->playerFlags().fullScreen)
        pnl_buttom->hide();
}

void Tmainform::MNI_jingjianClick()
{
    TT_PlayControl->hide();
    pnl_splaycontrol->show();
}

void Tmainform::MNI_miniClick()
{
    pnl_list->hide();
    SB_LButton->move(0, SB_LButton->y());
    SB_LButton->setText(QStringLiteral(">"));
    TB_viewlist->setChecked(false);
    pnl_TOOLBAR->hide();
    MNI_jingjianClick();
    SB_min->setDown(false);
    SB_mmin->setDown(false);
}

void Tmainform::MNI_N10Click()
{
    pnl_list->show();
    SB_LButton->move(120, SB_LButton->y());
    SB_LButton->setText(QStringLiteral("<"));
    TB_viewlist->setChecked(true);
    pnl_TOOLBAR->show();
    MNI_wanzhengClick();
    SB_min->setDown(false);
    SB_mmin->setDown(false);
}

void Tmainform::MNI_MOnTopClick()
{
    QAction* tick = menuAction(QStringLiteral("MNI_MOnTop"));
    const bool on = !tick->isChecked();
    btn_CBOnTop->setChecked(on);
    btn_CBOnTop2->setChecked(on);
    tick->setChecked(on);
    applyOnTop(on);
}

void Tmainform::applyOnTop(bool on)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    // Changing the flags recreates the native window; keep its place and size, and show it again.
    const bool wasVisible = isVisible();
    const QRect bounds = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    setGeometry(bounds);
    if (wasVisible)
        show();
}

void Tmainform::ToolBarResize()
{
    ToolBar->setGeometry(0, 0, pnl_TOOLBAR->width(), pnl_TOOLBAR->height());
    B_toolbarmenu->setGeometry(pnl_TOOLBAR->width() - kToolbarMenuWidth, 0, kToolbarMenuWidth, pnl_TOOLBAR->height());
    const int count = kivamo::toolbarOverflowCount(ToolBar->width());
    if (count <= 0) {
        B_toolbarmenu->hide();
        return;
    }
    B_toolbarmenu->show();
    B_toolbarmenu->raise();
    PM_TOOLBAR2->clear();
    std::vector<kivamo::ToolbarSlot> toolbarSlots;
    int buttonIndex = 0;
    for (QWidget* control : m_toolbarControls)
        toolbarSlots.push_back({qobject_cast<QFrame*>(control) ? -1 : buttonIndex++});
    for (const kivamo::ToolbarSlot& slot : kivamo::overflowMenu(toolbarSlots, count)) {
        if (slot.isSeparator()) {
            PM_TOOLBAR2->addSeparator();
            continue;
        }
        QToolButton* button = m_toolbarButtons[size_t(slot.button)];
        QAction* entry = PM_TOOLBAR2->addAction(button->text());
        entry->setStatusTip(button->statusTip());
        entry->setWhatsThis(button->statusTip());
        // The quality button has no click action; its entry does nothing either.
        if (button != TB_quality)
            connect(entry, &QAction::triggered, button, &QToolButton::click);
    }
    if (pnl_list->isVisible())
        pnl_list->update();
}

void Tmainform::pnl_statebarResize()
{
    LAB_s->move(LAB_play->x() + 1, (pnl_statebar->height() - LAB_s->height()) / 2);
    LAB_s->raise();
}

void Tmainform::TT_PlayControlResize()
{
    const int width = TT_PlayControl->width() - 75;
    pnl_CtrlPanel->resize(width, 71);
    SL_MainTrackBar->setGeometry(0, 0, width, 21);
    pnl_button->move(width - pnl_button->width() - 4, 40);
}

void Tmainform::pnl_mainResize()
{
    // The movie widget arrives with the player; until then there is no active control to restore.
    QWidget* movie = pnl_main->findChild<QWidget*>(QStringLiteral("FL_flash"));
    if (movie) {
        movie->clearFocus();
        movie->setFocus();
    }
}

// The list's hint is the four fields of the row under the pointer; over empty space it stays what it
// was, so the last row's hint shows there.
void Tmainform::lv_listview1MouseMove(const QHelpEvent* event)
{
    QWidget* viewport = lv_listview1->viewport();
    const int row = lv_listview1->rowAt(event->pos().y());
    if (row >= 0)
        viewport->setToolTip(lv_listview1->model()->index(row, 1).data(Qt::ToolTipRole).toString());
    if (viewport->toolTip().isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), viewport->toolTip(), viewport);
}

bool Tmainform::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched->property("kivamoMovie").toBool() && movieMouseEvent(event))
        return true;
    if (watched == pnl_4 && type == QEvent::MouseMove)
        pnl_4MouseMove();
    if (watched == lv_listview1->viewport() && type == QEvent::ToolTip) {
        lv_listview1MouseMove(static_cast<QHelpEvent*>(event));
        return true;
    }
    if (watched == lv_listview1->viewport()
        && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (isRowDrag(*lv_listview1->model(), *drop->mimeData())) {
            drop->acceptProposedAction();
            if (type == QEvent::DragMove)
                lv_listview1DragOver(drop->position().toPoint());
            else if (type == QEvent::Drop)
                lv_listview1DragDrop(drop->position().toPoint());
            return true;
        }
        if (!drop->mimeData()->hasUrls())
            return false;
        drop->acceptProposedAction();
        if (type == QEvent::Drop) {
            QStringList names;
            for (const QUrl& url : drop->mimeData()->urls()) {
                if (url.isLocalFile())
                    names << url.toLocalFile();
            }
            lv_listview1DragDrop(names);
        }
        return true;
    }
    if (watched == spl_splitter1) {
        if (type == QEvent::Paint || type == QEvent::Resize || type == QEvent::Move)
            spl_splitter1Paint();
        if (type == QEvent::MouseMove && (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)
            && pnl_list->isVisible()) {
            const int x = spl_splitter1->mapTo(pnl_1, static_cast<QMouseEvent*>(event)->position().toPoint()).x();
            pnl_list->setFixedWidth(qBound(162, x, qMax(162, pnl_1->width() - 18)));
        }
    } else if (type == QEvent::Resize) {
        if (watched == pnl_statebar)
            pnl_statebarResize();
        else if (watched == TT_PlayControl)
            TT_PlayControlResize();
        else if (watched == pnl_TOOLBAR)
            ToolBarResize();
        else if (watched == pnl_main)
            pnl_mainResize();
    } else if (type == QEvent::MouseMove) {
        if (watched == pnl_flash)
            pnl_flashMouseMove();
        else if (watched == IMG1)
            IMG1MouseMove();
    } else if (type == QEvent::MouseButtonDblClick && watched == pnl_CtrlPanel) {
        MNI_mgotoClick();
    } else if (type == QEvent::KeyPress && watched == lv_listview1) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (lv_listview1KeyDown(key->key(), key->modifiers()))
            return true;
    } else if (type == QEvent::ToolTipChange && watched == TB_play) {
        m_hintReshowWidget = TB_play;
        TMR_hintReshow.start();
    }
    return QWidget::eventFilter(watched, event);
}
