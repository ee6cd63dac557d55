#pragma once

// Helpers shared by the task-list file tests: files from bytes, and the
// contents of the five lists as plain values that gtest can compare and print.

#include "CategoryList.h"
#include "TaskLists.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <vector>

struct Item {
    double status = 0;
    QString task;
    QString added;
    QString edited;
    QString user;

    bool operator==(const Item &other) const = default;
};

inline void PrintTo(const Item &item, std::ostream *out)
{
    *out << "{" << item.status << ", \"" << item.task.toStdString() << "\", \"" << item.added.toStdString()
         << "\", \"" << item.edited.toStdString() << "\", \"" << item.user.toStdString() << "\"}";
}

using Items = std::vector<Item>;

inline Items itemsOf(const CategoryList &list)
{
    Items items;
    for (int position = 1; position <= list.count(); ++position) {
        const Row row = list.rowAt(position);
        items.push_back({row->status, row->field(Entry::Task).toString(), row->field(Entry::Added).toString(),
                         row->field(Entry::Edited).toString(), row->field(Entry::User).toString()});
    }
    return items;
}

inline std::array<Items, CategoryCount> contentsOf(TaskLists &lists)
{
    std::array<Items, CategoryCount> contents;
    for (int category = 0; category < CategoryCount; ++category)
        contents[category] = itemsOf(*lists.all()[category]);
    return contents;
}

inline Row addItem(TaskLists &lists, const Item &item)
{
    return lists.listForStatus(item.status)
        .append(Entry::create(item.status, item.task, item.added, item.edited, item.user));
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}
