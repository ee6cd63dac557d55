#include "entries/CategoryList.h"

#include "entries/Status.h"

#include <algorithm>

CategoryList::CategoryList(const QString &name, QObject *parent)
    : QAbstractTableModel(parent)
    , m_name(name)
    , m_selection(this)
{
}

CategoryList::~CategoryList() = default;

void CategoryList::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

Row CategoryList::append(std::unique_ptr<Entry> entry)
{
    if (m_sorted)
        return insertSorted(std::move(entry), true);
    const int position = count();
    beginInsertRows(QModelIndex(), position, position);
    m_rows.push_back(std::move(entry));
    endInsertRows();
    m_positionHint = position;
    return m_rows.back().get();
}

Row CategoryList::insertAtTop(std::unique_ptr<Entry> entry)
{
    if (m_sorted)
        return insertSorted(std::move(entry), false);
    beginInsertRows(QModelIndex(), 0, 0);
    m_rows.insert(m_rows.begin(), std::move(entry));
    endInsertRows();
    return m_rows.front().get();
}

Row CategoryList::insertAt(int position, std::unique_ptr<Entry> entry)
{
    const int index = std::clamp(position - 1, 0, count());
    if (m_sorted && !fitsAt(keyText(*entry), index))
        return insertSorted(std::move(entry), true);
    beginInsertRows(QModelIndex(), index, index);
    const Row row = entry.get();
    m_rows.insert(m_rows.begin() + index, std::move(entry));
    endInsertRows();
    m_positionHint = index;
    return row;
}

void CategoryList::appendAll(std::vector<std::unique_ptr<Entry>> entries)
{
    if (entries.empty())
        return;
    beginResetModel();
    m_rows.reserve(m_rows.size() + entries.size());
    std::move(entries.begin(), entries.end(), std::back_inserter(m_rows));
    if (m_sorted)
        reorderRows(sortedOrder());
    endResetModel();
}

Row CategoryList::rowAt(int position) const
{
    if (position < 1 || position > count())
        return nullptr;
    return m_rows[position - 1].get();
}

int CategoryList::positionOf(Row row) const
{
    return indexOf(row) + 1;
}

void CategoryList::removeAt(int position)
{
    if (position < 1 || position > count())
        return;
    const int index = position - 1;
    beginRemoveRows(QModelIndex(), index, index);
    m_rows.erase(m_rows.begin() + index);
    endRemoveRows();
}

