#include "document/ListsSplice.h"

#include "document/TaskLists.h"

#include <algorithm>

namespace {

void sortLike(const CategoryList &list, EntryRows &rows)
{
    if (!list.Sorted() || rows.size() < 2)
        return;
    const std::vector<quint32> order = SortedOrder(rows, list.SortKey(), list.SortOrder() == CategoryList::Descending);
    EntryRows sorted(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        sorted[i] = std::move(rows[order[i]]);
    rows.swap(sorted);
}

std::vector<Row> handlesOf(const EntryRows &rows)
{
    std::vector<Row> handles;
    handles.reserve(rows.size());
    for (const auto &row : rows)
        handles.push_back(row.get());
    return handles;
}

} // namespace

ListsSplice ListsSplice::Replace(TaskLists &lists, DiskRows next)
{
    ListsSplice splice;
    for (int category = 0; category < CategoryCount; ++category) {
        CategoryList &list = lists.list(static_cast<Category>(category));
        EntryRows &rows = next[category];
        sortLike(list, rows);
        const int count = list.count();
        const int shorter = std::min(count, int(rows.size()));
        int start = 0;
        while (start < shorter && HoldSame(*list.rowAt(start + 1), *rows[start]))
            ++start;
        int end = 0;
        while (end < shorter - start && HoldSame(*list.rowAt(count - end), *rows[rows.size() - 1 - end]))
            ++end;
        EntryRows middle(std::make_move_iterator(rows.begin() + start), std::make_move_iterator(rows.end() - end));
        Part &part = splice.m_parts[category];
        part.position = start + 1;
        part.placed = handlesOf(middle);
        part.kept = list.replaceRows(part.position, count - start - end, std::move(middle));
        part.listCount = list.count();
    }
    return splice;
}

bool ListsSplice::stillInPlace(TaskLists &lists) const
{
    for (int category = 0; category < CategoryCount; ++category) {
        const CategoryList &list = lists.list(static_cast<Category>(category));
        const Part &part = m_parts[category];
        if (list.count() != part.listCount)
            return false;
        for (size_t i = 0; i < part.placed.size(); ++i) {
            if (list.rowAt(part.position + int(i)) != part.placed[i])
                return false;
        }
    }
    return true;
}

bool ListsSplice::swap(TaskLists &lists)
{
    if (!stillInPlace(lists))
        return false;
    for (int category = 0; category < CategoryCount; ++category) {
        CategoryList &list = lists.list(static_cast<Category>(category));
        Part &part = m_parts[category];
        std::vector<Row> placed = handlesOf(part.kept);
        part.kept = list.replaceRows(part.position, int(part.placed.size()), std::move(part.kept));
        part.placed = std::move(placed);
        part.listCount = list.count();
    }
    return true;
}

bool ListsSplice::changedAnything() const
{
    return std::any_of(m_parts.begin(), m_parts.end(),
                       [](const Part &part) { return !part.kept.empty() || !part.placed.empty(); });
}
