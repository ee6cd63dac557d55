#pragma once

#include "entries/CategoryList.h"
#include "find/RowBits.h"
#include "find/RowLetters.h"
#include "find/TextMatch.h"

#include <QString>

#include <vector>

// The rows from begin to end (0-based, begin a multiple of 64) among the
// given ones (all rows for none) whose task or user the match is found in,
// as words of bits, row begin in the lowest bit of the first. Only rows
// holding every letter of the text are candidates, and only their entries
// are read; a single letter needs no entry read at all. The letters of those
// rows must be read. The rows are searched in pieces on several threads,
// each piece filling words of the result of its own.
std::vector<quint64> MatchingRows(const CategoryList &list, const RowLetters &letters, const TextMatch &match,
                                  const RowBits *among, size_t begin, size_t end);

// The rows that recent texts other than a single letter matched, so that
// taking back a letter needs no search and a text holding one of them
// searches only its rows. A bit a row each, and only a few of them, so that
// they stay small beside the list.
class KeptResults
{
public:
    // The rows the text matched, if kept.
    const RowBits *of(const QString &folded) const;
    // The fewest rows kept for a text that the given one holds, if any.
    const RowBits *fewestWithin(const QString &folded) const;
    // Keeps the rows, forgetting the oldest when full.
    void keep(const QString &folded, const RowBits &rows);
    void clear() { m_results.clear(); }

private:
    struct Kept {
        QString folded;
        RowBits rows;
    };
    std::vector<Kept> m_results;
};