EntryRows CategoryList::replaceRows(int position, int count, EntryRows rows)
{
    const int index = std::clamp(position - 1, 0, this->count());
    count = std::clamp(count, 0, this->count() - index);
    EntryRows taken;
    if (count > 0) {
        beginRemoveRows(QModelIndex(), index, index + count - 1);
        const auto first = m_rows.begin() + index;
        taken.assign(std::make_move_iterator(first), std::make_move_iterator(first + count));
        m_rows.erase(first, first + count);
        endRemoveRows();
    }
    if (!rows.empty()) {
        beginInsertRows(QModelIndex(), index, index + int(rows.size()) - 1);
        m_rows.insert(m_rows.begin() + index, std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
        endInsertRows();
    }
    return taken;
}

EntryRows CategoryList::takeRows(const std::vector<int> &positions)
{
    EntryRows taken;
    if (positions.empty())
        return taken;
    const int first = positions.front();
    EntryRows span = replaceRows(first, positions.back() - first + 1, {});
    EntryRows kept;
    kept.reserve(span.size() - positions.size());
    taken.reserve(positions.size());
    size_t next = 0;
    for (size_t i = 0; i < span.size(); ++i) {
        if (next < positions.size() && positions[next] == first + int(i)) {
            taken.push_back(std::move(span[i]));
            ++next;
        } else {
            kept.push_back(std::move(span[i]));
        }
    }
    replaceRows(first, 0, std::move(kept));
    return taken;
}

std::vector<int> CategoryList::insertAll(EntryRows rows)
{
    std::vector<int> positions;
    if (rows.empty())
        return positions;
    positions.reserve(rows.size());
    if (!m_sorted) {
        for (size_t i = 0; i < rows.size(); ++i)
            positions.push_back(count() + 1 + int(i));
        replaceRows(count() + 1, 0, std::move(rows));
        return positions;
    }
    const std::vector<quint32> order = SortedOrder(rows, m_sortKey, m_sortOrder == Descending);
    EntryRows incoming(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        incoming[i] = std::move(rows[order[i]]);
    // From the place of the first new row on, old and new rows are merged;
    // an old row goes first where the keys are equal.
    const int start = placeFor(keyText(*incoming.front()), true, -1);
    EntryRows tail = replaceRows(start + 1, count() - start, {});
    EntryRows merged;
    merged.reserve(tail.size() + incoming.size());
    size_t old = 0;
    size_t added = 0;
    while (old < tail.size() || added < incoming.size()) {
        if (added == incoming.size()
            || (old < tail.size() && !goesBefore(keyText(*incoming[added]), keyText(*tail[old])))) {
            merged.push_back(std::move(tail[old++]));
        } else {
            positions.push_back(start + int(merged.size()) + 1);
            merged.push_back(std::move(incoming[added++]));
        }
    }
    replaceRows(start + 1, 0, std::move(merged));
    return positions;
}

// The rows that go are first put after the others, in one layout change
// that views and a find follow row by row, and then leave at the end.
EntryRows CategoryList::takeOut(const std::vector<int> &positions)
{
    EntryRows taken;
    if (positions.empty())
        return taken;
    const int total = count();
    const int kept = total - int(positions.size());
    if (positions.front() != kept + 1) {
        std::vector<quint32> arrangement;
        arrangement.reserve(size_t(total));
        size_t next = 0;
        for (int index = 0; index < total; ++index) {
            if (next < positions.size() && positions[next] == index + 1)
                ++next;
            else
                arrangement.push_back(quint32(index));
        }
        for (const int position : positions)
            arrangement.push_back(quint32(position - 1));
        arrangeRows(arrangement);
    }
    beginRemoveRows(QModelIndex(), kept, total - 1);
    taken.assign(std::make_move_iterator(m_rows.begin() + kept), std::make_move_iterator(m_rows.end()));
    m_rows.erase(m_rows.begin() + kept, m_rows.end());
    endRemoveRows();
    return taken;
}

// The reverse of takeOut: the rows come in at the end, then one layout
// change puts them in their places.
void CategoryList::putIn(const std::vector<int> &positions, EntryRows rows)
{
    Q_ASSERT(positions.size() == rows.size());
    if (rows.empty())
        return;
    const int before = count();
    beginInsertRows(QModelIndex(), before, before + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
    if (positions.front() == before + 1)
        return;
    std::vector<quint32> arrangement;
    arrangement.reserve(m_rows.size());
    size_t next = 0;
    quint32 old = 0;
    for (int index = 0; index < count(); ++index) {
        if (next < positions.size() && positions[next] == index + 1)
            arrangement.push_back(quint32(before) + quint32(next++));
        else
            arrangement.push_back(old++);
    }
    arrangeRows(arrangement);
}

std::vector<int> CategoryList::appendMany(EntryRows rows)
{
    std::vector<int> positions;
    positions.reserve(rows.size());
    if (!m_sorted) {
        for (size_t i = 0; i < rows.size(); ++i)
            positions.push_back(count() + 1 + int(i));
        putIn(positions, std::move(rows));
        return positions;
    }
    // Rows taken from a list sorted the same way need no sorting.
    bool inOrder = true;
    for (size_t i = 1; i < rows.size() && inOrder; ++i)
        inOrder = !goesBefore(compareKeys(*rows[i], *rows[i - 1]));
    if (!inOrder) {
        const std::vector<quint32> order = SortedOrder(rows, m_sortKey, m_sortOrder == Descending);
        EntryRows sorted(rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            sorted[i] = std::move(rows[order[i]]);
        rows.swap(sorted);
    }
    // An old row goes first where the keys are equal.
    size_t old = 0;
    for (size_t added = 0; added < rows.size(); ++added) {
        while (old < m_rows.size() && !goesBefore(compareKeys(*rows[added], *m_rows[old])))
            ++old;
        positions.push_back(int(old + added) + 1);
    }
    putIn(positions, std::move(rows));
    return positions;
}

void CategoryList::setStatus(Row row, double status)
{
    const int index = indexOf(row);
    if (index < 0)
        return;
    m_rows[index]->status = status;
    rowChanged(row, m_sortKey == Entry::StatusText);
}

void CategoryList::setText(Row row, int field, const QString &text)
{
    Q_ASSERT(field >= Entry::MainText && field <= Entry::User);
    const int index = indexOf(row);
    if (index < 0)
        return;
    m_rows[index]->setField(field, text);
    rowChanged(row, m_sortKey == field);
}

Row CategoryList::selectedRow() const
{
    return rowAt(SelectedRowIndex(m_selection) + 1);
}

int SelectedRowIndex(const QItemSelectionModel &selection)
{
    const QItemSelection ranges = selection.selection();
    const int current = selection.currentIndex().row();
    int first = -1;
    for (const QItemSelectionRange &range : ranges) {
        if (current >= range.top() && current <= range.bottom())
            return current;
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

std::vector<int> SelectedRowIndexes(const QItemSelectionModel &selection)
{
    const QItemSelection ranges = selection.selection();
    std::vector<int> rows;
    if (ranges.isEmpty())
        return rows;
    // Ranges may overlap; a bit a row of the model finds each row once.
    std::vector<bool> selected(size_t(selection.model()->rowCount()));
    for (const QItemSelectionRange &range : ranges) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected[size_t(row)] = true;
    }
    for (size_t row = 0; row < selected.size(); ++row) {
        if (selected[row])
            rows.push_back(int(row));
    }
    return rows;
}

void CategoryList::setSorting(int key, int order, bool sorted)
{
    const bool changed = key != m_sortKey || order != m_sortOrder || sorted != m_sorted;
    // Rows sorted by the same key the other way round need no comparing.
    const bool reverse = sorted && m_sorted && key == m_sortKey && order != m_sortOrder;
    const bool resort = sorted && (!m_sorted || key != m_sortKey || order != m_sortOrder);
    m_sortKey = key;
    m_sortOrder = order;
    m_sorted = sorted;
    if (resort && !m_rows.empty())
        arrangeRows(reverse ? ReversedOrder(m_rows, m_sortKey) : sortedOrder());
    if (changed)
        Q_EMIT sortingChanged();
}

void CategoryList::sortByColumn(int columnPosition)
{
    const int key = columnPosition == 1 ? int(Entry::StatusText) : columnPosition - 1;
    int order = m_sortOrder;
    if (m_sortKey == key)
        order = order == Descending ? Ascending : Descending;
    setSorting(key, order, true);
}

// Puts the rows in the given order, keeping the selection and the views'
// other persistent indexes on their rows.
void CategoryList::arrangeRows(const std::vector<quint32> &arrangement)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<quint32> newIndex(arrangement.size());
        for (size_t i = 0; i < arrangement.size(); ++i)
            newIndex[arrangement[i]] = static_cast<quint32>(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before)
            after.append(this->index(static_cast<int>(newIndex[index.row()]), index.column()));
        changePersistentIndexList(before, after);
    }
    reorderRows(arrangement);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CategoryList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int CategoryList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Entry::ColumnCount;
}

namespace {

// A cell shows no more of its text than fits a screen many times over: laying
// out a text of hundreds of megabytes to paint one row would take the program
// down. The list keeps the whole text.
constexpr qsizetype kShownUnits = 4096;

QString shownPart(QStringView text)
{
    if (text.size() <= kShownUnits)
        return text.toString();
    qsizetype size = kShownUnits;
    if (text[size - 1].isHighSurrogate())
        --size;
    return text.first(size).toString();
}

} // namespace

QVariant CategoryList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Entry &entry = *m_rows[index.row()];
    const int column = index.column();
    const auto shown = [&] {
        return column == Entry::StatusText ? entry.columnText(column) : shownPart(entry.field(column));
    };
    switch (role) {
    case Qt::DisplayRole:
        return shown();
    case StatusRole:
        return entry.status;
    case Qt::AccessibleTextRole:
        // The status column shows a picture; assistive tools read its name.
        if (column == Entry::MainText)
            return StatusName(entry.status);
        return shown();
    default:
        return {};
    }
}

QVariant CategoryList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    return m_headers.value({section, role});
}

bool CategoryList::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= Entry::ColumnCount)
        return false;
    m_headers.insert({section, role == Qt::EditRole ? int(Qt::DisplayRole) : role}, value);
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

