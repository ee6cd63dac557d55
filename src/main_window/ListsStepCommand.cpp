#include "main_window/ListsStepCommand.h"

#include <utility>

ListsStepCommand::ListsStepCommand(TaskLists &lists, std::unique_ptr<ListsStep> step, Replayed replayed)
    : m_lists(lists)
    , m_step(std::move(step))
    , m_replayed(std::move(replayed))
{
}

void ListsStepCommand::undo()
{
    m_replayed(m_step->undo(m_lists), *m_step);
}

void ListsStepCommand::redo()
{
    if (std::exchange(m_made, false))
        return;
    m_replayed(m_step->redo(m_lists), *m_step);
}
