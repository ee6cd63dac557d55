#include "fileformat/Windows1252.h"

#include <algorithm>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Windows1252 {

namespace {

// The characters of the bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> makeToUnicode()
{
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
    return table;
}

// (character, byte) for the bytes 0x80 to 0x9F, sorted by character.
constexpr std::array<std::pair<char16_t, quint8>, 32> makeFromUnicode()
{
    std::array<std::pair<char16_t, quint8>, 32> pairs{};
    for (int i = 0; i < 32; ++i)
        pairs[i] = {kHighControls[i], static_cast<quint8>(0x80 + i)};
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

constexpr auto kFromUnicode = makeFromUnicode();

constexpr std::array<char16_t, 256> kToUnicode = makeToUnicode();

} // namespace

void Decode(const char *in, qsizetype size, char16_t *out)
{
    qsizetype i = 0;
#ifdef __SSE2__
    // Files are mostly ASCII, which widens sixteen bytes at a time; a block
    // holding anything else goes through the table.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        if (_mm_movemask_epi8(bytes) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
        } else {
            for (qsizetype j = i; j < i + 16; ++j)
                out[j] = kToUnicode[static_cast<unsigned char>(in[j])];
        }
    }
#endif
    for (; i < size; ++i)
        out[i] = kToUnicode[static_cast<unsigned char>(in[i])];
}

int ByteForNonAscii(char16_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return c;
    const auto found = std::lower_bound(kFromUnicode.begin(), kFromUnicode.end(), c,
                                        [](const auto &pair, char16_t key) { return pair.first < key; });
    if (found != kFromUnicode.end() && found->first == c)
        return found->second;
    return -1;
}

} // namespace Windows1252
