#include "playlist/ui/tfcustomlist.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

using namespace kivamo;

namespace {

// Rows whose list file is gone are kept but painted in grey.
const QColor kMissingColour(0x80, 0x80, 0x80);

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* widget = new QPushButton(caption, parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(caption);
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace

TFCustomList::TFCustomList(Prompts& prompts, const QString& programDirectory, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_programDirectory(programDirectory)
{
    setObjectName(QStringLiteral("FCustomList"));
    setWindowTitle(QStringLiteral("自定义播放列表"));
    setAccessibleName(QStringLiteral("自定义播放列表"));
    setFixedSize(429, 292);

    buildList();
    B_add = button(this, "B_add", QStringLiteral("添加"), QRect(344, 8, 75, 25));
    b_edit = button(this, "b_edit", QStringLiteral("编辑"), QRect(344, 40, 75, 25));
    b_edit->setEnabled(false);
    B_del = button(this, "B_del", QStringLiteral("删除"), QRect(344, 72, 75, 25));
    B_del->setEnabled(false);
    Button5 = button(this, "Button5", QStringLiteral("确定"), QRect(344, 216, 75, 25));
    Button5->setDefault(true);
    Button4 = button(this, "Button4", QStringLiteral("取消"), QRect(344, 256, 75, 25));
    connectHandlers();
    FormCreate();
}

void TFCustomList::buildList()
{
    lv_cuslist = new QTableWidget(0, 2, this);
    lv_cuslist->setObjectName(QStringLiteral("lv_cuslist"));
    lv_cuslist->setAccessibleName(QStringLiteral("自定义列表"));
    lv_cuslist->setGeometry(8, 8, 321, 273);
    lv_cuslist->setHorizontalHeaderLabels({QStringLiteral("标题"), QStringLiteral("路径")});
    lv_cuslist->horizontalHeader()->setSectionsClickable(false);
    lv_cuslist->horizontalHeader()->resizeSection(1, 200);
    lv_cuslist->verticalHeader()->hide();
    lv_cuslist->setShowGrid(true);
    lv_cuslist->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv_cuslist->setSelectionMode(QAbstractItemView::SingleSelection);
    lv_cuslist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv_cuslist->setWordWrap(false);
}

void TFCustomList::connectHandlers()
{
    connect(B_add, &QPushButton::clicked, this, &TFCustomList::B_addClick);
    connect(b_edit, &QPushButton::clicked, this, &TFCustomList::b_editClick);
    connect(B_del, &QPushButton::clicked, this, &TFCustomList::B_delClick);
    connect(Button5, &QPushButton::clicked, this, &TFCustomList::Button5Click);
    connect(Button4, &QPushButton::clicked, this, &TFCustomList::Button4Click);
    connect(lv_cuslist, &QTableWidget::pressed, this, &TFCustomList::lv_cuslistMouseDown);
    // Selecting a row from the keyboard counts as a press, so 编辑 and 删除 are reachable without a mouse.
    connect(lv_cuslist, &QTableWidget::itemSelectionChanged, this, &TFCustomList::lv_cuslistMouseDown);
}

void TFCustomList::FormCreate()
{
    m_editor.load(m_programDirectory);
    showRows(-1);
}

void TFCustomList::B_addClick()
{
    if (m_editor.addThroughDialog(m_prompts))
        showRows(selectedRow());
}

void TFCustomList::b_editClick()
{
    const int row = selectedRow();
    if (row >= 0 && m_editor.editThroughDialog(m_prompts, row))
        showRows(row);
}

void TFCustomList::B_delClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_editor.remove(row);
    showRows(-1);
    b_edit->setEnabled(false);
    B_del->setEnabled(false);
}

void TFCustomList::lv_cuslistMouseDown()
{
    const bool selected = selectedRow() >= 0;
    b_edit->setEnabled(selected);
    B_del->setEnabled(selected);
}

void TFCustomList::Button5Click()
{
    // A file that cannot be written is reported by the editor; the dialog stays open with its rows.
    if (m_editor.save(m_prompts, m_programDirectory))
        accept();
}

void TFCustomList::Button4Click()
{
    reject();
}

void TFCustomList::showRows(int selectedRow)
{
    const QSignalBlocker blocker(lv_cuslist);
    const std::vector<CustomList>& rows = m_editor.rows();
    lv_cuslist->clearSelection();
    lv_cuslist->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const bool missing = m_editor.isMissing(row);
        const QString texts[] = {rows[size_t(row)].name, rows[size_t(row)].path};
        for (int column = 0; column < 2; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setForeground(missing ? kMissingColour : QColor(Qt::black));
            lv_cuslist->setItem(row, column, item);
        }
    }
    if (selectedRow >= 0 && selectedRow < int(rows.size()))
        lv_cuslist->selectRow(selectedRow);
}

int TFCustomList::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = lv_cuslist->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.constFirst().topRow();
}
