#include "entries/CategoryList.h"

#include "entries/TaskLists.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<Entry> entry(double status, const QString &task, const QString &user = {})
{
    return Entry::create(status, task, u"added", u"", user);
}

QStringList tasks(const CategoryList &list)
{
    QStringList out;
    for (int p = 1; p <= list.count(); ++p)
        out << list.text(list.rowAt(p), Entry::Task);
    return out;
}

} // namespace

TEST(Entry, FieldsChangeIndependently)
{
    auto e = Entry::create(1, u"task", u"added", u"", u"user");
    EXPECT_EQ(e->field(Entry::MainText), u"");
    EXPECT_EQ(e->field(Entry::Task), u"task");
    EXPECT_EQ(e->field(Entry::Edited), u"");
    e->setField(Entry::Edited, u"now");
    e->setField(Entry::Task, u"a longer task");
    e->setField(Entry::MainText, u"7");
    e->setField(Entry::User, u"");
    EXPECT_EQ(e->field(Entry::MainText), u"7");
    EXPECT_EQ(e->field(Entry::Task), u"a longer task");
    EXPECT_EQ(e->field(Entry::Added), u"added");
    EXPECT_EQ(e->field(Entry::Edited), u"now");
    EXPECT_EQ(e->field(Entry::User), u"");
}

// Texts grow past the room they were made with, shrink, and are set from
// the entry's own fields.
TEST(Entry, RandomChangesKeepEveryField)
{
    QRandomGenerator random(11);
    const auto randomText = [&] {
        QString text;
        const int size = random.bounded(4) == 0 ? random.bounded(300) : random.bounded(12);
        for (int i = 0; i < size; ++i)
            text += QChar(u'a' + random.bounded(26));
        return text;
    };
    for (int round = 0; round < 50; ++round) {
        std::array<QString, Entry::FieldCount> expected = {QString(), randomText(), randomText(), randomText(),
                                                           randomText()};
        auto e = Entry::create(1, expected[1], expected[2], expected[3], expected[4]);
        for (int step = 0; step < 40; ++step) {
            const int which = random.bounded(Entry::FieldCount);
            if (random.bounded(5) == 0) {
                const int from = random.bounded(Entry::FieldCount);
                expected[which] = expected[from];
                e->setField(which, e->field(from));
            } else {
                expected[which] = randomText();
                e->setField(which, expected[which]);
            }
            for (int field = 0; field < Entry::FieldCount; ++field)
                ASSERT_EQ(e->field(field), expected[field]) << round << " " << step << " " << field;
        }
    }
}

TEST(CategoryList, PositionsAndHandles)
{
    CategoryList list(QStringLiteral("lvwTasks"));
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Warning);
    Row b = list.append(entry(1, QStringLiteral("b")));
    Row a = list.insertAtTop(entry(1, QStringLiteral("a")));
    Row c = list.append(entry(7, QStringLiteral("c")));
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.rowAt(1), a);
    EXPECT_EQ(list.positionOf(c), 3);
    EXPECT_EQ(list.rowAt(0), nullptr);
    EXPECT_EQ(list.rowAt(4), nullptr);
    EXPECT_EQ(list.text(c, Entry::StatusText), QStringLiteral("7"));
    list.removeAt(2);
    EXPECT_EQ(list.positionOf(b), 0);
    EXPECT_EQ(tasks(list), (QStringList{"a", "c"}));
    list.setStatus(c, 1.5);
    EXPECT_EQ(list.text(c, Entry::StatusText), QStringLiteral("1.5"));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST(CategoryList, SortedListKeepsItsOrderStably)
{
    CategoryList list(QStringLiteral("lvwTasks"));
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Warning);
    list.append(entry(7, QStringLiteral("q1")));
    list.append(entry(1, QStringLiteral("t1")));
    list.append(entry(7, QStringLiteral("q2")));
    list.append(entry(1, QStringLiteral("t2")));
    list.setSorting(Entry::StatusText, CategoryList::Ascending, true);
    EXPECT_EQ(tasks(list), (QStringList{"t1", "t2", "q1", "q2"}));

    // Appended rows go after equal keys, rows inserted at the top before them.
    list.append(entry(1, QStringLiteral("t3")));
    list.insertAtTop(entry(7, QStringLiteral("q0")));
    EXPECT_EQ(tasks(list), (QStringList{"t1", "t2", "t3", "q0", "q1", "q2"}));

    // A changed key re-places the row after the rows with an equal key.
    list.setStatus(list.rowAt(1), 7);
    EXPECT_EQ(tasks(list), (QStringList{"t2", "t3", "q0", "q1", "q2", "t1"}));

    // Descending keeps equal keys in their present order.
    list.setSorting(list.SortKey(), CategoryList::Descending, list.Sorted());
    EXPECT_EQ(tasks(list), (QStringList{"q0", "q1", "q2", "t1", "t2", "t3"}));
    list.append(entry(7, QStringLiteral("q3")));
    EXPECT_EQ(tasks(list), (QStringList{"q0", "q1", "q2", "t1", "q3", "t2", "t3"}));
}

