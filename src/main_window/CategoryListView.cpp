#include "CategoryListView.h"

#include <QHeaderView>
#include <QMouseEvent>

#include <utility>

namespace {

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

CategoryListView::CategoryListView(CategoryList &list, QWidget *parent)
    : QTreeView(parent)
    , m_list(list)
{
    setObjectName(list.name());
    setModel(&list);
    // The list keeps the one selection that the editing buttons act on.
    QItemSelectionModel *own = selectionModel();
    setSelectionModel(list.selectionModel());
    delete own;

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    header()->setStretchLastSection(false);
    // Lets the hidden status column really be zero wide.
    header()->setMinimumSectionSize(0);
    header()->setSectionsMovable(false);
}

void CategoryListView::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT MouseDown(buttonCode(event->button()));
    m_pressedRow = indexAt(event->position().toPoint()).siblingAtColumn(0);
    QTreeView::mousePressEvent(event);
}

void CategoryListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    const QModelIndex released = indexAt(event->position().toPoint()).siblingAtColumn(0);
    const QPersistentModelIndex pressed = std::exchange(m_pressedRow, QPersistentModelIndex());
    if (pressed.isValid() && released == pressed)
        Q_EMIT ItemClick(m_list.rowAt(pressed.row() + 1));
}

// The second press of a double click is a press like any other: it reports
// its button and makes a row click of its own.
void CategoryListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}
