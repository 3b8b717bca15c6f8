// The main window's side of the play list: the web-address dialog, adding a directory with the
// progress window, the list view's keys and its selection, which the list commands act on.
#include "app/ui/tmainform.h"
#include "app/ui/menutext.h"
#include "core/playlist.h"
#include "playlist/addmovies.h"
#include "playlist/customlists.h"
#include "playlist/history.h"
#include "playlist/listcommands.h"
#include "playlist/listfile.h"
#include "playlist/ui/tfcustomlist.h"
#include "playlist/ui/tfsearchrec.h"
#include "playlist/ui/tfurl.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>

#include <chrono>

void Tmainform::connectList()
{
    m_searchrec = new Tfsearchrec(this);
    connect(menuAction(QStringLiteral("MNI_mInsertURL")), &QAction::triggered, this, &Tmainform::MNI_mInsertURLClick);
    connect(menuAction(QStringLiteral("MNI_d2")), &QAction::triggered, this, &Tmainform::MNI_d2Click);
    // The custom-list menu: two fixed items and the separator, then the lists, rebuilt on opening.
    auto* custom = findChild<QMenu*>(QStringLiteral("PM_cuslist"));
    QAction* add = custom->addAction(QStringLiteral("当前列表加入自定义"));
    add->setObjectName(QStringLiteral("MNI_addtocustom"));
    connect(add, &QAction::triggered, this, [this] {
        if (!m_services.listContext)
            return;
        kivamo::ListContext context = m_services.listContext();
        kivamo::addCurrentListToCustom(context, m_services.programDirectory);
    });
    QAction* edit = custom->addAction(QStringLiteral("自定义列表..."));
    edit->setObjectName(QStringLiteral("MNI_cuslist"));
    connect(edit, &QAction::triggered, this, [this] {
        auto* dialog = new TFCustomList(*m_services.prompts, m_services.programDirectory, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
    });
    custom->addSeparator()->setObjectName(QStringLiteral("MNI_x"));
    connect(custom, &QMenu::aboutToShow, this, &Tmainform::PM_cuslistPopup);
    lv_listview1->setAcceptDrops(true);
    lv_listview1->viewport()->setAcceptDrops(true);
    lv_listview1->viewport()->installEventFilter(this);
    lv_listview1->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv_listview1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lv_listview1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv_listview1->setShowGrid(false);
    // The row label column is 36 pixels wide and the title takes the rest; rows are 14 pixels high,
    // which the scroll rule while dragging counts on, and scroll by the pixel.
    lv_listview1->horizontalHeader()->setMinimumSectionSize(1);
    lv_listview1->horizontalHeader()->setDefaultSectionSize(36);
    lv_listview1->horizontalHeader()->setStretchLastSection(true);
    lv_listview1->verticalHeader()->setMinimumSectionSize(1);
    lv_listview1->verticalHeader()->setDefaultSectionSize(14);
    lv_listview1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lv_listview1->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    lv_listview1->setDragEnabled(true);
    lv_listview1->setDragDropMode(QAbstractItemView::DragDrop);
    connectListMenus();
}

// The list commands read the play list's own selection; the view's selection is copied into it.
void Tmainform::followListSelection()
{
    if (!m_services.listContext)
        return;
    QItemSelectionModel* selection = lv_listview1->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, [this, selection] {
        kivamo::PlayList& list = m_services.listContext().list;
        for (int row = 0; row < list.count(); ++row) {
            const bool selected = selection->isRowSelected(row, QModelIndex());
            if (list.isSelected(row) != selected)
                list.setSelected(row, selected);
        }
    });
}

TfURL* Tmainform::urlDialog() const
{
    return m_urlDialog.data();
}

void Tmainform::MNI_mInsertURLClick()
{
    if (!m_services.listContext)
        return;
    if (m_urlDialog) {
        m_urlDialog->raise();
        m_urlDialog->activateWindow();
        return;
    }
    m_urlDialog = new TfURL(m_services.listContext(), this);
    m_urlDialog->show();
}

namespace {

qint64 steadyMilliseconds()
{
    return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch()).count());
}

}  // namespace

void Tmainform::MNI_d2Click()
{
    if (!m_services.listContext)
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::DirectoryAdder adder(context, *m_searchrec, steadyMilliseconds);
    m_searchrec->setCancel([&adder] { adder.cancel(); });
    kivamo::addChosenDirectoryCommand(context, adder);
    m_searchrec->setCancel({});
}

