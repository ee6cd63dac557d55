#include "sync/OtherVersion.h"

#include "entries/CategoryList.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFileReader.h"

#include <algorithm>

namespace {

void sortLocated(std::vector<LocatedEntry> &located)
{
    SortByFingerprint(located, [](const LocatedEntry &entry) -> const EntryFingerprint & { return entry.fingerprint; });
}

} // namespace

bool OtherVersion::entriesAt(const CategoryIndices &places, CategoryRows &rows) const
{
    if (!readRows(places, rows))
        return false;
    for (int category = 0; category < CategoryCount; ++category) {
        if (rows[category].size() != places[category].size())
            return false;
        for (size_t i = 0; i < rows[category].size(); ++i) {
            if (EntryFingerprint::Of(*rows[category][i]) != fingerprints[category][size_t(places[category][i])])
                return false;
        }
    }
    return true;
}

std::vector<LocatedEntry> LocateSorted(const CategoryFingerprints &disk)
{
    std::vector<LocatedEntry> located;
    for (int category = 0; category < CategoryCount; ++category) {
        const std::vector<EntryFingerprint> &fingerprints = disk[category];
        located.reserve(located.size() + fingerprints.size());
        for (size_t index = 0; index < fingerprints.size(); ++index)
            located.push_back({fingerprints[index], category, int(index)});
    }
    sortLocated(located);
    return located;
}

std::vector<LocatedEntry> LocateSorted(TaskLists &lists)
{
    std::vector<LocatedEntry> located;
    size_t rows = 0;
    for (const CategoryList *list : lists.all())
        rows += size_t(list->count());
    located.reserve(rows);
    for (int category = 0; category < CategoryCount; ++category) {
        ForEachFingerprint(lists.list(static_cast<Category>(category)),
                           [&](int position, const EntryFingerprint &fingerprint) {
                               located.push_back({fingerprint, category, position});
                           });
    }
    sortLocated(located);
    return located;
}

RowPairs PairWithRows(const std::vector<LocatedEntry> &rows, const OtherVersion &version)
{
    RowPairs pairs;
    for (int category = 0; category < CategoryCount; ++category)
        pairs[category].assign(version.fingerprints[category].size(), 0);
    auto row = rows.begin();
    for (const LocatedEntry &entry : version.sorted) {
        while (row != rows.end() && row->fingerprint < entry.fingerprint)
            ++row;
        // An equal fingerprint means an equal status, so the same list.
        if (row != rows.end() && row->fingerprint == entry.fingerprint)
            pairs[entry.category][size_t(entry.place)] = (row++)->place;
    }
    return pairs;
}

CategoryIndices Unpaired(const RowPairs &pairs)
{
    CategoryIndices places;
    for (int category = 0; category < CategoryCount; ++category) {
        for (size_t index = 0; index < pairs[category].size(); ++index) {
            if (pairs[category][index] == 0)
                places[category].push_back(int(index));
        }
    }
    return places;
}

std::vector<EntryFingerprint> FingerprintsOf(const std::vector<LocatedEntry> &located)
{
    std::vector<EntryFingerprint> fingerprints(located.size());
    std::transform(located.begin(), located.end(), fingerprints.begin(),
                   [](const LocatedEntry &entry) { return entry.fingerprint; });
    return fingerprints;
}

LocatingRows::LocatingRows(TaskLists &lists)
    : m_thread([this, &lists] { m_located = LocateSorted(lists); })
{
}

LocatingRows::~LocatingRows()
{
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<LocatedEntry> LocatingRows::take()
{
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_located);
}

OtherVersion TakeVersion(TaskFileReader &reader)
{
    OtherVersion version;
    for (int category = 0; category < CategoryCount; ++category)
        version.fingerprints[category] = reader.takeFingerprints(static_cast<Category>(category));
    version.sorted = LocateSorted(version.fingerprints);
    version.readRows = [&reader](const CategoryIndices &places, CategoryRows &rows) {
        return reader.readAgain(places, rows);
    };
    return version;
}
