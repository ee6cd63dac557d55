#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <memory>

// One to-do item: its status code and its five texts. The texts sit back to
// back in one string so that a million entries stay small in memory.
class Entry
{
public:
    enum Field { MainText = 0, Task = 1, Added = 2, Edited = 3, User = 4 };
    static constexpr int FieldCount = 5;

    static std::unique_ptr<Entry> create(double status, QStringView task, QStringView added,
                                         QStringView edited, QStringView user)
    {
        auto entry = std::make_unique<Entry>();
        entry->status = status;
        entry->m_text.reserve(task.size() + added.size() + edited.size() + user.size());
        const std::array<QStringView, FieldCount> fields = {QStringView(), task, added, edited, user};
        for (int i = 0; i < FieldCount; ++i) {
            entry->m_text.append(fields[i]);
            if (i < FieldCount - 1)
                entry->m_ends[i] = static_cast<quint32>(entry->m_text.size());
        }
        return entry;
    }

    QStringView field(int which) const
    {
        const qsizetype begin = which == 0 ? 0 : m_ends[which - 1];
        const qsizetype end = which == FieldCount - 1 ? m_text.size() : m_ends[which];
        return QStringView(m_text).mid(begin, end - begin);
    }

    void setField(int which, QStringView text)
    {
        const qsizetype begin = which == 0 ? 0 : m_ends[which - 1];
        const qsizetype oldSize = field(which).size();
        m_text.replace(begin, oldSize, text.data(), text.size());
        const qsizetype delta = text.size() - oldSize;
        for (int i = which; i < FieldCount - 1; ++i)
            m_ends[i] = static_cast<quint32>(m_ends[i] + delta);
    }

    double status = 0;

private:
    QString m_text;
    std::array<quint32, FieldCount - 1> m_ends{};
};
