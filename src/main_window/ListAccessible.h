#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QList>

class CategoryListView;
class QModelIndex;

// What assistive tools read of a category list: a table of the columns shown
// (the status code as text, which serves sorting only, is none of them) with
// no row headers, whose column headers offer the action "sort", as a click on
// them does. Qt's own table would also expose the hidden column and an empty
// row header on every row, and no header action.
//
// Children: the header cells first, then the cells row by row.
class ListAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit ListAccessible(CategoryListView *view);
    ~ListAccessible() override;

    // Makes Qt ask this class for every category list.
    static void install();
    // The number of the child that stands for a cell of the list's model;
    // -1 for a cell of a hidden column.
    static int childIndexOf(const CategoryListView &view, const QModelIndex &index);

    // QAccessibleInterface
    QAccessible::Role role() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedCellCount() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

private:
    CategoryListView *view() const;
    // The model's columns that show, in order.
    QList<int> shownColumns() const;
    // Deletes the children made so far from the given child number on.
    void forgetChildren(int from = 0);

    mutable QHash<int, QAccessible::Id> m_children;
};
