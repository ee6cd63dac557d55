#pragma once

#include "entries/EntryEditing.h"

class TaskLists;

// What a replay leaves in place: whether it could be made, and the row that
// holds the new side, null when that side is missing.
struct ReplayResult {
    bool done = false;
    Row row = nullptr;
};

// Takes one side of an entry change back out of the lists and puts the other
// side in: undoing a change goes from its after to its before, redoing it the
// other way. The entry for from is found at its position, or, when the list
// has been sorted since, as the entry that holds the same; entries alike in
// everything are interchangeable. The entry for to goes to its list at its
// position, which a sorted list keeps where it fits the order. Nothing
// changes when from is in none of its list's rows.
ReplayResult ReplaceEntryState(TaskLists &lists, const std::optional<EntryState> &from,
                               const std::optional<EntryState> &to);
