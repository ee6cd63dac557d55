#pragma once

#include "document/ListsSplice.h"

#include <QUndoCommand>

#include <functional>

class TaskLists;

// The lists following what another program wrote to the file, in the
// window's history: undoing it brings back what the lists held before. The
// step is made before the command is pushed, so the first redo, which the
// stack runs on the push, leaves the lists alone.
class FollowedFileCommand : public QUndoCommand
{
public:
    // Told after each undo and redo whether it could be made.
    using Replayed = std::function<void(bool done)>;

    FollowedFileCommand(TaskLists &lists, ListsSplice step, Replayed replayed);

    void undo() override { swap(); }
    void redo() override;

private:
    void swap();

    TaskLists &m_lists;
    ListsSplice m_step;
    Replayed m_replayed;
    bool m_made = true;
};
