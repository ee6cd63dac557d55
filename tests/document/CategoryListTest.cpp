#include "document/CategoryList.h"

#include "document/TaskLists.h"

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
        out << list.subItem(list.rowAt(p), CategoryList::TaskText);
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
    EXPECT_EQ(list.subItem(c, CategoryList::StatusText), QStringLiteral("7"));
    list.removeAt(2);
    EXPECT_EQ(list.positionOf(b), 0);
    EXPECT_EQ(tasks(list), (QStringList{"a", "c"}));
    list.setStatus(c, 1.5);
    EXPECT_EQ(list.subItem(c, CategoryList::StatusText), QStringLiteral("1.5"));
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
    list.setSorting(CategoryList::StatusText, CategoryList::Ascending, true);
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

TEST(CategoryList, TextOrderIsCaseFoldedThenExact)
{
    CategoryList list(QStringLiteral("lvwTasks"));
    for (const char *t : {"b", "B", "a", "\xc3\x84rger", "A", "\xc3\xa4rger", "10", "9"})
        list.append(entry(1, QString::fromUtf8(t)));
    list.setSorting(CategoryList::TaskText, CategoryList::Ascending, true);
    EXPECT_EQ(tasks(list),
              (QStringList{"10", "9", "A", "a", "B", "b", QString::fromUtf8("\xc3\x84rger"),
                           QString::fromUtf8("\xc3\xa4rger")}));
}

TEST(CategoryList, SelectionFollowsItsRowThroughSortAndMoves)
{
    CategoryList list(QStringLiteral("lvwCompleted"));
    list.addColumn(QStringLiteral("Status"), QString());
    list.addColumn(QStringLiteral("Task"), QStringLiteral("Task"));
    for (const char *t : {"d", "b", "a", "c"})
        list.append(entry(2, QString::fromLatin1(t)));
    Row b = list.rowAt(2);
    list.selectionModel()->select(list.index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list.setSorting(CategoryList::TaskText, CategoryList::Ascending, true);
    EXPECT_EQ(list.selectedRow(), b);
    EXPECT_EQ(list.positionOf(b), 2);
    list.setSubItem(b, CategoryList::TaskText, QStringLiteral("z"));
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
    list.setSorting(CategoryList::TaskText, CategoryList::Descending, true);
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
            list.setSubItem(list.rowAt(p), CategoryList::TaskText, task);
            expected.erase(expected.begin() + p - 1);
            moved.first = task;
            auto at = std::find_if(expected.begin(), expected.end(),
                                   [&](const auto &e) { return CompareSortTexts(e.first, task) < 0; });
            expected.insert(at, moved);
        }
        ASSERT_EQ(list.count(), static_cast<int>(expected.size()));
        for (int p = 1; p <= list.count(); ++p) {
            ASSERT_EQ(list.subItem(list.rowAt(p), CategoryList::TaskText), expected[p - 1].first);
            ASSERT_EQ(list.subItem(list.rowAt(p), CategoryList::AddedDate), QString::number(expected[p - 1].second));
        }
    }
}

// Keys that tie for many units, differ only in case, hold characters outside
// the Basic Multilingual Plane, lone surrogates, U+0000 and U+FFFF: sorting
// must give exactly what a stable sort by CompareSortTexts gives, in both
// directions and when a sorted list is turned round.
TEST(CategoryList, SortingLargeListsMatchesAStableSortByCompareSortTexts)
{
    const QList<QString> units = {QStringLiteral("a"),
                                  QStringLiteral("A"),
                                  QStringLiteral("b"),
                                  QStringLiteral("B"),
                                  QStringLiteral(" "),
                                  QString::fromUtf16(u"\u00e4\u00c4"),
                                  QString::fromUtf16(u"\u00df"),
                                  QString::fromUtf16(u"\u1e9e"),
                                  QString::fromUtf16(u"\u0130"),
                                  QString::fromUtf16(u"\u03c3"),
                                  QString::fromUtf16(u"\u03a3"),
                                  QString::fromUtf16(u"\u03c2"),
                                  QString::fromUtf16(u"\U00010400"),
                                  QString::fromUtf16(u"\U00010428"),
                                  QString::fromUtf16(u"\U0001F600"),
                                  QString(QChar(0xD800)),
                                  QString(QChar(0xDC00)),
                                  QString(QChar(0)),
                                  QString(QChar(0xFFFF))};
    const QList<QString> stems = {QString(),
                                  QStringLiteral("call the supplier"),
                                  QStringLiteral("Call the Supplier"),
                                  QStringLiteral("call the sup"),
                                  QStringLiteral("12345678"),
                                  QStringLiteral("1234567")};
    QRandomGenerator random(7);
    const auto randomKey = [&] {
        QString key = stems[random.bounded(stems.size())];
        const int extra = random.bounded(12);
        for (int i = 0; i < extra; ++i)
            key += units[random.bounded(units.size())];
        return key;
    };

    for (const int sortKey : {int(CategoryList::TaskText), int(CategoryList::StatusText)}) {
        CategoryList list(QStringLiteral("lvwTasks"));
        QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Warning);
        const double statuses[] = {1, 7, 2, 1.5, -2, 10, 0};
        for (int serial = 0; serial < 3000; ++serial)
            list.append(Entry::create(statuses[random.bounded(7)], randomKey(), QString::number(serial), u"", u""));

        const auto rows = [&] {
            std::vector<std::pair<QString, QString>> out; // key and serial
            for (int p = 1; p <= list.count(); ++p)
                out.emplace_back(list.subItem(list.rowAt(p), sortKey),
                                 list.subItem(list.rowAt(p), CategoryList::AddedDate));
            return out;
        };
        const auto stablySorted = [](auto sequence, int order) {
            std::stable_sort(sequence.begin(), sequence.end(), [order](const auto &a, const auto &b) {
                const int c = CompareSortTexts(a.first, b.first);
                return order == CategoryList::Descending ? c > 0 : c < 0;
            });
            return sequence;
        };
        // Unsorted to ascending, turned round, back again, then a fresh
        // descending sort from another key's order.
        const std::pair<int, int> steps[] = {{sortKey, CategoryList::Ascending},
                                             {sortKey, CategoryList::Descending},
                                             {sortKey, CategoryList::Ascending},
                                             {CategoryList::UserText, CategoryList::Ascending},
                                             {sortKey, CategoryList::Descending}};
        for (const auto &[key, order] : steps) {
            const auto expected = stablySorted(rows(), order);
            list.setSorting(key, order, true);
            if (key == sortKey) {
                ASSERT_EQ(rows(), expected) << "key " << key << " order " << order;
            }
        }
    }
}

TEST(TaskLists, ClearAllListsKeepsSortSettings)
{
    TaskLists lists;
    lists.lvwTasks.setSorting(CategoryList::StatusText, CategoryList::Descending, true);
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