// Files dropped on the list: each is added, directories are walked with the progress window.
void Tmainform::lv_listview1DragDrop(const QStringList& names)
{
    if (!m_services.listContext || names.isEmpty())
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::DirectoryAdder adder(context, *m_searchrec, steadyMilliseconds);
    m_searchrec->setCancel([&adder] { adder.cancel(); });
    kivamo::dropOnList(context, adder, names);
    m_searchrec->setCancel({});
}

// Dragging rows over the list scrolls it by 10 pixels over the top visible row and over the row one
// view height (in 14-pixel rows) below it.
void Tmainform::lv_listview1DragOver(const QPoint& at)
{
    const int row = lv_listview1->rowAt(at.y());
    if (row < 0)
        return;
    const int pixels = kivamo::dragScrollPixels(row, lv_listview1->rowAt(0), lv_listview1->height());
    if (pixels == 0)
        return;
    QScrollBar* bar = lv_listview1->verticalScrollBar();
    bar->setValue(bar->value() + pixels);
    lv_listview1->viewport()->update();
}

// Rows dropped on a row gather around it; a drop over empty space moves nothing. The moved rows
// keep the selection the move leaves in the play list.
void Tmainform::lv_listview1DragDrop(const QPoint& at)
{
    if (!m_services.listContext)
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::dropRowsOnto(context, lv_listview1->rowAt(at.y()));
    QItemSelection selection;
    QAbstractItemModel* model = lv_listview1->model();
    for (int row = 0; row < context.list.count(); ++row) {
        if (context.list.isSelected(row))
            selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
    }
    lv_listview1->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

bool Tmainform::lv_listview1KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!m_services.listContext)
        return false;
    kivamo::ListContext context = m_services.listContext();
    switch (kivamo::listKeyCommand(key, modifiers, false)) {
    case kivamo::ListKeyCommand::None: return false;
    case kivamo::ListKeyCommand::PlaySelected: kivamo::playSelected(context); break;
    case kivamo::ListKeyCommand::DeleteSelected: kivamo::deleteSelected(context); break;
    case kivamo::ListKeyCommand::SelectAll: lv_listview1->selectAll(); break;
    case kivamo::ListKeyCommand::SaveList: kivamo::saveListCommand(context); break;
    case kivamo::ListKeyCommand::Details: TB_detailClick(); break;
    }
    return true;
}

// The sub-menu keeps its clearing entry and the line after it; the recent movies follow, read afresh
// each time the file menu opens.
void Tmainform::fillHistoryMenu()
{
    auto* his = findChild<QMenu*>(QStringLiteral("MNI_his"));
    QAction* clear = menuAction(QStringLiteral("MNI_delhis"));
    if (!his || !clear)
        return;
    QAction* line = nullptr;
    for (QAction* old : his->actions()) {
        if (old->objectName() == QLatin1String("MNI_N6"))
            line = old;
        else if (old != clear)
            delete old;
    }
    if (!line) {
        line = his->addSeparator();
        line->setObjectName(QStringLiteral("MNI_N6"));
    }
    const kivamo::HistoryMenu history = kivamo::historyMenu(m_services.programDirectory, m_settings.history);
    for (const QString& path : history.items) {
        auto* item = new QAction(kivamo::plainMenuText(path), his);
        item->setObjectName(QStringLiteral("MNI_hisItem"));
        connect(item, &QAction::triggered, this, [this, path] {
            if (!m_services.listContext)
                return;
            kivamo::ListContext context = m_services.listContext();
            kivamo::reopenHistoryItem(context, path);
        });
        his->addAction(item);
    }
    clear->setEnabled(history.clearEnabled);
}

void Tmainform::PM_cuslistPopup()
{
    auto* custom = findChild<QMenu*>(QStringLiteral("PM_cuslist"));
    const QList<QAction*> items = custom->actions();
    for (int i = 3; i < items.size(); ++i)
        delete items[i];
    if (!m_services.listContext)
        return;
    const kivamo::ListContext context = m_services.listContext();
    const kivamo::CustomListMenu menu = kivamo::customListMenu(context.list, m_services.programDirectory);
    items[0]->setEnabled(menu.addEnabled);
    for (const kivamo::CustomList& list : menu.items) {
        QAction* item = custom->addAction(list.name);
        item->setObjectName(QStringLiteral("MNI_cuslistItem"));
        item->setStatusTip(list.path);
        const QString caption = list.name, hint = list.path;
        connect(item, &QAction::triggered, this, [this, caption, hint] {
            kivamo::ListContext open = m_services.listContext();
            kivamo::openCustomList(open, caption, hint);
        });
    }
}
