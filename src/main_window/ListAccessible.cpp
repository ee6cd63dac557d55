#include "main_window/ListAccessible.h"

#include "main_window/CategoryListView.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QWindow>

#include <utility>

namespace {

const QString kSortAction = QStringLiteral("sort");

QString textOf(const QVariant &accessible, const QVariant &shown)
{
    const QString text = accessible.toString();
    return text.isEmpty() ? shown.toString() : text;
}

QWindow *windowOf(const QWidget *widget)
{
    return widget ? widget->window()->windowHandle() : nullptr;
}

// What a cell and a header of the list have alike: a part of the view with no
// object of its own and no children.
class ListPartAccessible : public QAccessibleInterface
{
public:
    explicit ListPartAccessible(CategoryListView *view)
        : m_view(view)
    {
    }

    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return windowOf(m_view); }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

protected:
    QPointer<CategoryListView> m_view;
};

// One cell of the list: its text, or for the status picture the status's name.
class CellAccessible : public ListPartAccessible, public QAccessibleTableCellInterface
{
public:
    CellAccessible(CategoryListView *view, const QModelIndex &index, int column)
        : ListPartAccessible(view)
        , m_index(index)
        , m_column(column)
    {
    }

    bool isValid() const override { return m_view && m_index.isValid(); }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void setText(QAccessible::Text, const QString &) override { }

    QString text(QAccessible::Text type) const override
    {
        if (!isValid())
            return {};
        if (type == QAccessible::Name)
            return textOf(m_index.data(Qt::AccessibleTextRole), m_index.data(Qt::DisplayRole));
        if (type == QAccessible::Description)
            return m_index.data(Qt::AccessibleDescriptionRole).toString();
        return {};
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = m_view->visualRect(m_index);
        return QRect(m_view->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        state.focused = m_view->hasFocus() && m_view->currentIndex() == QModelIndex(m_index);
        state.multiSelectable = m_view->selectionMode() == QAbstractItemView::MultiSelection;
        state.extSelectable = m_view->selectionMode() == QAbstractItemView::ExtendedSelection;
        state.invisible = !m_view->viewport()->rect().intersects(m_view->visualRect(m_index));
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_index.row(); }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> columnHeaderCells() const override
    {
        QAccessibleInterface *list = parent();
        QAccessibleInterface *header = list ? list->child(m_column) : nullptr;
        return header ? QList<QAccessibleInterface *>{header} : QList<QAccessibleInterface *>{};
    }
    bool isSelected() const override
    {
        return isValid() && m_view->selectionModel()->isRowSelected(m_index.row(), QModelIndex());
    }
    QAccessibleInterface *table() const override { return parent(); }

    const QPersistentModelIndex &index() const { return m_index; }

private:
    QPersistentModelIndex m_index;
    int m_column;
};

// A column header: its caption, and the action "sort", as a click on it.
class HeaderAccessible : public ListPartAccessible, public QAccessibleActionInterface
{
    Q_DECLARE_TR_FUNCTIONS(HeaderAccessible)

public:
    HeaderAccessible(CategoryListView *view, int section, int column)
        : ListPartAccessible(view)
        , m_section(section)
        , m_column(column)
    {
    }

    bool isValid() const override { return m_view && m_view->model() && m_section < m_view->model()->columnCount(); }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    void setText(QAccessible::Text, const QString &) override { }
    QAccessible::State state() const override { return {}; }

    QString text(QAccessible::Text type) const override
    {
        if (!isValid() || type != QAccessible::Name)
            return {};
        const QAbstractItemModel *model = m_view->model();
        return textOf(model->headerData(m_section, Qt::Horizontal, Qt::AccessibleTextRole),
                      model->headerData(m_section, Qt::Horizontal, Qt::DisplayRole));
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QHeaderView *header = m_view->header();
        const QPoint at = header->viewport()->mapToGlobal(QPoint(header->sectionViewportPosition(m_section), 0));
        return QRect(at, QSize(header->sectionSize(m_section), header->height()));
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {kSortAction}; }
    QString localizedActionName(const QString &name) const override
    {
        return name == kSortAction ? tr("Sort") : QString();
    }
    QString localizedActionDescription(const QString &name) const override
    {
        return name == kSortAction ? tr("Sorts the list by this column; again, the other way round") : QString();
    }
    void doAction(const QString &name) override
    {
        if (name == kSortAction && isValid())
            m_view->clickColumn(m_section + 1);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    int column() const { return m_column; }

private:
    int m_section;
    int m_column;
};

QAccessibleInterface *createForCategoryList(const QString &className, QObject *object)
{
    if (className != QLatin1String("CategoryListView"))
        return nullptr;
    auto *view = qobject_cast<CategoryListView *>(object);
    return view ? new ListAccessible(view) : nullptr;
}

} // namespace

ListAccessible::ListAccessible(CategoryListView *view)
    : QAccessibleWidget(view, QAccessible::Table)
{
}

ListAccessible::~ListAccessible()
{
    forgetChildren();
}

void ListAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createForCategoryList);
        return true;
    }();
    Q_UNUSED(installed);
}

