// PlayList: the ordered movie entries, their selection and the list state (name, file, modified),
// with the row rules every view of the list shares (labels, colours, moving rows).
#pragma once

#include "core/movieentry.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivamo {

// Told about every change so that a view model can follow the list without copying it.
class PlayListObserver {
public:
    virtual ~PlayListObserver() = default;
    virtual void entriesAboutToBeAppended(int first, int last) = 0;
    virtual void entriesAppended() = 0;
    virtual void entriesAboutToBeReset() = 0;  // removal, reordering, clearing
    virtual void entriesReset() = 0;
    virtual void entriesChanged(int first, int last) = 0;  // fields or selection of existing rows
    virtual void titleChanged() = 0;                      // list title and state texts
};

// Colours of a row as the list view paints them; no background means the list's own.
struct RowColours {
    QColor text;
    std::optional<QColor> background;
};

inline const QColor listBackgroundColour{0x7C, 0x92, 0xC9};
inline const QColor currentRowBackground{0x4A, 0x68, 0xB5};
inline const QColor missingFileText{0x55, 0x55, 0x55};

class PlayList {
public:
    static QString newListName() { return QStringLiteral("新建"); }

    void setObserver(PlayListObserver* observer) { m_observer = observer; }

    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    const MovieEntry& at(int index) const { return m_entries[size_t(index)]; }
    const std::vector<MovieEntry>& entries() const { return m_entries; }

    // Appends a new entry with the creation texts and returns its index.
    int appendNew();
    void append(MovieEntry entry);
    void append(std::vector<MovieEntry> entries);
    void setEntry(int index, MovieEntry entry);
    void clear();

    bool isSelected(int index) const { return m_selected[size_t(index)] != 0; }
    void setSelected(int index, bool selected);
    void selectAll();
    void clearSelection();
    bool hasSelection() const;
    int firstSelected() const;  // -1 when nothing is selected
    // Removes the selected rows; returns how many were removed.
    int removeSelected();

    // The playing marker "1" goes to index (none when index < 0), "0" to every other entry.
    void markCurrentEntry(int index);
    // The last entry carrying the playing marker, or -1.
    int findCurrentEntry() const;

    // Moves one row the way a drag does: the moved copy is selected and the row that then sits
    // where the moved row was is deselected.
    void moveEntry(int from, int to);
    // The drop of a drag over row target: selected rows above it gather directly above it and
    // those below it directly below it, each group in reverse order.
    void dropSelectedOnto(int target);

    QString listName() const { return m_listName; }
    void setListName(const QString& name) { m_listName = name; }
    QString currentListFile() const { return m_currentListFile; }
    void setCurrentListFile(const QString& path) { m_currentListFile = path; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // "播放列表：name (n)" and " 列表：name(n)", each followed by " [未保存]" while modified.
    QString titleText() const;
    QString stateText() const;
    // Tells the views to show the title texts again.
    void refreshTitle();

private:
    void applyOrder(const std::vector<int>& order, std::vector<std::uint8_t> selected);
    void notifyReset(bool before);

    std::vector<MovieEntry> m_entries;
    std::vector<std::uint8_t> m_selected;
    QString m_listName = newListName();
    QString m_currentListFile;
    bool m_modified = false;
    PlayListObserver* m_observer = nullptr;
};

// Row label: the 1-based number, padded to four characters in front with ">" on the playing entry
// and blanks elsewhere, then "."; numbers of four or more digits get no pad.
QString rowLabel(int index, bool playing);

// Grey for a local file that is missing (web and network paths never are), white on blue for the
// playing entry while a movie is loaded, black otherwise.
RowColours rowColours(const MovieEntry& entry, bool movieLoaded, bool fileMissing);
// Whether the row's file counts as missing: only local paths are looked up on disk.
bool isMissingLocalFile(const QString& path);

// The four-line hint shown over a row: title, author, source and type, each trimmed.
QString rowHint(const MovieEntry& entry);

}  // namespace kivamo
