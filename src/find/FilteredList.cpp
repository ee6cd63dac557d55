#include "find/FilteredList.h"

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <bit>
#include <numeric>
#include <thread>

namespace {

// A long list is searched in chunks of this many rows, some 3 ms of work
// each for a second letter among a million entries sorted by task.
constexpr size_t kRowsPerChunk = 65536;
// A keystroke searches this long, at least the selected entry's chunk and the
// list's first, before the views show what it found: a second letter among a
// million entries sorted by task took 42 ms searched at once, and is shown in
// 16 ms so.
constexpr std::chrono::milliseconds kTimeToShow(15);
// Each turn of the event loop after that searches on this long, which a key
// pressed meanwhile may have to wait. Each turn also repaints: that million
// was searched through in 55-67 ms in turns of 8 ms, and in 60-72 ms in turns
// of 4 ms, against 48 ms at once.
constexpr std::chrono::milliseconds kSearchTurn(8);

size_t chunksFor(size_t rows)
{
    return (rows + kRowsPerChunk - 1) / kRowsPerChunk;
}

// Does a piece of work while there is more, at least once, and again while
// the next piece is likely to end in time, as the last one did.
template<typename More, typename Work>
void forAWhile(std::chrono::milliseconds time, const More &more, const Work &work)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 nanoseconds = std::chrono::nanoseconds(time).count();
    qint64 last = 0;
    while (more()) {
        const qint64 before = clock.nsecsElapsed();
        if (last > 0 && before + last > nanoseconds)
            break;
        work();
        last = clock.nsecsElapsed() - before;
    }
}

} // namespace

FilteredList::FilteredList(CategoryList &list, QObject *parent)
    : QAbstractProxyModel(parent)
    , m_list(list)
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
        stopSearch();
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

namespace {

// An entry's texts sit right behind it; asking for the next entries' memory
// while one is read keeps the search from waiting on each in turn. The first
// four lines hold the task text of most entries. Asking first for the line
// that says where the texts lie and then for the task's and user's lines alone
// took 20 % longer for "cr" among a million entries sorted by task.
inline void prefetchEntry(Row row)
{
    const char *bytes = reinterpret_cast<const char *>(row);
    for (int line = 0; line < 4; ++line)
        __builtin_prefetch(bytes + 64 * line);
}

constexpr size_t kPrefetchAhead = 12;
// A thread for each this many rows to search: starting one takes some 40 us,
// and a chunk's 9,400 entries to read took 1.1 ms on one thread, 0.6 ms on two.
constexpr size_t kRowsPerThread = 4096;
constexpr unsigned kMostThreads = 4;
// The rows are handed out to the threads in pieces of this many, a multiple
// of 64 so that each piece fills words of its own, as each thread becomes
// free: a thread that the system lets wait holds up no more than one piece.
constexpr size_t kRowsPerPiece = 64 * 64;
// Results kept for going back to a shorter text: a bit a row, 125 KB each at
// a million rows.
constexpr size_t kKeptResults = 8;

unsigned threadsFor(size_t rows)
{
    return unsigned(std::clamp<size_t>(rows / kRowsPerThread, 1,
                                       std::min(kMostThreads, std::max(1u, std::thread::hardware_concurrency()))));
}

// Does work(begin, end) for every piece of the rows, on the given number of
// threads; nothing else runs meanwhile, as this thread works as well and
// waits for the others.
template<typename Work>
void inPieces(size_t rows, unsigned threads, const Work &work)
{
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t begin = next.fetch_add(kRowsPerPiece); begin < rows; begin = next.fetch_add(kRowsPerPiece))
            work(begin, std::min(rows, begin + kRowsPerPiece));
    };
    std::vector<std::thread> others;
    for (unsigned thread = 1; thread < threads; ++thread)
        others.emplace_back(worker);
    worker();
    for (std::thread &other : others)
        other.join();
}

} // namespace

