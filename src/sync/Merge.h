#pragma once

#include "sync/MergeBase.h"
#include "sync/OtherVersion.h"

#include <optional>
#include <vector>

class RowEdits;
class TaskLists;

// What a merge with the disk version did to the lists.
struct MergeCounts {
    int cameIn = 0; // entries the disk version added
    int wentAway = 0; // entries the disk version removed that were still unchanged here
    int keptTwice = 0; // entries changed both here and on disk, kept in both versions
    // Entries the disk version changed (one removed and one added with the
    // same added date), counted here and not as one that came in and one
    // that went away.
    int changed = 0;
    // Entries deleted here that the disk version changed: the change comes
    // in, so they are back.
    int changedAfterDelete = 0;

    bool changedAnything() const
    {
        return cameIn != 0 || wentAway != 0 || keptTwice != 0 || changed != 0 || changedAfterDelete != 0;
    }
    // The lists' entries after the merge, sorted: the base once they are written.
    std::vector<EntryFingerprint> merged;
};

// Brings into the lists what the disk version changed since the base, by
// entries compared as multisets: an entry the disk added is added (to the
// list its status selects, at the end or at its sorted place), one the disk
// removed is removed when it is still here unchanged, and a changed one is
// both. Nothing the lists hold beyond the base is touched, so neither side
// loses what it wrote. here are the lists' entries as LocateSorted() gives
// them. Each row put in or taken out is told to edits, if given. Nothing,
// with the lists untouched, when the disk version's new entries can no
// longer be read as they were fingerprinted.
std::optional<MergeCounts> MergeOtherVersion(TaskLists &lists, const std::vector<LocatedEntry> &here,
                                             const std::vector<EntryFingerprint> &base, const OtherVersion &disk,
                                             RowEdits *edits = nullptr);
