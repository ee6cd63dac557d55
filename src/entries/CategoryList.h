#pragma once

#include "entries/Entry.h"
#include "entries/RowSorting.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QMap>
#include <QPair>
#include <QVariant>

#include <memory>
#include <vector>

// A handle to one row, for reading it; changes go through its list. It stays
// valid while sorting moves the row, until the row is removed or the list is
// cleared.
using Row = const Entry *;

// The 0-based row a selection stands for: its current row when that is
// selected, else the first selected row; -1 when nothing is selected. Read
// from the selection's ranges, so that a selection of every row of a long
// list costs no more than one of a single row.
int SelectedRowIndex(const QItemSelectionModel &selection);
// Every selected row of the selection's model, 0-based, ascending, each once.
std::vector<int> SelectedRowIndexes(const QItemSelectionModel &selection);

// One category list: the rows of one tab, in display order, as an item model
// that a view shows directly. Positions are 1-based, as the rest of the program
// counts them. When the list is sorted it keeps its rows ordered by the text of
// its sort key column on every insertion and change.
//
// The model has the six columns of Entry::Field. Column 0 shows the main text
// and gives the status code through StatusRole and the status name for
// assistive tools; how a status is pictured and what the headers say are the
// view's.
class CategoryList : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role { StatusRole = Qt::UserRole };
    enum SortDirection { Ascending = 0, Descending = 1 };

    explicit CategoryList(const QString &name, QObject *parent = nullptr);
    ~CategoryList() override;

    QString name() const { return m_name; }

    void clear();
    Row append(std::unique_ptr<Entry> entry);
    Row insertAtTop(std::unique_ptr<Entry> entry);
    // Inserts at a 1-based position, which a sorted list honours only where
    // the entry's key fits between its neighbours there; elsewhere the entry
    // goes to its sorted place.
    Row insertAt(int position, std::unique_ptr<Entry> entry);
    // Appends many rows at once, in order; a sorted list places them stably.
    void appendAll(std::vector<std::unique_ptr<Entry>> entries);
    int count() const { return static_cast<int>(m_rows.size()); }
    Row rowAt(int position) const;
    int positionOf(Row row) const; // 0 when the row is not in this list
    void removeAt(int position);
    // Puts rows, in the order given, in place of the count rows from the
    // 1-based position on, and hands back the rows taken out. Views keep
    // their selection and place on the rows around them.
    EntryRows replaceRows(int position, int count, EntryRows rows);
    // Takes out the rows at the given 1-based positions (ascending) and hands
    // them back in that order. Views are told once, about the span they cover.
    EntryRows takeRows(const std::vector<int> &positions);
    // Puts many rows in as append would one by one: at the end of an unsorted
    // list, at their sorted places in a sorted one, after the rows with an
    // equal key. Views are told once, about the span that changes. Returns
    // the rows' new 1-based positions, ascending.
    std::vector<int> insertAll(EntryRows rows);
    // Takes out the rows at the given 1-based positions (ascending) and hands
    // them back in that order. Unlike takeRows, the rows that stay are never
    // taken out and put back, so views keep each of them as it was: shown or
    // hidden by a find, in view, current.
    EntryRows takeOut(const std::vector<int> &positions);
    // Puts rows in at the 1-based positions they are to have afterwards
    // (ascending), rows[i] at positions[i]; the other rows keep their order,
    // and views keep them as takeOut does.
    void putIn(const std::vector<int> &positions, EntryRows rows);
    // Puts many rows in as append would one by one, the same way: at the end
    // of an unsorted list, at their sorted places in a sorted one, after the
    // rows with an equal key. Returns their 1-based positions, ascending.
    std::vector<int> appendMany(EntryRows rows);

    double status(Row row) const { return row->status; }
    // Sets the status code together with the status text that follows it.
    void setStatus(Row row, double status);
    // The text of a column (Entry::Field).
    QString text(Row row, int column) const { return row->columnText(column); }
    // Changes one of the five stored texts.
    void setText(Row row, int field, const QString &text);

    QItemSelectionModel *selectionModel() { return &m_selection; }
    // The row the editing pane shows and Update changes: the current row
    // when it is selected, else the first selected one.
    Row selectedRow() const;

    int SortKey() const { return m_sortKey; }
    int SortOrder() const { return m_sortOrder; }
    bool Sorted() const { return m_sorted; }
    // Changes all three settings and re-sorts once.
    void setSorting(int key, int order, bool sorted);
    // A click on the header of the column at a 1-based position: the sorted
    // column again reverses the direction, whether or not the list is sorted
    // right now; another column keeps it. The status column's own texts are
    // empty, so it sorts by the hidden status texts like that column itself.
    void sortByColumn(int columnPosition);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Header texts are whatever the view sets.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

Q_SIGNALS:
    // The sort key, the direction or the sorted setting has changed.
    void sortingChanged();

private:
    int indexOf(Row row) const;
    QString keyText(const Entry &entry) const;
    bool goesBefore(const QString &a, const QString &b) const;
    // Whether a key that compares so with another goes before it.
    bool goesBefore(int order) const;
    int placeFor(const QString &key, bool afterEqual, int skip) const;
    bool fitsAt(const QString &key, int index) const;
    Row insertSorted(std::unique_ptr<Entry> entry, bool afterEqual);
    void rowChanged(Row row, bool keyChanged);
    std::vector<quint32> sortedOrder() const;
    void reorderRows(const std::vector<quint32> &order);
    void arrangeRows(const std::vector<quint32> &arrangement);
    int compareKeys(const Entry &a, const Entry &b) const;

    QString m_name;
    EntryRows m_rows;
    QItemSelectionModel m_selection;
    QMap<QPair<int, int>, QVariant> m_headers; // by section and role
    int m_sortKey = 0;
    int m_sortOrder = Ascending;
    bool m_sorted = false;
    mutable int m_positionHint = 0;
};
