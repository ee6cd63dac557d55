#include "main_window/ViewPlace.h"

#include "main_window/CategoryListView.h"

#include <QScrollBar>

#include <algorithm>
#include <utility>

void ViewPlace::remember(const QList<CategoryListView *> &views, CategoryListView *current)
{
    m_views = views;
    m_scrolled.clear();
    for (CategoryListView *view : views)
        m_scrolled << view->verticalScrollBar()->value();
    m_current = current;
    m_selected.reset();
    m_selectedRows.clear();
    const std::vector<int> positions = current->selectedPositions();
    if (positions.size() > 1) {
        m_selectedRows.reserve(positions.size());
        for (const int position : positions)
            m_selectedRows.push_back(current->list().rowAt(position));
        std::sort(m_selectedRows.begin(), m_selectedRows.end());
    }
    if (const Row row = current->list().selectedRow()) {
        m_selected = Entry::create(row->status, row->field(Entry::Task), row->field(Entry::Added),
                                   row->field(Entry::Edited), row->field(Entry::User));
        m_selected->setField(Entry::MainText, row->field(Entry::MainText));
    }
}

bool ViewPlace::restore()
{
    if (!m_current)
        return true;
    for (qsizetype i = 0; i < m_views.size(); ++i) {
        // The scroll range follows the new rows only after a layout.
        m_views[i]->doItemsLayout();
        m_views[i]->verticalScrollBar()->setValue(m_scrolled[i]);
    }
    CategoryListView *view = std::exchange(m_current, nullptr);
    CategoryList &list = view->list();
    if (!m_selectedRows.empty()) {
        std::vector<int> still;
        for (int position = 1; position <= list.count(); ++position) {
            if (std::binary_search(m_selectedRows.begin(), m_selectedRows.end(), list.rowAt(position)))
                still.push_back(position);
        }
        std::vector<Row>().swap(m_selectedRows);
        view->selectPositions(still);
    }
    const std::unique_ptr<Entry> selected = std::move(m_selected);
    if (!selected || list.selectedRow())
        return true;
    for (int position = 1; position <= list.count(); ++position) {
        if (HoldSame(*list.rowAt(position), *selected)) {
            list.selectionModel()->setCurrentIndex(list.index(position - 1, 0),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
    }
    return false;
}
