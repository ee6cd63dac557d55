#pragma once

#include "document/ChangeReplay.h"

#include <QUndoCommand>

#include <functional>

class TaskLists;

// One entry change in the window's history. The change is made before the
// command is pushed, so the first redo, which the stack runs on the push,
// leaves the lists alone.
class EntryChangeCommand : public QUndoCommand
{
public:
    // Told after each undo and redo what it left: the entry to select, if
    // any, in the list of the given category.
    using Replayed = std::function<void(const ReplayResult &result, Category category, bool select)>;

    EntryChangeCommand(TaskLists &lists, EntryChange change, Replayed replayed);

    void undo() override;
    void redo() override;

private:
    TaskLists &m_lists;
    EntryChange m_change;
    Replayed m_replayed;
    bool m_made = true;
};
