#include "document/FilteredList.h"

#include <algorithm>
#include <bit>
#include <thread>

FilteredList::FilteredList(CategoryList &list, QObject *parent)
    : QAbstractProxyModel(parent)
    , m_list(list)
    , m_selection(this)
{
    setSourceModel(&list);
    connect(&list, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { sourceRowsInserted(first, last); });
    connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) { sourceRowsAboutToBeRemoved(first, last); });
    connect(&list, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { sourceRowsRemoved(first, last); });
    connect(&list, &QAbstractItemModel::rowsAboutToBeMoved, this,
            [this](const QModelIndex &, int first, int last, const QModelIndex &, int destination) {
                sourceRowsAboutToBeMoved(first, last, destination);
            });
    connect(&list, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex &, int first, int last, const QModelIndex &, int destination) {
                sourceRowsMoved(first, last, destination);
            });
    connect(&list, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] { sourceLayoutAboutToBeChanged(); });
    connect(&list, &QAbstractItemModel::layoutChanged, this, [this] { sourceLayoutChanged(); });
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                sourceDataChanged(topLeft, bottomRight);
            });
    connect(&list, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (isActive())
            beginResetModel();
    });
    connect(&list, &QAbstractItemModel::modelReset, this, &FilteredList::sourceReset);
    connect(&list, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, &FilteredList::selectionToList);
    connect(list.selectionModel(), &QItemSelectionModel::selectionChanged, this, &FilteredList::selectionFromList);
}

void FilteredList::setFilterText(const QString &text)
{
    TextMatch match(text);
    if (match.folded() == m_match.folded())
        return;
    const bool narrow = isActive() && m_match.narrows(match);
    m_match = std::move(match);
    rescan(narrow);
}

void FilteredList::refilter()
{
    if (isActive())
        rescan(false);
}

void FilteredList::rescan(bool narrow)
{
    beginResetModel();
    scan(narrow);
    endResetModel();
    // The reset left this selection empty without a word to the list.
    const QModelIndexList selected = m_list.selectionModel()->selectedRows();
    if (isActive() && !selected.isEmpty() && proxyRowOf(selected.first().row()) < 0)
        m_list.selectionModel()->clear();
    else
        selectionFromList();
}

bool FilteredList::matches(Row row) const
{
    return row && (m_match.foundIn(row->field(Entry::Task)) || m_match.foundIn(row->field(Entry::User)));
}

namespace {

// An entry's texts sit right behind it; asking for the next entries' memory
// while one is read keeps the search from waiting on each in turn.
inline void prefetchEntry(Row row)
{
    const char *bytes = reinterpret_cast<const char *>(row);
    for (int line = 0; line < 4; ++line)
        __builtin_prefetch(bytes + 64 * line);
}

constexpr size_t kPrefetchAhead = 12;
// Below this many rows the work is done before a second thread would start.
constexpr size_t kRowsPerThread = 100000;
constexpr unsigned kMostThreads = 4;
// Results kept for going back to a shorter text: a bit a row, 125 KB each at
// a million rows.
constexpr size_t kKeptResults = 16;

unsigned partsFor(size_t rows)
{
    return unsigned(std::clamp<size_t>(rows / kRowsPerThread, 1,
                                       std::min(kMostThreads, std::max(1u, std::thread::hardware_concurrency()))));
}

// Does work(part, begin, end) for each of the given number of parts of the
// rows, each part on a thread of its own; nothing else runs meanwhile, as
// this thread takes the first part and waits for the others.
template<typename Work>
void inParts(size_t rows, unsigned parts, const Work &work)
{
    std::vector<std::thread> workers;
    for (unsigned part = 1; part < parts; ++part)
        workers.emplace_back(
            [&work, rows, parts, part] { work(part, rows * part / parts, rows * (part + 1) / parts); });
    work(0u, size_t(0), rows / parts);
    for (std::thread &worker : workers)
        worker.join();
}

} // namespace

quint32 FilteredList::lettersOf(int sourceRow) const
{
    const Row row = m_list.rowAt(sourceRow + 1);
    return TextMatch::lettersIn(row->field(Entry::Task)) | TextMatch::lettersIn(row->field(Entry::User));
}

