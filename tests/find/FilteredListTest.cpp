#include "find/FilteredList.h"

#include "entries/TaskLists.h"
#include "fileformat/TaskFileEncoder.h"
#include "history/ChangeReplay.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

TEST(TextMatch, IgnoresCaseAndAccentsAcrossScriptsAndEveryPlaceInTheText)
{
    EXPECT_TRUE(TextMatch(u"ECOLE").foundIn(u"l'école du soir"));
    EXPECT_TRUE(TextMatch(u"École").foundIn(u"ECOLE"));
    EXPECT_TRUE(TextMatch(u"σοφια").foundIn(u"ΣΟΦΊΑ"));
    EXPECT_TRUE(TextMatch(u"key").foundIn(u"\u212Aey")); // Kelvin sign
    EXPECT_FALSE(TextMatch(u"ecole").foundIn(u"ecol"));
    EXPECT_FALSE(TextMatch(u"e").foundIn(u""));
    // Every place of a longer text, the ends included, whatever comes near.
    const QString text = QStringLiteral("xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx");
    for (qsizetype at = 0; at + 3 <= text.size(); ++at) {
        QString holder = text;
        holder.replace(at, 3, QStringLiteral("ÂbÇ"));
        EXPECT_TRUE(TextMatch(u"abc").foundIn(holder)) << at;
        holder[at + 2] = u'd';
        EXPECT_FALSE(TextMatch(u"abc").foundIn(holder)) << at;
    }
    // Units beyond the first plane match only themselves.
    EXPECT_TRUE(TextMatch(u"😀x").foundIn(u"a😀X"));
    EXPECT_TRUE(TextMatch(QString()).foundIn(u"anything"));
}

namespace {

constexpr int kTasksTab = 0;

class FilteredListTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        lists.lvwTasks.setSorting(Entry::Task, CategoryList::Ascending, GetParam());
        for (const char *task : {"call Anna", "buy milk", "pay rent", "water plants", "call the bank"})
            editing.addEntry(kTasksTab, QString::fromLatin1(task), QStringLiteral("me"), false);
        editing.addEntry(kTasksTab, QStringLiteral("book hotel"), QStringLiteral("Ánnika"), false);
    }

    QStringList shown() const
    {
        QStringList tasks;
        for (int row = 0; row < filter.rowCount(); ++row)
            tasks << filter.index(row, Entry::Task).data().toString();
        return tasks;
    }

    QStringList expectedIn(const QStringList &matching) const
    {
        QStringList tasks;
        for (int position = 1; position <= list().count(); ++position) {
            const QString task = list().text(list().rowAt(position), Entry::Task);
            if (matching.contains(task))
                tasks << task;
        }
        return tasks;
    }

    void selectShown(int row)
    {
        filter.selectionModel()->setCurrentIndex(filter.index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    CategoryList &list() const { return const_cast<TaskLists &>(lists).lvwTasks; }

    TaskLists lists;
    EntryEditing editing{lists, [] { return QStringLiteral("now"); }};
    FilteredList filter{lists.lvwTasks};
    QAbstractItemModelTester tester{&filter, QAbstractItemModelTester::FailureReportingMode::Warning};
};

} // namespace

TEST_P(FilteredListTest, ShowsTheEntriesWhoseTaskOrUserContainsTheTextNarrowingAndWidening)
{
    EXPECT_FALSE(filter.isActive());
    filter.setFilterText(QStringLiteral("AN"));
    EXPECT_EQ(shown(), expectedIn({"call Anna", "water plants", "call the bank", "book hotel"}));
    filter.setFilterText(QStringLiteral("ann"));
    EXPECT_EQ(shown(), expectedIn({"call Anna", "book hotel"}));
    filter.setFilterText(QStringLiteral("a"));
    EXPECT_EQ(shown().size(), 5);
    // Back to a text found before, after the list changed: the result kept
    // for it no longer holds.
    editing.addEntry(kTasksTab, QStringLiteral("Annabel"), QStringLiteral("me"), false);
    filter.setFilterText(QStringLiteral("an"));
    EXPECT_EQ(shown(), expectedIn({"call Anna", "water plants", "call the bank", "book hotel", "Annabel"}));
    filter.setFilterText(QString());
    EXPECT_FALSE(filter.isActive());
    EXPECT_EQ(filter.rowCount(), 0);
}

