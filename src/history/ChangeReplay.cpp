#include "history/ChangeReplay.h"

#include "entries/TaskLists.h"

namespace {

bool holds(Row row, const EntryState &state)
{
    if (!row || row->status != state.status)
        return false;
    for (int field = Entry::MainText; field < Entry::FieldCount; ++field) {
        if (row->field(field) != state.fields[field])
            return false;
    }
    return true;
}

// The position of the entry that holds the state; 0 when there is none.
int findEntry(const CategoryList &list, const EntryState &state)
{
    if (holds(list.rowAt(state.position), state))
        return state.position;
    for (int position = 1; position <= list.count(); ++position) {
        if (holds(list.rowAt(position), state))
            return position;
    }
    return 0;
}

} // namespace

ReplayResult ReplaceEntryState(TaskLists &lists, const std::optional<EntryState> &from,
                               const std::optional<EntryState> &to)
{
    if (from) {
        CategoryList &list = lists.list(from->category);
        const int position = findEntry(list, *from);
        if (position == 0)
            return {};
        list.removeAt(position);
    }
    if (!to)
        return {true, nullptr};
    std::unique_ptr<Entry> entry = Entry::create(to->status, to->fields[Entry::Task], to->fields[Entry::Added],
                                                 to->fields[Entry::Edited], to->fields[Entry::User]);
    entry->setField(Entry::MainText, to->fields[Entry::MainText]);
    return {true, lists.list(to->category).insertAt(to->position, std::move(entry))};
}
