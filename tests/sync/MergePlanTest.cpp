#include "sync/MergePlan.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

using Counts = std::map<EntryFingerprint, int>;

Counts countsOf(const std::vector<EntryFingerprint> &fingerprints)
{
    Counts counts;
    for (const EntryFingerprint &fingerprint : fingerprints)
        ++counts[fingerprint];
    return counts;
}

int countIn(const Counts &counts, const EntryFingerprint &fingerprint)
{
    const auto it = counts.find(fingerprint);
    return it == counts.end() ? 0 : it->second;
}

// One side's version of the base: some copies removed, some changed (same
// added date, other texts), some added, new or copies of what is there.
std::vector<EntryFingerprint> changed(std::vector<EntryFingerprint> entries, std::mt19937 &random, quint32 &fresh)
{
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<EntryFingerprint> result;
    for (EntryFingerprint entry : entries) {
        const int roll = percent(random);
        if (roll < 15)
            continue;
        if (roll < 25)
            entry.words[1] = ++fresh;
        result.push_back(entry);
    }
    const int additions = std::uniform_int_distribution<int>(0, 4)(random);
    for (int i = 0; i < additions; ++i) {
        if (!result.empty() && percent(random) < 40) {
            result.push_back(result[std::uniform_int_distribution<size_t>(0, result.size() - 1)(random)]);
        } else {
            EntryFingerprint entry;
            entry.words[0] = ++fresh;
            entry.added = fresh;
            result.push_back(entry);
        }
    }
    return result;
}

// As LocateSorted() gives them: each in a random list, at its own place.
std::vector<LocatedEntry> located(const std::vector<EntryFingerprint> &entries, std::mt19937 &random)
{
    std::vector<LocatedEntry> result;
    std::array<int, CategoryCount> next{};
    for (const EntryFingerprint &entry : entries) {
        const int category = std::uniform_int_distribution<int>(0, CategoryCount - 1)(random);
        result.push_back({entry, category, ++next[category]});
    }
    std::sort(result.begin(), result.end());
    return result;
}

bool holdsPlace(const CategoryIndices &places, const LocatedEntry &entry)
{
    const std::vector<int> &list = places[entry.category];
    return std::binary_search(list.begin(), list.end(), entry.place);
}

} // namespace

// For random base, here and other versions, entry by entry (b copies in the
// base, h here, o there, m merged): every copy added on either side is in
// the result, and where one side left an entry untouched the result is the
// other side's, so that what one side removed is gone and nothing is
// doubled that was not changed on both. The plan's own rows, here without
// those going away plus those coming in, are what it calls merged.
TEST(MergePlan, KeepsWhatEitherSideAddedAndDropsWhatOneSideRemoved)
{
    std::mt19937 random(20261210);
    for (int round = 0; round < 400; ++round) {
        quint32 fresh = 0;
        std::vector<EntryFingerprint> base;
        const int baseSize = std::uniform_int_distribution<int>(0, 30)(random);
        for (int i = 0; i < baseSize; ++i) {
            EntryFingerprint entry;
            // A small pool, so that the base holds equal copies too.
            entry.words[0] = std::uniform_int_distribution<quint32>(1, 12)(random) << 20;
            entry.added = entry.words[0];
            base.push_back(entry);
        }
        std::sort(base.begin(), base.end());
        const std::vector<LocatedEntry> here = located(changed(base, random, fresh), random);
        const std::vector<LocatedEntry> other = located(changed(base, random, fresh), random);

        const MergePlan plan = PlanMerge(base, here, other);

        ASSERT_TRUE(std::is_sorted(plan.merged.begin(), plan.merged.end()));
        std::vector<EntryFingerprint> applied;
        for (const LocatedEntry &entry : here) {
            if (!holdsPlace(plan.goingAway, entry))
                applied.push_back(entry.fingerprint);
        }
        for (const LocatedEntry &entry : other) {
            if (holdsPlace(plan.incoming, entry))
                applied.push_back(entry.fingerprint);
        }
        std::sort(applied.begin(), applied.end());
        ASSERT_EQ(applied, plan.merged) << "round " << round;

        const Counts baseCounts = countsOf(base);
        const Counts hereCounts = countsOf(FingerprintsOf(here));
        const Counts otherCounts = countsOf(FingerprintsOf(other));
        const Counts mergedCounts = countsOf(plan.merged);
        Counts all = baseCounts;
        all.insert(hereCounts.begin(), hereCounts.end());
        all.insert(otherCounts.begin(), otherCounts.end());
        for (const auto &[fingerprint, unused] : all) {
            const int b = countIn(baseCounts, fingerprint);
            const int h = countIn(hereCounts, fingerprint);
            const int o = countIn(otherCounts, fingerprint);
            const int m = countIn(mergedCounts, fingerprint);
            EXPECT_GE(m, std::max(h - b, 0) + std::max(o - b, 0)) << "round " << round;
            if (h == b) {
                EXPECT_EQ(m, o) << "round " << round;
            }
            if (o == b) {
                EXPECT_EQ(m, h) << "round " << round;
            }
        }
    }
}
