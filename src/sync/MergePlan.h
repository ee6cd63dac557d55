#pragma once

#include "entries/CategoryBatches.h"
#include "entries/EntryFingerprint.h"
#include "sync/OtherVersion.h"

#include <vector>

// What a merge of another version of the file into the lists will do,
// worked out from fingerprints alone, by entries compared as multisets: an
// entry the other version added beyond the base comes in, one it removed
// goes away where the lists still hold it unchanged, and one changed on both
// sides is kept in both versions. Nothing the lists hold beyond the base is
// touched, so neither side loses what it wrote.
struct MergePlan {
    // Places in the other version of the entries that come in, ascending per
    // category: the last copies of a run, so that the rest keep file order.
    CategoryIndices incoming;
    // 1-based positions in the lists of the rows that go away, ascending per
    // category.
    CategoryIndices goingAway;
    // Entries changed both here and in the other version, kept in both.
    int keptTwice = 0;
    // Of the rows going away, those the other version changed rather than
    // removed: an incoming entry with the same added date stands for each.
    int changed = 0;
    // Entries deleted here that the other version changed: the change comes in.
    int changedAfterDelete = 0;
    // The lists' entries after the merge, sorted: the base once written.
    std::vector<EntryFingerprint> merged;
};

// base is sorted; here are the lists' entries and other the other version's,
// both as LocateSorted() gives them.
MergePlan PlanMerge(const std::vector<EntryFingerprint> &base, const std::vector<LocatedEntry> &here,
                    const std::vector<LocatedEntry> &other);
