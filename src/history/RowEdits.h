#pragma once

#include "entries/CategoryList.h"
#include "entries/Status.h"
#include "history/ListsStep.h"

#include <memory>
#include <vector>

// Rows put into and taken out of the lists one by one, in order, as a merge
// does. Only the rows concerned are kept, moved rather than copied, with
// their places: the step costs what it changed, not what the lists hold.
class RowEdits : public ListsStep
{
public:
    // Called right after each change to the lists.
    void inserted(Category category, int position, Row row);
    void removed(Category category, int position, std::unique_ptr<Entry> entry);
    bool isEmpty() const { return m_edits.empty(); }

    bool undo(TaskLists &lists) override;
    bool redo(TaskLists &lists) override;
    void lastChange(const Visit &visit) const override;

private:
    struct Edit {
        Category category;
        int position;
        Row row;
        std::unique_ptr<Entry> out; // the row while it is out of its list
    };
    static bool takeOut(TaskLists &lists, Edit &edit);
    static void putBack(TaskLists &lists, Edit &edit);

    // Insertions hold no row until undone; removals hold theirs until redone.
    std::vector<Edit> m_edits;
};
