#include "document/CategoryList.h"

#include "document/Status.h"

#include <algorithm>

int CompareSortTexts(QStringView a, QStringView b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded : a.compare(b, Qt::CaseSensitive);
}

namespace {

// The texts that order the rows, by row index.
class SortKeys
{
public:
    SortKeys(const std::vector<std::unique_ptr<Entry>> &rows, int key)
        : m_rows(rows)
        , m_key(key)
    {
        if (key != CategoryList::StatusText)
            return;
        m_statusTexts.reserve(rows.size());
        for (const auto &row : rows)
            m_statusTexts.push_back(FormatStatus(row->status));
    }

    QStringView operator()(quint32 row) const
    {
        if (m_key == CategoryList::StatusText)
            return m_statusTexts[row];
        if (m_key < 0 || m_key > CategoryList::UserText)
            return {};
        return m_rows[row]->field(m_key);
    }

private:
    const std::vector<std::unique_ptr<Entry>> &m_rows;
    const int m_key;
    std::vector<QString> m_statusTexts;
};

// Sorting a million rows by comparing their texts would read the texts, spread
// all over memory, some twenty times each. Instead each row's key is read a
// few code units at a time into a sort item, whose numbers order the rows as
// CompareSortTexts does or tie them; only tied rows read their next units.
//
// The case-insensitive half of CompareSortTexts compares code unit by code
// unit the case folding of each, a low surrogate counting as the folding of
// its whole character. Packs hold kPackUnits of those values, 16 bits each; a
// key that has ended is padded with 0, below any unit, since the shorter of
// two texts goes first. A value beyond 16 bits (a folded character outside
// the Basic Multilingual Plane) counts as 0xFFFF, and so does the rest of
// that pack, which leaves such ties to CompareSortTexts itself.
constexpr int kPackUnits = 8;
// Keys that tie this far are left to CompareSortTexts, so that two long equal
// texts do not take one pass per pack.
constexpr qsizetype kMaxPackedUnits = 1024;

struct SortItem {
    enum Flag : quint8 { GoesOn = 1, Clamped = 2 };
    quint64 high = 0;
    quint64 low = 0;
    quint32 row = 0;
    quint8 flags = 0;

    bool samePack(const SortItem &other) const { return high == other.high && low == other.low; }
};

char32_t foldedUnit(const char16_t *text, qsizetype i)
{
    const char16_t c = text[i];
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
    if (QChar::isLowSurrogate(c) && i > 0 && QChar::isHighSurrogate(text[i - 1]))
        return QChar::toCaseFolded(QChar::surrogateToUcs4(text[i - 1], c));
    return QChar::toCaseFolded(char32_t(c));
}

// Packs the units from offset on: folded, or as they are for the case-sensitive half.
void pack(SortItem &item, QStringView key, qsizetype offset, bool folded)
{
    const char16_t *text = key.utf16();
    const qsizetype size = key.size();
    quint64 packs[2] = {0, 0};
    bool clamped = false;
    for (int i = 0; i < kPackUnits; ++i) {
        const qsizetype at = offset + i;
        quint64 unit = 0;
        if (clamped) {
            unit = 0xFFFF;
        } else if (at < size) {
            unit = folded ? foldedUnit(text, at) : text[at];
            if (unit > 0xFFFF) {
                clamped = true;
                unit = 0xFFFF;
            }
        }
        packs[i / 4] = (packs[i / 4] << 16) | unit;
    }
    item.high = packs[0];
    item.low = packs[1];
    item.flags = (size > offset + kPackUnits ? SortItem::GoesOn : 0) | (clamped ? SortItem::Clamped : 0);
}

class RowSorter
{
public:
    RowSorter(const SortKeys &keys, bool descending)
        : m_keys(keys)
        , m_descending(descending)
    {
    }