int CategoryList::indexOf(Row row) const
{
    // Callers mostly ask again for the row they just looked up.
    if (m_positionHint < count() && m_rows[m_positionHint].get() == row)
        return m_positionHint;
    const auto found =
        std::find_if(m_rows.begin(), m_rows.end(), [row](const std::unique_ptr<Entry> &e) { return e.get() == row; });
    if (found == m_rows.end())
        return -1;
    m_positionHint = static_cast<int>(found - m_rows.begin());
    return m_positionHint;
}

QString CategoryList::keyText(const Entry &entry) const
{
    return entry.columnText(m_sortKey);
}

bool CategoryList::goesBefore(const QString &a, const QString &b) const
{
    return goesBefore(CompareSortTexts(a, b));
}

bool CategoryList::goesBefore(int order) const
{
    return m_sortOrder == Descending ? order > 0 : order < 0;
}

int CategoryList::compareKeys(const Entry &a, const Entry &b) const
{
    if (m_sortKey == Entry::StatusText)
        return CompareSortTexts(a.columnText(m_sortKey), b.columnText(m_sortKey));
    return CompareSortTexts(a.field(m_sortKey), b.field(m_sortKey));
}

// The index at which a row with the given key goes, leaving out the row at
// index skip (-1 for none): after the rows with an equal key, or before them.
int CategoryList::placeFor(const QString &key, bool afterEqual, int skip) const
{
    int low = 0;
    int high = count() - (skip >= 0 ? 1 : 0);
    while (low < high) {
        const int mid = low + (high - low) / 2;
        const int actual = (skip >= 0 && mid >= skip) ? mid + 1 : mid;
        const QString probe = keyText(*m_rows[actual]);
        const bool goesAfterProbe = afterEqual ? !goesBefore(key, probe) : goesBefore(probe, key);
        if (goesAfterProbe)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// Whether a row with the given key keeps the sort order at index.
bool CategoryList::fitsAt(const QString &key, int index) const
{
    if (index > 0 && goesBefore(key, keyText(*m_rows[index - 1])))
        return false;
    return index >= count() || !goesBefore(keyText(*m_rows[index]), key);
}

Row CategoryList::insertSorted(std::unique_ptr<Entry> entry, bool afterEqual)
{
    const int position = placeFor(keyText(*entry), afterEqual, -1);
    beginInsertRows(QModelIndex(), position, position);
    Row row = entry.get();
    m_rows.insert(m_rows.begin() + position, std::move(entry));
    endInsertRows();
    m_positionHint = position;
    return row;
}

void CategoryList::rowChanged(Row row, bool keyChanged)
{
    int current = indexOf(row);
    if (current < 0)
        return;
    if (keyChanged && m_sorted) {
        const int target = placeFor(keyText(*row), true, current);
        if (target != current) {
            const int destination = target > current ? target + 1 : target;
            beginMoveRows(QModelIndex(), current, current, QModelIndex(), destination);
            if (target > current)
                std::rotate(m_rows.begin() + current, m_rows.begin() + current + 1, m_rows.begin() + target + 1);
            else
                std::rotate(m_rows.begin() + target, m_rows.begin() + current, m_rows.begin() + current + 1);
            endMoveRows();
            current = target;
            m_positionHint = target;
        }
    }
    Q_EMIT dataChanged(index(current, 0), index(current, Entry::ColumnCount - 1));
}

std::vector<quint32> CategoryList::sortedOrder() const
{
    return SortedOrder(m_rows, m_sortKey, m_sortOrder == Descending);
}

// Puts the rows in the given order: order[i] is the present index of the row
// that goes to index i.
void CategoryList::reorderRows(const std::vector<quint32> &order)
{
    std::vector<std::unique_ptr<Entry>> rows(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        rows[i] = std::move(m_rows[order[i]]);
    m_rows.swap(rows);
}
