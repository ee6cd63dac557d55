#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <memory>

// One to-do item: its status code and its five texts. The texts sit back to
// back in room allocated right behind the entry, so that each entry is one
// block of memory: a million entries stay small, are quickly made and freed,
// and have their texts at hand when a list is sorted or saved.
class Entry
{
public:
    // The five stored texts, then the status text, which is the status code
    // written out: the six columns of a list, numbered as its sort keys.
    enum Field { MainText = 0, Task = 1, Added = 2, Edited = 3, User = 4, StatusText = 5 };
    static constexpr int FieldCount = 5;
    static constexpr int ColumnCount = 6;

    static std::unique_ptr<Entry> create(double status, QStringView task, QStringView added, QStringView edited,
                                         QStringView user);
    ~Entry();
    Entry(const Entry &) = delete;
    Entry &operator=(const Entry &) = delete;

    QStringView field(int which) const
    {
        const quint32 begin = which == 0 ? 0 : m_ends[which - 1];
        return QStringView(m_text + begin, m_ends[which] - begin);
    }

    void setField(int which, QStringView text);
    // The texts of the fields first to last, back to back as the entry keeps them.
    QStringView fields(int first, int last) const
    {
        const quint32 begin = first == 0 ? 0 : m_ends[first - 1];
        return QStringView(m_text + begin, m_ends[last] - begin);
    }

    // The text shown in a column: a stored field or the status text; empty
    // for any other number.
    QString columnText(int column) const;

    double status = 0;

    static void operator delete(void *entry);

private:
    explicit Entry(quint32 capacity);
    static void *operator new(std::size_t size, quint32 capacity);
    static void operator delete(void *entry, quint32 capacity);
    char16_t *room() { return reinterpret_cast<char16_t *>(this + 1); }

    // The room behind the entry, or a block of its own once the texts have
    // outgrown that room.
    char16_t *m_text;
    quint32 m_capacity;
    // Where each field ends; the first begins at 0, each other one where the
    // one before it ends.
    std::array<quint32, FieldCount> m_ends{};
};

// Whether two entries hold the same status and texts.
bool HoldSame(const Entry &a, const Entry &b);

// Asks the memory for an entry and its first texts ahead of their use: the
// entries of a big list lie scattered over the heap, and a pass over them
// that waits for each in turn spends most of its time waiting. The first
// four lines hold the task text of most entries; asking for the task's and
// user's lines alone was slower (see find-keystroke-max).
inline void PrefetchEntry(const Entry *entry)
{
    const char *block = reinterpret_cast<const char *>(entry);
    for (std::ptrdiff_t line = 0; line < 4; ++line)
        __builtin_prefetch(block + 64 * line);
}
