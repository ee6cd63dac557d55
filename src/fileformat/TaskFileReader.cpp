#include "fileformat/TaskFileReader.h"

#include "fileformat/TaskFileFormat.h"
#include "fileformat/Utf8Check.h"
#include "fileformat/Windows1252.h"
#include "storage/FileAccess.h"
#include "storage/FilePath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Large enough that system calls cost nothing, small enough to stay in cache.
constexpr size_t kBlockSize = size_t(256) * 1024;

// The index of the first CR or LF in data[at, end), or end when there is none;
// sixteen bytes at a time where the processor can.
size_t findLineEnd(const char *data, size_t at, size_t end)
{
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; at + 16 <= end; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at));
        const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (found != 0)
            return at + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(found)));
    }
#endif
    while (at < end && data[at] != '\r' && data[at] != '\n')
        ++at;
    return at;
}

// Whether the blanks and tabs are all that data[at, end) holds.
bool onlyBlanks(const char16_t *at, const char16_t *end)
{
    for (; at < end; ++at) {
        if (*at != u' ' && *at != u'\t')
            return false;
    }
    return true;
}

} // namespace

ReadResult TaskFileReader::read(const QString &path)
{
    if (!open(path))
        return m_outcome;

    while (m_end < TaskFileFormat::ByteOrderMarkSize && !m_atEnd) {
        if (!fillBuffer())
            return m_outcome;
    }
    if (m_end >= TaskFileFormat::ByteOrderMarkSize
        && std::memcmp(m_buffer.data(), TaskFileFormat::ByteOrderMark, TaskFileFormat::ByteOrderMarkSize) == 0) {
        m_form = TaskFileFormat::TextForm::Extended;
        m_begin = m_scan = TaskFileFormat::ByteOrderMarkSize;
    } else if (isUtf8WithoutMark()) {
        m_form = TaskFileFormat::TextForm::Utf8;
    }
    if (m_outcome.extent != LoadResult::Complete)
        return m_outcome;
    while (m_begin == m_end && !m_atEnd) {
        if (!fillBuffer())
            return m_outcome;
    }
    if (m_begin == m_end) {
        fail(tr("The file is empty."), LoadResult::Missing);
        return m_outcome;
    }

    Span line;
    if (nextLine(true, line))
        checkHeader(line);
    if (m_outcome.extent != LoadResult::Complete)
        return m_outcome;
    for (qint64 lineNumber = 2; nextLine(true, line); ++lineNumber) {
        if (!readEntry(lineNumber, line))
            break;
    }
    if (!m_loss.isEmpty()) {
        const QString stop = m_outcome.result.failed() ? u'\n' + m_outcome.result.reason() : QString();
        m_outcome = {LoadResult::Incomplete, Result::failure(m_loss + stop)};
    }
    return m_outcome;
}

// Reads the whole file once to see whether it is UTF-8 with characters
// outside ASCII; a Windows-1252 file nearly always shows that it is not at
// its first such character, so only UTF-8 files are read to the end twice.
bool TaskFileReader::isUtf8WithoutMark()
{
    std::vector<unsigned char> block(kBlockSize + 4);
    size_t carried = 0;
    bool multiByte = false;
    for (off_t offset = 0;;) {
        const ssize_t count = ::pread(m_file.handle(), block.data() + carried, kBlockSize, offset);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            fail(qt_error_string(errno));
            return false;
        }
        if (count == 0 && carried != 0 && m_expectUtf8) {
            fail(tr("The file ends inside a character: it is still being written, or it was cut short."));
            return false;
        }
        if (count == 0)
            return carried == 0 && multiByte;
        offset += count;
        const size_t size = carried + static_cast<size_t>(count);
        const int cut = CheckUtf8(block.data(), size, multiByte);
        if (cut < 0)
            return false;
        carried = static_cast<size_t>(cut);
        std::memmove(block.data(), block.data() + size - carried, carried);
    }
}