namespace {

// A user's letters in a byte, each bit standing for every eighth letter bit:
// users are short, so most hold few of the bits and can be passed over
// unread, together with the line of memory they lie on. "cr" after "c" among
// 850,000 entries sorted by task took 41-43 ms reading every user and takes
// 36 ms so (the best of seven runs each).
quint8 inByte(quint32 letters)
{
    letters |= letters >> 16;
    letters |= letters >> 8;
    return quint8(letters);
}

// The letters with room for the given number of rows and some more, so that
// the rows the list gains later seldom move them, and never to room twice
// their size, as growing on its own would.
template<typename Letters>
void withRoomFor(Letters &letters, size_t rows)
{
    if (rows > letters.capacity())
        letters.reserve(rows + rows / 64);
}

} // namespace

void FilteredList::readLettersOf(int sourceRow)
{
    const Row row = m_list.rowAt(sourceRow + 1);
    const quint32 user = TextMatch::lettersIn(row->field(Entry::User));
    m_letters[sourceRow] = TextMatch::lettersIn(row->field(Entry::Task)) | user;
    m_userLetters[sourceRow] = inByte(user);
}

void FilteredList::readLetters()
{
    m_readingAhead = true;
    if (!m_lettersKept)
        beginReadingLetters();
}

void FilteredList::stopReadingAhead()
{
    m_readingAhead = false;
}

// Makes room for the letters of every row, to be read a chunk at a time: a
// million entries take some 100 ms in the window with the list sorted by task,
// so that the entries lie all over memory, too long to wait for at once.
void FilteredList::beginReadingLetters()
{
    const size_t count = size_t(m_list.count());
    // The letters read before go first, so that old and new never take room
    // together.
    forgetLetters();
    withRoomFor(m_letters, count);
    withRoomFor(m_userLetters, count);
    m_letters.resize(count);
    m_userLetters.resize(count);
    m_letterChunks.reset(chunksFor(count));
    m_lettersKept = true;
    workLater();
}

void FilteredList::readLettersOfChunk(size_t chunk)
{
    if (m_letterChunks.isDone(chunk))
        return;
    const size_t begin = chunk * kRowsPerChunk;
    const size_t end = std::min(m_letters.size(), begin + kRowsPerChunk);
    inPieces(end - begin, threadsFor(end - begin), [this, begin](size_t pieceBegin, size_t pieceEnd) {
        for (size_t row = begin + pieceBegin; row < begin + pieceEnd; ++row) {
            if (row + kPrefetchAhead < begin + pieceEnd)
                prefetchEntry(m_list.rowAt(int(row + kPrefetchAhead) + 1));
            readLettersOf(int(row));
        }
    });
    m_letterChunks.markDone(chunk);
}

void FilteredList::forgetLetters()
{
    std::vector<quint32>().swap(m_letters);
    std::vector<quint8>().swap(m_userLetters);
    m_letterChunks.reset();
    m_lettersKept = false;
}

void FilteredList::lettersAfterReorder()
{
    if (!m_lettersKept)
        return;
    if (m_readingAhead || isActive())
        beginReadingLetters();
    else
        forgetLetters();
}