TEST_P(FilteredListTest, TheSelectionIsTheListsAndAHiddenEntryIsNoLongerSelected)
{
    filter.setFilterText(QStringLiteral("call"));
    selectShown(1);
    ASSERT_NE(list().selectedRow(), nullptr);
    EXPECT_EQ(list().text(list().selectedRow(), Entry::Task), shown()[1]);
    EXPECT_EQ(filter.nextMatch(true), 0);
    EXPECT_EQ(filter.nextMatch(false), 0);

    // Selected in the list, as an undo does: the filter's selection follows.
    for (int position = 1; position <= list().count(); ++position) {
        if (list().text(list().rowAt(position), Entry::Task) == "call the bank")
            list().selectionModel()->setCurrentIndex(list().index(position - 1, 0),
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    ASSERT_EQ(filter.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(shown()[filter.selectionModel()->selectedRows().first().row()], "call the bank");
    filter.setFilterText(QStringLiteral("call the"));
    EXPECT_EQ(shown(), QStringList{"call the bank"});
    EXPECT_EQ(filter.selectionModel()->selectedRows().first().row(), 0);
    filter.setFilterText(QStringLiteral("milk"));
    EXPECT_EQ(list().selectedRow(), nullptr);
}

// What the user just did stays in sight; positions, sorting and the written
// file are the whole list's.
TEST_P(FilteredListTest, ChangesUnderAFilterActOnTheWholeListAndStayShown)
{
    const QByteArray unfiltered = TaskFileEncoder().encode(lists);
    filter.setFilterText(QStringLiteral("call"));
    EXPECT_EQ(TaskFileEncoder().encode(lists), unfiltered);

    editing.addEntry(kTasksTab, QStringLiteral("new and unlike"), QStringLiteral("me"), false);
    EXPECT_EQ(shown(), expectedIn({"call Anna", "call the bank", "new and unlike"}));

    selectShown(static_cast<int>(shown().indexOf("call Anna")));
    const std::optional<EntryChange> update =
        editing.updateEntry(kTasksTab, QStringLiteral("zzz"), QStringLiteral("x"));
    ASSERT_TRUE(update);
    EXPECT_EQ(shown(), expectedIn({"zzz", "call the bank", "new and unlike"}));
    EXPECT_EQ(list().text(list().selectedRow(), Entry::Task), "zzz");
    EXPECT_EQ(filter.rowAt(filter.selectionModel()->selectedRows().first().row()), list().selectedRow());

    list().sortByColumn(Entry::Task + 1);
    EXPECT_EQ(shown(), expectedIn({"zzz", "call the bank", "new and unlike"}));
    EXPECT_EQ(filter.rowAt(filter.selectionModel()->selectedRows().first().row()), list().selectedRow());

    const std::optional<EntryChange> deletion = editing.deleteEntry(kTasksTab);
    ASSERT_TRUE(deletion);
    EXPECT_EQ(shown(), expectedIn({"call the bank", "new and unlike"}));
    // Undone, the entry is back in sight.
    ASSERT_TRUE(ReplaceEntryState(lists, deletion->after, deletion->before).done);
    EXPECT_EQ(shown(), expectedIn({"zzz", "call the bank", "new and unlike"}));

    // A new text forgets what was kept.
    filter.setFilterText(QStringLiteral("cal"));
    EXPECT_EQ(shown(), expectedIn({"call the bank"}));
    EXPECT_EQ(list().count(), 7);
}

// A text holding one searched before is found among that one's rows, as long
// as the list stays as it was.
TEST_P(FilteredListTest, ATextHoldingAnEarlierOneIsFoundAmongItsRows)
{
    filter.setFilterText(QStringLiteral("an"));
    filter.setFilterText(QStringLiteral("bank"));
    EXPECT_EQ(shown(), expectedIn({"call the bank"}));
    editing.addEntry(kTasksTab, QStringLiteral("Bank holiday"), QStringLiteral("me"), false);
    filter.setFilterText(QStringLiteral("ank"));
    EXPECT_EQ(shown(), expectedIn({"call the bank", "Bank holiday"}));
}

// A single letter is found by the letters read ahead alone: they follow every
// sort, insert, change, move and removal of the list, and once no longer read
// ahead, a sort forgets them.
TEST_P(FilteredListTest, LettersReadAheadFollowTheListsChanges)
{
    filter.readLetters();
    list().sortByColumn(Entry::User + 1);
    filter.stopReadingAhead();
    list().sortByColumn(Entry::User + 1);
    filter.readLetters();
    editing.addEntry(kTasksTab, QStringLiteral("Quiz"), QStringLiteral("me"), false);
    editing.addEntry(kTasksTab, QStringLiteral("\u212Aite"), QStringLiteral("me"), false); // Kelvin sign
    const auto select = [&](const QString &task) {
        for (int position = 1; position <= list().count(); ++position) {
            if (list().text(list().rowAt(position), Entry::Task) == task)
                list().selectionModel()->setCurrentIndex(
                    list().index(position - 1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    };
    select(QStringLiteral("pay rent"));
    ASSERT_TRUE(editing.updateEntry(kTasksTab, QStringLiteral("Jog"), QStringLiteral("zed")));
    select(QStringLiteral("buy milk"));
    ASSERT_TRUE(editing.deleteEntry(kTasksTab));

    const auto found = [&](const char *letter) {
        filter.setFilterText(QString::fromLatin1(letter));
        return shown();
    };
    EXPECT_EQ(found("q"), expectedIn({"Quiz"}));
    EXPECT_EQ(found("J"), expectedIn({"Jog"}));
    EXPECT_EQ(found("y"), QStringList());
    EXPECT_EQ(found("z"), expectedIn({"Quiz", "Jog"}));
    EXPECT_EQ(found("k"), expectedIn({"call the bank", "book hotel", "\u212Aite"}));
    EXPECT_EQ(found("i"), expectedIn({"Quiz", "\u212Aite", "book hotel"}));
}

INSTANTIATE_TEST_SUITE_P(SortedAndUnsorted, FilteredListTest, ::testing::Bool());

// A long list is searched in parts, and narrowed, without a row lost or
// doubled where they meet: a chunk at once, the selected entry's first, and
// the rest as the event loop turns or before the list changes.
TEST(FilteredList, LongListsFindEveryMatchOnce)
{
    CategoryList list(QStringLiteral("long"));
    constexpr int kRows = 450001;
    std::vector<std::unique_ptr<Entry>> entries;
    for (int row = 0; row < kRows; ++row)
        entries.push_back(Entry::create(1, row % 7 ? u"plain" : u"a Needle", u"", u"", row % 11 ? u"" : u"NEEDLEs"));
    list.appendAll(std::move(entries));
    FilteredList filter(list);
    QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::Warning);
    filter.setTimeToShow(std::chrono::milliseconds(0));
    const auto expectShown = [&](const std::function<bool(int)> &matching) {
        ASSERT_FALSE(filter.isSearching());
        int expected = 0;
        for (int row = 0; row < list.count(); ++row) {
            if (matching(row)) {
                ASSERT_EQ(filter.mapToSource(filter.index(expected, 0)).row(), row);
                ++expected;
            }
        }
        EXPECT_EQ(filter.rowCount(), expected);
    };
    constexpr int kSelected = 7 * 64284; // in the last chunk
    list.selectionModel()->setCurrentIndex(list.index(kSelected, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    filter.setFilterText(QStringLiteral("needle"));
    ASSERT_TRUE(filter.isSearching());
    EXPECT_EQ(list.selectionModel()->selectedRows().value(0).row(), kSelected);
    EXPECT_EQ(filter.mapToSource(filter.selectionModel()->selectedRows().value(0)).row(), kSelected);
    // Narrowed among the rows found so far and those still to search.
    filter.setFilterText(QStringLiteral("needles"));
    // A sanitizer build searches many times slower: the wait is generous.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !filter.isSearching(); }, 120000));
    expectShown([](int row) { return row % 11 == 0; });

    filter.setFilterText(QStringLiteral("a needle"));
    ASSERT_TRUE(filter.isSearching());
    list.insertAtTop(Entry::create(1, u"new", u"", u"", u""));
    expectShown([](int row) { return row == 0 || (row - 1) % 7 == 0; });
    // The letters, read as the search went, followed the insert.
    filter.setFilterText(QStringLiteral("d"));
    filter.finishSearch();
    expectShown([](int row) { return row > 0 && ((row - 1) % 7 == 0 || (row - 1) % 11 == 0); });
}

// Rows put in many at once, as a change of many entries brings, have their
// letters read later rather than at once, whether read ahead or not.
TEST(FilteredList, ManyRowsPutInAtOnceAreFoundByTheirLetters)
{
    CategoryList list(QStringLiteral("many"));
    list.append(Entry::create(1, u"old needle", u"", u"", u""));
    FilteredList filter(list);
    for (const bool readingAhead : {true, false}) {
        filter.readLetters();
        if (!readingAhead)
            filter.stopReadingAhead();
        EntryRows rows;
        for (int row = 0; row < 70000; ++row)
            rows.push_back(Entry::create(1, row % 5 ? u"plain" : u"new needle", u"", u"", u""));
        list.appendMany(std::move(rows));
        filter.setFilterText(QStringLiteral("needle"));
        filter.finishSearch();
        EXPECT_EQ(filter.rowCount(), 1 + (readingAhead ? 1 : 2) * 14000) << readingAhead;
        filter.setFilterText(QString());
    }
}

// Rows put in and taken out anywhere, in runs longer than a word, keep every
// other row's place in the set and its count before it.
TEST(RowBits, FollowsInsertedAndRemovedRowsAcrossWords)
{
    std::vector<bool> expected(1000);
    std::vector<quint64> words(16);
    for (size_t row = 0; row < expected.size(); ++row) {
        expected[row] = row % 3 == 0 || row % 7 == 0;
        if (expected[row])
            words[row / 64] |= quint64(1) << (row % 64);
    }
    RowBits bits(std::move(words), expected.size());
    const auto check = [&] {
        ASSERT_EQ(bits.rows(), expected.size());
        size_t before = 0;
        for (size_t row = 0; row < expected.size(); ++row) {
            ASSERT_EQ(bits.contains(row), expected[row]) << row;
            ASSERT_EQ(bits.countBefore(row), before) << row;
            if (expected[row]) {
                ASSERT_EQ(bits.nth(before++), row);
            }
        }
        EXPECT_EQ(bits.count(), before);
    };
    check();
    bits.insertRows(70, 130, true);
    expected.insert(expected.begin() + 70, 130, true);
    check();
    bits.insertRows(0, 5, false);
    expected.insert(expected.begin(), 5, false);
    check();
    bits.removeRows(63, 200);
    expected.erase(expected.begin() + 63, expected.begin() + 263);
    check();
    bits.insertRows(expected.size(), 64, false);
    expected.insert(expected.end(), 64, false);
    bits.insert(expected.size() - 1);
    expected.back() = true;
    check();
}
