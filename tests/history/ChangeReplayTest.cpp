#include "history/ChangeReplay.h"

#include "entries/TaskLists.h"
#include "fileformat/TaskFileEncoder.h"

#include <gtest/gtest.h>

namespace {

constexpr int kTasksTab = 0;
constexpr int kCompletedTab = 1;

// Runs the same changes on unsorted lists and on lists sorted by task text.
class ChangeReplayTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        for (CategoryList *list : lists.all())
            list->setSorting(Entry::Task, CategoryList::Ascending, GetParam());
        for (const char *task : {"delta", "alpha", "charlie", "bravo", "echo"})
            record(editing.addEntry(kTasksTab, QString::fromLatin1(task), QStringLiteral("me"), false));
        record(editing.addEntry(kCompletedTab, QStringLiteral("done"), QStringLiteral("you"), false));
        steps.clear();
    }

    void record(const std::optional<EntryChange> &change)
    {
        ASSERT_TRUE(change);
        steps.push_back(*change);
    }

    void select(Category category, int position)
    {
        CategoryList &list = lists.list(category);
        list.selectionModel()->select(list.index(position - 1, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    QByteArray written() { return TaskFileEncoder().encode(lists); }

    void undoAll()
    {
        for (auto step = steps.rbegin(); step != steps.rend(); ++step)
            ASSERT_TRUE(ReplaceEntryState(lists, step->after, step->before).done);
    }

    void redoAll()
    {
        for (const EntryChange &step : steps)
            ASSERT_TRUE(ReplaceEntryState(lists, step.before, step.after).done);
    }

    TaskLists lists;
    int ticks = 0;
    EntryEditing editing{lists, [this] { return QStringLiteral("t%1").arg(++ticks); }};
    std::vector<EntryChange> steps;
};

} // namespace

TEST_P(ChangeReplayTest, UndoingEveryKindOfChangeGivesBackTheSameFileAndRedoingTheChangedOne)
{
    const QByteArray original = written();

    record(editing.addEntry(kTasksTab, QStringLiteral("added"), QStringLiteral("me"), true));
    select(Category::Tasks, 3);
    record(editing.updateEntry(kTasksTab, QStringLiteral("zulu"), QStringLiteral("them")));
    select(Category::Tasks, 2);
    record(editing.deleteEntry(kTasksTab));
    select(Category::Tasks, 4);
    record(editing.setEntryStatus(kTasksTab, Status_Complete)); // moves to Completed
    select(Category::Tasks, 1);
    record(editing.setEntryStatus(kTasksTab, Status_Question)); // stays in Tasks
    const QByteArray changed = written();
    ASSERT_NE(changed, original);

    undoAll();
    EXPECT_EQ(written(), original);
    redoAll();
    EXPECT_EQ(written(), changed);
    undoAll();
    EXPECT_EQ(written(), original);
}

TEST_P(ChangeReplayTest, AnEntryIsFoundAfterItsListWasSortedOtherwiseAndAMissingOneChangesNothing)
{
    const QByteArray original = written();
    select(Category::Tasks, 1);
    record(editing.updateEntry(kTasksTab, QStringLiteral("first"), QStringLiteral("me")));
    lists.lvwTasks.setSorting(Entry::Added, CategoryList::Descending, true);
    const EntryChange update = steps.back();

    EXPECT_FALSE(ReplaceEntryState(lists, update.before, update.after).done);
    EXPECT_EQ(lists.lvwTasks.count(), 5);
    const ReplayResult undone = ReplaceEntryState(lists, update.after, update.before);
    ASSERT_TRUE(undone.done);
    EXPECT_EQ(undone.row->field(Entry::Task), update.before->fields[Entry::Task]);
    lists.lvwTasks.setSorting(Entry::Task, CategoryList::Ascending, GetParam());
    if (GetParam())
        EXPECT_EQ(written(), original);
}

INSTANTIATE_TEST_SUITE_P(SortedAndUnsorted, ChangeReplayTest, ::testing::Bool());