    void sort(SortItem *begin, SortItem *end, qsizetype offset)
    {
        for (SortItem *item = begin; item != end; ++item)
            pack(*item, m_keys(item->row), offset, true);
        sortByPack(begin, end);
        for (SortItem *run = begin; run != end;) {
            SortItem *runEnd = run + 1;
            bool goesOn = run->flags & SortItem::GoesOn;
            bool clamped = run->flags & SortItem::Clamped;
            for (; runEnd != end && runEnd->samePack(*run); ++runEnd) {
                goesOn = goesOn || (runEnd->flags & SortItem::GoesOn);
                clamped = clamped || (runEnd->flags & SortItem::Clamped);
            }
            if (runEnd - run > 1) {
                if (clamped || offset + kPackUnits >= kMaxPackedUnits)
                    sortByText(run, runEnd);
                else if (goesOn)
                    sort(run, runEnd, offset + kPackUnits);
                else
                    sortEqualFolded(run, runEnd);
            }
            run = runEnd;
        }
    }

private:
    // Rows whose folded keys have all ended within the same pack, so that
    // they tie in the case-insensitive half.
    void sortEqualFolded(SortItem *begin, SortItem *end)
    {
        const qsizetype size = m_keys(begin->row).size();
        const bool sameSize =
            std::all_of(begin, end, [&](const SortItem &item) { return m_keys(item.row).size() == size; });
        // Keys of different lengths can tie here only through padding against
        // real U+0000 units; CompareSortTexts knows how those compare.
        if (!sameSize) {
            sortByText(begin, end);
        } else if (size <= kPackUnits) {
            for (SortItem *item = begin; item != end; ++item)
                pack(*item, m_keys(item->row), 0, false);
            sortByPack(begin, end);
        } else {
            sortBy(begin, end, [this](const SortItem &a, const SortItem &b) {
                return m_keys(a.row).compare(m_keys(b.row), Qt::CaseSensitive);
            });
        }
    }

    void sortByPack(SortItem *begin, SortItem *end)
    {
        const auto ascending = [](const SortItem &a, const SortItem &b) {
            return a.high != b.high ? a.high < b.high : a.low < b.low;
        };
        if (m_descending)
            sortStably(begin, end, [&](const SortItem &a, const SortItem &b) { return ascending(b, a); });
        else
            sortStably(begin, end, ascending);
    }

    void sortByText(SortItem *begin, SortItem *end)
    {
        sortBy(begin, end,
               [this](const SortItem &a, const SortItem &b) { return CompareSortTexts(m_keys(a.row), m_keys(b.row)); });
    }

    template<typename Compare>
    void sortBy(SortItem *begin, SortItem *end, Compare compare)
    {
        if (m_descending)
            sortStably(begin, end, [&](const SortItem &a, const SortItem &b) { return compare(a, b) > 0; });
        else
            sortStably(begin, end, [&](const SortItem &a, const SortItem &b) { return compare(a, b) < 0; });
    }

    // Rows that are in order already, as after every single change, cost one pass.
    template<typename Less>
    static void sortStably(SortItem *begin, SortItem *end, Less less)
    {
        if (!std::is_sorted(begin, end, less))
            std::stable_sort(begin, end, less);
    }

    const SortKeys &m_keys;
    const bool m_descending;
};

} // namespace

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
    const bool changed = key != m_sortKey || order != m_sortOrder || sorted != m_sorted;
    // Rows sorted by the same key the other way round need no comparing.
    const bool reverse = sorted && m_sorted && key == m_sortKey && order != m_sortOrder;
    const bool resort = sorted && (!m_sorted || key != m_sortKey || order != m_sortOrder);
    m_sortKey = key;
    m_sortOrder = order;
    m_sorted = sorted;
    if (resort && !m_rows.empty())
        arrangeRows(reverse ? reversedOrder() : sortedOrder());
    if (changed)
        Q_EMIT sortingChanged();
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
    const auto found =
        std::find_if(m_rows.begin(), m_rows.end(), [row](const std::unique_ptr<Entry> &e) { return e.get() == row; });
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

// The row indexes in the order of the sort settings; a stable sort keeps rows
// with equal keys in their present order.
std::vector<quint32> CategoryList::sortedOrder() const
{
    const SortKeys keys(m_rows, m_sortKey);
    std::vector<SortItem> items(m_rows.size());
    for (size_t i = 0; i < items.size(); ++i)
        items[i].row = static_cast<quint32>(i);
    RowSorter(keys, m_sortOrder == Descending).sort(items.data(), items.data() + items.size(), 0);
    std::vector<quint32> order(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].row;
    return order;
}

// For rows in order by the present key the other way round: the reverse
// order, in which rows with equal keys keep their present order.
std::vector<quint32> CategoryList::reversedOrder() const
{
    const SortKeys keys(m_rows, m_sortKey);
    const quint32 count = static_cast<quint32>(m_rows.size());
    std::vector<quint32> order;
    order.reserve(count);
    // Equal keys are identical texts, which sit next to each other.
    for (quint32 end = count; end > 0;) {
        quint32 begin = end - 1;
        while (begin > 0 && keys(begin - 1) == keys(end - 1))
            --begin;
        for (quint32 i = begin; i < end; ++i)
            order.push_back(i);
        end = begin;
    }
    return order;
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
