#pragma once

#include "journal/JournalFormat.h"

class TaskLists;
class ListsStep;

// What a replay could not do: the entries it should have taken out of the
// lists but found in none of them, since the file changed meanwhile.
struct ReplayOutcome {
    int unplaced = 0;
};

// Makes the changes again onto the lists as they are now, as the merge with
// another writer's version does: an entry the changes took out goes where
// the lists still hold it unchanged, and every entry they put in (added or
// changed) comes in, at its place where the list has one, so that what
// changed in the file meanwhile stays. Entries are told apart by what the
// file keeps of them, their status and four texts.
ReplayOutcome ReplayJournal(TaskLists &lists, const std::vector<JournalChange> &changes);

// The change a step of the lists made last (its first making, an undo or
// a redo), as a journal record.
JournalRecord RecordOf(const ListsStep &step);
// An entry change going from one side to the other.
JournalRecord RecordOf(const std::optional<EntryState> &from, const std::optional<EntryState> &to);
