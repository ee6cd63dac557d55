#include "history/BulkChange.h"

#include "entries/TaskLists.h"

#include <algorithm>

BulkChange BulkChange::setStatus(TaskLists &lists, Category category, const std::vector<int> &positions, int code,
                                 const QString &now)
{
    BulkChange change;
    change.m_before.takeFrom(lists, category, positions);

    const QString digits = FormatStatus(code);
    EntryRows changed;
    changed.reserve(positions.size());
    const EntryRows &out = change.m_before.out;
    constexpr size_t kPrefetchAhead = 8;
    for (size_t i = 0; i < out.size(); ++i) {
        // The entries lie scattered over the heap (see bulk-status).
        if (i + kPrefetchAhead < out.size())
            PrefetchEntry(out[i + kPrefetchAhead].get());
        const Entry &entry = *out[i];
        changed.push_back(
            Entry::create(code, entry.field(Entry::Task), entry.field(Entry::Added), now, entry.field(Entry::User)));
        changed.back()->setField(Entry::MainText, digits);
    }
    const Category target = CategoryForStatus(code);
    CategoryList &to = lists.list(target);
    change.m_after.category = target;
    change.m_after.present = true;
    // A row that keeps its sort key keeps its place, as a change of it alone
    // leaves it.
    const bool keyKept = !to.Sorted()
        || (to.SortKey() != Entry::MainText && to.SortKey() != Entry::Edited && to.SortKey() != Entry::StatusText);
    if (target == category && keyKept) {
        to.putIn(positions, std::move(changed));
        change.m_after.positions = positions;
    } else {
        change.m_after.positions = to.appendMany(std::move(changed));
    }
    change.m_after.noteIn(to);
    return change;
}

BulkChange BulkChange::remove(TaskLists &lists, Category category, const std::vector<int> &positions)
{
    BulkChange change;
    change.m_before.takeFrom(lists, category, positions);
    return change;
}

BulkChange::~BulkChange() = default;

bool BulkChange::undo(TaskLists &lists)
{
    const bool done = replay(lists, m_after, m_before);
    m_undone = m_undone || done;
    return done;
}

bool BulkChange::redo(TaskLists &lists)
{
    const bool done = replay(lists, m_before, m_after);
    m_undone = m_undone && !done;
    return done;
}

void BulkChange::lastChange(const Visit &visit) const
{
    const Side &gone = m_undone ? m_after : m_before;
    const Side &come = m_undone ? m_before : m_after;
    if (gone.present) {
        for (size_t i = 0; i < gone.out.size(); ++i)
            visit(false, gone.category, gone.positions[i], *gone.out[i]);
    }
    if (come.present) {
        for (size_t i = 0; i < come.inList.size(); ++i)
            visit(true, come.category, come.positions[i], *come.inList[i]);
    }
}

bool BulkChange::replay(TaskLists &lists, Side &from, Side &to)
{
    if (from.present && !from.takeOut(lists))
        return false;
    if (to.present)
        to.putIn(lists);
    return true;
}

void BulkChange::Side::takeFrom(TaskLists &lists, Category from, const std::vector<int> &at)
{
    category = from;
    present = true;
    positions = at;
    CategoryList &list = lists.list(from);
    sortKey = list.SortKey();
    sortOrder = list.SortOrder();
    sorted = list.Sorted();
    out = list.takeOut(positions);
}

void BulkChange::Side::noteIn(CategoryList &list)
{
    inList.clear();
    inList.reserve(positions.size());
    for (const int position : positions)
        inList.push_back(list.rowAt(position));
    EntryRows().swap(out);
    sortKey = list.SortKey();
    sortOrder = list.SortOrder();
    sorted = list.Sorted();
}

// The entries are where they were left unless the list was sorted since; then
// they are looked for. False, changing nothing, when one of them is missing.
bool BulkChange::Side::takeOut(TaskLists &lists)
{
    CategoryList &list = lists.list(category);
    bool inPlace = true;
    for (size_t i = 0; i < positions.size() && inPlace; ++i)
        inPlace = list.rowAt(positions[i]) == inList[i];
    if (!inPlace) {
        std::vector<Row> wanted = inList;
        std::sort(wanted.begin(), wanted.end());
        std::vector<int> found;
        found.reserve(positions.size());
        for (int position = 1; position <= list.count(); ++position) {
            if (std::binary_search(wanted.begin(), wanted.end(), list.rowAt(position)))
                found.push_back(position);
        }
        if (found.size() != positions.size())
            return false;
        positions.swap(found);
    }
    out = list.takeOut(positions);
    std::vector<Row>().swap(inList);
    return true;
}

void BulkChange::Side::putIn(TaskLists &lists)
{
    CategoryList &list = lists.list(category);
    const bool sameOrder = !list.Sorted() || (sorted && list.SortKey() == sortKey && list.SortOrder() == sortOrder);
    if (sameOrder)
        list.putIn(positions, std::move(out));
    else
        positions = list.appendMany(std::move(out));
    noteIn(list);
}
