#pragma once

#include "entries/CategoryList.h"

#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <vector>

class FilteredList;
class StatusImages;

// A report-style view of one category list. It shows the list's model and
// shares its selection, so the list's selected row is the row the user
// selected here.
//
// A table view without grid and row headers rather than a tree view: a tree
// view lays out every row again after each row inserted or removed, which
// takes tens of milliseconds in a list of a million rows, where a table only
// shifts its row sections.
class CategoryListView : public QTableView
{
    Q_OBJECT

public:
    explicit CategoryListView(CategoryList &list, QWidget *parent = nullptr);

    // The button codes that MouseDown reports.
    static constexpr int LeftButton = 1;
    static constexpr int RightButton = 2;
    static constexpr int MiddleButton = 4;

    CategoryList &list() const { return m_list; }
    // The column headers.
    QHeaderView *header() const { return horizontalHeader(); }

    // Names the list's columns in order, each by a key and a caption.
    void clearColumns();
    void addColumn(const QString &key, const QString &caption);
    int columnPosition(const QString &key) const; // 1-based; 0 when there is none

    // The pictures the status column shows.
    void setSmallIcons(const StatusImages &images);

    // Shows only the rows of a filter over the list, or, for none, the whole
    // list again; the columns keep their widths.
    void showFiltered(FilteredList *filter);
    // Brings the row at a 1-based position of the list into view, if shown.
    void scrollToPosition(int position);
    void scrollToSelected();
    // While a find is on, rows it finds later come in without moving the
    // view; the user's own new or changed entry is brought into view.
    void showOwnChange(Row row);
    // As a click on the header at a 1-based position.
    void clickColumn(int position) { Q_EMIT ColumnClick(position); }
    // Runs a change that may remove the selected row. Where it does, the row
    // that took its place (or the last) becomes current, in the task column,
    // and nothing is selected anew, so that the next arrow key or Space goes
    // on from there.
    void keepPlaceAcross(const std::function<void()> &change);
    // The 1-based list positions of the rows selected here, ascending; under
    // a find only rows it shows can be selected.
    std::vector<int> selectedPositions() const;
    // Selects the rows at these 1-based list positions (ascending) that are
    // shown, in as few ranges as they allow.
    void selectPositions(const std::vector<int> &positions);
    // Selects nothing, here and in the list.
    void clearSelectedRows();

Q_SIGNALS:
    // Every mouse-button press, before the press selects anything.
    void MouseDown(int button);
    // A row was clicked: pressed and released over the same row, with any button.
    void ItemClick(Row item);
    // A column header was clicked; columnIndex is its 1-based position.
    void ColumnClick(int columnIndex);
    // The menu key or Shift+F10 asks for the selected row's menu, which opens
    // at the given screen point just below the row.
    void ContextMenuKey(const QPoint &at);
    // A key (an arrow, Home, End, Page Up or Down, a typed letter) selected
    // another row; the list's selected row is the new one.
    void KeyboardSelect();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Shows in the header how the list is sorted: on the column of the sort
    // key, the status column standing for the hidden status texts.
    void showSortIndicator();
    QPoint selectedRowMenuPoint();
    // The view's index of the row at a 1-based position of the list; invalid
    // when a filter hides it.
    QModelIndex shownIndex(int position) const;
    Row rowAtShown(int row) const;
    // Rows as high as one line of text beside a status picture.
    void fitRowHeight();

    CategoryList &m_list;
    FilteredList *m_filter = nullptr;
    QStringList m_columnKeys;
    QPersistentModelIndex m_pressedRow;
};
