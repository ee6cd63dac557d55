#include "main_window/EntryChangeCommand.h"

EntryChangeCommand::EntryChangeCommand(TaskLists &lists, EntryChange change, Replayed replayed)
    : m_lists(lists)
    , m_change(std::move(change))
    , m_replayed(std::move(replayed))
{
}

void EntryChangeCommand::undo()
{
    const ReplayResult result = ReplaceEntryState(m_lists, m_change.after, m_change.before);
    // The entry the change acted on is selected again, as it was before.
    m_replayed(result, m_change.before ? m_change.before->category : m_change.after->category, true);
}

void EntryChangeCommand::redo()
{
    if (m_made) {
        m_made = false;
        return;
    }
    const ReplayResult result = ReplaceEntryState(m_lists, m_change.before, m_change.after);
    // New leaves the selection alone; the other changes act on the selected entry.
    const Category category = m_change.after ? m_change.after->category : m_change.before->category;
    m_replayed(result, category, m_change.before.has_value());
}