// Reads every entry once, on several threads for a large list: a million
// entries took 72-90 ms on two cores busy with other work as well.
void FilteredList::readLetters()
{
    const size_t count = size_t(m_list.count());
    std::vector<quint32>(count).swap(m_letters);
    inParts(count, partsFor(count), [this](unsigned, size_t begin, size_t end) {
        for (size_t row = begin; row < end; ++row) {
            if (row + kPrefetchAhead < end)
                prefetchEntry(m_list.rowAt(int(row + kPrefetchAhead) + 1));
            m_letters[row] = lettersOf(int(row));
        }
    });
    m_lettersRead = true;
}

void FilteredList::forgetLetters()
{
    std::vector<quint32>().swap(m_letters);
    m_lettersRead = false;
}

// The rows among the given ones (all rows for none) that match, in order.
// Only rows holding every letter of the text are candidates, and only their
// entries are read; a single letter needs no entry read at all. Large lists
// are searched in parts on several threads, each reading only its own
// entries. Among a million entries, on two cores busy with other work as
// well, a single letter took 4-5 ms and "creme", whose letters 58 % of the
// entries hold, 43-47 ms; in the window, "creme" put in at once took 54-57 ms
// against 130-154 ms reading every entry.
std::vector<quint32> FilteredList::matchingRows(const std::vector<quint32> *among)
{
    if (!m_lettersRead)
        readLetters();
    const size_t count = among ? among->size() : m_letters.size();
    const quint32 wanted = m_match.letters();
    const bool lettersDecide = m_match.lettersDecide();
    const auto search = [&](size_t begin, size_t end, std::vector<quint32> &found) {
        const auto candidate = [&](size_t i) {
            const quint32 row = among ? (*among)[i] : quint32(i);
            return (m_letters[row] & wanted) == wanted ? qint64(row) : qint64(-1);
        };
        size_t candidates = 0;
        for (size_t i = begin; i < end; ++i)
            candidates += candidate(i) >= 0;
        found.reserve(candidates);
        for (size_t i = begin; i < end; ++i) {
            if (const qint64 row = candidate(i); row >= 0)
                found.push_back(quint32(row));
        }
        if (lettersDecide)
            return;
        size_t kept = 0;
        for (size_t i = 0; i < found.size(); ++i) {
            if (i + kPrefetchAhead < found.size())
                prefetchEntry(m_list.rowAt(int(found[i + kPrefetchAhead]) + 1));
            if (matches(m_list.rowAt(int(found[i]) + 1)))
                found[kept++] = found[i];
        }
        found.resize(kept);
    };
    const unsigned threads = lettersDecide ? 1 : partsFor(count);
    std::vector<std::vector<quint32>> parts(threads);
    inParts(count, threads, [&](unsigned part, size_t begin, size_t end) { search(begin, end, parts[part]); });
    if (threads == 1) {
        parts[0].shrink_to_fit();
        return std::move(parts[0]);
    }
    size_t total = 0;
    for (const std::vector<quint32> &part : parts)
        total += part.size();
    std::vector<quint32> found;
    found.reserve(total);
    for (const std::vector<quint32> &part : parts)
        found.insert(found.end(), part.begin(), part.end());
    return found;
}

void FilteredList::scan(bool narrow)
{
    if (!isActive()) {
        std::vector<quint32>().swap(m_rows);
        m_keptResults.clear();
        return;
    }
    // A text holding one searched before is found among that one's rows,
    // the fewest there are: after a letter taken from the middle, or a text
    // put over one it holds.
    const KeptResult *within = nullptr;
    for (const KeptResult &kept : m_keptResults) {
        if (kept.folded == m_match.folded()) {
            m_rows = rowsOf(kept.rows);
            return;
        }
        if (m_match.folded().contains(kept.folded) && (!within || kept.count < within->count))
            within = &kept;
    }
    if (within && (!narrow || within->count < m_rows.size())) {
        const std::vector<quint32> among = rowsOf(within->rows);
        m_rows = matchingRows(&among);
    } else {
        m_rows = matchingRows(narrow ? &m_rows : nullptr);
    }
    // A single letter is found again as fast from the letters alone.
    if (m_match.lettersDecide())
        return;
    if (m_keptResults.size() == kKeptResults)
        m_keptResults.erase(m_keptResults.begin());
    m_keptResults.push_back({m_match.folded(), bitsOf(m_rows), m_rows.size()});
}

std::vector<quint64> FilteredList::bitsOf(const std::vector<quint32> &rows) const
{
    std::vector<quint64> bits((size_t(m_list.count()) + 63) / 64);
    for (const quint32 row : rows)
        bits[row / 64] |= quint64(1) << (row % 64);
    return bits;
}

