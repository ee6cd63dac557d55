#include "main_window/CategoryListView.h"

#include "find/FilteredList.h"
#include "main_window/ListAccessible.h"
#include "main_window/StatusPictureDelegate.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace {

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return CategoryListView::LeftButton;
    case Qt::RightButton:
        return CategoryListView::RightButton;
    case Qt::MiddleButton:
        return CategoryListView::MiddleButton;
    default:
        return 0;
    }
}

bool asksForContextMenu(const QKeyEvent &event)
{
    return (event.key() == Qt::Key_Menu && event.modifiers() == Qt::NoModifier)
        || event.keyCombination() == QKeyCombination(Qt::ShiftModifier, Qt::Key_F10);
}

} // namespace

CategoryListView::CategoryListView(CategoryList &list, QWidget *parent)
    : QTableView(parent)
    , m_list(list)
{
    ListAccessible::install();
    setObjectName(list.name());
    setModel(&list);
    // The list keeps the one selection that the editing buttons act on.
    QItemSelectionModel *own = selectionModel();
    setSelectionModel(list.selectionModel());
    delete own;

    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    fitRowHeight();
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setHighlightSections(false);
    header()->setStretchLastSection(false);
    // Lets the hidden status column really be zero wide.
    header()->setMinimumSectionSize(0);
    // The status code as text serves sorting only. A column of no width would
    // still be read out cell by cell by screen readers; a hidden one is not.
    setColumnHidden(Entry::StatusText, true);
    header()->setSectionsMovable(false);
    // The header's clicks sort through the list's own settings; the view's
    // sorting stays off so that it never sorts on its own.
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int logicalIndex) { Q_EMIT ColumnClick(logicalIndex + 1); });
    // The indicator follows the list's settings however they change, a file
    // load switching the Tasks list to status order included.
    connect(&list, &CategoryList::sortingChanged, this, &CategoryListView::showSortIndicator);
    showSortIndicator();
}

void CategoryListView::clearColumns()
{
    for (int section = 0; section < m_columnKeys.size(); ++section)
        m_list.setHeaderData(section, Qt::Horizontal, QVariant());
    m_columnKeys.clear();
}

void CategoryListView::addColumn(const QString &key, const QString &caption)
{
    if (m_columnKeys.size() >= Entry::ColumnCount)
        return;
    m_list.setHeaderData(static_cast<int>(m_columnKeys.size()), Qt::Horizontal, caption);
    m_columnKeys.append(key);
}

int CategoryListView::columnPosition(const QString &key) const
{
    return static_cast<int>(m_columnKeys.indexOf(key)) + 1;
}

void CategoryListView::setSmallIcons(const StatusImages &images)
{
    QAbstractItemDelegate *previous = itemDelegate();
    setItemDelegate(new StatusPictureDelegate(images, this));
    if (previous && previous->parent() == this)
        delete previous;
}

void CategoryListView::showSortIndicator()
{
    const int key = m_list.SortKey();
    const bool known = key >= 0 && key <= Entry::StatusText;
    header()->setSortIndicatorShown(m_list.Sorted() && known);
    if (!header()->isSortIndicatorShown())
        return;
    // The hidden status column has no width to show an indicator in.
    const int section = key == Entry::StatusText ? 0 : key;
    header()->setSortIndicator(
        section, m_list.SortOrder() == CategoryList::Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CategoryListView::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT MouseDown(buttonCode(event->button()));
    m_pressedRow = indexAt(event->position().toPoint()).siblingAtColumn(0);
    QTableView::mousePressEvent(event);
}

void CategoryListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    const QModelIndex released = indexAt(event->position().toPoint()).siblingAtColumn(0);
    const QPersistentModelIndex pressed = std::exchange(m_pressedRow, QPersistentModelIndex());
    if (pressed.isValid() && released == pressed)
        Q_EMIT ItemClick(rowAtShown(pressed.row()));
}