// The rows from begin to end among the given ones (all rows for none) that
// match. Only rows holding every letter of the text are candidates, and only
// their entries are read; a single letter needs no entry read at all. The
// rows are searched in pieces on several threads, each piece filling words
// of the result of its own. Among a million entries sorted by task, so that
// they lie all over memory, "cr", whose letters 58 % of the entries hold,
// takes 2.3-2.9 ms a chunk (42 ms for them all), and "cre" after it, which
// reads the 15 % that "cr" found, 0.6 ms.
std::vector<quint64> FilteredList::matchingRows(const RowBits *among, size_t begin, size_t end)
{
    if (!m_lettersKept)
        beginReadingLetters();
    readLettersOfChunk(begin / kRowsPerChunk);
    const quint32 wanted = m_match.letters();
    const quint8 wantedOfUser = inByte(wanted);
    const bool lettersDecide = m_match.lettersDecide();
    std::vector<quint64> found((end - begin + 63) / 64);
    const auto search = [&](size_t pieceBegin, size_t pieceEnd) {
        pieceBegin += begin;
        pieceEnd += begin;
        std::vector<quint32> candidates;
        candidates.reserve(kRowsPerPiece);
        const auto consider = [&](size_t row) {
            if ((m_letters[row] & wanted) == wanted)
                candidates.push_back(quint32(row));
        };
        if (among) {
            // Pieces begin at a word and end at one, or at the last row.
            for (size_t word = pieceBegin / 64; word * 64 < pieceEnd; ++word) {
                for (quint64 bits = among->words()[word]; bits; bits &= bits - 1)
                    consider(word * 64 + size_t(std::countr_zero(bits)));
            }
        } else {
            for (size_t row = pieceBegin; row < pieceEnd; ++row)
                consider(row);
        }
        for (size_t i = 0; i < candidates.size(); ++i) {
            const quint32 row = candidates[i];
            if (!lettersDecide) {
                if (i + kPrefetchAhead < candidates.size())
                    prefetchEntry(m_list.rowAt(int(candidates[i + kPrefetchAhead]) + 1));
                const Row entry = m_list.rowAt(int(row) + 1);
                if (!m_match.foundIn(entry->field(Entry::Task))
                    && ((m_userLetters[row] & wantedOfUser) != wantedOfUser
                        || !m_match.foundIn(entry->field(Entry::User))))
                    continue;
            }
            found[(row - begin) / 64] |= quint64(1) << (row % 64);
        }
    };
    const size_t toRead = among ? among->countBetween(begin, end) : end - begin;
    inPieces(end - begin, threadsFor(toRead), search);
    return found;
}

void FilteredList::scan(bool narrow)
{
    if (!isActive()) {
        stopSearch();
        m_shown = RowBits();
        m_keptResults.clear();
        return;
    }
    // A text holding one searched before is found among that one's rows,
    // the fewest there are: after a letter taken from the middle, or a text
    // put over one it holds.
    const KeptResult *within = nullptr;
    for (const KeptResult &kept : m_keptResults) {
        if (kept.folded == m_match.folded()) {
            stopSearch();
            m_shown = kept.rows;
            return;
        }
        if (m_match.folded().contains(kept.folded) && (!within || kept.rows.count() < within->rows.count()))
            within = &kept;
    }
    std::optional<RowBits> among;
    if (narrow)
        among = foundOrToSearch();
    if (within && (!among || within->rows.count() < among->count()))
        among = within->rows;
    startSearch(std::move(among));
}

RowBits FilteredList::foundOrToSearch()
{
    if (!isSearching())
        return std::move(m_shown);
    std::vector<quint64> words = m_shown.words();
    const size_t rows = m_shown.rows();
    for (size_t chunk = 0; chunk * kRowsPerChunk < rows; ++chunk) {
        if (m_searchChunks.isDone(chunk))
            continue;
        const size_t begin = chunk * kRowsPerChunk / 64;
        const size_t end = std::min(words.size(), (chunk + 1) * kRowsPerChunk / 64);
        for (size_t word = begin; word < end; ++word)
            words[word] = m_among ? m_among->words()[word] : ~quint64(0);
    }
    if (!m_among && rows % 64)
        words.back() &= (quint64(1) << (rows % 64)) - 1;
    return RowBits(std::move(words), rows);
}

void FilteredList::startSearch(std::optional<RowBits> among)
{
    stopSearch();
    const size_t rows = size_t(m_list.count());
    m_among = std::move(among);
    m_shown = RowBits(std::vector<quint64>((rows + 63) / 64), rows);
    m_searchChunks.reset(chunksFor(rows));
    // The selected entry's rows first, so that it stays selected and in view
    // if it matches.
    const int selected = SelectedRowIndex(*m_list.selectionModel());
    if (selected >= 0)
        searchChunk(size_t(selected) / kRowsPerChunk, false);
    searchOnward(m_timeToShow, false);
}

void FilteredList::searchOnward(std::chrono::milliseconds time, bool published)
{
    forAWhile(
        time, [this] { return isSearching(); }, [&] { searchChunk(m_searchChunks.next(), published); });
    workLater();
}

