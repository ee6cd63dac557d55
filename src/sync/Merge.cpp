#include "sync/Merge.h"

#include "entries/CategoryList.h"
#include "entries/TaskLists.h"
#include "history/RowEdits.h"

std::optional<MergeCounts> ApplyMerge(TaskLists &lists, MergePlan plan, const OtherVersion &other, RowEdits *edits)
{
    // Read first, so that a file written to since leaves the lists as they are.
    CategoryRows incoming;
    if (!other.entriesAt(plan.incoming, incoming))
        return std::nullopt;

    MergeCounts counts;
    counts.keptTwice = plan.keptTwice;
    // All at once per list: told of rows one by one, a view walks its whole
    // header for each of them.
    for (int category = 0; category < CategoryCount; ++category) {
        const auto which = static_cast<Category>(category);
        const std::vector<int> &positions = plan.goingAway[category];
        EntryRows taken = lists.list(which).takeRows(positions);
        counts.wentAway += int(taken.size());
        // Told from the last to the first, each where it was when taken out.
        for (size_t i = taken.size(); edits && i-- > 0;)
            edits->removed(which, positions[i], std::move(taken[i]));
    }
    for (int category = 0; category < CategoryCount; ++category) {
        const auto which = static_cast<Category>(category);
        CategoryList &list = lists.list(which);
        counts.cameIn += int(incoming[category].size());
        for (const int position : list.insertAll(std::move(incoming[category]))) {
            if (edits)
                edits->inserted(which, position, list.rowAt(position));
        }
    }
    // A changed entry is one that went away and one that came in: counted once.
    counts.changed = plan.changed;
    counts.changedAfterDelete = plan.changedAfterDelete;
    counts.wentAway -= plan.changed;
    counts.cameIn -= plan.changed + plan.changedAfterDelete;
    counts.merged = std::move(plan.merged);
    return counts;
}

std::optional<MergeCounts> MergeOtherVersion(TaskLists &lists, const std::vector<LocatedEntry> &here,
                                             const std::vector<EntryFingerprint> &base, const OtherVersion &other,
                                             RowEdits *edits)
{
    return ApplyMerge(lists, PlanMerge(base, here, other.sorted), other, edits);
}