// The second press of a double click is a press like any other: it reports
// its button and makes a row click of its own.
void CategoryListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void CategoryListView::keyPressEvent(QKeyEvent *event)
{
    if (!asksForContextMenu(*event)) {
        const Row before = m_list.selectedRow();
        QTableView::keyPressEvent(event);
        // Home and End select the row they go to as the arrows do, also when
        // it was current already (as the first row is when the list gets the focus).
        if (event->modifiers() == Qt::NoModifier && (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
            const QModelIndex current = currentIndex();
            if (current.isValid() && !selectionModel()->isRowSelected(current.row(), QModelIndex()))
                selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        const Row after = m_list.selectedRow();
        if (after && after != before)
            Q_EMIT KeyboardSelect();
        return;
    }
    event->accept();
    Q_EMIT ContextMenuKey(selectedRowMenuPoint());
}

// Home and End go to the first and the last entry, as in any list: the cells
// of one entry are no stops of their own. Whatever key moves the row, the task
// cell is the current one, so that the list never scrolls sideways to the
// user name and a screen reader reads the task first.
QModelIndex CategoryListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    const QModelIndex moved = QTableView::moveCursor(action, modifiers);
    return moved.isValid() ? moved.siblingAtColumn(Entry::Task) : moved;
}

// Assistive tools hear of the current and the selected cell by the children
// of the list's accessible table, which leave the hidden column out; the
// table view's own events would count it in.
void CategoryListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (QAccessible::isActive()) {
        if (const int child = ListAccessible::childIndexOf(*this, current); child >= 0) {
            QAccessibleEvent event(this, QAccessible::Focus);
            event.setChild(child);
            QAccessible::updateAccessibility(&event);
        }
    }
    QAbstractItemView::currentChanged(current, previous); // NOLINT(bugprone-parent-virtual-call)
}

void CategoryListView::keepPlaceAcross(const std::function<void()> &change)
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    const int at = selected.isEmpty() ? -1 : selected.first().row();
    const int rowsBefore = model()->rowCount();
    change();
    const int rows = model()->rowCount();
    if (at < 0 || rows >= rowsBefore || rows == 0)
        return;
    selectionModel()->setCurrentIndex(model()->index(std::min(at, rows - 1), Entry::Task),
                                      QItemSelectionModel::NoUpdate);
}

// The focused list is framed, and its current row outlined, whatever the
// style draws of its own.
bool CategoryListView::event(QEvent *event)
{
    const bool handled = QTableView::event(event);
    if (event->type() == QEvent::Paint && hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    return handled;
}

void CategoryListView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid())
        return;
    QRect row = visualRect(current.siblingAtColumn(0)) | visualRect(current.siblingAtColumn(Entry::User));
    row.setLeft(0);
    row.setRight(std::min(row.right(), viewport()->width() - 1));
    const bool selected = selectionModel()->isRowSelected(current.row(), QModelIndex());
    QPen pen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    pen.setStyle(Qt::DotLine);
    QPainter painter(viewport());
    painter.setPen(pen);
    painter.drawRect(row.adjusted(0, 0, -1, -1));
}

void CategoryListView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    update();
}

void CategoryListView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    update();
}

// X11 reports the menu key a second time, as a context-menu request at the
// pointer; the key press has opened the menu already.
void CategoryListView::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Keyboard)
        event->accept();
    else
        QTableView::contextMenuEvent(event);
}

void CategoryListView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitRowHeight();
}

void CategoryListView::fitRowHeight()
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.text = QStringLiteral("Xg");
    verticalHeader()->setDefaultSectionSize(
        style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
}

QPoint CategoryListView::selectedRowMenuPoint()
{
    const int position = m_list.positionOf(m_list.selectedRow());
    if (position == 0)
        return viewport()->mapToGlobal(QPoint(0, 0));
    const QModelIndex row = shownIndex(position);
    if (!row.isValid())
        return viewport()->mapToGlobal(QPoint(0, 0));
    scrollTo(row);
    const QRect cell = visualRect(row);
    return viewport()->mapToGlobal(QPoint(qMax(0, cell.left()), cell.bottom() + 1));
}

