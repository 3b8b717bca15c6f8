// PlayListModel: the table model of the list view lv_listview1 over the PlayList, two columns
// (row label, title) without headers, colours and the row hint as data; no row is copied.
#pragma once

#include "core/playlist.h"

#include <QAbstractTableModel>

#include <functional>

namespace kivamo {

class PlayListModel : public QAbstractTableModel, public PlayListObserver {
    Q_OBJECT
public:
    enum Column { LabelColumn = 0, TitleColumn = 1 };

    // movieLoaded tells whether the playing entry is drawn as the current one.
    PlayListModel(PlayList& list, std::function<bool()> movieLoaded, QObject* parent = nullptr);
    ~PlayListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Repaints every row, for example after the movie was loaded or unloaded.
    void refreshRows();

    void entriesAboutToBeAppended(int first, int last) override;
    void entriesAppended() override;
    void entriesAboutToBeReset() override;
    void entriesReset() override;
    void entriesChanged(int first, int last) override;
    void titleChanged() override;

signals:
    // The list title and the state text should be shown again.
    void listTitleChanged();

private:
    PlayList& m_list;
    std::function<bool()> m_movieLoaded;
};

}  // namespace kivamo
