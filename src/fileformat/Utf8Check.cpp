#include "fileformat/Utf8Check.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

int CheckUtf8(const unsigned char *data, size_t size, bool &multiByte)
{
    size_t at = 0;
    while (at < size) {
#ifdef __SSE2__
        while (at + 16 <= size && _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at))) == 0)
            at += 16;
#endif
        if (at >= size)
            break;
        const unsigned char lead = data[at];
        if (lead < 0x80) {
            ++at;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return -1;
        }
        for (int i = 1; i < length; ++i) {
            if (at + i >= size)
                return static_cast<int>(size - at);
            const unsigned char next = data[at + i];
            if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
                return -1;
        }
        multiByte = true;
        at += static_cast<size_t>(length);
    }
    return 0;
}

bool IsUtf8BeyondAscii(const char *data, size_t size)
{
    bool multiByte = false;
    return CheckUtf8(reinterpret_cast<const unsigned char *>(data), size, multiByte) == 0 && multiByte;
}
