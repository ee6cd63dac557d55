#pragma once

#include "entries/CategoryList.h"
#include "find/RowBits.h"
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
// sorts are mapped through them. Once a find has begun it also keeps which
// letters each row holds, four bytes a row, and a byte for those of its user,
// so that a search reads only the entries that hold every letter typed, and
// none at all for a single letter, and skips most users. With the results
// kept for going back to a shorter text, a million rows take at most some
// 6.5 MB. A row that is added or changed while the filter is on stays shown,
// whether it matches or not, until the filter's text changes, so that the
// user sees what was just done.
//
// A long list is searched a chunk of rows at a time: the selected entry's
// chunk and the first ones at once, so that the view shows what a keystroke
// found at once, the others in turns of the event loop, each adding the rows
// it found. The letters too are read a chunk at a time. Whatever is still to
// do is done at once before the list changes.
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
    bool isSearching() const { return m_searchChunks.left() > 0; }
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
    // The rows the search so far found, and those it has still to search
    // among; what a longer text is searched among.
    RowBits foundOrToSearch();
    void startSearch(std::optional<RowBits> among);
    // Searches chunks in the list's order, at least one, until the time is
    // up; published: each chunk's rows are added to the views as found.
    void searchOnward(std::chrono::milliseconds time, bool published);
    void searchChunk(size_t chunk, bool published);
    void searchDone();
    void stopSearch();
    // The search and the letters still to read: done in turns of the event
    // loop, or at once before the list changes.
    void finishWork();
    void workLater();
    void workOn();
    bool isSearched(int sourceRow) const;
    // The words of the rows begin to end, begin a multiple of 64, that match,
    // among the given ones (all rows for none).
    std::vector<quint64> matchingRows(const RowBits *among, size_t begin, size_t end);
    void beginReadingLetters();
    void readLettersOfChunk(size_t chunk);
    void readLettersOf(int sourceRow);
    void forgetLetters();
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
    std::vector<quint32> m_letters; // the letters of each source row, while read
    std::vector<quint8> m_userLetters; // those of its user alone, folded into a byte
    // Whether letters are kept; they are read a chunk of rows at a time, as
    // a search needs them or in turns of the event loop.
    bool m_lettersKept = false;
    // Which chunks of rows are still to do, of work done a chunk at a time.
    class Chunks
    {
    public:
        void reset(size_t chunks = 0)
        {
            m_done.assign(chunks, false);
            m_left = chunks;
        }
        size_t left() const { return m_left; }
        bool isDone(size_t chunk) const { return m_left == 0 || m_done[chunk]; }
        void markDone(size_t chunk);
        // The first one still to do, while any is left.
        size_t next() const;

    private:
        std::vector<bool> m_done;
        size_t m_left = 0;
    };
    Chunks m_letterChunks;
    bool m_readingAhead = false;
    // The rows that recent texts other than a single letter matched, so that
    // taking back a letter needs no search and a text holding one of them
    // searches only its rows; forgotten when the list changes.
    struct KeptResult {
        QString folded;
        RowBits rows;
    };
    std::vector<KeptResult> m_keptResults;
    // The search under way: which chunks are still to search, and the rows
    // to search among in them (every row for none).
    Chunks m_searchChunks;
    std::optional<RowBits> m_among;
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
