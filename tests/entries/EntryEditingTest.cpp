#include "entries/EntryEditing.h"

#include "entries/TaskLists.h"

#include <gtest/gtest.h>

namespace {

class EntryEditingTest : public ::testing::Test
{
protected:
    void select(Category category, int position)
    {
        CategoryList &list = lists.list(category);
        list.selectionModel()->select(list.index(position - 1, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    TaskLists lists;
    int ticks = 0;
    EntryEditing editing{lists, [this] { return QStringLiteral("t%1").arg(++ticks); }};
};

constexpr int kTasksTab = 0;
constexpr int kCompletedTab = 1;

} // namespace

TEST_F(EntryEditingTest, NewGoesToTheTopOfTheTabsListWithTheChosenKind)
{
    ASSERT_TRUE(editing.addEntry(kTasksTab, QStringLiteral("first"), QStringLiteral("me"), false));
    const std::optional<EntryChange> change =
        editing.addEntry(kTasksTab, QStringLiteral("why | not"), QStringLiteral("you"), true);
    ASSERT_TRUE(change);
    EXPECT_FALSE(change->before);
    ASSERT_TRUE(change->after);
    EXPECT_EQ(change->after->category, Category::Tasks);
    EXPECT_EQ(change->after->position, 1);
    EXPECT_EQ(change->after->status, Status_Question);
    EXPECT_EQ(change->after->fields, (std::array<QString, Entry::FieldCount>{"", "why | not", "t2", "", "you"}));
    EXPECT_EQ(lists.lvwTasks.rowAt(1), change->row);

    // Other tabs give their own code whatever the choice; no tab, no entry.
    EXPECT_EQ(editing.addEntry(kCompletedTab, "done", "", true)->after->status, Status_Complete);
    EXPECT_FALSE(editing.addEntry(5, "lost", "", false));
    EXPECT_EQ(lists.lvwTasks.count() + lists.lvwCompleted.count(), 3);
}

TEST_F(EntryEditingTest, WithoutASelectionNothingChanges)
{
    editing.addEntry(kTasksTab, QStringLiteral("kept"), QString(), false);
    EXPECT_FALSE(editing.updateEntry(kTasksTab, QStringLiteral("x"), QString()));
    EXPECT_FALSE(editing.deleteEntry(kTasksTab));
    EXPECT_FALSE(editing.setEntryStatus(kTasksTab, Status_Complete));
    EXPECT_EQ(lists.lvwTasks.text(lists.lvwTasks.rowAt(1), Entry::Task), QStringLiteral("kept"));
    EXPECT_EQ(ticks, 1);
}

TEST_F(EntryEditingTest, UpdateAndDeleteDescribeTheEntryBeforeAndAfter)
{
    editing.addEntry(kTasksTab, QStringLiteral("b"), QStringLiteral("u"), false);
    editing.addEntry(kTasksTab, QStringLiteral("a"), QStringLiteral("u"), false);
    lists.lvwTasks.setSorting(Entry::Task, CategoryList::Ascending, true);
    select(Category::Tasks, 1);

    const std::optional<EntryChange> update = editing.updateEntry(kTasksTab, QStringLiteral("c"), QStringLiteral("v"));
    ASSERT_TRUE(update && update->before && update->after);
    EXPECT_EQ(update->before->position, 1);
    EXPECT_EQ(update->before->fields[Entry::Task], QStringLiteral("a"));
    // The sorted list places the changed entry again.
    EXPECT_EQ(update->after->position, 2);
    EXPECT_EQ(update->after->fields, (std::array<QString, Entry::FieldCount>{"", "c", "t2", "t3", "v"}));

    const std::optional<EntryChange> removal = editing.deleteEntry(kTasksTab);
    ASSERT_TRUE(removal && removal->before);
    EXPECT_FALSE(removal->after);
    EXPECT_EQ(removal->before->position, 2);
    EXPECT_EQ(removal->before->fields[Entry::Task], QStringLiteral("c"));
    EXPECT_EQ(lists.lvwTasks.count(), 1);
}

TEST_F(EntryEditingTest, TheStatusCodePicksTheList)
{
    editing.addEntry(kTasksTab, QStringLiteral("stays"), QString(), false);
    editing.addEntry(kTasksTab, QStringLiteral("moves"), QStringLiteral("me"), false);
    select(Category::Tasks, 1);

    // A code of the same list changes the entry where it is.
    const std::optional<EntryChange> inPlace = editing.setEntryStatus(kTasksTab, Status_Question);
    ASSERT_TRUE(inPlace);
    EXPECT_EQ(inPlace->after->category, Category::Tasks);
    EXPECT_EQ(inPlace->after->position, 1);
    EXPECT_EQ(inPlace->after->fields, (std::array<QString, Entry::FieldCount>{"7", "moves", "t2", "t3", "me"}));

    // Another list's code rebuilds it at that list's end, keeping its texts.
    editing.addEntry(kCompletedTab, QStringLiteral("old"), QString(), false);
    const std::optional<EntryChange> moved = editing.setEntryStatus(kTasksTab, Status_Complete);
    ASSERT_TRUE(moved && moved->before && moved->after);
    EXPECT_EQ(moved->before->category, Category::Tasks);
    EXPECT_EQ(moved->after->category, Category::Completed);
    EXPECT_EQ(moved->after->position, 2);
    EXPECT_EQ(moved->after->status, Status_Complete);
    EXPECT_EQ(moved->after->fields, (std::array<QString, Entry::FieldCount>{"2", "moves", "t2", "t5", "me"}));
    EXPECT_EQ(lists.lvwCompleted.rowAt(2), moved->row);
    EXPECT_EQ(lists.lvwTasks.count(), 1);

    select(Category::Tasks, 1);
    EXPECT_FALSE(editing.setEntryStatus(kTasksTab, 9));
}
