#include "entries/RowSorting.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

int CompareSortTexts(QStringView a, QStringView b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded : a.compare(b, Qt::CaseSensitive);
}

namespace {

// The texts that order the rows, by row index.
template<typename Rows>
class SortKeys
{
public:
    SortKeys(const Rows &rows, int key)
        : m_rows(rows)
        , m_key(key)
    {
        if (key != Entry::StatusText)
            return;
        // A list holds few distinct statuses: each is written out once and
        // its text shared, which spares most of the sort's allocations (see
        // load, which sorts the Tasks list so). The first few hundred are
        // remembered, in case every row has its own.
        constexpr size_t kMostRemembered = 256;
        std::unordered_map<quint64, QString> written;
        m_statusTexts.reserve(rows.size());
        for (const auto &row : rows) {
            const quint64 status = std::bit_cast<quint64>(row->status);
            if (const auto known = written.find(status); known != written.end()) {
                m_statusTexts.push_back(known->second);
                continue;
            }
            m_statusTexts.push_back(row->columnText(Entry::StatusText));
            if (written.size() < kMostRemembered)
                written.emplace(status, m_statusTexts.back());
        }
    }

    QStringView operator()(quint32 row) const
    {
        if (m_key == Entry::StatusText)
            return m_statusTexts[row];
        if (m_key < 0 || m_key > Entry::User)
            return {};
        return m_rows[row]->field(m_key);
    }

private:
    const Rows &m_rows;
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

template<typename Keys>
class RowSorter
{
public:
    RowSorter(const Keys &keys, bool descending)
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

    const Keys &m_keys;
    const bool m_descending;
};

template<typename Rows>
std::vector<quint32> sortedOrderOf(const Rows &rows, int key, bool descending)
{
    const SortKeys keys(rows, key);
    std::vector<SortItem> items(rows.size());
    for (size_t i = 0; i < items.size(); ++i)
        items[i].row = static_cast<quint32>(i);
    RowSorter(keys, descending).sort(items.data(), items.data() + items.size(), 0);
    std::vector<quint32> order(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].row;
    return order;
}

} // namespace

std::vector<quint32> SortedOrder(const EntryRows &rows, int key, bool descending)
{
    return sortedOrderOf(rows, key, descending);
}

std::vector<quint32> SortedOrder(const std::vector<const Entry *> &rows, int key, bool descending)
{
    return sortedOrderOf(rows, key, descending);
}

std::vector<quint32> ReversedOrder(const EntryRows &rows, int key)
{
    const SortKeys keys(rows, key);
    const quint32 count = static_cast<quint32>(rows.size());
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
