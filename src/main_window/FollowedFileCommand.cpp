#include "main_window/FollowedFileCommand.h"

FollowedFileCommand::FollowedFileCommand(TaskLists &lists, ListsSplice step, Replayed replayed)
    : m_lists(lists)
    , m_step(std::move(step))
    , m_replayed(std::move(replayed))
{
}

void FollowedFileCommand::redo()
{
    if (std::exchange(m_made, false))
        return;
    swap();
}

void FollowedFileCommand::swap()
{
    m_replayed(m_step.swap(m_lists));
}
