#pragma once

#include "entries/CategoryBatches.h"
#include "entries/Entry.h"
#include "entries/Status.h"
#include "sync/MergeBase.h"

#include <array>
#include <functional>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

class TaskFileReader;
class TaskLists;

// An entry of the lists or of a disk version with where it sits: its
// category and its 1-based position or its index in file order. Equal
// entries stay in list or file order, so that the first ones of a run are
// the ones that keep their places.
struct LocatedEntry {
    EntryFingerprint fingerprint;
    int category;
    int place;

    bool operator<(const LocatedEntry &other) const
    {
        return std::tie(fingerprint, category, place) < std::tie(other.fingerprint, other.category, other.place);
    }
};

// A version of the file as a merge or a reload needs it: the fingerprints
// of all its entries, and the entries themselves only where asked for, since
// most of them are in the lists already and making them all again costs
// about as much as the whole comparison.
struct OtherVersion {
    CategoryFingerprints fingerprints;
    std::vector<LocatedEntry> sorted; // the same entries, sorted
    // Makes the entries at the given places, each batch in the order given.
    std::function<bool(const CategoryIndices &places, CategoryRows &rows)> readRows;

    // The same, false unless each entry made is the one fingerprinted at its
    // place: the file may have been written to since.
    bool entriesAt(const CategoryIndices &places, CategoryRows &rows) const;
};

// The version a reader has just read whole with fingerprintOnly(): its
// entries are made from the reader's file, so the reader must outlive it.
OtherVersion TakeVersion(TaskFileReader &reader);

// The entries of a disk version and of the lists, sorted, so that equal
// entries sit together.
std::vector<LocatedEntry> LocateSorted(const CategoryFingerprints &disk);
std::vector<LocatedEntry> LocateSorted(TaskLists &lists);

// For each entry of a version, in file order per category: the 1-based
// position of the equal row of the lists that stands for it, or 0 when none
// does. rows are the lists' entries as LocateSorted() gives them. Equal
// entries pair up in order, the first with the first, so that each row
// stands for one entry at most.
using RowPairs = std::array<std::vector<int>, CategoryCount>;
RowPairs PairWithRows(const std::vector<LocatedEntry> &rows, const OtherVersion &version);
// The places of the version that no row stands for.
CategoryIndices Unpaired(const RowPairs &pairs);

// The fingerprints alone, in the same order.
std::vector<EntryFingerprint> FingerprintsOf(const std::vector<LocatedEntry> &located);

// LocateSorted(lists), worked out on a second thread while this one reads
// the file, which takes about as long (see reload and merge). The lists must
// not change until take() has returned.
class LocatingRows
{
public:
    explicit LocatingRows(TaskLists &lists);
    ~LocatingRows();
    LocatingRows(const LocatingRows &) = delete;
    LocatingRows &operator=(const LocatingRows &) = delete;

    std::vector<LocatedEntry> take();

private:
    std::vector<LocatedEntry> m_located;
    std::thread m_thread;
};
