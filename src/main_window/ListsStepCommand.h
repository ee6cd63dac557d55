#pragma once

#include "history/ListsStep.h"

#include <QUndoCommand>

#include <functional>
#include <memory>

class TaskLists;

// A step of the lists in the window's history: a change they took in from
// outside the window (the file read again, a merge, a conflict copy) or one
// made to many entries at once. The change is made before the command is
// pushed, so the first redo, which the stack runs on the push, leaves the
// lists alone.
class ListsStepCommand : public QUndoCommand
{
public:
    // Told after each undo and redo whether it could be made.
    using Replayed = std::function<void(bool done, const ListsStep &step)>;

    ListsStepCommand(TaskLists &lists, std::unique_ptr<ListsStep> step, Replayed replayed);

    void undo() override;
    void redo() override;

private:
    TaskLists &m_lists;
    std::unique_ptr<ListsStep> m_step;
    Replayed m_replayed;
    bool m_made = true;
};
