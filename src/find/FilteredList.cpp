#include "find/FilteredList.h"

#include <algorithm>
#include <bit>
#include <numeric>

FilteredList::FilteredList(CategoryList &list, QObject *parent)
    : QAbstractProxyModel(parent)
    , m_list(list)
    , m_letters(list)
    , m_timeToShow(kTimeToShow)
    , m_selection(this)
{
    setSourceModel(&list);
    // Every change of the list waits for the search under way to end, so
    // that it searches the rows as they were when the text was typed; rows
    // that come, go or move wait for the letters to be read as well, so that
    // the letters follow them.
    connect(&list, &QAbstractItemModel::rowsAboutToBeInserted, this, &FilteredList::finishWork);
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
        m_search.stop();
        if (isActive())
            beginResetModel();
    });
    connect(&list, &QAbstractItemModel::modelReset, this, &FilteredList::sourceReset);
    connect(&list, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, &FilteredList::selectionToList);
    connect(list.selectionModel(), &QItemSelectionModel::selectionChanged, this, &FilteredList::selectionFromList);
    m_workLater.setSingleShot(true);
    connect(&m_workLater, &QTimer::timeout, this, &FilteredList::workOn);
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
    const int selected = SelectedRowIndex(*m_list.selectionModel());
    if (isActive() && selected >= 0 && proxyRowOf(selected) < 0)
        m_list.selectionModel()->clear();
    else
        selectionFromList();
}

bool FilteredList::matches(Row row) const
{
    return row && (m_match.foundIn(row->field(Entry::Task)) || m_match.foundIn(row->field(Entry::User)));
}

void FilteredList::readLetters()
{
    m_readingAhead = true;
    if (!m_letters.isKept())
        beginReadingLetters();
}

void FilteredList::stopReadingAhead()
{
    m_readingAhead = false;
}

void FilteredList::beginReadingLetters()
{
    m_letters.begin();
    workLater();
}

void FilteredList::lettersAfterReorder()
{
    if (!m_letters.isKept())
        return;
    if (m_readingAhead || isActive())
        beginReadingLetters();
    else
        m_letters.forget();
}

void FilteredList::scan(bool narrow)
{
    if (!isActive()) {
        m_search.stop();
        m_shown = RowBits();
        m_keptResults.clear();
        return;
    }
    if (const RowBits *kept = m_keptResults.of(m_match.folded())) {
        m_search.stop();
        m_shown = *kept;
        return;
    }
    std::optional<RowBits> among;
    if (narrow)
        among = m_search.foundOrToSearch(std::move(m_shown));
    // A text holding one searched before is found among that one's rows,
    // the fewest there are: after a letter taken from the middle, or a text
    // put over one it holds.
    const RowBits *within = m_keptResults.fewestWithin(m_match.folded());
    if (within && (!among || within->count() < among->count()))
        among = *within;
    startSearch(std::move(among));
}

void FilteredList::startSearch(std::optional<RowBits> among)
{
    const size_t rows = size_t(m_list.count());
    m_search.start(rows, std::move(among));
    m_shown = RowBits(std::vector<quint64>((rows + 63) / 64), rows);
    // The selected entry's rows first, so that it stays selected and in view
    // if it matches.
    const int selected = SelectedRowIndex(*m_list.selectionModel());
    if (selected >= 0)
        searchChunk(size_t(selected) / kRowsPerChunk, false);
    searchOnward(m_timeToShow, false);
}

void FilteredList::searchOnward(std::chrono::milliseconds time, bool published)
{
    ForAWhile(
        time, [this] { return isSearching(); }, [&] { searchChunk(m_search.next(), published); });
    workLater();
}

