#include "find/RowLetters.h"

#include "find/RowPieces.h"
#include "find/TextMatch.h"

#include <algorithm>

namespace {

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

// Read a chunk at a time: all of a long list sorted by another key lies all
// over memory, too long to wait for at once (see find-open-read).
void RowLetters::begin()
{
    const size_t count = size_t(m_list.count());
    // The letters read before go first, so that old and new never take room
    // together.
    forget();
    withRoomFor(m_letters, count);
    withRoomFor(m_userLetters, count);
    m_letters.resize(count);
    m_userLetters.resize(count);
    m_chunks.reset(ChunksFor(count));
    m_kept = true;
}

void RowLetters::forget()
{
    std::vector<quint32>().swap(m_letters);
    std::vector<quint8>().swap(m_userLetters);
    m_chunks.reset();
    m_kept = false;
}

void RowLetters::release()
{
    std::vector<quint32>().swap(m_letters);
    std::vector<quint8>().swap(m_userLetters);
}

void RowLetters::readRow(int row)
{
    const Row entry = m_list.rowAt(row + 1);
    const quint32 user = TextMatch::lettersIn(entry->field(Entry::User));
    m_letters[row] = TextMatch::lettersIn(entry->field(Entry::Task)) | user;
    m_userLetters[row] = inByte(user);
}

void RowLetters::readChunk(size_t chunk)
{
    if (m_chunks.isDone(chunk))
        return;
    const size_t begin = chunk * kRowsPerChunk;
    const size_t end = std::min(m_letters.size(), begin + kRowsPerChunk);
    InPieces(end - begin, ThreadsFor(end - begin), [this, begin](size_t pieceBegin, size_t pieceEnd) {
        for (size_t row = begin + pieceBegin; row < begin + pieceEnd; ++row) {
            if (row + kPrefetchAhead < begin + pieceEnd)
                PrefetchEntry(m_list.rowAt(int(row + kPrefetchAhead) + 1));
            readRow(int(row));
        }
    });
    m_chunks.markDone(chunk);
}

void RowLetters::readAll()
{
    while (m_chunks.left() > 0)
        readChunk(m_chunks.next());
}

void RowLetters::rowsInserted(int first, int last)
{
    if (!m_kept)
        return;
    const size_t count = size_t(last) - size_t(first) + 1;
    withRoomFor(m_letters, m_letters.size() + count);
    withRoomFor(m_userLetters, m_userLetters.size() + count);
    m_letters.insert(m_letters.begin() + first, count, 0);
    m_userLetters.insert(m_userLetters.begin() + first, count, 0);
    for (int row = first; row <= last; ++row)
        readRow(row);
}

void RowLetters::rowsRemoved(int first, int last)
{
    if (!m_kept)
        return;
    m_letters.erase(m_letters.begin() + first, m_letters.begin() + last + 1);
    m_userLetters.erase(m_userLetters.begin() + first, m_userLetters.begin() + last + 1);
}

void RowLetters::rowsMoved(int first, int last, int destination)
{
    if (!m_kept)
        return;
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

void RowLetters::rowsChanged(int first, int last)
{
    if (!m_kept)
        return;
    for (int row = first; row <= last; ++row)
        readRow(row);
}