void CategoryListView::showFiltered(FilteredList *filter)
{
    QAbstractItemModel *shown = filter ? static_cast<QAbstractItemModel *>(filter) : &m_list;
    if (model() == shown)
        return;
    QList<int> widths;
    for (int section = 0; section < header()->count(); ++section)
        widths.append(header()->sectionSize(section));
    m_filter = filter;
    setModel(shown);
    QItemSelectionModel *own = selectionModel();
    setSelectionModel(filter ? filter->selectionModel() : m_list.selectionModel());
    delete own;
    for (int section = 0; section < widths.size(); ++section)
        header()->resizeSection(section, widths[section]);
    // Another model shows every column again.
    setColumnHidden(Entry::StatusText, true);
    showSortIndicator();
}

// A search that goes on after a keystroke adds rows it finds above those
// shown, the selected entry among them: the rows shown stay in their places.
void CategoryListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    const int top = m_filter ? rowAt(0) : -1;
    QTableView::rowsInserted(parent, start, end);
    if (top < 0 || start > top)
        return;
    updateGeometries();
    const int rows = end - start + 1;
    QScrollBar *scrollBar = verticalScrollBar();
    scrollBar->setValue(scrollBar->value() + (verticalScrollMode() == ScrollPerItem ? rows : rows * rowHeight(top)));
}

void CategoryListView::scrollToPosition(int position)
{
    const QModelIndex index = shownIndex(position);
    if (index.isValid())
        scrollTo(index);
}

void CategoryListView::scrollToSelected()
{
    const int selected = SelectedRowIndex(*m_list.selectionModel());
    if (selected >= 0)
        scrollToPosition(selected + 1);
}

std::vector<int> CategoryListView::selectedPositions() const
{
    std::vector<int> positions = SelectedRowIndexes(*selectionModel());
    for (int &row : positions)
        row = m_filter ? m_filter->mapToSource(m_filter->index(row, 0)).row() + 1 : row + 1;
    // A find shows rows in list order, so its rows map to ascending positions.
    return positions;
}

void CategoryListView::selectPositions(const std::vector<int> &positions)
{
    QItemSelection selection;
    int first = -1;
    int last = -1;
    const auto addRun = [&] {
        if (first >= 0)
            selection.select(model()->index(first, 0), model()->index(last, model()->columnCount() - 1));
    };
    for (const int position : positions) {
        const int row = shownIndex(position).row();
        if (row < 0)
            continue;
        if (row != last + 1 || first < 0) {
            addRun();
            first = row;
        }
        last = row;
    }
    addRun();
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CategoryListView::clearSelectedRows()
{
    selectionModel()->clearSelection();
    m_list.selectionModel()->clearSelection();
}

// A table view tells assistive tools of a new selection by the first of all
// its cells, which it lists first: for a selection of a million rows, six
// million. The first cell of the first range is the same cell.
void CategoryListView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive()) {
        const auto tell = [this](const QItemSelection &selection, QAccessible::Event type) {
            if (selection.isEmpty() || !selection.first().isValid())
                return;
            // The first cell alone: a list of every selected cell would take
            // millions of cells for a selection of every row.
            const int child = ListAccessible::childIndexOf(*this, selection.first().topLeft());
            if (child < 0)
                return;
            QAccessibleEvent event(this, type);
            event.setChild(child);
            QAccessible::updateAccessibility(&event);
        };
        tell(selected, QAccessible::SelectionAdd);
        tell(deselected, QAccessible::SelectionRemove);
    }
#endif
    // Past the table view's own telling, to the item view's painting.
    QAbstractItemView::selectionChanged(selected, deselected); // NOLINT(bugprone-parent-virtual-call)
}

void CategoryListView::showOwnChange(Row row)
{
    if (m_filter)
        scrollToPosition(m_list.positionOf(row));
}

QModelIndex CategoryListView::shownIndex(int position) const
{
    if (position < 1)
        return {};
    const QModelIndex index = m_list.index(position - 1, 0);
    return m_filter ? m_filter->mapFromSource(index) : index;
}

Row CategoryListView::rowAtShown(int row) const
{
    return m_filter ? m_filter->rowAt(row) : m_list.rowAt(row + 1);
}
