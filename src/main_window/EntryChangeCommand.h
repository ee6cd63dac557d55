#pragma once

#include "history/ChangeReplay.h"

#include <QUndoCommand>

#include <array>
#include <functional>
#include <optional>

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

    // Told after each undo and redo that could be made which side it went from and to.
    using Journaled = std::function<void(const std::optional<EntryState> &from, const std::optional<EntryState> &to)>;

    EntryChangeCommand(TaskLists &lists, const EntryChange &change, Replayed replayed, Journaled journaled = {});

    void undo() override;
    void redo() override;

private:
    // One side of the change with its five texts back to back in one string,
    // which a long history holds in far less memory than a string for each
    // text (see the history-memory bench line).
    struct PackedState {
        bool present = false;
        Category category = Category::Tasks;
        int position = 0;
        double status = 0;
        QString texts;
        std::array<quint32, Entry::FieldCount> ends{};
    };
    static PackedState pack(const std::optional<EntryState> &state);
    static std::optional<EntryState> unpack(const PackedState &state);
    void replay(const PackedState &from, const PackedState &to, Category category, bool select);

    TaskLists &m_lists;
    PackedState m_before;
    PackedState m_after;
    Replayed m_replayed;
    Journaled m_journaled;
    bool m_made = true;
};
