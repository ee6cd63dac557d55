#include "main_window/EntryChangeCommand.h"

EntryChangeCommand::EntryChangeCommand(TaskLists &lists, const EntryChange &change, Replayed replayed,
                                       Journaled journaled)
    : m_lists(lists)
    , m_before(pack(change.before))
    , m_after(pack(change.after))
    , m_replayed(std::move(replayed))
    , m_journaled(std::move(journaled))
{
}

void EntryChangeCommand::undo()
{
    // The entry the change acted on is selected again, as it was before.
    replay(m_after, m_before, m_before.present ? m_before.category : m_after.category, true);
}

void EntryChangeCommand::redo()
{
    if (m_made) {
        m_made = false;
        return;
    }
    // New leaves the selection alone; the other changes act on the selected entry.
    replay(m_before, m_after, m_after.present ? m_after.category : m_before.category, m_before.present);
}

void EntryChangeCommand::replay(const PackedState &from, const PackedState &to, Category category, bool select)
{
    const std::optional<EntryState> before = unpack(from);
    const std::optional<EntryState> after = unpack(to);
    const ReplayResult result = ReplaceEntryState(m_lists, before, after);
    if (result.done && m_journaled)
        m_journaled(before, after);
    m_replayed(result, category, select);
}

EntryChangeCommand::PackedState EntryChangeCommand::pack(const std::optional<EntryState> &state)
{
    PackedState packed;
    if (!state)
        return packed;
    packed.present = true;
    packed.category = state->category;
    packed.position = state->position;
    packed.status = state->status;
    qsizetype size = 0;
    for (const QString &text : state->fields)
        size += text.size();
    packed.texts.reserve(size);
    for (int field = 0; field < Entry::FieldCount; ++field) {
        packed.texts += state->fields[field];
        packed.ends[field] = quint32(packed.texts.size());
    }
    return packed;
}

std::optional<EntryState> EntryChangeCommand::unpack(const PackedState &packed)
{
    if (!packed.present)
        return std::nullopt;
    EntryState state{packed.category, packed.position, packed.status, {}};
    quint32 begin = 0;
    for (int field = 0; field < Entry::FieldCount; ++field) {
        state.fields[field] = packed.texts.mid(begin, packed.ends[field] - begin);
        begin = packed.ends[field];
    }
    return state;
}
