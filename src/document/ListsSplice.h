#pragma once

#include "document/CategoryList.h"
#include "document/DiskMerge.h"
#include "document/ListsStep.h"

#include <array>
#include <vector>

class TaskLists;

// The step from one version of the lists to another, kept as small as what
// changed: in each list only the rows between the start and the end that
// both versions share are replaced, and the rows taken out are kept, moved
// rather than copied. Applying the step again swaps them back, so one object
// undoes and redoes it.
class ListsSplice : public ListsStep
{
public:
    // Makes the lists hold next, given in file order; a sorted list puts its
    // new rows in order by its sort settings first.
    static ListsSplice Replace(TaskLists &lists, DiskRows next);

    // Swaps the rows in place and the ones kept. False, changing nothing,
    // when the lists no longer hold what the last swap left in them.
    bool swap(TaskLists &lists);
    bool changedAnything() const;

    bool undo(TaskLists &lists) override { return swap(lists); }
    bool redo(TaskLists &lists) override { return swap(lists); }

private:
    struct Part {
        int position = 1; // where the replaced rows begin
        EntryRows kept; // the rows taken out
        std::vector<Row> placed; // the rows put in
        int listCount = 0; // the list's size afterwards
    };
    bool stillInPlace(TaskLists &lists) const;

    std::array<Part, CategoryCount> m_parts;
};
