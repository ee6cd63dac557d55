#include "main_window/CategoryListView.h"

#include "find/FilteredList.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CategoryListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view.addColumn(QStringLiteral("Status"), QString());
        view.addColumn(QStringLiteral("Task"), QStringLiteral("Task"));
        for (const char *task : {"one", "two", "three"})
            list.append(Entry::create(1, QString::fromLatin1(task), u"", u"", u""));
        view.resize(300, 200);
        view.show();
        QCoreApplication::processEvents();
    }

    QPoint rowCenter(int position) const { return view.visualRect(list.index(position - 1, 1)).center(); }

    CategoryList list{QStringLiteral("lvwTasks")};
    CategoryListView view{list};
    QSignalSpy mouseDowns{&view, &CategoryListView::MouseDown};
    QSignalSpy clicks{&view, &CategoryListView::ItemClick};
};

} // namespace

TEST_F(CategoryListViewTest, SharesTheListsSelection)
{
    EXPECT_EQ(view.selectionModel(), list.selectionModel());
    EXPECT_EQ(view.objectName(), QStringLiteral("lvwTasks"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowCenter(2));
    EXPECT_EQ(list.selectedRow(), list.rowAt(2));
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(CategoryListViewTest, EveryButtonClicksARowAfterReportingItsPress)
{
    const std::pair<Qt::MouseButton, int> buttons[] = {
        {Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
    int position = 1;
    for (const auto &[button, code] : buttons) {
        mouseDowns.clear();
        clicks.clear();
        // Seen from the mouse-down report, the press has not selected yet.
        Row selectedAtPress = list.rowAt(position);
        auto connection =
            QObject::connect(&view, &CategoryListView::MouseDown, [&] { selectedAtPress = list.selectedRow(); });
        QTest::mouseClick(view.viewport(), button, {}, rowCenter(position));
        QObject::disconnect(connection);

        ASSERT_EQ(mouseDowns.size(), 1);
        EXPECT_EQ(mouseDowns[0][0].toInt(), code);
        EXPECT_NE(selectedAtPress, list.rowAt(position));
        ASSERT_EQ(clicks.size(), 1);
        EXPECT_EQ(clicks[0][0].value<Row>(), list.rowAt(position));
        EXPECT_EQ(list.selectedRow(), list.rowAt(position));
        position = position % 3 + 1;
    }
}

TEST_F(CategoryListViewTest, ReleasingElsewhereClicksNothing)
{
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, rowCenter(1));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, rowCenter(3));
    EXPECT_EQ(mouseDowns.size(), 1);
    EXPECT_EQ(clicks.size(), 0);

    // A press on the empty area below the rows reports the button only.
    const QPoint below(10, view.viewport()->height() - 2);
    ASSERT_FALSE(view.indexAt(below).isValid());
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, below);
    EXPECT_EQ(mouseDowns.size(), 2);
    EXPECT_EQ(clicks.size(), 0);
}

TEST_F(CategoryListViewTest, EachPressOfADoubleClickCounts)
{
    // What the window system delivers for a double click.
    const QPoint at = rowCenter(2);
    const QPointF global = view.viewport()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }
    EXPECT_EQ(mouseDowns.size(), 2);
    EXPECT_EQ(clicks.size(), 2);
}

TEST_F(CategoryListViewTest, MenuKeyAsksOnceForTheMenuAndOtherKeysStillMove)
{
    QSignalSpy asks(&view, &CategoryListView::ContextMenuKey);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowCenter(3));

    // What X11 delivers for the menu key: a request at the pointer, then the key itself.
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(1, 1), view.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&view, &request);
    EXPECT_TRUE(request.isAccepted());
    QTest::keyClick(&view, Qt::Key_Menu);
    EXPECT_EQ(asks.size(), 1);

    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(list.selectedRow(), list.rowAt(2));
    EXPECT_EQ(asks.size(), 1);
}

// Rows that a search finds after the view has shown its first rows come in
// without moving the rows in view, the selected entry among them.
TEST_F(CategoryListViewTest, RowsFoundLaterAboveThoseInViewLeaveThemInPlace)
{
    constexpr int kRows = 200000; // more than one chunk of rows searched at once
    std::vector<std::unique_ptr<Entry>> entries;
    for (int row = 0; row < kRows; ++row)
        entries.push_back(Entry::create(1, QStringLiteral("needle %1").arg(row), u"", u"", u""));
    list.appendAll(std::move(entries));
    list.selectionModel()->setCurrentIndex(list.index(list.count() - 1, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    FilteredList filter(list);
    filter.setTimeToShow(std::chrono::milliseconds(0));
    filter.setFilterText(QStringLiteral("needle"));
    view.showFiltered(&filter);
    view.scrollToSelected();
    ASSERT_TRUE(filter.isSearching());
    const Row top = filter.rowAt(view.rowAt(0));
    ASSERT_TRUE(top);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !filter.isSearching(); }));
    EXPECT_EQ(filter.rowCount(), kRows);
    EXPECT_EQ(filter.rowAt(view.rowAt(0)), top);
    EXPECT_TRUE(view.visualRect(filter.index(filter.rowCount() - 1, 1)).intersects(view.viewport()->rect()));
    view.showFiltered(nullptr);
}
