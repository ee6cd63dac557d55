#include "find/TextMatch.h"

#include <algorithm>
#include <array>
#include <cstring>
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

quint32 letterBit(char16_t folded)
{
    if (folded >= u'a' && folded <= u'z')
        return 1u << (folded - u'a');
    if (folded >= u'0' && folded <= u'9')
        return 1u << (26 + (folded - u'0') % 4);
    return folded < 0x80 ? 1u << 30 : 1u << 31;
}

// The letter bits of each folded ASCII unit, and at 0x80 that of every
// folded unit beyond ASCII.
const std::array<quint32, 0x81> &letterBits()
{
    static const std::array<quint32, 0x81> bits = [] {
        std::array<quint32, 0x81> made{};
        for (char16_t unit = 0; unit <= 0x80; ++unit)
            made[unit] = letterBit(unit);
        return made;
    }();
    return bits;
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
    for (qsizetype i = 0; i < typed.size(); ++i) {
        m_folded[i] = QChar(table[typed[i].unicode()]);
        m_letters |= letterBit(m_folded[i].unicode());
    }
    m_lettersDecide = m_folded.size() == 1 && m_folded[0] >= u'a' && m_folded[0] <= u'z';
}

// Most stored text is ASCII: four units at a time are checked for that and
// then need no choice between the letter bits of ASCII and of the rest,
// fewer instructions than folding every unit through the large table or
// choosing the table unit by unit (see find-open-read).
quint32 TextMatch::lettersIn(QStringView text)
{
    const FoldTable &table = foldTable();
    const std::array<quint32, 0x81> &bits = letterBits();
    const char16_t *at = text.utf16();
    const char16_t *const end = at + text.size();
    const auto beyondAscii = [&](char16_t unit) { return bits[std::min<char16_t>(table[unit], 0x80)]; };
    quint32 letters = 0;
    for (; at + 4 <= end; at += 4) {
        quint64 four;
        std::memcpy(&four, at, sizeof four);
        if (four & 0xFF80FF80FF80FF80u) {
            letters |= beyondAscii(at[0]) | beyondAscii(at[1]) | beyondAscii(at[2]) | beyondAscii(at[3]);
        } else {
            letters |= bits[table[four & 0x7F]] | bits[table[(four >> 16) & 0x7F]] | bits[table[(four >> 32) & 0x7F]]
                | bits[table[four >> 48]];
        }
    }
    for (; at < end; ++at)
        letters |= beyondAscii(*at);
    return letters;
}

char16_t TextMatch::fold(char16_t unit)
{
    return foldTable()[unit];
}

// Most stored text is ASCII, and an ASCII unit folds to a typed letter only
// if it equals it with bit 0x20 set or clear. Eight places at a time are
// checked for the typed first and last units that way, and any non-ASCII
// unit there makes its place a candidate too; only candidates are folded
// through the table, which is more than twice as fast as folding every unit
// or Qt's case-insensitive search (see find-keystroke-max). Keeping the
// tasks folded in advance would take as much memory again as the tasks, far
// more than a search may cost.
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
    const char16_t *at = text.utf16();
    const char16_t *const last = at + (text.size() - size);
#if defined(__SSE2__)
    const __m128i caseBit = _mm_set1_epi16(0x20);
    const __m128i firstAnyCase = _mm_set1_epi16(static_cast<short>(first | 0x20));
    const __m128i lastAnyCase = _mm_set1_epi16(static_cast<short>(needle[size - 1] | 0x20));
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const auto candidates = [&](const __m128i &units, const __m128i &wanted) {
        const __m128i like = _mm_cmpeq_epi16(_mm_or_si128(units, caseBit), wanted);
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, nonAscii), zero);
        return _mm_or_si128(like, _mm_xor_si128(ascii, _mm_set1_epi16(-1)));
    };
    for (; at + 7 <= last; at += 8) {
        const __m128i firsts = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i lasts = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + size - 1));
        unsigned mask =
            _mm_movemask_epi8(_mm_and_si128(candidates(firsts, firstAnyCase), candidates(lasts, lastAnyCase)));
        while (mask) {
            const int lane = __builtin_ctz(mask) / 2;
            if (table[at[lane]] == first && matchesAt(at + lane, needle, size, table))
                return true;
            mask &= ~(3u << (2 * lane));
        }
    }
#endif
    for (; at <= last; ++at) {
        if (table[*at] == first && matchesAt(at, needle, size, table))
            return true;
    }
    return false;
}