std::vector<quint32> FilteredList::rowsOf(const std::vector<quint64> &bits) const
{
    size_t total = 0;
    for (const quint64 word : bits)
        total += size_t(std::popcount(word));
    std::vector<quint32> rows;
    rows.reserve(total);
    for (size_t i = 0; i < bits.size(); ++i) {
        for (quint64 word = bits[i]; word; word &= word - 1)
            rows.push_back(quint32(i * 64 + size_t(std::countr_zero(word))));
    }
    return rows;
}

int FilteredList::nextMatch(bool forward) const
{
    const int count = rowCount();
    if (count == 0)
        return -1;
    const QModelIndexList selected = m_selection.selectedRows();
    int row = selected.isEmpty() ? (forward ? -1 : count) : selected.first().row();
    for (int step = 0; step < count; ++step) {
        row = forward ? (row + 1) % count : (row - 1 + count) % count;
        if (matches(rowAt(row)))
            return row;
    }
    return -1;
}

Row FilteredList::rowAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return m_list.rowAt(int(m_rows[row]) + 1);
}

QModelIndex FilteredList::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex FilteredList::parent(const QModelIndex &) const
{
    return {};
}

int FilteredList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FilteredList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_list.columnCount();
}

QModelIndex FilteredList::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.row() >= rowCount())
        return {};
    return m_list.index(int(m_rows[proxyIndex.row()]), proxyIndex.column());
}

QModelIndex FilteredList::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int row = proxyRowOf(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant FilteredList::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_list.headerData(section, orientation, role);
}

int FilteredList::proxyRowOf(int sourceRow) const
{
    const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), quint32(sourceRow));
    if (found == m_rows.end() || *found != quint32(sourceRow))
        return -1;
    return static_cast<int>(found - m_rows.begin());
}

// Rows the list gains are new entries, or entries an undo or a status change
// put back: shown whether they match or not.
void FilteredList::sourceRowsInserted(int first, int last)
{
    m_keptResults.clear();
    if (m_lettersRead) {
        m_letters.insert(m_letters.begin() + first, size_t(last - first + 1), 0);
        for (int row = first; row <= last; ++row)
            m_letters[row] = lettersOf(row);
    }
    if (!isActive())
        return;
    const quint32 count = quint32(last - first + 1);
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), quint32(first));
    const int position = static_cast<int>(at - m_rows.begin());
    for (auto later = at; later != m_rows.end(); ++later)
        *later += count;
    beginInsertRows(QModelIndex(), position, position + int(count) - 1);
    std::vector<quint32> inserted(count);
    for (quint32 i = 0; i < count; ++i)
        inserted[i] = quint32(first) + i;
    m_rows.insert(m_rows.begin() + position, inserted.begin(), inserted.end());
    endInsertRows();
}

void FilteredList::sourceRowsAboutToBeRemoved(int first, int last)
{
    m_keptResults.clear();
    if (!isActive())
        return;
    m_removedBegin = static_cast<int>(std::lower_bound(m_rows.begin(), m_rows.end(), quint32(first)) - m_rows.begin());
    m_removedEnd = static_cast<int>(std::lower_bound(m_rows.begin(), m_rows.end(), quint32(last) + 1) - m_rows.begin());
    if (m_removedBegin < m_removedEnd)
        beginRemoveRows(QModelIndex(), m_removedBegin, m_removedEnd - 1);
}

void FilteredList::sourceRowsRemoved(int first, int last)
{
    if (m_lettersRead)
        m_letters.erase(m_letters.begin() + first, m_letters.begin() + last + 1);
    if (!isActive())
        return;
    const quint32 count = quint32(last - first + 1);
    for (auto later = m_rows.begin() + m_removedEnd; later != m_rows.end(); ++later)
        *later -= count;
    if (m_removedBegin < m_removedEnd) {
        m_rows.erase(m_rows.begin() + m_removedBegin, m_rows.begin() + m_removedEnd);
        endRemoveRows();
    }
}

// A sorted list moves a changed row to its new place. The views hear of it as
// a layout change, since the row may come into view here.
void FilteredList::sourceRowsAboutToBeMoved(int, int, int)
{
    m_keptResults.clear();
    if (isActive())
        beginLayoutChange();
}