void TaskFileReader::checkHeader(Span line)
{
    const char *end = line.end;
    while (end > line.begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    if (end - line.begin != TaskFileFormat::HeaderLineSize
        || qstrnicmp(line.begin, TaskFileFormat::HeaderLine, TaskFileFormat::HeaderLineSize) != 0)
        lose(tr("Line 1 is not the header \"%1\".").arg(QLatin1String(TaskFileFormat::HeaderLine)));
}

bool TaskFileReader::open(const QString &path)
{
    // Opened without blocking and checked before reading, so that a pipe or a
    // device named by mistake is refused instead of hanging the program.
    const int fd = ::open(FilePathBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        const bool missing = error == ENOENT || error == ENOTDIR;
        return fail(qt_error_string(error), missing ? LoadResult::Missing : LoadResult::Incomplete);
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(qt_error_string(error));
    }
    if (const Result regular = RequireRegularFile(info.st_mode); regular.failed()) {
        ::close(fd);
        return fail(regular.reason());
    }
    if (!m_file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(m_file.errorString());
    }
    return true;
}

bool TaskFileReader::fillBuffer()
{
    if (m_begin > 0) {
        m_bufferOffset += qint64(m_begin);
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_scan -= m_begin;
        m_begin = 0;
    }
    if (m_buffer.size() < m_end + kBlockSize)
        m_buffer.resize(m_end + kBlockSize);
    const qint64 count = m_file.read(m_buffer.data() + m_end, kBlockSize);
    if (count < 0)
        return fail(m_file.errorString());
    if (count == 0)
        m_atEnd = true;
    m_end += static_cast<size_t>(count);
    return true;
}

// The next line without its line end: CR LF, a CR alone or an LF alone. A line
// that is not kept is dropped as it is scanned, so that a header without a
// line end (any binary file) takes no memory. False at the end of the file and
// on a read failure.
bool TaskFileReader::nextLine(bool keep, Span &line)
{
    for (;;) {
        if (m_skipLineFeed && m_begin < m_end) {
            if (m_buffer[m_begin] == '\n')
                ++m_begin;
            m_skipLineFeed = false;
            m_scan = m_begin;
        }
        const char *data = m_buffer.data();
        const size_t at = findLineEnd(data, m_scan, m_end);
        if (at < m_end) {
            line = {data + m_begin, data + at};
            m_skipLineFeed = data[at] == '\r';
            m_begin = m_scan = at + 1;
            return true;
        }
        m_scan = at;
        if (!keep)
            m_begin = m_scan;
        if (m_atEnd) {
            if (m_begin == m_end)
                return false;
            line = {data + m_begin, data + m_end};
            m_begin = m_scan = m_end;
            return true;
        }
        if (!fillBuffer())
            return false;
    }
}

bool TaskFileReader::readEntry(qint64 lineNumber, Span line)
{
    if (line.begin == line.end)
        return fail(tr("Line %1 is empty.").arg(lineNumber));

    std::array<Span, TaskFileFormat::FieldCount> fields;
    m_extraFields = false;
    const bool extended = m_form == TaskFileFormat::TextForm::Extended;
    const int fieldCount = extended ? splitExtended(line, fields) : splitPlain(line, fields);
    if (m_extraFields)
        lose(tr("Line %1 has more than five fields.").arg(lineNumber));

    // Neither code page needs more UTF-16 code units than bytes.
    const size_t lineSize = static_cast<size_t>(line.end - line.begin);
    if (m_text.size() < lineSize)
        m_text.resize(lineSize);
    char16_t *out = m_text.data();
    std::array<QStringView, TaskFileFormat::FieldCount> texts;
    for (int i = 0; i < fieldCount; ++i)
        texts[i] = decode(fields[i], out);
    // Fields the line lacks are empty, back to back with the others.
    for (int i = fieldCount; i < TaskFileFormat::FieldCount; ++i)
        texts[i] = QStringView(out, qsizetype(0));
    if (m_form != TaskFileFormat::TextForm::Windows1252 && m_utf8.hasError()) {
        m_utf8.resetState();
        lose(tr("Line %1 holds bytes that are not valid UTF-8.").arg(lineNumber));
    }

    size_t numberEnd = 0;
    const std::u16string_view statusText(texts[0].utf16(), texts[0].size());
    const std::optional<double> status = ParseStatusField(statusText, &numberEnd);
    if (!status)
        return fail(tr("Line %1: the status is too large.").arg(lineNumber));
    if (!onlyBlanks(statusText.data() + numberEnd, statusText.data() + statusText.size()))
        lose(tr("Line %1: the status holds text that is not part of a number.").arg(lineNumber));
    const int category = static_cast<int>(CategoryForStatus(*status));
    if (m_fingerprinting)
        m_fingerprints[category].push_back(EntryFingerprint::Of(*status, texts[1], texts[2], texts[3], texts[4]));
    if (m_makingEntries)
        m_rows[category].push_back(Entry::create(*status, texts[1], texts[2], texts[3], texts[4]));
    else
        m_lineOffsets[category].push_back(m_bufferOffset + (line.begin - m_buffer.data()));
    if (fieldCount < TaskFileFormat::FieldCount)
        return fail(tr("Line %1 has fewer than five fields.").arg(lineNumber));
    return true;
}

bool TaskFileReader::readAgain(const CategoryIndices &places, CategoryRows &rows)
{
    struct Wanted {
        qint64 offset;
        int category;
        int index;
    };
    std::vector<Wanted> wanted;
    for (int category = 0; category < CategoryCount; ++category) {
        for (const int index : places[category])
            wanted.push_back({m_lineOffsets[category][size_t(index)], category, index});
    }
    // In file order, so that lines near each other are read in one block.
    std::sort(wanted.begin(), wanted.end(), [](const Wanted &a, const Wanted &b) { return a.offset < b.offset; });

    const auto fingerprinting = std::exchange(m_fingerprinting, false);
    m_makingEntries = true;
    for (Rows &batch : m_rows)
        batch.clear();
    bool same = true;
    for (const Wanted &line : wanted) {
        Span span;
        const size_t before = m_rows[line.category].size();
        if (!seekLine(line.offset) || !nextLine(true, span) || !readEntry(0, span)
            || m_rows[line.category].size() != before + 1) {
            same = false;
            break;
        }
    }
    m_makingEntries = false;
    m_fingerprinting = fingerprinting;
    if (!same)
        return false;
    for (int category = 0; category < CategoryCount; ++category)
        rows[category] = std::move(m_rows[category]);
    return true;
}

// Goes to the line starting at offset, reading only when it is not in the
// buffer already.
bool TaskFileReader::seekLine(qint64 offset)
{
    m_skipLineFeed = false;
    if (offset >= m_bufferOffset && offset < m_bufferOffset + qint64(m_end)) {
        m_begin = m_scan = size_t(offset - m_bufferOffset);
        return true;
    }
    if (!m_file.seek(offset))
        return fail(m_file.errorString());
    m_bufferOffset = offset;
    m_begin = m_end = m_scan = 0;
    m_atEnd = false;
    return true;
}

// Splits at ";" into at most five fields; a sixth is noted and left out.
int TaskFileReader::splitPlain(Span line, std::array<Span, 5> &fields)
{
    int count = 0;
    const char *start = line.begin;
    for (;;) {
        const auto *separator = static_cast<const char *>(
            std::memchr(start, TaskFileFormat::FieldSeparator, static_cast<size_t>(line.end - start)));
        const char *end = separator ? separator : line.end;
        fields[count++] = {start, end};
        if (!separator)
            break;
        if (count == TaskFileFormat::FieldCount) {
            m_extraFields = true;
            break;
        }
        start = separator + 1;
    }
    return count;
}

// As splitPlain, but "\\", "\;", "\r" and "\n" stand for "\", ";", CR and LF;
// a "\" before anything else is itself. The fields end up in m_unescaped.
int TaskFileReader::splitExtended(Span line, std::array<Span, 5> &fields)
{
    const size_t lineSize = static_cast<size_t>(line.end - line.begin);
    if (m_unescaped.size() < lineSize)
        m_unescaped.resize(lineSize);
    char *out = m_unescaped.data();
    const char *fieldStart = out;
    int count = 0;
    for (const char *in = line.begin; in < line.end; ++in) {
        char c = *in;
        if (c == TaskFileFormat::Escape && in + 1 < line.end) {
            const char unescaped = TaskFileFormat::UnescapedCharacterFor(in[1]);
            if (unescaped != 0) {
                *out++ = unescaped;
                ++in;
                continue;
            }
        }
        if (c == TaskFileFormat::FieldSeparator) {
            fields[count++] = {fieldStart, out};
            if (count == TaskFileFormat::FieldCount) {
                m_extraFields = true;
                return count;
            }
            fieldStart = out;
            continue;
        }
        *out++ = c;
    }
    fields[count++] = {fieldStart, out};
    return count;
}

QStringView TaskFileReader::decode(Span field, char16_t *&out)
{
    char16_t *start = out;
    if (m_form != TaskFileFormat::TextForm::Windows1252) {
        out = reinterpret_cast<char16_t *>(
            m_utf8.appendToBuffer(reinterpret_cast<QChar *>(out), QByteArrayView(field.begin, field.end)));
    } else {
        const qsizetype size = field.end - field.begin;
        Windows1252::Decode(field.begin, size, out);
        out += size;
    }
    return QStringView(start, out - start);
}

void TaskFileReader::lose(const QString &description)
{
    if (m_loss.isEmpty())
        m_loss = description;
}

bool TaskFileReader::fail(const QString &description, LoadResult extent)
{
    m_outcome = {extent, Result::failure(description)};
    return false;
}
