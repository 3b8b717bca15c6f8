#include "core/playlist.h"

#include "core/paths.h"
#include "platform/textfile.h"

#include <QFileInfo>

#include <algorithm>
#include <numeric>

namespace kivamo {

namespace {

// One move of a drag, done on row numbers and selection marks so that a drop of many rows costs
// one reordering of the entries. The row the moved one leaves behind is deselected and the moved
// copy selected, as the list view's own insert-then-delete leaves them.
void moveInOrder(std::vector<int>& order, std::vector<std::uint8_t>& selected, int from, int to)
{
    const int n = int(order.size());
    from = std::max(0, from);
    to = std::max(0, to);
    // from == n would name a row that does not exist, so it moves nothing either.
    if (from >= n || from == to)
        return;
    to = std::min(to, n);
    if (from < to) {
        order.insert(order.begin() + to, order[size_t(from)]);
        selected.insert(selected.begin() + to, 0);
        order.erase(order.begin() + from);
        selected.erase(selected.begin() + from);
        selected[size_t(from)] = 0;
        selected[size_t(to - 1)] = 1;
    } else {
        order.insert(order.begin() + to + 1, order[size_t(from)]);
        selected.insert(selected.begin() + to + 1, 0);
        order.erase(order.begin() + from + 1);
        selected.erase(selected.begin() + from + 1);
        selected[size_t(from)] = 0;
        selected[size_t(to + 1)] = 1;
    }
}

std::vector<int> identityOrder(int n)
{
    std::vector<int> order(size_t(n), 0);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

}  // namespace

int PlayList::appendNew()
{
    append(MovieEntry{});
    return count() - 1;
}

void PlayList::append(MovieEntry entry)
{
    const int row = count();
    if (m_observer)
        m_observer->entriesAboutToBeAppended(row, row);
    m_entries.push_back(std::move(entry));
    m_selected.push_back(0);
    if (m_observer)
        m_observer->entriesAppended();
}

void PlayList::append(std::vector<MovieEntry> entries)
{
    if (entries.empty())
        return;
    const int first = count();
    if (m_observer)
        m_observer->entriesAboutToBeAppended(first, first + int(entries.size()) - 1);
    m_entries.reserve(m_entries.size() + entries.size());
    for (MovieEntry& entry : entries)
        m_entries.push_back(std::move(entry));
    m_selected.resize(m_entries.size(), 0);
    if (m_observer)
        m_observer->entriesAppended();
}

void PlayList::setEntry(int index, MovieEntry entry)
{
    m_entries[size_t(index)] = std::move(entry);
    if (m_observer)
        m_observer->entriesChanged(index, index);
}

void PlayList::clear()
{
    notifyReset(true);
    m_entries.clear();
    m_selected.clear();
    notifyReset(false);
}

void PlayList::setSelected(int index, bool selected)
{
    m_selected[size_t(index)] = selected ? 1 : 0;
    if (m_observer)
        m_observer->entriesChanged(index, index);
}

void PlayList::selectAll()
{
    std::fill(m_selected.begin(), m_selected.end(), std::uint8_t(1));
    if (m_observer && !isEmpty())
        m_observer->entriesChanged(0, count() - 1);
}

void PlayList::clearSelection()
{
    std::fill(m_selected.begin(), m_selected.end(), std::uint8_t(0));
    if (m_observer && !isEmpty())
        m_observer->entriesChanged(0, count() - 1);
}

bool PlayList::hasSelection() const
{
    return firstSelected() >= 0;
}

int PlayList::firstSelected() const
{
    auto it = std::find(m_selected.begin(), m_selected.end(), std::uint8_t(1));
    return it == m_selected.end() ? -1 : int(it - m_selected.begin());
}

int PlayList::removeSelected()
{
    std::vector<MovieEntry> kept;
    kept.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_selected[i])
            kept.push_back(std::move(m_entries[i]));
    }
    const int removed = count() - int(kept.size());
    if (removed == 0)
        return 0;
    notifyReset(true);
    m_entries = std::move(kept);
    m_selected.assign(m_entries.size(), 0);
    notifyReset(false);
    return removed;
}

void PlayList::markCurrentEntry(int index)
{
    for (MovieEntry& entry : m_entries)
        entry.playing = QStringLiteral("0");
    if (index >= 0 && index < count())
        m_entries[size_t(index)].playing = QStringLiteral("1");
    if (m_observer && !isEmpty())
        m_observer->entriesChanged(0, count() - 1);
}

int PlayList::findCurrentEntry() const
{
    for (int i = count() - 1; i >= 0; --i) {
        if (m_entries[size_t(i)].isPlaying())
            return i;
    }
    return -1;
}

void PlayList::moveEntry(int from, int to)
{
    std::vector<int> order = identityOrder(count());
    std::vector<std::uint8_t> selected = m_selected;
    moveInOrder(order, selected, from, to);
    applyOrder(order, std::move(selected));
}

void PlayList::dropSelectedOnto(int target)
{
    if (target < 0 || target >= count())
        return;
    std::vector<int> order = identityOrder(count());
    std::vector<std::uint8_t> selected = m_selected;
    for (int i = target - 1; i >= 0; --i) {
        if (selected[size_t(i)])
            moveInOrder(order, selected, i, target);
    }
    const int rows = int(order.size());
    for (int i = target; i < rows; ++i) {
        if (selected[size_t(i)])
            moveInOrder(order, selected, i, target);
    }
    applyOrder(order, std::move(selected));
}

void PlayList::applyOrder(const std::vector<int>& order, std::vector<std::uint8_t> selected)
{
    notifyReset(true);
    std::vector<MovieEntry> reordered;
    reordered.reserve(order.size());
    for (int from : order)
        reordered.push_back(std::move(m_entries[size_t(from)]));
    m_entries = std::move(reordered);
    m_selected = std::move(selected);
    notifyReset(false);
}

void PlayList::notifyReset(bool before)
{
    if (!m_observer)
        return;
    if (before)
        m_observer->entriesAboutToBeReset();
    else
        m_observer->entriesReset();
}

QString PlayList::titleText() const
{
    QString text = QStringLiteral("播放列表：%1 (%2)").arg(m_listName, QString::number(count()));
    if (m_modified)
        text += QStringLiteral(" [未保存]");
    return text;
}

QString PlayList::stateText() const
{
    QString text = QStringLiteral(" 列表：%1(%2)").arg(m_listName, QString::number(count()));
    if (m_modified)
        text += QStringLiteral(" [未保存]");
    return text;
}

void PlayList::refreshTitle()
{
    if (m_observer)
        m_observer->titleChanged();
}

QString rowLabel(int index, bool playing)
{
    const QString number = QString::number(index + 1);
    const int digits = int(number.size());
    if (digits > 3)
        return number + u'.';
    return QString(4 - digits, playing ? u'>' : u' ') + number + u'.';
}

bool isMissingLocalFile(const QString& path)
{
    return isLocalPath(path) && !QFileInfo::exists(path);
}

RowColours rowColours(const MovieEntry& entry, bool movieLoaded, bool fileMissing)
{
    if (entry.isPlaying() && movieLoaded)
        return {Qt::white, currentRowBackground};
    return {fileMissing ? missingFileText : QColor(Qt::black), std::nullopt};
}

QString rowHint(const MovieEntry& entry)
{
    return QStringLiteral("【标题】") + trimmed32(entry.title) + QStringLiteral("\r\n【作者】")
        + trimmed32(entry.author) + QStringLiteral("\r\n【出处】") + trimmed32(entry.source)
        + QStringLiteral("\r\n【类型】") + trimmed32(entry.type);
}

}  // namespace kivamo