void FilteredList::sourceRowsMoved(int first, int last, int destination)
{
    if (m_lettersRead) {
        const auto at = [this](int row) { return m_letters.begin() + row; };
        if (destination > last)
            std::rotate(at(first), at(last + 1), at(destination));
        else
            std::rotate(at(destination), at(first), at(last + 1));
    }
    if (!isActive())
        return;
    const int count = last - first + 1;
    const auto moved = [=](int row) {
        if (row >= first && row <= last)
            return destination > last ? row - first + destination - count : row - first + destination;
        if (destination > last && row > last && row < destination)
            return row - count;
        if (destination < first && row >= destination && row < first)
            return row + count;
        return row;
    };
    std::vector<quint32> rows;
    rows.reserve(m_rows.size() + count);
    for (const quint32 row : m_rows) {
        if (int(row) < first || int(row) > last)
            rows.push_back(quint32(moved(int(row))));
    }
    // The moved rows are changed entries: shown wherever they go.
    for (int row = first; row <= last; ++row)
        rows.insert(std::lower_bound(rows.begin(), rows.end(), quint32(moved(row))), quint32(moved(row)));
    m_rows.swap(rows);
    endLayoutChange();
}

void FilteredList::sourceLayoutAboutToBeChanged()
{
    m_keptResults.clear();
    if (!isActive())
        return;
    m_entriesBefore.clear();
    m_entriesBefore.reserve(m_rows.size());
    for (const quint32 row : m_rows)
        m_entriesBefore.push_back(m_list.rowAt(int(row) + 1));
    beginLayoutChange();
}

// The list has put its rows in another order: the rows shown are the same
// entries, found at their new places.
void FilteredList::sourceLayoutChanged()
{
    if (m_lettersRead)
        readLetters();
    if (!isActive())
        return;
    std::sort(m_entriesBefore.begin(), m_entriesBefore.end());
    std::vector<quint32> rows;
    rows.reserve(m_entriesBefore.size());
    const int count = m_list.count();
    for (int row = 0; row < count; ++row) {
        if (std::binary_search(m_entriesBefore.begin(), m_entriesBefore.end(), m_list.rowAt(row + 1)))
            rows.push_back(quint32(row));
    }
    m_rows.swap(rows);
    std::vector<Row>().swap(m_entriesBefore);
    endLayoutChange();
}

void FilteredList::beginLayoutChange()
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_persistentBefore = persistentIndexList();
    m_persistentEntries.clear();
    for (const QModelIndex &index : std::as_const(m_persistentBefore))
        m_persistentEntries.push_back(rowAt(index.row()));
}

void FilteredList::endLayoutChange()
{
    QModelIndexList after;
    after.reserve(m_persistentBefore.size());
    for (qsizetype i = 0; i < m_persistentBefore.size(); ++i) {
        const int sourceRow = m_list.positionOf(m_persistentEntries[i]) - 1;
        after.append(index(sourceRow < 0 ? -1 : proxyRowOf(sourceRow), m_persistentBefore[i].column()));
    }
    changePersistentIndexList(m_persistentBefore, after);
    m_persistentBefore.clear();
    m_persistentEntries.clear();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FilteredList::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    m_keptResults.clear();
    if (m_lettersRead) {
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
            m_letters[row] = lettersOf(row);
    }
    if (!isActive())
        return;
    const auto begin = std::lower_bound(m_rows.begin(), m_rows.end(), quint32(topLeft.row()));
    const auto end = std::upper_bound(begin, m_rows.end(), quint32(bottomRight.row()));
    if (begin == end)
        return;
    Q_EMIT dataChanged(index(int(begin - m_rows.begin()), topLeft.column()),
                       index(int(end - m_rows.begin()) - 1, bottomRight.column()));
}

// A new or opened document: the filter searches it afresh.
void FilteredList::sourceReset()
{
    m_keptResults.clear();
    if (m_lettersRead)
        readLetters();
    if (!isActive())
        return;
    scan(false);
    endResetModel();
}

void FilteredList::selectionToList()
{
    if (m_mirroring)
        return;
    m_mirroring = true;
    const QModelIndexList selected = m_selection.selectedRows();
    if (selected.isEmpty())
        m_list.selectionModel()->clear();
    else
        m_list.selectionModel()->setCurrentIndex(mapToSource(selected.first()),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_mirroring = false;
}

void FilteredList::selectionFromList()
{
    if (m_mirroring || !isActive())
        return;
    m_mirroring = true;
    const QModelIndexList selected = m_list.selectionModel()->selectedRows();
    const QModelIndex shown = selected.isEmpty() ? QModelIndex() : mapFromSource(selected.first());
    if (shown.isValid())
        m_selection.setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_selection.clear();
    m_mirroring = false;
}
