#pragma once

#include "entries/Entry.h"
#include "entries/Status.h"

#include <functional>

class TaskLists;

// A change that the lists took in from outside the window (the file read
// again, a merge with another writer's version, a conflict copy), kept so
// that it can be taken back and made again. Undo and redo each return false,
// changing nothing, when the lists no longer hold what the step left in them.
class ListsStep
{
public:
    virtual ~ListsStep() = default;
    virtual bool undo(TaskLists &lists) = 0;
    virtual bool redo(TaskLists &lists) = 0;

    // Tells visit about each entry that the step's last making, undo or redo
    // put into the lists (inserted) or took out of them, with its place.
    using Visit = std::function<void(bool inserted, Category category, int position, const Entry &entry)>;
    virtual void lastChange(const Visit &visit) const = 0;
};
