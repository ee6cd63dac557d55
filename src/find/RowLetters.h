#pragma once

#include "entries/CategoryList.h"
#include "find/ChunkedWork.h"

#include <QtGlobal>

#include <vector>

// Which letters each row of a list holds, as TextMatch::lettersIn() gives
// them, four bytes a row, and those of its user alone folded into a byte: a
// search reads only the entries that hold every letter typed, none at all
// for a single letter, and passes over most users unread, since users are
// short and hold few of the bits. Read a chunk of rows at a time, as a
// search needs them or ahead of it; kept in step with the list's inserts,
// changes, moves and removals by whoever follows the list.
class RowLetters
{
public:
    explicit RowLetters(const CategoryList &list)
        : m_list(list)
    {
    }

    // A user's letters in a byte, each bit standing for every eighth letter bit.
    static quint8 inByte(quint32 letters)
    {
        letters |= letters >> 16;
        letters |= letters >> 8;
        return quint8(letters);
    }

    bool isKept() const { return m_kept; }
    // Makes room for the letters of every row of the list, all still to read.
    void begin();
    void forget();
    // Gives back the room while the list reorders its rows, so that the
    // letters and the list's old order never take room together; begin()
    // or forget() follows.
    void release();

    size_t chunksLeft() const { return m_chunks.left(); }
    size_t nextChunk() const { return m_chunks.next(); }
    // Reads the letters of the rows of a chunk unless read, on several threads.
    void readChunk(size_t chunk);
    void readAll();

    // Whether the 0-based row may match a text holding these letters, and
    // whether its user may, given inByte() of them.
    bool mayMatch(size_t row, quint32 wanted) const { return (m_letters[row] & wanted) == wanted; }
    bool userMayMatch(size_t row, quint8 wantedOfUser) const
    {
        return (m_userLetters[row] & wantedOfUser) == wantedOfUser;
    }

    // The list's rows first to last (0-based) were inserted, removed, moved
    // before destination, or changed.
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void rowsMoved(int first, int last, int destination);
    void rowsChanged(int first, int last);

private:
    void readRow(int row);

    const CategoryList &m_list;
    std::vector<quint32> m_letters;
    std::vector<quint8> m_userLetters;
    WorkChunks m_chunks;
    bool m_kept = false;
};