void FilteredList::searchChunk(size_t chunk, bool published)
{
    if (m_search.isDone(chunk))
        return;
    const size_t begin = chunk * kRowsPerChunk;
    const size_t end = std::min(m_shown.rows(), begin + kRowsPerChunk);
    if (!m_letters.isKept())
        beginReadingLetters();
    m_letters.readChunk(chunk);
    const std::vector<quint64> found = MatchingRows(m_list, m_letters, m_match, m_search.among(), begin, end);
    m_search.markDone(chunk);
    const int count =
        std::accumulate(found.begin(), found.end(), 0, [](int sum, quint64 word) { return sum + std::popcount(word); });
    if (published && count > 0) {
        // No row after the chunk's first is shown before its own rows.
        const int at = int(m_shown.countBefore(begin));
        beginInsertRows(QModelIndex(), at, at + count - 1);
        m_shown.fillWords(begin / 64, found);
        endInsertRows();
    } else {
        m_shown.fillWords(begin / 64, found);
    }
    if (!isSearching())
        searchDone();
}

void FilteredList::searchDone()
{
    m_search.stop();
    Q_EMIT searchFinished();
    // A single letter is found again as fast from the letters alone.
    if (!m_match.lettersDecide())
        m_keptResults.keep(m_match.folded(), m_shown);
}

void FilteredList::finishSearch()
{
    while (isSearching())
        searchChunk(m_search.next(), true);
}

void FilteredList::finishWork()
{
    finishSearch();
    m_letters.readAll();
}

void FilteredList::workLater()
{
    if (isSearching() || m_letters.chunksLeft() > 0)
        m_workLater.start(0);
}

// A turn of the event loop: the search goes first, then the letters the next
// search will need.
void FilteredList::workOn()
{
    if (isSearching()) {
        searchOnward(kSearchTurn, true);
        return;
    }
    ForAWhile(
        kSearchTurn, [this] { return m_letters.chunksLeft() > 0; },
        [this] { m_letters.readChunk(m_letters.nextChunk()); });
    workLater();
}

int FilteredList::nextMatch(bool forward)
{
    finishSearch();
    const int count = rowCount();
    if (count == 0)
        return -1;
    const int selected = SelectedRowIndex(m_selection);
    int row = selected < 0 ? (forward ? -1 : count) : selected;
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
    return m_list.rowAt(int(m_shown.nth(size_t(row))) + 1);
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
    return parent.isValid() ? 0 : static_cast<int>(m_shown.count());
}

int FilteredList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_list.columnCount();
}

QModelIndex FilteredList::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.row() >= rowCount())
        return {};
    return m_list.index(int(m_shown.nth(size_t(proxyIndex.row()))), proxyIndex.column());
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
    if (sourceRow < 0 || size_t(sourceRow) >= m_shown.rows() || !m_shown.contains(size_t(sourceRow)))
        return -1;
    return static_cast<int>(m_shown.countBefore(size_t(sourceRow)));
}

// Rows the list gains are new entries, or entries an undo or a status change
// put back: shown whether they match or not.
void FilteredList::sourceRowsInserted(int first, int last)
{
    m_keptResults.clear();
    if (m_letters.isKept() && size_t(last) - size_t(first) + 1 >= kRowsPerChunk) {
        // As many rows as a change of many entries at once brings: read a
        // chunk at a time when needed, as after a sort, not all at once now.
        lettersAfterReorder();
    } else {
        m_letters.rowsInserted(first, last);
    }
    if (!isActive())
        return;
    const int count = last - first + 1;
    const int position = static_cast<int>(m_shown.countBefore(size_t(first)));
    beginInsertRows(QModelIndex(), position, position + count - 1);
    m_shown.insertRows(size_t(first), size_t(count), true);
    endInsertRows();
}

void FilteredList::sourceRowsAboutToBeRemoved(int first, int last)
{
    finishWork();
    m_keptResults.clear();
    if (!isActive())
        return;
    m_removedBegin = static_cast<int>(m_shown.countBefore(size_t(first)));
    m_removedEnd = static_cast<int>(m_shown.countBefore(size_t(last) + 1));
    if (m_removedBegin < m_removedEnd)
        beginRemoveRows(QModelIndex(), m_removedBegin, m_removedEnd - 1);
}

void FilteredList::sourceRowsRemoved(int first, int last)
{
    m_letters.rowsRemoved(first, last);
    if (!isActive())
        return;
    m_shown.removeRows(size_t(first), size_t(last) - size_t(first) + 1);
    if (m_removedBegin < m_removedEnd)
        endRemoveRows();
}

