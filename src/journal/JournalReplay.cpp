#include "journal/JournalReplay.h"

#include "entries/EntryFingerprint.h"
#include "entries/TaskLists.h"
#include "history/ListsStep.h"

#include <algorithm>
#include <future>
#include <thread>
#include <unordered_map>

namespace {

std::unique_ptr<Entry> entryOf(const EntryState &state)
{
    std::unique_ptr<Entry> entry = Entry::create(state.status, state.fields[Entry::Task], state.fields[Entry::Added],
                                                 state.fields[Entry::Edited], state.fields[Entry::User]);
    entry->setField(Entry::MainText, state.fields[Entry::MainText]);
    return entry;
}

struct FingerprintHash {
    size_t operator()(const EntryFingerprint &fingerprint) const { return fingerprint.words[0]; }
};

// Takes out of the lists, in one pass over each, an entry for each of the
// fingerprints counted; returns how many were found in none. Most rows are
// none of them, which a filter on their first bits tells at once.
int takeOut(TaskLists &lists, const std::unordered_map<EntryFingerprint, int, FingerprintHash> &counted)
{
    std::vector<std::pair<EntryFingerprint, int>> wanted(counted.begin(), counted.end());
    std::sort(wanted.begin(), wanted.end());
    constexpr int kFilterBits = 20;
    std::vector<bool> filter(size_t(1) << kFilterBits, false);
    int left = 0;
    for (const auto &[fingerprint, count] : wanted) {
        filter[fingerprint.words[0] >> (32 - kFilterBits)] = true;
        left += count;
    }
    for (CategoryList *list : lists.all()) {
        if (left == 0)
            break;
        std::vector<int> positions;
        ForEachFingerprint(*list, [&](int position, const EntryFingerprint &fingerprint) {
            if (!filter[fingerprint.words[0] >> (32 - kFilterBits)])
                return;
            const auto found =
                std::lower_bound(wanted.begin(), wanted.end(), fingerprint,
                                 [](const auto &pair, const EntryFingerprint &key) { return pair.first < key; });
            if (found != wanted.end() && found->first == fingerprint && found->second > 0) {
                --found->second;
                --left;
                positions.push_back(position);
            }
        });
        list->takeRows(positions);
    }
    return left;
}

// Puts the entries into the list, each at its position where an unsorted
// list has it: the earlier positions first and, of those at one position,
// the later change first, as new entries at the top come.
void putIn(CategoryList &list, std::vector<const EntryState *> states)
{
    if (states.empty())
        return;
    EntryRows incoming;
    incoming.reserve(states.size());
    if (list.Sorted()) {
        for (const EntryState *state : states)
            incoming.push_back(entryOf(*state));
        list.insertAll(std::move(incoming));
        return;
    }
    std::vector<size_t> order(states.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return states[a]->position != states[b]->position ? states[a]->position < states[b]->position : a > b;
    });
    EntryRows rows = list.replaceRows(1, list.count(), {});
    EntryRows merged;
    merged.reserve(rows.size() + states.size());
    size_t old = 0;
    for (const size_t i : order) {
        while (old < rows.size() && int(merged.size()) < states[i]->position - 1)
            merged.push_back(std::move(rows[old++]));
        merged.push_back(entryOf(*states[i]));
    }
    while (old < rows.size())
        merged.push_back(std::move(rows[old++]));
    list.replaceRows(1, 0, std::move(merged));
}

} // namespace

ReplayOutcome ReplayJournal(TaskLists &lists, const std::vector<JournalChange> &changes)
{
    // What the changes come to: the entries they put in that are still in,
    // and those of the file they took out.
    std::vector<const EntryState *> added;
    std::vector<bool> stillIn;
    std::unordered_map<EntryFingerprint, std::vector<size_t>, FingerprintHash> addedByKey;
    std::unordered_map<EntryFingerprint, int, FingerprintHash> takenFromFile;
    for (const JournalChange &change : changes) {
        for (const JournalOp &op : change.ops) {
            std::vector<size_t> &same = addedByKey[op.key];
            if (op.insert) {
                same.push_back(added.size());
                added.push_back(&op.state);
                stillIn.push_back(true);
            } else if (!same.empty()) {
                stillIn[same.back()] = false;
                same.pop_back();
            } else {
                ++takenFromFile[op.key];
            }
        }
    }
    ReplayOutcome outcome;
    outcome.unplaced = takeOut(lists, takenFromFile);
    std::array<std::vector<const EntryState *>, CategoryCount> incoming;
    for (size_t i = 0; i < added.size(); ++i) {
        if (stillIn[i])
            incoming[static_cast<int>(CategoryForStatus(added[i]->status))].push_back(added[i]);
    }
    for (int category = 0; category < CategoryCount; ++category)
        putIn(lists.list(static_cast<Category>(category)), std::move(incoming[category]));
    return outcome;
}

namespace {

struct Visited {
    const Entry *entry;
    int position;
    Category category;
    bool inserted;
};

JournalOps opsOf(const Visited *begin, const Visited *end)
{
    constexpr std::ptrdiff_t kAhead = 8;
    JournalOps ops;
    for (const Visited *at = begin; at != end; ++at) {
        if (end - at > kAhead)
            PrefetchEntry(at[kAhead].entry);
        if (at->inserted)
            ops.putIn(at->category, at->position, *at->entry);
        else
            ops.takeOut(EntryFingerprint::Of(*at->entry));
    }
    return ops;
}

} // namespace

// Fingerprinting and encoding a change of every entry of a big list waits
// mostly on the memory, which several threads wait on side by side (see
// bulk-status); a change of a few entries stays on this thread.
JournalRecord RecordOf(const ListsStep &step)
{
    std::vector<Visited> visited;
    step.lastChange([&](bool inserted, Category category, int position, const Entry &entry) {
        visited.push_back({&entry, position, category, inserted});
    });
    constexpr size_t kEntriesPerThread = 50000;
    const size_t pieces = std::clamp<size_t>(visited.size() / kEntriesPerThread, 1,
                                             std::clamp(std::thread::hardware_concurrency(), 1U, 4U));
    std::vector<std::future<JournalOps>> encoded;
    const Visited *all = visited.data();
    for (size_t piece = 1; piece < pieces; ++piece) {
        encoded.push_back(std::async(std::launch::async, opsOf, all + visited.size() * piece / pieces,
                                     all + visited.size() * (piece + 1) / pieces));
    }
    JournalRecord record;
    record.ops() = opsOf(all, all + visited.size() / pieces);
    for (std::future<JournalOps> &piece : encoded)
        record.append(piece.get());
    return record;
}

JournalRecord RecordOf(const std::optional<EntryState> &from, const std::optional<EntryState> &to)
{
    JournalRecord record;
    if (from)
        record.ops().takeOut(*from);
    if (to)
        record.ops().putIn(*to);
    return record;
}
