#include "sync/ListsSplice.h"

#include "entries/TaskLists.h"

#include <algorithm>

std::optional<ListsSplice> ListsSplice::Towards(TaskLists &lists, const std::vector<LocatedEntry> &rows,
                                                const OtherVersion &next)
{
    const RowPairs twins = PairWithRows(rows, next);
    CategoryRows fresh;
    if (!next.entriesAt(Unpaired(twins), fresh))
        return std::nullopt;

    ListsSplice splice;
    for (int category = 0; category < CategoryCount; ++category) {
        CategoryList &list = lists.list(static_cast<Category>(category));
        // The entries of next in file order, each as a row of the list (its
        // position) or a fresh one (counted from -1 down).
        std::vector<Row> nextRows;
        std::vector<qint32> sources;
        nextRows.reserve(twins[category].size());
        sources.reserve(twins[category].size());
        qint32 freshCount = 0;
        for (const int twin : twins[category]) {
            if (twin != 0) {
                nextRows.push_back(list.rowAt(twin));
                sources.push_back(twin);
            } else {
                nextRows.push_back(fresh[category][size_t(freshCount)].get());
                sources.push_back(-++freshCount);
            }
        }
        if (list.Sorted() && nextRows.size() > 1) {
            const std::vector<quint32> order =
                SortedOrder(nextRows, list.SortKey(), list.SortOrder() == CategoryList::Descending);
            std::vector<Row> sortedNext(nextRows.size());
            std::vector<qint32> sortedSources(sources.size());
            for (size_t i = 0; i < order.size(); ++i) {
                sortedNext[i] = nextRows[order[i]];
                sortedSources[i] = sources[order[i]];
            }
            nextRows.swap(sortedNext);
            sources.swap(sortedSources);
        }

        const int count = list.count();
        const int shorter = std::min(count, int(nextRows.size()));
        int start = 0;
        while (start < shorter && nextRows[size_t(start)] == list.rowAt(start + 1))
            ++start;
        int end = 0;
        while (end < shorter - start && nextRows[nextRows.size() - 1 - size_t(end)] == list.rowAt(count - end))
            ++end;
        Part &part = splice.m_parts[category];
        part.position = start + 1;
        for (int position = start + 1; position <= count - end; ++position)
            part.placed.push_back(list.rowAt(position));
        // A row of the list that next holds in its middle is in the list's
        // middle too: each row stands for one entry of next at most.
        part.sources.assign(sources.begin() + start, sources.end() - end);
        for (qint32 &source : part.sources) {
            if (source > 0)
                source -= part.position;
        }
        part.kept = std::move(fresh[category]);
        part.listCount = count;
    }
    return splice;
}

bool ListsSplice::stillInPlace(TaskLists &lists) const
{
    for (int category = 0; category < CategoryCount; ++category) {
        const CategoryList &list = lists.list(static_cast<Category>(category));
        const Part &part = m_parts[category];
        if (list.count() != part.listCount)
            return false;
        for (size_t i = 0; i < part.placed.size(); ++i) {
            if (list.rowAt(part.position + int(i)) != part.placed[i])
                return false;
        }
    }
    return true;
}

bool ListsSplice::swap(TaskLists &lists)
{
    if (!stillInPlace(lists))
        return false;
    for (int category = 0; category < CategoryCount; ++category)
        m_parts[category].swapIn(lists.list(static_cast<Category>(category)));
    return true;
}

// Puts the other version in place and notes how to come back: the rows in
// place that the other version shares move over, the others are kept.
void ListsSplice::Part::swapIn(CategoryList &list)
{
    if (placed.empty() && sources.empty())
        return;
    EntryRows leaving = list.replaceRows(position, int(placed.size()), {});
    EntryRows coming(sources.size());
    std::vector<qint32> back(leaving.size(), 0);
    for (size_t i = 0; i < sources.size(); ++i) {
        const qint32 source = sources[i];
        if (source >= 0) {
            coming[i] = std::move(leaving[size_t(source)]);
            back[size_t(source)] = qint32(i);
        } else {
            coming[i] = std::move(kept[size_t(-source - 1)]);
        }
    }
    EntryRows onlyHere;
    for (size_t i = 0; i < leaving.size(); ++i) {
        if (leaving[i]) {
            onlyHere.push_back(std::move(leaving[i]));
            back[i] = -qint32(onlyHere.size());
        }
    }
    placed.assign(coming.size(), nullptr);
    std::transform(coming.begin(), coming.end(), placed.begin(), [](const auto &row) { return row.get(); });
    list.replaceRows(position, 0, std::move(coming));
    sources = std::move(back);
    kept = std::move(onlyHere);
    listCount = list.count();
}

bool ListsSplice::changedAnything() const
{
    return std::any_of(m_parts.begin(), m_parts.end(),
                       [](const Part &part) { return !part.placed.empty() || !part.sources.empty(); });
}

// After a swap the kept rows are those that left; the rows in place that
// the other version does not share are those that came.
void ListsSplice::lastChange(const Visit &visit) const
{
    for (int category = 0; category < CategoryCount; ++category) {
        const Part &part = m_parts[category];
        for (const auto &row : part.kept)
            visit(false, static_cast<Category>(category), part.position, *row);
        std::vector<bool> shared(part.placed.size(), false);
        for (const qint32 source : part.sources) {
            if (source >= 0 && size_t(source) < shared.size())
                shared[size_t(source)] = true;
        }
        for (size_t i = 0; i < part.placed.size(); ++i) {
            if (!shared[i])
                visit(true, static_cast<Category>(category), part.position + int(i), *part.placed[i]);
        }
    }
}
