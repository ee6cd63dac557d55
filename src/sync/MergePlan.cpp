#include "sync/MergePlan.h"

#include <algorithm>

namespace {

const EntryFingerprint &fingerprintOf(const EntryFingerprint &fingerprint)
{
    return fingerprint;
}

const EntryFingerprint &fingerprintOf(const LocatedEntry &located)
{
    return located.fingerprint;
}

// Finds the elements equal to each of a rising series of fingerprints in a
// sorted vector by walking it once, which beats a binary search for each
// (see the merge bench line).
template<typename Element>
class SortedWalk
{
public:
    using Iterator = typename std::vector<Element>::const_iterator;

    explicit SortedWalk(const std::vector<Element> &sorted)
        : m_at(sorted.begin())
        , m_end(sorted.end())
    {
    }

    std::pair<Iterator, Iterator> equalTo(const EntryFingerprint &fingerprint)
    {
        while (m_at != m_end && fingerprintOf(*m_at) < fingerprint)
            ++m_at;
        Iterator last = m_at;
        while (last != m_end && fingerprintOf(*last) == fingerprint)
            ++last;
        return {m_at, last};
    }
    int countOf(const EntryFingerprint &fingerprint)
    {
        const auto [first, last] = equalTo(fingerprint);
        return int(last - first);
    }

private:
    Iterator m_at;
    Iterator m_end;
};

// Calls visit(first, last) for every run of equal fingerprints.
template<typename Element, typename Visit>
void forEachRun(const std::vector<Element> &sorted, Visit visit)
{
    for (auto first = sorted.begin(); first != sorted.end();) {
        const auto last = std::find_if(first, sorted.end(), [&](const Element &element) {
            return !(fingerprintOf(element) == fingerprintOf(*first));
        });
        visit(first, last);
        first = last;
    }
}

bool holds(const std::vector<quint32> &sorted, quint32 value)
{
    return std::binary_search(sorted.begin(), sorted.end(), value);
}

} // namespace

MergePlan PlanMerge(const std::vector<EntryFingerprint> &base, const std::vector<LocatedEntry> &here,
                    const std::vector<LocatedEntry> &other)
{
    MergePlan plan;

    // Copies the other version added beyond the base.
    std::vector<quint32> otherAddedDates;
    std::vector<EntryFingerprint> otherAdded;
    SortedWalk<EntryFingerprint> baseForOther(base);
    forEachRun(other, [&](auto first, auto last) {
        const int extra = int(last - first) - baseForOther.countOf(first->fingerprint);
        for (auto it = last - std::max(extra, 0); it != last; ++it) {
            plan.incoming[it->category].push_back(it->place);
            otherAddedDates.push_back(it->fingerprint.added);
            otherAdded.push_back(it->fingerprint);
        }
    });

    // What the lists hold beyond the base: the window's own new and changed
    // entries.
    std::vector<quint32> localAddedDates;
    SortedWalk<EntryFingerprint> baseForHere(base);
    forEachRun(here, [&](auto first, auto last) {
        if (int(last - first) > baseForHere.countOf(first->fingerprint))
            localAddedDates.push_back(first->fingerprint.added);
    });
    std::sort(otherAddedDates.begin(), otherAddedDates.end());
    std::sort(localAddedDates.begin(), localAddedDates.end());

    // Copies the other version lost since the base go while they are still
    // here unchanged; one changed on both sides stays in both versions.
    std::vector<bool> removedHere(here.size(), false);
    // Pairs an entry the other version removed with one it added on the same
    // date: that is one entry changed there.
    std::vector<bool> pairedAdded(otherAddedDates.size(), false);
    const auto pairWithAdded = [&](quint32 date) {
        const auto [first, last] = std::equal_range(otherAddedDates.begin(), otherAddedDates.end(), date);
        for (auto it = first; it != last; ++it) {
            if (!pairedAdded[size_t(it - otherAddedDates.begin())]) {
                pairedAdded[size_t(it - otherAddedDates.begin())] = true;
                return true;
            }
        }
        return false;
    };
    SortedWalk<LocatedEntry> otherWalk(other);
    SortedWalk<LocatedEntry> hereWalk(here);
    forEachRun(base, [&](auto first, auto last) {
        const EntryFingerprint &fingerprint = *first;
        const auto kept = otherWalk.equalTo(fingerprint);
        const int missing = int(last - first) - int(kept.second - kept.first);
        if (missing <= 0)
            return;
        const auto present = hereWalk.equalTo(fingerprint);
        const int removable = std::min(missing, int(present.second - present.first));
        for (auto it = present.first; it != present.first + removable; ++it) {
            plan.goingAway[it->category].push_back(it->place);
            removedHere[it - here.begin()] = true;
            if (pairWithAdded(fingerprint.added))
                ++plan.changed;
        }
        if (removable < missing && holds(otherAddedDates, fingerprint.added)
            && holds(localAddedDates, fingerprint.added)) {
            plan.keptTwice += missing - removable;
        } else {
            for (int i = removable; i < missing; ++i)
                plan.changedAfterDelete += pairWithAdded(fingerprint.added) ? 1 : 0;
        }
    });
    for (std::vector<int> &places : plan.incoming)
        std::sort(places.begin(), places.end());
    for (std::vector<int> &positions : plan.goingAway)
        std::sort(positions.begin(), positions.end());

    // Both runs are in order already: the merged entries need no sorting.
    std::vector<EntryFingerprint> kept;
    kept.reserve(here.size());
    for (size_t i = 0; i < here.size(); ++i) {
        if (!removedHere[i])
            kept.push_back(here[i].fingerprint);
    }
    plan.merged.resize(kept.size() + otherAdded.size());
    std::merge(kept.begin(), kept.end(), otherAdded.begin(), otherAdded.end(), plan.merged.begin());
    return plan;
}
