#pragma once

#include <QtGlobal>

#include <vector>

// A set of rows of a list, a bit a row, that also answers which row is the
// n-th of the set and how many of the set come before a row: what a filtered
// view needs to map its rows to the list's. The counts that make those
// answers quick take a sixteenth of the bits' room.
class RowBits
{
public:
    RowBits() = default;
    // The rows whose bits are set in words, a word for each 64 rows, row 0
    // in the lowest bit of the first.
    RowBits(std::vector<quint64> words, size_t rows);

    size_t rows() const { return m_rows; }
    size_t count() const;
    bool contains(size_t row) const { return (m_words[row / 64] >> (row % 64)) & 1; }
    void insert(size_t row);

    // How many rows of the set come before the row.
    size_t countBefore(size_t row) const;
    // How many rows of the set lie from begin to end.
    size_t countBetween(size_t begin, size_t end) const { return countBefore(end) - countBefore(begin); }
    // The row that is the given 0-based one of the set, which must be fewer
    // than count().
    size_t nth(size_t index) const;

    // Makes room for count rows before the row, in the set or not; the rows
    // from there on move down.
    void insertRows(size_t row, size_t count, bool inSet);
    void removeRows(size_t row, size_t count);
    // Puts words in place of those from the given one on, which hold no row
    // of the set yet.
    void fillWords(size_t first, const std::vector<quint64> &words);

    const std::vector<quint64> &words() const { return m_words; }
    size_t bytes() const { return m_words.capacity() * sizeof(quint64) + m_before.capacity() * sizeof(quint32); }

private:
    void countBlocks() const;

    std::vector<quint64> m_words;
    size_t m_rows = 0;
    // How many rows of the set come before each block of words, counted again
    // when first asked after a change.
    mutable std::vector<quint32> m_before;
    mutable bool m_counted = false;
};