int ListAccessible::childIndexOf(const CategoryListView &view, const QModelIndex &index)
{
    if (!index.isValid() || view.isColumnHidden(index.column()))
        return -1;
    int column = 0;
    int columns = 0;
    for (int c = 0; c < index.model()->columnCount(); ++c) {
        if (view.isColumnHidden(c))
            continue;
        if (c < index.column())
            ++column;
        ++columns;
    }
    return columns * (index.row() + 1) + column;
}

CategoryListView *ListAccessible::view() const
{
    return static_cast<CategoryListView *>(widget());
}

QList<int> ListAccessible::shownColumns() const
{
    QList<int> columns;
    const QAbstractItemModel *model = view()->model();
    for (int c = 0; model && c < model->columnCount(); ++c) {
        if (!view()->isColumnHidden(c))
            columns.append(c);
    }
    return columns;
}

QAccessible::Role ListAccessible::role() const
{
    return QAccessible::Table;
}

QAccessibleInterface *ListAccessible::child(int index) const
{
    const QList<int> columns = shownColumns();
    if (index < 0 || columns.isEmpty() || index >= childCount())
        return nullptr;
    if (const auto known = m_children.find(index); known != m_children.end()) {
        // A sort moves the rows under the cells made before it.
        QAccessibleInterface *made = QAccessible::accessibleInterface(*known);
        if (made && indexOfChild(made) == index)
            return made;
        QAccessible::deleteAccessibleInterface(*known);
        m_children.erase(known);
    }
    const int row = index / int(columns.size()) - 1;
    const int column = index % int(columns.size());
    QAccessibleInterface *made = nullptr;
    if (row < 0)
        made = new HeaderAccessible(view(), columns[column], column);
    else
        made = new CellAccessible(view(), view()->model()->index(row, columns[column]), column);
    m_children.insert(index, QAccessible::registerAccessibleInterface(made));
    return made;
}

int ListAccessible::childCount() const
{
    const QAbstractItemModel *model = view()->model();
    return model ? int(shownColumns().size()) * (model->rowCount() + 1) : 0;
}

int ListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || child->parent() != this)
        return -1;
    if (child->role() == QAccessible::ColumnHeader)
        return static_cast<const HeaderAccessible *>(child)->column();
    if (child->role() == QAccessible::Cell)
        return childIndexOf(*view(), static_cast<const CellAccessible *>(child)->index());
    return -1;
}

QAccessibleInterface *ListAccessible::childAt(int x, int y) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    return child(childIndexOf(*view(), view()->indexAt(at)));
}

QAccessibleInterface *ListAccessible::focusChild() const
{
    if (!view()->hasFocus())
        return nullptr;
    return child(childIndexOf(*view(), view()->currentIndex()));
}

void *ListAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface *ListAccessible::cellAt(int row, int column) const
{
    const qsizetype columns = shownColumns().size();
    if (row < 0 || column < 0 || column >= columns || row >= rowCount())
        return nullptr;
    return child(int(columns) * (row + 1) + column);
}

int ListAccessible::columnCount() const
{
    return int(shownColumns().size());
}

int ListAccessible::rowCount() const
{
    return view()->model() ? view()->model()->rowCount() : 0;
}

QString ListAccessible::columnDescription(int column) const
{
    QAccessibleInterface *header = child(column);
    return header ? header->text(QAccessible::Name) : QString();
}

int ListAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

int ListAccessible::selectedRowCount() const
{
    return int(view()->selectionModel()->selectedRows().size());
}

QList<QAccessibleInterface *> ListAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    for (const int row : selectedRows()) {
        for (int column = 0; column < columnCount(); ++column)
            cells.append(cellAt(row, column));
    }
    return cells;
}

QList<int> ListAccessible::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : view()->selectionModel()->selectedRows())
        rows.append(index.row());
    return rows;
}

bool ListAccessible::isRowSelected(int row) const
{
    return view()->selectionModel()->isRowSelected(row, QModelIndex());
}

bool ListAccessible::selectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    const QItemSelectionModel::SelectionFlags adding = view()->selectionMode() == QAbstractItemView::SingleSelection
        ? QItemSelectionModel::ClearAndSelect
        : QItemSelectionModel::Select;
    view()->selectionModel()->select(view()->model()->index(row, 0), adding | QItemSelectionModel::Rows);
    return true;
}

bool ListAccessible::unselectRow(int row)
{
    if (!isRowSelected(row))
        return false;
    view()->selectionModel()->select(view()->model()->index(row, 0),
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

// Rows come, go and move by the thousand; the cells made for them so far
// are made again when asked for. The headers stay what they are, as long as
// the columns do, so that a screen reader can sort again by the header it holds.
void ListAccessible::modelChange(QAccessibleTableModelChangeEvent *event)
{
    switch (event->modelChangeType()) {
    case QAccessibleTableModelChangeEvent::DataChanged:
        break;
    case QAccessibleTableModelChangeEvent::ColumnsInserted:
    case QAccessibleTableModelChangeEvent::ColumnsRemoved:
        forgetChildren();
        break;
    default:
        forgetChildren(columnCount());
        break;
    }
}

void ListAccessible::forgetChildren(int from)
{
    for (auto child = m_children.begin(); child != m_children.end();) {
        if (child.key() < from) {
            ++child;
            continue;
        }
        QAccessible::deleteAccessibleInterface(*child);
        child = m_children.erase(child);
    }
}
