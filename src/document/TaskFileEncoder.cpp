#include "TaskFileEncoder.h"

#include "CategoryList.h"
#include "Status.h"
#include "TaskFileFormat.h"
#include "TaskLists.h"
#include "Windows1252.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

QByteArray TaskFileEncoder::encode(TaskLists &lists)
{
    // Nearly every file fits the plain form; start over in the extended form
    // at the first field that does not.
    for (const bool extended : {false, true}) {
        m_extended = extended;
        m_size = 0;
        if (m_extended)
            writeAscii(TaskFileFormat::ByteOrderMark, TaskFileFormat::ByteOrderMarkSize);
        writeAscii(TaskFileFormat::HeaderLine, sizeof TaskFileFormat::HeaderLine - 1);
        writeAscii(TaskFileFormat::LineEnd, 2);
        bool complete = true;
        for (const CategoryList *list : lists.all()) {
            complete = WriteListEntries(*list);
            if (!complete)
                break;
        }
        if (complete)
            break;
    }
    m_bytes.truncate(m_size);
    return std::move(m_bytes);
}

bool TaskFileEncoder::WriteListEntries(const CategoryList &list)
{
    const int count = list.count();
    for (int position = 1; position <= count; ++position) {
        const Row row = list.rowAt(position);
        writeStatus(row->status);
        for (int field = Entry::Task; field <= Entry::User; ++field) {
            *reserve(1) = TaskFileFormat::FieldSeparator;
            ++m_size;
            if (m_extended)
                writeExtended(row->field(field));
            else if (!writePlain(row->field(field)))
                return false;
        }
        writeAscii(TaskFileFormat::LineEnd, 2);
    }
    return true;
}

void TaskFileEncoder::writeStatus(double status)
{
    if (status >= 0 && status <= 9 && status == std::floor(status)) {
        *reserve(1) = static_cast<char>('0' + static_cast<int>(status));
        ++m_size;
        return;
    }
    const std::string text = FormatStatusUtf8(status);
    writeAscii(text.data(), static_cast<qsizetype>(text.size()));
}

bool TaskFileEncoder::writePlain(QStringView text)
{
    char *out = reserve(text.size());
    for (const QChar c : text) {
        const int byte = Windows1252::ByteFor(c.unicode());
        if (byte < 0 || byte == TaskFileFormat::FieldSeparator || byte == '\r' || byte == '\n')
            return false;
        *out++ = static_cast<char>(byte);
    }
    m_size += text.size();
    return true;
}

void TaskFileEncoder::writeExtended(QStringView text)
{
    // An escape takes two bytes and a UTF-16 code unit at most three.
    char *out = reserve(3 * text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char escaped = c == u'\\' ? '\\' : c == u';' ? ';' : c == u'\r' ? 'r' : c == u'\n' ? 'n' : 0;
        if (escaped == 0)
            continue;
        out = m_utf8.appendToBuffer(out, text.mid(runStart, i - runStart));
        *out++ = TaskFileFormat::Escape;
        *out++ = escaped;
        runStart = i + 1;
    }
    out = m_utf8.appendToBuffer(out, text.mid(runStart));
    m_size = out - m_bytes.data();
}

void TaskFileEncoder::writeAscii(const char *text, qsizetype size)
{
    std::memcpy(reserve(size), text, static_cast<size_t>(size));
    m_size += size;
}

// Room for size more bytes after the ones written so far.
char *TaskFileEncoder::reserve(qsizetype size)
{
    if (m_bytes.size() < m_size + size)
        m_bytes.resize(std::max(2 * m_bytes.size(), m_size + size + 64 * 1024));
    return m_bytes.data() + m_size;
}
