#pragma once

#include "CategoryList.h"

#include <QPersistentModelIndex>
#include <QTreeView>

// A report-style view of one category list. It shows the list's model and
// shares its selection, so the list's selected row is the row the user
// selected here.
class CategoryListView : public QTreeView
{
    Q_OBJECT

public:
    explicit CategoryListView(CategoryList &list, QWidget *parent = nullptr);

    CategoryList &list() const { return m_list; }

Q_SIGNALS:
    // Every mouse-button press, before the press selects anything: 1 left,
    // 2 right, 4 middle.
    void MouseDown(int button);
    // A row was clicked: pressed and released over the same row, with any button.
    void ItemClick(Row item);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    CategoryList &m_list;
    QPersistentModelIndex m_pressedRow;
};
