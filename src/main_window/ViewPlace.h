#pragma once

#include "entries/CategoryList.h"

#include <QList>

#include <memory>
#include <vector>

class CategoryListView;

// Where the user was in the lists: each list's scroll position and the
// entry selected in the current one. Lists that change under the user, as
// when they follow the file, are put back there, and the entry is found
// again by what it holds. Of many selected rows, those still in the list
// are selected again.
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
    // The rows selected, when more than one; the rows that both versions hold
    // are the same rows.
    std::vector<Row> m_selectedRows;
};