TEST(CategoryList, SelectionFollowsItsRowThroughSortAndMoves)
{
    CategoryList list(QStringLiteral("lvwCompleted"));
    for (const char *t : {"d", "b", "a", "c"})
        list.append(entry(2, QString::fromLatin1(t)));
    Row b = list.rowAt(2);
    list.selectionModel()->select(list.index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list.setSorting(Entry::Task, CategoryList::Ascending, true);
    EXPECT_EQ(list.selectedRow(), b);
    EXPECT_EQ(list.positionOf(b), 2);
    list.setText(b, Entry::Task, QStringLiteral("z"));
    EXPECT_EQ(list.positionOf(b), 4);
    EXPECT_EQ(list.selectedRow(), b);
    list.removeAt(1);
    EXPECT_EQ(list.selectedRow(), b);
    list.removeAt(list.positionOf(b));
    EXPECT_EQ(list.selectedRow(), nullptr);
}

TEST(CategoryList, ManyRandomEditsMatchASimpleModel)
{
    // Against a plain vector that is stably re-sorted after every step.
    CategoryList list(QStringLiteral("lvwTasks"));
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Warning);
    list.setSorting(Entry::Task, CategoryList::Descending, true);
    QRandomGenerator random(42);
    std::vector<std::pair<QString, int>> expected; // task and serial, in display order
    int serial = 0;
    auto key = [](const QString &t) { return t; };
    for (int step = 0; step < 400; ++step) {
        const QString task = QString::number(random.bounded(6));
        const int action = random.bounded(3);
        if (action == 0 || expected.empty()) {
            list.append(Entry::create(1, task, QString::number(serial), u"", u""));
            auto at = std::find_if(expected.begin(), expected.end(),
                                   [&](const auto &e) { return CompareSortTexts(key(e.first), task) < 0; });
            expected.insert(at, {task, serial++});
        } else if (action == 1) {
            const int p = random.bounded(list.count()) + 1;
            list.removeAt(p);
            expected.erase(expected.begin() + p - 1);
        } else {
            const int p = random.bounded(list.count()) + 1;
            auto moved = expected[p - 1];
            list.setText(list.rowAt(p), Entry::Task, task);
            expected.erase(expected.begin() + p - 1);
            moved.first = task;
            auto at = std::find_if(expected.begin(), expected.end(),
                                   [&](const auto &e) { return CompareSortTexts(e.first, task) < 0; });
            expected.insert(at, moved);
        }
        ASSERT_EQ(list.count(), static_cast<int>(expected.size()));
        for (int p = 1; p <= list.count(); ++p) {
            ASSERT_EQ(list.text(list.rowAt(p), Entry::Task), expected[p - 1].first);
            ASSERT_EQ(list.text(list.rowAt(p), Entry::Added), QString::number(expected[p - 1].second));
        }
    }
}

TEST(TaskLists, ClearAllListsKeepsSortSettings)
{
    TaskLists lists;
    lists.lvwTasks.setSorting(Entry::StatusText, CategoryList::Descending, true);
    for (double status : {1.0, 2.0, 3.0, 6.0, 8.0, 0.0})
        lists.listForStatus(status).append(entry(status, QStringLiteral("x")));
    EXPECT_EQ(lists.lvwUnresolved.count(), 2);
    lists.ClearAllLists();
    for (CategoryList *list : lists.all())
        EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(lists.lvwTasks.Sorted());
    EXPECT_EQ(lists.lvwTasks.SortOrder(), CategoryList::Descending);
    EXPECT_EQ(lists.lvwTasks.name(), QStringLiteral("lvwTasks"));
}