// A sorted list moves a changed row to its new place. The views hear of it as
// a layout change, since the row may come into view here.
void FilteredList::sourceRowsAboutToBeMoved(int, int, int)
{
    finishWork();
    m_keptResults.clear();
    if (isActive())
        beginLayoutChange();
}

void FilteredList::sourceRowsMoved(int first, int last, int destination)
{
    m_letters.rowsMoved(first, last, destination);
    if (!isActive())
        return;
    // The moved rows are changed entries: shown wherever they go.
    const size_t count = size_t(last) - size_t(first) + 1;
    m_shown.removeRows(size_t(first), count);
    m_shown.insertRows(destination > last ? size_t(destination) - count : size_t(destination), count, true);
    endLayoutChange();
}

// The list is about to sort its rows. The entries behind the shown rows, or
// behind the hidden ones where they are fewer, find the rows again after; the
// letters, read again after, make room for them first.
void FilteredList::sourceLayoutAboutToBeChanged()
{
    finishSearch();
    m_keptResults.clear();
    if (m_letters.isKept())
        m_letters.release();
    if (!isActive())
        return;
    const size_t rows = m_shown.rows();
    m_entriesBeforeShown = m_shown.count() <= rows / 2;
    m_entriesBefore.clear();
    m_entriesBefore.reserve(m_entriesBeforeShown ? m_shown.count() : rows - m_shown.count());
    for (size_t row = 0; row < rows; ++row) {
        if (m_shown.contains(row) == m_entriesBeforeShown)
            m_entriesBefore.push_back(m_list.rowAt(int(row) + 1));
    }
    beginLayoutChange();
}

// The list has put its rows in another order: the rows shown are the same
// entries, found at their new places.
void FilteredList::sourceLayoutChanged()
{
    if (isActive()) {
        std::sort(m_entriesBefore.begin(), m_entriesBefore.end());
        const size_t rows = size_t(m_list.count());
        std::vector<quint64> words((rows + 63) / 64);
        for (size_t row = 0; row < rows; ++row) {
            if (std::binary_search(m_entriesBefore.begin(), m_entriesBefore.end(), m_list.rowAt(int(row) + 1))
                == m_entriesBeforeShown)
                words[row / 64] |= quint64(1) << (row % 64);
        }
        m_shown = RowBits(std::move(words), rows);
        std::vector<Row>().swap(m_entriesBefore);
    }
    // Only once the entries above are given back, so that the two never take
    // room at the same time.
    lettersAfterReorder();
    if (isActive())
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

// The list tells of a change once it is made: the search ends first with the
// entries as they are now.
void FilteredList::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    finishSearch();
    m_keptResults.clear();
    m_letters.rowsChanged(topLeft.row(), bottomRight.row());
    if (!isActive())
        return;
    const int begin = static_cast<int>(m_shown.countBefore(size_t(topLeft.row())));
    const int end = static_cast<int>(m_shown.countBefore(size_t(bottomRight.row()) + 1));
    if (begin == end)
        return;
    Q_EMIT dataChanged(index(begin, topLeft.column()), index(end - 1, bottomRight.column()));
}

// A new or opened document: the filter searches it afresh.
void FilteredList::sourceReset()
{
    m_keptResults.clear();
    lettersAfterReorder();
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
    // The list holds the one row that the editing pane and buttons act on.
    const int selected = SelectedRowIndex(m_selection);
    if (selected < 0)
        m_list.selectionModel()->clear();
    else
        m_list.selectionModel()->setCurrentIndex(mapToSource(index(selected, 0)),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_mirroring = false;
}

void FilteredList::selectionFromList()
{
    if (m_mirroring || !isActive())
        return;
    const int selected = SelectedRowIndex(*m_list.selectionModel());
    // Whether an entry the list selected is shown is known once its rows are searched.
    if (selected >= 0 && !m_search.isSearched(size_t(selected)))
        finishSearch();
    m_mirroring = true;
    const QModelIndex shown = selected < 0 ? QModelIndex() : mapFromSource(m_list.index(selected, 0));
    if (shown.isValid())
        m_selection.setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_selection.clear();
    m_mirroring = false;
}
