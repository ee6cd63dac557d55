#include "fileformat/TaskFileEncoder.h"

#include "entries/CategoryList.h"
#include "entries/Status.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFileFormat.h"
#include "fileformat/Utf8Check.h"
#include "fileformat/Windows1252.h"

#include <cmath>
#include <cstring>
#include <string>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Writes the leading characters of a field that are their own bytes in the
// code page (ASCII and U+00A0 to U+00FF) and are no separator or line break,
// eight at a time; returns how many it wrote. Nearly every field is such text
// through and through, and saving a million entries spends its time here.
qsizetype plainLatin1Prefix(const char16_t *in, qsizetype size, char *out)
{
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i highByte = _mm_set1_epi16(static_cast<short>(0xFF00));
    const __m128i c1Base = _mm_set1_epi16(0x80);
    const __m128i c1Mask = _mm_set1_epi16(static_cast<short>(0xFFE0));
    const __m128i separator = _mm_set1_epi16(TaskFileFormat::FieldSeparator);
    const __m128i cr = _mm_set1_epi16('\r');
    const __m128i lf = _mm_set1_epi16('\n');
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= size; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        // Above U+00FF, in U+0080 to U+009F (bytes of other characters), or special.
        const __m128i wide =
            _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(units, highByte), zero), _mm_set1_epi16(-1));
        const __m128i c1 = _mm_cmpeq_epi16(_mm_and_si128(_mm_sub_epi16(units, c1Base), c1Mask), zero);
        const __m128i special = _mm_or_si128(_mm_cmpeq_epi16(units, separator),
                                             _mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf)));
        if (_mm_movemask_epi8(_mm_or_si128(wide, _mm_or_si128(c1, special))) != 0)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(units, units));
    }
#endif
    for (; i < size; ++i) {
        const char16_t c = in[i];
        const bool own = c < 0x80 || (c >= 0xA0 && c <= 0xFF);
        if (!own || c == TaskFileFormat::FieldSeparator || c == u'\r' || c == u'\n')
            break;
        out[i] = static_cast<char>(c);
    }
    return i;
}

} // namespace

QByteArray TaskFileEncoder::encode(TaskLists &lists, TaskFileFormat::TextForm readForm,
                                   std::vector<EntryFingerprint> *fingerprints)
{
    m_fingerprints = fingerprints;
    // Nearly every file fits its plain form; start over in the extended form
    // at the first field that does not.
    using TaskFileFormat::TextForm;
    for (const TextForm form : {readForm, TextForm::Extended}) {
        m_form = form;
        m_bytes.clear();
        if (m_fingerprints)
            m_fingerprints->clear();
        if (m_form == TextForm::Extended)
            m_bytes.append(TaskFileFormat::ByteOrderMark, TaskFileFormat::ByteOrderMarkSize);
        m_bytes.append(TaskFileFormat::HeaderLine, sizeof TaskFileFormat::HeaderLine - 1);
        m_bytes.append(TaskFileFormat::LineEnd, 2);
        bool complete = true;
        for (const CategoryList *list : lists.all()) {
            complete = WriteListEntries(*list);
            if (!complete)
                break;
        }
        // Windows-1252 text that happens to be valid UTF-8 ("\xC5\x91" for
        // "Å‘") would be read back as UTF-8; the extended form keeps it.
        if (complete && m_form == TextForm::Windows1252 && IsUtf8BeyondAscii(m_bytes.data(), m_bytes.size()))
            complete = false;
        if (complete)
            break;
    }
    return m_bytes.take();
}

bool TaskFileEncoder::WriteListEntries(const CategoryList &list)
{
    const int count = list.count();
    for (int position = 1; position <= count; ++position) {
        // Rows lie all over memory; ask for the ones a few steps ahead early.
        if (position + 16 <= count)
            __builtin_prefetch(list.rowAt(position + 16));
        if (position + 8 <= count) {
            const char16_t *text = list.rowAt(position + 8)->field(Entry::Task).utf16();
            __builtin_prefetch(text);
            __builtin_prefetch(text + 32);
            __builtin_prefetch(text + 64);
        }
        const Row row = list.rowAt(position);
        writeStatus(row->status);
        for (int field = Entry::Task; field <= Entry::User; ++field) {
            m_bytes.append(TaskFileFormat::FieldSeparator);
            if (m_form == TaskFileFormat::TextForm::Extended)
                writeExtended(row->field(field));
            else if (!(m_form == TaskFileFormat::TextForm::Utf8 ? writePlainUtf8(row->field(field))
                                                                : writePlain(row->field(field))))
                return false;
        }
        m_bytes.append(TaskFileFormat::LineEnd, 2);
        if (m_fingerprints)
            m_fingerprints->push_back(EntryFingerprint::Of(*row));
    }
    return true;
}

void TaskFileEncoder::writeStatus(double status)
{
    if (status >= 0 && status <= 9 && status == std::floor(status)) {
        m_bytes.append(static_cast<char>('0' + static_cast<int>(status)));
        return;
    }
    const std::string text = FormatStatusUtf8(status);
    m_bytes.append(text.data(), static_cast<qsizetype>(text.size()));
}

bool TaskFileEncoder::writePlain(QStringView text)
{
    char *out = m_bytes.reserve(text.size());
    const char16_t *in = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = plainLatin1Prefix(in, size, out);
    for (; i < size; ++i) {
        const int byte = Windows1252::ByteFor(in[i]);
        if (byte < 0 || byte == TaskFileFormat::FieldSeparator || byte == '\r' || byte == '\n')
            return false;
        out[i] = static_cast<char>(byte);
    }
    m_bytes.grownTo(out + size);
    return true;
}

bool TaskFileEncoder::writePlainUtf8(QStringView text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char(TaskFileFormat::FieldSeparator) || c == u'\r' || c == u'\n')
            return false;
    }
    m_bytes.grownTo(m_utf8.appendToBuffer(m_bytes.reserve(3 * text.size()), text));
    return true;
}

void TaskFileEncoder::writeExtended(QStringView text)
{
    // An escape takes two bytes and a UTF-16 code unit at most three.
    char *out = m_bytes.reserve(3 * text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char escaped = TaskFileFormat::EscapeLetterFor(c);
        if (escaped == 0)
            continue;
        out = m_utf8.appendToBuffer(out, text.mid(runStart, i - runStart));
        *out++ = TaskFileFormat::Escape;
        *out++ = escaped;
        runStart = i + 1;
    }
    out = m_utf8.appendToBuffer(out, text.mid(runStart));
    m_bytes.grownTo(out);
}
