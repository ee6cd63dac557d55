#pragma once

#include "document/Entry.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QVariant>

#include <memory>
#include <vector>

// A handle to one row. It stays valid while sorting moves the row, until the
// row is removed or the list is cleared.
using Row = Entry *;

// One category list: the rows of one tab, in display order, as an item model
// that a view shows directly. Positions are 1-based, as the rest of the program
// counts them. When the list is sorted it keeps its rows ordered by the text of
// its sort key column on every insertion and change.
class CategoryList : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Sort keys: 0 is the main text, 1 to 5 the sub-items.
    enum SubItem { TaskText = 1, AddedDate = 2, EditedDate = 3, UserText = 4, StatusText = 5 };
    enum SortDirection { Ascending = 0, Descending = 1 };

    explicit CategoryList(const QString &name, QObject *parent = nullptr);
    ~CategoryList() override;

    QString name() const { return m_name; }

    void clear();
    Row append(std::unique_ptr<Entry> entry);
    Row insertAtTop(std::unique_ptr<Entry> entry);
    // Appends many rows at once, in order; a sorted list places them stably.
    void appendAll(std::vector<std::unique_ptr<Entry>> entries);
    int count() const { return static_cast<int>(m_rows.size()); }
    Row rowAt(int position) const;
    int positionOf(Row row) const; // 0 when the row is not in this list
    void removeAt(int position);

    double status(Row row) const { return row->status; }
    // Sets the status code together with the status text that follows it.
    void setStatus(Row row, double status);
    QString mainText(Row row) const { return row->field(Entry::MainText).toString(); }
    void setMainText(Row row, const QString &text);
    // Sub-items 1 to 4 are texts of their own; sub-item 5 is the status text.
    QString subItem(Row row, int subItem) const;
    void setSubItem(Row row, int subItem, const QString &text);

    QItemSelectionModel *selectionModel() { return &m_selection; }
    Row selectedRow() const;

    int SortKey() const { return m_sortKey; }
    int SortOrder() const { return m_sortOrder; }
    bool Sorted() const { return m_sorted; }
    // Changes all three settings and re-sorts once.
    void setSorting(int key, int order, bool sorted);

    // Column headers: the column at position p (1-based) shows the main text
    // for p = 1 and sub-item p - 1 otherwise.
    void clearColumns();
    void addColumn(const QString &key, const QString &caption);
    int columnPosition(const QString &key) const; // 0 when there is none

    // Decorations for the status column: one for each code 1 to 8 and one for
    // any other value.
    void setStatusIcons(const QList<QVariant> &icons, const QVariant &otherIcon);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The sort key, the direction or the sorted setting has changed.
    void sortingChanged();

private:
    struct Column {
        QString key;
        QString caption;
    };

    int indexOf(Row row) const;
    QString keyText(const Entry &entry) const;
    bool goesBefore(const QString &a, const QString &b) const;
    int placeFor(const QString &key, bool afterEqual, int skip) const;
    Row insertSorted(std::unique_ptr<Entry> entry, bool afterEqual);
    void rowChanged(Row row, bool keyChanged);
    std::vector<quint32> sortedOrder() const;
    std::vector<quint32> reversedOrder() const;
    void reorderRows(const std::vector<quint32> &order);
    void arrangeRows(const std::vector<quint32> &arrangement);

    QString m_name;
    std::vector<std::unique_ptr<Entry>> m_rows;
    QItemSelectionModel m_selection;
    QList<Column> m_columns;
    QList<QVariant> m_statusIcons;
    QVariant m_otherIcon;
    int m_sortKey = 0;
    int m_sortOrder = Ascending;
    bool m_sorted = false;
    mutable int m_positionHint = 0;
};

// Orders sort-key texts the same on every machine: by their Unicode case
// folding first, then by the texts themselves.
int CompareSortTexts(QStringView a, QStringView b);
