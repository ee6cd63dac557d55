#include "Windows1252.h"

#include <algorithm>
#include <utility>

namespace Windows1252 {

namespace {

// The characters of the bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
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

} // namespace

const std::array<char16_t, 256> ToUnicode = makeToUnicode();

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
