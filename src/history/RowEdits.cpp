#include "history/RowEdits.h"

#include "entries/TaskLists.h"

void RowEdits::inserted(Category category, int position, Row row)
{
    m_edits.push_back({category, position, row, nullptr});
}

void RowEdits::removed(Category category, int position, std::unique_ptr<Entry> entry)
{
    const Row row = entry.get();
    m_edits.push_back({category, position, row, std::move(entry)});
}

bool RowEdits::takeOut(TaskLists &lists, Edit &edit)
{
    CategoryList &list = lists.list(edit.category);
    if (list.rowAt(edit.position) != edit.row)
        return false;
    edit.out = std::move(list.replaceRows(edit.position, 1, {}).front());
    return true;
}

void RowEdits::putBack(TaskLists &lists, Edit &edit)
{
    EntryRows rows;
    rows.push_back(std::move(edit.out));
    lists.list(edit.category).replaceRows(edit.position, 0, std::move(rows));
}

// Each edit is checked against the row it expects just before it is taken
// back, so a history that no longer fits stops before touching another row.
bool RowEdits::undo(TaskLists &lists)
{
    for (auto edit = m_edits.rbegin(); edit != m_edits.rend(); ++edit) {
        if (edit->out)
            putBack(lists, *edit);
        else if (!takeOut(lists, *edit))
            return false;
    }
    return true;
}

bool RowEdits::redo(TaskLists &lists)
{
    for (Edit &edit : m_edits) {
        if (edit.out)
            putBack(lists, edit);
        else if (!takeOut(lists, edit))
            return false;
    }
    return true;
}

// An edit whose row is out was a removal made or an insertion taken back.
void RowEdits::lastChange(const Visit &visit) const
{
    for (const Edit &edit : m_edits)
        visit(!edit.out, edit.category, edit.position, edit.out ? *edit.out : *edit.row);
}
