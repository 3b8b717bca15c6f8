#include "playlist/playlistmodel.h"

#include <QBrush>

namespace kivamo {

PlayListModel::PlayListModel(PlayList& list, std::function<bool()> movieLoaded, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_movieLoaded(std::move(movieLoaded))
{
    m_list.setObserver(this);
}

PlayListModel::~PlayListModel()
{
    m_list.setObserver(nullptr);
}

int PlayListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.count();
}

int PlayListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PlayListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.count())
        return {};
    const MovieEntry& entry = m_list.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == LabelColumn ? rowLabel(index.row(), entry.isPlaying()) : entry.title;
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        const bool loaded = m_movieLoaded && m_movieLoaded();
        const RowColours colours = rowColours(entry, loaded, isMissingLocalFile(entry.path));
        if (role == Qt::ForegroundRole)
            return QBrush(colours.text);
        return colours.background ? QVariant(QBrush(*colours.background)) : QVariant();
    }
    case Qt::ToolTipRole:
        return rowHint(entry);
    default:
        return {};
    }
}

QVariant PlayListModel::headerData(int, Qt::Orientation, int) const
{
    return {};
}

Qt::ItemFlags PlayListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

void PlayListModel::refreshRows()
{
    if (m_list.count() > 0)
        emit dataChanged(index(0, 0), index(m_list.count() - 1, 1));
}

void PlayListModel::entriesAboutToBeAppended(int first, int last)
{
    beginInsertRows(QModelIndex(), first, last);
}

void PlayListModel::entriesAppended()
{
    endInsertRows();
}

void PlayListModel::entriesAboutToBeReset()
{
    beginResetModel();
}

void PlayListModel::entriesReset()
{
    endResetModel();
}

void PlayListModel::entriesChanged(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, 1));
}

void PlayListModel::titleChanged()
{
    emit listTitleChanged();
}

}  // namespace kivamo
