#pragma once

#include "entries/CategoryList.h"
#include "entries/Status.h"
#include "history/ListsStep.h"

#include <QString>

#include <optional>
#include <vector>

class TaskLists;

// A status change or a removal of many entries of one list at once, the
// selected ones, and its step in the history. The entries are taken in list
// order; a status change rebuilds each as a change of that entry alone would
// (the code, its digits as the main text, the edited date of now) and puts
// them, still in that order, where such a change puts one: into another list
// at its end, or at the sorted place when that list is sorted; within the
// same list at its own place, unless the list is sorted by a text that the
// change alters (the main text, the edited date, the status), then at its
// sorted place after the rows of an equal key.
//
// The step keeps the entries out of the lists rather than copies, and for
// each its position and where it is while in a list: 12 bytes an entry on
// each side, beside the entries themselves.
class BulkChange : public ListsStep
{
public:
    // positions: 1-based and ascending, in the list of the category.
    static BulkChange setStatus(TaskLists &lists, Category category, const std::vector<int> &positions, int code,
                                const QString &now);
    static BulkChange remove(TaskLists &lists, Category category, const std::vector<int> &positions);

    BulkChange(BulkChange &&) = default;
    BulkChange &operator=(BulkChange &&) = default;
    ~BulkChange() override;

    Category category() const { return m_before.category; }
    size_t size() const { return m_before.positions.size(); }
    // Bytes the step holds beside the entries.
    size_t bytes() const { return m_before.bytes() + m_after.bytes(); }

    bool undo(TaskLists &lists) override;
    bool redo(TaskLists &lists) override;
    void lastChange(const Visit &visit) const override;

private:
    // The entries of one side: in their list at their positions, or out of
    // the lists and then owned here.
    struct Side {
        Category category = Category::Tasks;
        bool present = false;
        std::vector<int> positions;
        std::vector<Row> inList; // while in the list
        EntryRows out; // while out of it
        // The list's sorting while the entries were in it: where it is the
        // same, the positions are theirs again.
        int sortKey = 0;
        int sortOrder = 0;
        bool sorted = false;

        size_t bytes() const
        {
            // The pointers the step keeps, not the entries they point to.
            // NOLINTNEXTLINE(bugprone-sizeof-expression)
            return positions.capacity() * sizeof(int) + inList.capacity() * sizeof(Row)
                + out.capacity() * sizeof(EntryRows::value_type);
        }
        // The entries at these positions of the category's list, taken out of it.
        void takeFrom(TaskLists &lists, Category from, const std::vector<int> &at);
        void noteIn(CategoryList &list);
        bool takeOut(TaskLists &lists);
        void putIn(TaskLists &lists);
    };
    BulkChange() = default;
    static bool replay(TaskLists &lists, Side &from, Side &to);

    Side m_before;
    Side m_after;
    bool m_undone = false; // the last replay took the change back
};