void FilteredList::searchChunk(size_t chunk, bool published)
{
    if (m_searchChunks.isDone(chunk))
        return;
    const size_t begin = chunk * kRowsPerChunk;
    const size_t end = std::min(m_shown.rows(), begin + kRowsPerChunk);
    const std::vector<quint64> found = matchingRows(m_among ? &*m_among : nullptr, begin, end);
    m_searchChunks.markDone(chunk);
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
    stopSearch();
    Q_EMIT searchFinished();
    // A single letter is found again as fast from the letters alone.
    if (m_match.lettersDecide())
        return;
    if (m_keptResults.size() == kKeptResults)
        m_keptResults.erase(m_keptResults.begin());
    m_keptResults.push_back({m_match.folded(), m_shown});
}

void FilteredList::finishSearch()
{
    while (isSearching())
        searchChunk(m_searchChunks.next(), true);
}

void FilteredList::finishWork()
{
    finishSearch();
    while (m_letterChunks.left() > 0)
        readLettersOfChunk(m_letterChunks.next());
}

void FilteredList::workLater()
{
    if (isSearching() || m_letterChunks.left() > 0)
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
    forAWhile(
        kSearchTurn, [this] { return m_letterChunks.left() > 0; },
        [this] { readLettersOfChunk(m_letterChunks.next()); });
    workLater();
}

void FilteredList::stopSearch()
{
    m_searchChunks.reset();
    m_among.reset();
}

bool FilteredList::isSearched(int sourceRow) const
{
    return m_searchChunks.isDone(size_t(sourceRow) / kRowsPerChunk);
}

void FilteredList::Chunks::markDone(size_t chunk)
{
    m_done[chunk] = true;
    if (--m_left == 0)
        m_done.clear();
}

size_t FilteredList::Chunks::next() const
{
    return size_t(std::find(m_done.begin(), m_done.end(), false) - m_done.begin());
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
    if (m_lettersKept && size_t(last - first + 1) >= kRowsPerChunk) {
        // As many rows as a change of many entries at once brings: read a
        // chunk at a time when needed, as after a sort, not all at once now.
        lettersAfterReorder();
    } else if (m_lettersKept) {
        const size_t count = size_t(last - first + 1);
        withRoomFor(m_letters, m_letters.size() + count);
        withRoomFor(m_userLetters, m_userLetters.size() + count);
        m_letters.insert(m_letters.begin() + first, count, 0);
        m_userLetters.insert(m_userLetters.begin() + first, count, 0);
        for (int row = first; row <= last; ++row)
            readLettersOf(row);
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
    if (m_lettersKept) {
        m_letters.erase(m_letters.begin() + first, m_letters.begin() + last + 1);
        m_userLetters.erase(m_userLetters.begin() + first, m_userLetters.begin() + last + 1);
    }
    if (!isActive())
        return;
    m_shown.removeRows(size_t(first), size_t(last - first + 1));
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
    if (m_lettersKept) {
        const auto move = [=](auto &letters) {
            const auto at = [&letters](int row) { return letters.begin() + row; };
            if (destination > last)
                std::rotate(at(first), at(last + 1), at(destination));
            else
                std::rotate(at(destination), at(first), at(last + 1));
        };
        move(m_letters);
        move(m_userLetters);
    }
    if (!isActive())
        return;
    // The moved rows are changed entries: shown wherever they go.
    const size_t count = size_t(last - first + 1);
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
    if (m_lettersKept) {
        std::vector<quint32>().swap(m_letters);
        std::vector<quint8>().swap(m_userLetters);
    }
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
    if (m_lettersKept) {
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
            readLettersOf(row);
    }
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
    if (selected >= 0 && !isSearched(selected))
        finishSearch();
    m_mirroring = true;
    const QModelIndex shown = selected < 0 ? QModelIndex() : mapFromSource(m_list.index(selected, 0));
    if (shown.isValid())
        m_selection.setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_selection.clear();
    m_mirroring = false;
}
