#pragma once

#include "entries/CategoryList.h"
#include "find/ChunkedSearch.h"
#include "find/RowBits.h"
#include "find/RowLetters.h"
#include "find/RowSearch.h"
#include "find/TextMatch.h"

#include <QAbstractProxyModel>
#include <QItemSelectionModel>
#include <QTimer>

#include <chrono>
#include <optional>
#include <vector>

// The rows of one category list whose task text or user contains a typed
// text, as an item model for the list's view while a find is on. The list
// itself stays whole: positions, sorting, the writer and every entry command
// go on working on all its rows.
//
// It holds which rows it shows, a bit a row; rows the list inserts, moves or
// sorts are mapped through them. Once a find has begun it also keeps the
// letters of each row (RowLetters) and the results of recent texts
// (KeptResults), in step with the list. A row that is added or changed while
// the filter is on stays shown, whether it matches or not, until the
// filter's text changes, so that the user sees what was just done.
//
// A long list is searched a chunk of rows at a time (ChunkedSearch): the
// selected entry's chunk and the first ones at once, so that the view shows
// what a keystroke found at once, the others in turns of the event loop,
// each adding the rows it found. The letters too are read a chunk at a time.
// Whatever is still to do is done at once before the list changes.
//
// The view shares this model's selection, which mirrors the list's own: the
// editing buttons keep reading the list's selected row.
class FilteredList : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit FilteredList(CategoryList &list, QObject *parent = nullptr);

    CategoryList &list() const { return m_list; }

    // Shows only the rows matching the text; an empty text shows every row
    // and stops following the list. A text that extends the one before
    // searches only the rows shown so far. A selected row that is no longer
    // shown is unselected, so that no button acts on a row the user cannot see.
    void setFilterText(const QString &text);
    // Searches every row again for the same text: rows that came from
    // elsewhere, unlike the user's own, are not kept in sight.
    void refilter();
    // Reads which letters every row holds ahead of the first search, in
    // turns of the event loop, unless still known, and keeps that in step
    // with the list; a search reads those of the rows it searches itself
    // when not yet read.
    void readLetters();
    // Keeps the letters in step with the list's inserts, changes and
    // removals, so that reading ahead again costs nothing, but forgets them
    // on a sort or a new document instead of reading them all again.
    void stopReadingAhead();
    bool isActive() const { return !m_match.isEmpty(); }
    bool matches(Row row) const;
    // Whether rows of a long list are still to be searched for the text.
    bool isSearching() const { return m_search.isSearching(); }
    // Searches the rest of the list now.
    void finishSearch();
    // How long a new text is searched before the views show what it found.
    void setTimeToShow(std::chrono::milliseconds time) { m_timeToShow = time; }

    // The row shown after (forward) or before the selected one that matches,
    // going round at the end, once the whole list is searched; -1 when none
    // matches.
    int nextMatch(bool forward);

Q_SIGNALS:
    // The whole list has been searched for the text.
    void searchFinished();

public:
    QItemSelectionModel *selectionModel() { return &m_selection; }
    // The row shown at a 0-based row of this model.
    Row rowAt(int row) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // Shows the rows that match, keeping the list's selection where it is shown.
    void rescan(bool narrow);
    void scan(bool narrow);
    void startSearch(std::optional<RowBits> among);
    // Searches chunks in the list's order, at least one, until the time is
    // up; published: each chunk's rows are added to the views as found.
    void searchOnward(std::chrono::milliseconds time, bool published);
    void searchChunk(size_t chunk, bool published);
    void searchDone();
    // The search and the letters still to read: done in turns of the event
    // loop, or at once before the list changes.
    void finishWork();
    void workLater();
    void workOn();
    void beginReadingLetters();
    // After the list put its rows in another order or was read anew.
    void lettersAfterReorder();
    int proxyRowOf(int sourceRow) const; // -1 when the row is not shown

    void sourceRowsInserted(int first, int last);
    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceRowsAboutToBeMoved(int first, int last, int destination);
    void sourceRowsMoved(int first, int last, int destination);
    void sourceLayoutAboutToBeChanged();
    void sourceLayoutChanged();
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void sourceReset();

    // A layout change keeps the views' persistent rows on their entries.
    void beginLayoutChange();
    void endLayoutChange();

    void selectionToList();
    void selectionFromList();

    CategoryList &m_list;
    TextMatch m_match;
    RowBits m_shown; // the source rows shown
    RowLetters m_letters;
    bool m_readingAhead = false;
    // Forgotten whenever the list changes.
    KeptResults m_keptResults;
    ChunkedSearch m_search;
    QTimer m_workLater;
    std::chrono::milliseconds m_timeToShow;
    QItemSelectionModel m_selection;
    bool m_mirroring = false;

    // The entries behind the shown rows, or behind the hidden ones where they
    // are fewer, and the views' persistent rows across a layout change of the
    // list.
    std::vector<Row> m_entriesBefore;
    bool m_entriesBeforeShown = true;
    QModelIndexList m_persistentBefore;
    std::vector<Row> m_persistentEntries;
    int m_removedBegin = 0;
    int m_removedEnd = 0;
};
