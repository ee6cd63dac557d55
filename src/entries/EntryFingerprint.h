#pragma once

#include "entries/CategoryList.h"
#include "entries/Entry.h"

#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <numeric>
#include <vector>

// One entry as it was on disk, without its texts: a 128-bit hash of the
// status and the four stored texts, and a small hash of the added date,
// which an entry keeps through every change and so pairs up two versions of
// one entry.
struct EntryFingerprint {
    quint32 words[4] = {};
    quint32 added = 0;

    bool operator==(const EntryFingerprint &other) const = default;
    auto operator<=>(const EntryFingerprint &other) const = default;

    static EntryFingerprint Of(const Entry &entry);
    // The same for texts not yet made into an entry, which must lie back to
    // back in this order, as an entry keeps them.
    static EntryFingerprint Of(double status, QStringView task, QStringView added, QStringView edited,
                               QStringView user);
};

// Sorts elements that operator< orders by a fingerprint first, which
// fingerprintOf gives for each. The fingerprints are hashes, spread evenly over
// their range: dealt out by their first bits into runs of about eight, they
// leave std::sort only those short runs to order, far quicker than sorting
// them all (see the reload and merge bench lines).
template<typename Element, typename FingerprintOf>
void SortByFingerprint(std::vector<Element> &elements, FingerprintOf fingerprintOf)
{
    const int bits = std::clamp(int(std::bit_width(elements.size())) - 3, 1, 20);
    const auto runOf = [&](const Element &element) { return fingerprintOf(element).words[0] >> (32 - bits); };
    std::vector<quint32> starts((size_t(1) << bits) + 1, 0);
    for (const Element &element : elements)
        ++starts[runOf(element) + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<Element> dealt(elements.size());
    std::vector<quint32> next(starts.begin(), starts.end() - 1);
    for (Element &element : elements)
        dealt[next[runOf(element)]++] = std::move(element);
    for (size_t run = 0; run + 1 < starts.size(); ++run)
        std::sort(dealt.begin() + starts[run], dealt.begin() + starts[run + 1]);
    elements.swap(dealt);
}

inline void SortFingerprints(std::vector<EntryFingerprint> &fingerprints)
{
    SortByFingerprint(fingerprints,
                      [](const EntryFingerprint &fingerprint) -> const EntryFingerprint & { return fingerprint; });
}

inline void AppendFingerprints(std::vector<EntryFingerprint> &to, std::vector<EntryFingerprint> more)
{
    if (to.empty())
        to = std::move(more);
    else
        to.insert(to.end(), more.begin(), more.end());
}

// Calls visit(position, fingerprint) for each row of the list in order,
// the rows ahead asked of the memory early (see reload).
template<typename Visit>
void ForEachFingerprint(const CategoryList &list, Visit visit)
{
    constexpr int kAhead = 8;
    for (int position = 1; position <= list.count(); ++position) {
        if (const Row ahead = list.rowAt(position + kAhead))
            PrefetchEntry(ahead);
        visit(position, EntryFingerprint::Of(*list.rowAt(position)));
    }
}
