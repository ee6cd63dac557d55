#include "main_window/OutsideChangeCommand.h"

#include <utility>

OutsideChangeCommand::OutsideChangeCommand(TaskLists &lists, std::unique_ptr<ListsStep> step, Replayed replayed)
    : m_lists(lists)
    , m_step(std::move(step))
    , m_replayed(std::move(replayed))
{
}

void OutsideChangeCommand::undo()
{
    m_replayed(m_step->undo(m_lists), *m_step);
}

void OutsideChangeCommand::redo()
{
    if (std::exchange(m_made, false))
        return;
    m_replayed(m_step->redo(m_lists), *m_step);
}
