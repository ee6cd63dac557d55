#pragma once

#include "sync/MergeBase.h"
#include "sync/MergePlan.h"
#include "sync/OtherVersion.h"

#include <optional>
#include <vector>

class RowEdits;
class TaskLists;

// What a merge with the other version did to the lists.
struct MergeCounts {
    int cameIn = 0; // entries the other version added
    int wentAway = 0; // entries the other version removed that were still unchanged here
    int keptTwice = 0; // entries changed both here and there, kept in both versions
    // Entries the other version changed (one removed and one added with the
    // same added date), counted here and not as one that came in and one
    // that went away.
    int changed = 0;
    // Entries deleted here that the other version changed: the change comes
    // in, so they are back.
    int changedAfterDelete = 0;

    bool changedAnything() const
    {
        return cameIn != 0 || wentAway != 0 || keptTwice != 0 || changed != 0 || changedAfterDelete != 0;
    }
    // The lists' entries after the merge, sorted: the base once they are written.
    std::vector<EntryFingerprint> merged;
};

// Carries out a plan on the lists: takes out the rows going away and puts
// the incoming entries in (each to the list its status selects, at the end
// or at its sorted place). Each row put in or taken out is told to edits, if
// given. Nothing, with the lists untouched, when the incoming entries can no
// longer be read as they were fingerprinted.
std::optional<MergeCounts> ApplyMerge(TaskLists &lists, MergePlan plan, const OtherVersion &other,
                                      RowEdits *edits = nullptr);

// Brings into the lists what the other version changed since the base:
// PlanMerge(), then ApplyMerge(). here are the lists' entries as
// LocateSorted() gives them.
std::optional<MergeCounts> MergeOtherVersion(TaskLists &lists, const std::vector<LocatedEntry> &here,
                                             const std::vector<EntryFingerprint> &base, const OtherVersion &other,
                                             RowEdits *edits = nullptr);
