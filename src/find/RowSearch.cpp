#include "find/RowSearch.h"

#include "find/RowPieces.h"

#include <bit>

std::vector<quint64> MatchingRows(const CategoryList &list, const RowLetters &letters, const TextMatch &match,
                                  const RowBits *among, size_t begin, size_t end)
{
    const quint32 wanted = match.letters();
    const quint8 wantedOfUser = RowLetters::inByte(wanted);
    const bool lettersDecide = match.lettersDecide();
    std::vector<quint64> found((end - begin + 63) / 64);
    const auto search = [&](size_t pieceBegin, size_t pieceEnd) {
        pieceBegin += begin;
        pieceEnd += begin;
        std::vector<quint32> candidates;
        candidates.reserve(kRowsPerPiece);
        const auto consider = [&](size_t row) {
            if (letters.mayMatch(row, wanted))
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
                    PrefetchEntry(list.rowAt(int(candidates[i + kPrefetchAhead]) + 1));
                const Row entry = list.rowAt(int(row) + 1);
                if (!match.foundIn(entry->field(Entry::Task))
                    && (!letters.userMayMatch(row, wantedOfUser) || !match.foundIn(entry->field(Entry::User))))
                    continue;
            }
            found[(row - begin) / 64] |= quint64(1) << (row % 64);
        }
    };
    const size_t toRead = among ? among->countBetween(begin, end) : end - begin;
    InPieces(end - begin, ThreadsFor(toRead), search);
    return found;
}

namespace {

// Enough for taking back the letters of a word one by one.
constexpr size_t kKeptResults = 8;

} // namespace

const RowBits *KeptResults::of(const QString &folded) const
{
    for (const Kept &kept : m_results) {
        if (kept.folded == folded)
            return &kept.rows;
    }
    return nullptr;
}

const RowBits *KeptResults::fewestWithin(const QString &folded) const
{
    const RowBits *fewest = nullptr;
    for (const Kept &kept : m_results) {
        if (folded.contains(kept.folded) && (!fewest || kept.rows.count() < fewest->count()))
            fewest = &kept.rows;
    }
    return fewest;
}

void KeptResults::keep(const QString &folded, const RowBits &rows)
{
    if (m_results.size() == kKeptResults)
        m_results.erase(m_results.begin());
    m_results.push_back({folded, rows});
}
