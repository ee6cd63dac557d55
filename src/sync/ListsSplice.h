#pragma once

#include "entries/CategoryList.h"
#include "history/ListsStep.h"
#include "sync/OtherVersion.h"

#include <array>
#include <optional>
#include <vector>

class TaskLists;

// The step from one version of the lists to another, kept as small as what
// changed: in each list only the rows between the start and the end that
// both versions share are replaced. Rows that both versions hold, wherever
// they sit, are the same rows in both, so a step keeps only the rows that
// one version alone holds, and for the others where they go. Applying the
// step again swaps back, so one object undoes and redoes it.
class ListsSplice : public ListsStep
{
public:
    // The step that makes the lists hold next, in file order; a sorted list
    // puts its rows in order by its sort settings. Entries equal to rows of
    // the lists (given as LocateSorted() gives them) are those rows; only the
    // others are read. Nothing when they cannot be read. The lists are
    // unchanged until swap().
    static std::optional<ListsSplice> Towards(TaskLists &lists, const std::vector<LocatedEntry> &rows,
                                              const OtherVersion &next);

    // Swaps the rows in place for the other version. False, changing
    // nothing, when the lists no longer hold what the last swap left in them.
    bool swap(TaskLists &lists);
    bool changedAnything() const;

    bool undo(TaskLists &lists) override { return swap(lists); }
    bool redo(TaskLists &lists) override { return swap(lists); }
    void lastChange(const Visit &visit) const override;

private:
    struct Part {
        int position = 1; // where the replaced rows begin
        std::vector<Row> placed; // the rows in place now
        // Where each row of the other version comes from: a row in place
        // (its index in placed) or, counted from -1 down, one of kept.
        std::vector<qint32> sources;
        EntryRows kept; // the rows only the other version holds
        int listCount = 0; // the list's size while placed is in it

        void swapIn(CategoryList &list);
    };
    bool stillInPlace(TaskLists &lists) const;

    std::array<Part, CategoryCount> m_parts;
};
