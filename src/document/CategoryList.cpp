#include "CategoryList.h"

#include "Status.h"

#include <QSet>

#include <algorithm>

int CompareSortTexts(QStringView a, QStringView b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded : a.compare(b, Qt::CaseSensitive);
}

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

void CategoryList::appendAll(std::vector<std::unique_ptr<Entry>> entries)
{
    if (entries.empty())
        return;
    beginResetModel();
    m_rows.reserve(m_rows.size() + entries.size());
    std::move(entries.begin(), entries.end(), std::back_inserter(m_rows));
    if (m_sorted)
        sortRows();
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

void CategoryList::setStatus(Row row, double status)
{
    row->status = status;
    rowChanged(row, m_sortKey == StatusText);
}

void CategoryList::setMainText(Row row, const QString &text)
{
    row->setField(Entry::MainText, text);
    rowChanged(row, m_sortKey == 0);
}

QString CategoryList::subItem(Row row, int subItem) const
{
    if (subItem == StatusText)
        return FormatStatus(row->status);
    if (subItem < TaskText || subItem > UserText)
        return {};
    return row->field(subItem).toString();
}

void CategoryList::setSubItem(Row row, int subItem, const QString &text)
{
    Q_ASSERT(subItem >= TaskText && subItem <= UserText);
    row->setField(subItem, text);
    rowChanged(row, m_sortKey == subItem);
}

Row CategoryList::selectedRow() const
{
    const QModelIndexList selected = m_selection.selectedRows();
    if (selected.isEmpty())
        return nullptr;
    return rowAt(selected.first().row() + 1);
}

void CategoryList::setSorting(int key, int order, bool sorted)
{
    const bool resort = sorted && (!m_sorted || key != m_sortKey || order != m_sortOrder);
    m_sortKey = key;
    m_sortOrder = order;
    m_sorted = sorted;
    if (!resort || m_rows.empty())
        return;

    // Keep the selection and the views' other persistent indexes on their rows.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<Row> rowsBefore;
    rowsBefore.reserve(before.size());
    for (const QModelIndex &index : before)
        rowsBefore.append(m_rows[index.row()].get());

    sortRows();

    QHash<Row, int> newIndex;
    const QSet<Row> wanted(rowsBefore.cbegin(), rowsBefore.cend());
    for (int i = 0; i < count() && newIndex.size() < wanted.size(); ++i) {
        if (wanted.contains(m_rows[i].get()))
            newIndex.insert(m_rows[i].get(), i);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after.append(index(newIndex.value(rowsBefore[i]), before[i].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CategoryList::clearColumns()
{
    if (m_columns.isEmpty())
        return;
    beginRemoveColumns(QModelIndex(), 0, static_cast<int>(m_columns.size()) - 1);
    m_columns.clear();
    endRemoveColumns();
}

void CategoryList::addColumn(const QString &key, const QString &caption)
{
    const int position = static_cast<int>(m_columns.size());
    beginInsertColumns(QModelIndex(), position, position);
    m_columns.append({key, caption});
    endInsertColumns();
}

int CategoryList::columnPosition(const QString &key) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].key == key)
            return i + 1;
    }
    return 0;
}

void CategoryList::setStatusIcons(const QList<QVariant> &icons, const QVariant &otherIcon)
{
    m_statusIcons = icons;
    m_otherIcon = otherIcon;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(count() - 1, 0), {Qt::DecorationRole});
}

int CategoryList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int CategoryList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CategoryList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Entry &entry = *m_rows[index.row()];
    const int column = index.column();
    if (role == Qt::DisplayRole) {
        if (column == 0)
            return entry.field(Entry::MainText).toString();
        return subItem(const_cast<Row>(&entry), column);
    }
    if (role == Qt::DecorationRole && column == 0) {
        const double status = entry.status;
        for (int code = 1; code <= m_statusIcons.size(); ++code) {
            if (status == code)
                return m_statusIcons[code - 1];
        }
        return m_otherIcon;
    }
    return {};
}

QVariant CategoryList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_columns.size())
        return {};
    return m_columns[section].caption;
}

int CategoryList::indexOf(Row row) const
{
    // Callers mostly ask again for the row they just looked up.
    if (m_positionHint < count() && m_rows[m_positionHint].get() == row)
        return m_positionHint;
    const auto found = std::find_if(m_rows.begin(), m_rows.end(),
                                    [row](const std::unique_ptr<Entry> &e) { return e.get() == row; });
    if (found == m_rows.end())
        return -1;
    m_positionHint = static_cast<int>(found - m_rows.begin());
    return m_positionHint;
}

QString CategoryList::keyText(const Entry &entry) const
{
    if (m_sortKey == StatusText)
        return FormatStatus(entry.status);
    if (m_sortKey < 0 || m_sortKey > UserText)
        return {};
    return entry.field(m_sortKey).toString();
}

bool CategoryList::goesBefore(const QString &a, const QString &b) const
{
    const int order = CompareSortTexts(a, b);
    return m_sortOrder == Descending ? order > 0 : order < 0;
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
    Q_EMIT dataChanged(index(current, 0), index(current, qMax(0, columnCount() - 1)));
}

void CategoryList::sortRows()
{
    // Sort on the key texts computed once; a stable sort keeps rows with equal
    // keys in their present order.
    struct Keyed {
        QString key;
        std::unique_ptr<Entry> entry;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(m_rows.size());
    for (auto &entry : m_rows) {
        QString key = m_sortKey == StatusText ? FormatStatus(entry->status) : QString();
        keyed.push_back({std::move(key), std::move(entry)});
    }
    auto keyOf = [this](const Keyed &k) -> QStringView {
        if (m_sortKey == StatusText)
            return k.key;
        if (m_sortKey < 0 || m_sortKey > UserText)
            return {};
        return k.entry->field(m_sortKey);
    };
    const bool descending = m_sortOrder == Descending;
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
        const int order = CompareSortTexts(keyOf(a), keyOf(b));
        return descending ? order > 0 : order < 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_rows[i] = std::move(keyed[i].entry);
}
