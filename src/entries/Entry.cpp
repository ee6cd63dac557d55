#include "entries/Entry.h"

#include "entries/Status.h"

#include <QString>

#include <cstring>
#include <functional>

namespace {

// Room for a few code units more than asked, up to the next 16 bytes, which
// the allocator would give anyway: the status digits that a status change
// adds to the main text then fit without a block of their own.
quint32 roomFor(qsizetype units)
{
    const std::size_t bytes = sizeof(Entry) + static_cast<std::size_t>(units + 4) * sizeof(char16_t);
    return static_cast<quint32>(((bytes + 15) / 16 * 16 - sizeof(Entry)) / sizeof(char16_t));
}

void copyUnits(char16_t *to, const char16_t *from, qsizetype count)
{
    if (count > 0)
        std::memcpy(to, from, static_cast<std::size_t>(count) * sizeof(char16_t));
}

} // namespace

void *Entry::operator new(std::size_t size, quint32 capacity)
{
    return ::operator new(size + capacity * sizeof(char16_t));
}

void Entry::operator delete(void *entry)
{
    ::operator delete(entry);
}

void Entry::operator delete(void *entry, quint32)
{
    ::operator delete(entry);
}

Entry::Entry(quint32 capacity)
    : m_text(room())
    , m_capacity(capacity)
{
}

Entry::~Entry()
{
    if (m_text != room())
        delete[] m_text;
}

std::unique_ptr<Entry> Entry::create(double status, QStringView task, QStringView added, QStringView edited,
                                     QStringView user)
{
    const std::array<QStringView, FieldCount> fields = {QStringView(), task, added, edited, user};
    qsizetype size = 0;
    for (const QStringView field : fields)
        size += field.size();
    const quint32 capacity = roomFor(size);
    std::unique_ptr<Entry> entry(new (capacity) Entry(capacity));
    entry->status = status;
    quint32 end = 0;
    for (int i = 0; i < FieldCount; ++i) {
        copyUnits(entry->m_text + end, fields[i].utf16(), fields[i].size());
        end += static_cast<quint32>(fields[i].size());
        entry->m_ends[i] = end;
    }
    return entry;
}

void Entry::setField(int which, QStringView text)
{
    // A text taken from this very entry would be overwritten while copied.
    const std::less<const char16_t *> before;
    if (!text.isEmpty() && !before(text.utf16(), m_text) && before(text.utf16(), m_text + m_capacity)) {
        setField(which, QStringView(text.toString()));
        return;
    }
    const quint32 begin = which == 0 ? 0 : m_ends[which - 1];
    const quint32 oldEnd = m_ends[which];
    const quint32 size = m_ends[FieldCount - 1];
    const quint32 newEnd = begin + static_cast<quint32>(text.size());
    const quint32 newSize = size - (oldEnd - begin) + static_cast<quint32>(text.size());
    if (newSize <= m_capacity) {
        std::memmove(m_text + newEnd, m_text + oldEnd, (size - oldEnd) * sizeof(char16_t));
    } else {
        const quint32 capacity = newSize + newSize / 4;
        auto *grown = new char16_t[capacity];
        copyUnits(grown, m_text, begin);
        copyUnits(grown + newEnd, m_text + oldEnd, size - oldEnd);
        if (m_text != room())
            delete[] m_text;
        m_text = grown;
        m_capacity = capacity;
    }
    copyUnits(m_text + begin, text.utf16(), text.size());
    for (int i = which; i < FieldCount; ++i)
        m_ends[i] = m_ends[i] - oldEnd + newEnd;
}

QString Entry::columnText(int column) const
{
    if (column == StatusText)
        return FormatStatus(status);
    if (column < MainText || column > User)
        return {};
    return field(column).toString();
}

bool HoldSame(const Entry &a, const Entry &b)
{
    if (a.status != b.status)
        return false;
    for (int field = Entry::MainText; field < Entry::FieldCount; ++field) {
        if (a.field(field) != b.field(field))
            return false;
    }
    return true;
}
