#include "entries/Status.h"
#include "main_window/MainWindowFixture.h"

#include <QFile>
#include <QHeaderView>
#include <QTabBar>
#include <QTemporaryDir>

#include <algorithm>
#include <tuple>

namespace {

// A list's sort key, direction and whether it is sorted.
using Settings = std::tuple<int, int, bool>;

class ColumnSortTest : public MainWindowTest
{
protected:
    Settings settings(int tab) const
    {
        const CategoryList &l = list(tab);
        return {l.SortKey(), l.SortOrder(), l.Sorted()};
    }

    // Clicks a header section the way the user does.
    void clickHeader(int tab, int columnIndex) const
    {
        QHeaderView *header = view(tab)->header();
        const int section = columnIndex - 1;
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    // The texts of one sub-item column, top to bottom.
    QStringList column(int tab, int subItem) const
    {
        QStringList texts;
        for (int position = 1; position <= list(tab).count(); ++position)
            texts.append(list(tab).text(list(tab).rowAt(position), subItem));
        return texts;
    }

    QStringList tasks(int tab) const { return column(tab, Entry::Task); }

    // Where the header shows the sort: its section and direction, or nothing.
    QString indicator(int tab) const
    {
        const QHeaderView *header = view(tab)->header();
        if (!header->isSortIndicatorShown())
            return QStringLiteral("none");
        return QStringLiteral("%1 %2")
            .arg(header->sortIndicatorSection())
            .arg(header->sortIndicatorOrder() == Qt::AscendingOrder ? "up" : "down");
    }

    void writeFile(const QString &path, const QByteArray &rows) const
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("Status;Task;Added;Edited;User\r\n" + rows);
    }
};

} // namespace

TEST_F(ColumnSortTest, SameColumnReversesAnotherKeepsTheDirection)
{
    open();
    const auto add = [this](int status, const char *task, const char *added, const char *edited, const char *user) {
        list(0).append(Entry::create(status, QString::fromLatin1(task), QString::fromLatin1(added),
                                     QString::fromLatin1(edited), QString::fromLatin1(user)));
    };
    add(Status_Question, "b", "3", "1", "z");
    add(Status_Incomplete, "c", "1", "2", "x");
    add(Status_Incomplete, "a", "2", "3", "y");
    EXPECT_EQ(indicator(0), QStringLiteral("none"));

    struct Step {
        int column;
        Settings after;
        const char *indicator;
    };
    const Step steps[] = {
        {2, {1, 0, true}, "1 up"}, // Task: a new key keeps the ascending start
        {2, {1, 1, true}, "1 down"}, // Task again reverses
        {3, {2, 1, true}, "2 down"}, // Added keeps descending
        {1, {5, 1, true}, "0 down"}, // Status sorts by the hidden status texts
        {6, {5, 0, true}, "0 up"}, // Status_Hidden is the same key, so it reverses
        {1, {5, 1, true}, "0 down"}, // and so does Status after it
        {4, {3, 1, true}, "3 down"}, // Edited
        {5, {4, 1, true}, "4 down"}, // User
        {5, {4, 0, true}, "4 up"},
    };
    for (const Step &step : steps) {
        // Status_Hidden is zero wide: no pointer can reach it.
        if (step.column == 6)
            window->lvwTasks_ColumnClick(step.column);
        else
            clickHeader(0, step.column);
        EXPECT_EQ(settings(0), step.after) << "column " << step.column;
        EXPECT_EQ(indicator(0), QLatin1String(step.indicator)) << "column " << step.column;
        const auto [key, order, sorted] = step.after;
        const QStringList texts = column(0, key);
        QStringList ordered = texts;
        std::stable_sort(ordered.begin(), ordered.end());
        if (order == CategoryList::Descending)
            std::reverse(ordered.begin(), ordered.end());
        EXPECT_EQ(texts, ordered) << "column " << step.column;
    }
    EXPECT_FALSE(window->document().isDirty());

    // The comparison is with the key, sorted or not; any direction but
    // descending turns into descending.
    list(1).setSorting(Entry::Task, 7, false);
    window->lvwCompleted_ColumnClick(2);
    EXPECT_EQ(settings(1), (Settings{1, 1, true}));
    list(1).setSorting(Entry::User, CategoryList::Descending, false);
    window->lvwCompleted_ColumnClick(5);
    EXPECT_EQ(settings(1), (Settings{4, 0, true}));
}

TEST_F(ColumnSortTest, SortingOneListLeavesTheOthersAlone)
{
    open();
    const int statuses[] = {Status_Incomplete, Status_Complete, Status_Moved, Status_Information, Status_Request};
    for (int tab = 0; tab < 5; ++tab) {
        for (const char *task : {"b", "c", "a"})
            addRow(tab, statuses[tab], QLatin1String(task));
    }
    list(3).setSorting(Entry::User, CategoryList::Ascending, false);

    for (int tab = 0; tab < 5; ++tab) {
        tabMain()->tabBar()->setCurrentIndex(tab);
        Settings before[5];
        QStringList orders[5];
        for (int other = 0; other < 5; ++other) {
            before[other] = settings(other);
            orders[other] = tasks(other);
        }
        clickHeader(tab, 2);
        clickHeader(tab, 2);
        EXPECT_EQ(tasks(tab), QStringList({"c", "b", "a"})) << ListNames[tab];
        for (int other = 0; other < 5; ++other) {
            if (other == tab)
                continue;
            EXPECT_EQ(settings(other), before[other]) << ListNames[other];
            EXPECT_EQ(tasks(other), orders[other]) << ListNames[other];
            EXPECT_EQ(indicator(other), other < tab ? QStringLiteral("1 down") : QStringLiteral("none"));
        }
    }
    EXPECT_FALSE(window->document().isDirty());
}

TEST_F(ColumnSortTest, AfterAFileIsReadTheFirstStatusClickReverses)
{
    QTemporaryDir dir;
    const QString withTasks = dir.filePath(QStringLiteral("tasks.tvk"));
    writeFile(withTasks, "1;one;a;;u\r\n7;why;a;;u\r\n1;two;a;;u\r\n2;done;a;;u\r\n");
    open(withTasks);
    EXPECT_EQ(settings(0), (Settings{5, 0, true}));
    EXPECT_EQ(indicator(0), QStringLiteral("0 up"));
    EXPECT_EQ(tasks(0), QStringList({"one", "two", "why"}));
    clickHeader(0, 1);
    EXPECT_EQ(settings(0), (Settings{5, 1, true}));
    EXPECT_EQ(indicator(0), QStringLiteral("0 down"));
    EXPECT_EQ(tasks(0), QStringList({"why", "one", "two"}));
    EXPECT_FALSE(window->document().isDirty());

    // Also a file without tasks puts the Tasks list back on the status key,
    // and its header shows that.
    clickHeader(0, 5);
    ASSERT_EQ(indicator(0), QStringLiteral("4 down"));
    const QString withoutTasks = dir.filePath(QStringLiteral("done.tvk"));
    writeFile(withoutTasks, "2;done;a;;u\r\n");
    dialogs.choose(withoutTasks);
    window->mnuFile_Open_Click();
    EXPECT_EQ(list(0).count(), 0);
    EXPECT_EQ(settings(0), (Settings{5, 1, true}));
    EXPECT_EQ(indicator(0), QStringLiteral("0 down"));
    clickHeader(0, 1);
    EXPECT_EQ(settings(0), (Settings{5, 0, true}));
    EXPECT_EQ(indicator(0), QStringLiteral("0 up"));
}
