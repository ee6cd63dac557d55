#include "history/BulkChange.h"

#include "entries/EntryEditing.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFileEncoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

// A bulk change against the same changes made one entry at a time, on lists
// unsorted, sorted by task and sorted by status (as after reading a file).
class BulkChangeTest : public ::testing::TestWithParam<int>
{
protected:
    static constexpr int kUnsorted = -1;

    // Both twins get the same entries: tasks with repeats, so that equal
    // sort keys occur, and statuses of both kinds of the Tasks list.
    void fill(TaskLists &lists)
    {
        std::mt19937 random(7);
        for (CategoryList *list : lists.all()) {
            if (GetParam() != kUnsorted)
                list->setSorting(GetParam(), CategoryList::Ascending, true);
        }
        for (int i = 0; i < 60; ++i) {
            const int status = i % 5 == 0 ? Status_Question : Status_Incomplete;
            const QString task = QStringLiteral("task %1").arg(random() % 25);
            lists.lvwTasks.append(
                Entry::create(status, task, QStringLiteral("a%1").arg(i), QStringLiteral("e%1").arg(i), u"me"));
        }
        for (int i = 0; i < 6; ++i)
            lists.lvwCompleted.append(
                Entry::create(Status_Complete, QStringLiteral("task %1").arg(i * 4), u"a", u"e", u"you"));
    }

    // Every third row and a few more, spread over the list.
    static std::vector<int> spreadPositions(int count)
    {
        std::vector<int> positions;
        for (int position = 1; position <= count; ++position) {
            if (position % 3 == 1 || position == count)
                positions.push_back(position);
        }
        return positions;
    }

    static QByteArray written(TaskLists &lists) { return TaskFileEncoder().encode(lists); }

    // The entries at the positions, changed one by one in list order.
    template<typename Change>
    QByteArray oneByOne(const std::vector<int> &positions, Change change)
    {
        TaskLists lists;
        fill(lists);
        std::vector<Row> rows;
        for (const int position : positions)
            rows.push_back(lists.lvwTasks.rowAt(position));
        EntryEditing editing(lists, [] { return QStringLiteral("now"); });
        for (const Row row : rows) {
            CategoryList &list = lists.lvwTasks;
            list.selectionModel()->select(list.index(list.positionOf(row) - 1, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            EXPECT_TRUE(change(editing));
        }
        return written(lists);
    }

    // Made, undone, redone and undone again, each time written out.
    void expectBulk(const std::vector<int> &positions, const QByteArray &expected,
                    const std::function<BulkChange(TaskLists &)> &make)
    {
        TaskLists lists;
        fill(lists);
        const QByteArray before = written(lists);
        BulkChange change = make(lists);
        EXPECT_EQ(change.size(), positions.size());
        EXPECT_EQ(written(lists), expected);
        ASSERT_TRUE(change.undo(lists));
        EXPECT_EQ(written(lists), before);
        ASSERT_TRUE(change.redo(lists));
        EXPECT_EQ(written(lists), expected);
        ASSERT_TRUE(change.undo(lists));
        EXPECT_EQ(written(lists), before);
    }
};

} // namespace

TEST_P(BulkChangeTest, StatusChangeOfSpreadRowsIsEachRowChangedAloneInListOrderAndUndoesByteForByte)
{
    const std::vector<int> positions = spreadPositions(60);
    // Complete moves every entry to another list; Question keeps them in theirs.
    for (const int code : {Status_Complete, Status_Question, Status_Invalid}) {
        const QByteArray expected =
            oneByOne(positions, [code](EntryEditing &editing) { return editing.setEntryStatus(0, code).has_value(); });
        expectBulk(positions, expected, [&](TaskLists &lists) {
            return BulkChange::setStatus(lists, Category::Tasks, positions, code, QStringLiteral("now"));
        });
    }
}

TEST_P(BulkChangeTest, RemovalOfSpreadRowsIsEachRowDeletedAloneAndUndoesByteForByte)
{
    const std::vector<int> positions = spreadPositions(60);
    const QByteArray expected =
        oneByOne(positions, [](EntryEditing &editing) { return editing.deleteEntry(0).has_value(); });
    expectBulk(positions, expected,
               [&](TaskLists &lists) { return BulkChange::remove(lists, Category::Tasks, positions); });
}

// Sorting is not undone: the entries are found wherever the sort put them.
TEST_P(BulkChangeTest, UndoFindsTheEntriesAfterTheTargetListWasSortedAnotherWay)
{
    TaskLists lists;
    fill(lists);
    std::vector<QString> before;
    for (int position = 1; position <= lists.lvwTasks.count(); ++position)
        before.push_back(lists.lvwTasks.text(lists.lvwTasks.rowAt(position), Entry::Added));
    const std::vector<int> positions = spreadPositions(60);
    BulkChange change =
        BulkChange::setStatus(lists, Category::Tasks, positions, Status_Complete, QStringLiteral("now"));
    lists.lvwCompleted.setSorting(Entry::Added, CategoryList::Descending, true);
    ASSERT_TRUE(change.undo(lists));
    EXPECT_EQ(lists.lvwCompleted.count(), 6);
    std::vector<QString> after;
    for (int position = 1; position <= lists.lvwTasks.count(); ++position)
        after.push_back(lists.lvwTasks.text(lists.lvwTasks.rowAt(position), Entry::Added));
    EXPECT_EQ(after, before);

    // Gone from the list it expects them in, the step changes nothing.
    ASSERT_TRUE(change.redo(lists));
    lists.lvwCompleted.removeAt(3);
    const QByteArray left = written(lists);
    EXPECT_FALSE(change.undo(lists));
    EXPECT_EQ(written(lists), left);
}

INSTANTIATE_TEST_SUITE_P(Sortings, BulkChangeTest, ::testing::Values(-1, int(Entry::Task), int(Entry::StatusText)));
