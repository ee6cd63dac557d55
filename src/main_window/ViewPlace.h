#pragma once

#include "entries/Entry.h"

#include <QList>

#include <memory>

class CategoryListView;

// Where the user was in the lists: each list's scroll position and the
// entry selected in the current one. Lists that change under the user, as
// when they follow the file, are put back there, and the entry is found
// again by what it holds.
class ViewPlace
{
public:
    void remember(const QList<CategoryListView *> &views, CategoryListView *current);
    // Does nothing unless remembered since the last restore. False when the
    // entry that was selected is in the list no more: it was changed or removed.
    bool restore();

private:
    QList<CategoryListView *> m_views;
    QList<int> m_scrolled;
    CategoryListView *m_current = nullptr;
    std::unique_ptr<Entry> m_selected;
};
