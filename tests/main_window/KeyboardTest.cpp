#include "main_window/MainWindowFixture.h"

#include <QAccessible>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>

namespace {

using Answer = Dialogs::Answer;

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

} // namespace

// Screen readers hear each control by a name: the lists by their tabs, the
// task box as "Task", the user box by its label, the status picture by the
// status's name under a "Status" header.
TEST_F(MainWindowTest, AssistiveToolsHearEveryControlByName)
{
    open();
    const QStringList listNames = {"Tasks", "Completed", "Unresolved", "Information", "Requests"};
    for (int tab = 0; tab < 5; ++tab) {
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(view(tab));
        EXPECT_EQ(table->text(QAccessible::Name), listNames[tab]);
        EXPECT_FALSE(table->text(QAccessible::Description).isEmpty());
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(txtTask())->text(QAccessible::Name), QStringLiteral("Task"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(txtUser())->text(QAccessible::Name), QStringLiteral("User"));
    for (const char *name : {"btnNew", "btnUpdate", "btnDelete", "optTask", "optQuestion"})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(control(name))->text(QAccessible::Description).isEmpty());

    addRow(0, 7, QStringLiteral("why?"));
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(view(0))->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("Question"));
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("why?"));
    const QList<QAccessibleInterface *> headers = table->cellAt(0, 0)->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0]->text(QAccessible::Name), QStringLiteral("Status"));
    EXPECT_TRUE(view(0)->model()->headerData(0, Qt::Horizontal).toString().isEmpty());
    EXPECT_TRUE(table->cellAt(0, 1)->tableCellInterface()->rowHeaderCells().isEmpty());

    // The hidden status column is none that a reader shows or reads, even
    // with the window wide enough for every column.
    window->resize(pxX(30000), window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(table->columnCount(), 5);
    EXPECT_FALSE(table->cellAt(0, Entry::User)->state().invisible);
    EXPECT_EQ(table->cellAt(0, Entry::StatusText), nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view(0))->childCount(), 5 * 2);

    // Each header's action "sort" sorts as a click on it does, and so does
    // Ctrl+Shift and the column's number.
    addRow(0, 1, QStringLiteral("a task"));
    QAccessibleActionInterface *task =
        table->cellAt(0, 1)->tableCellInterface()->columnHeaderCells().at(0)->actionInterface();
    ASSERT_NE(task, nullptr);
    ASSERT_EQ(task->actionNames(), QStringList{QStringLiteral("sort")});
    task->doAction(QStringLiteral("sort"));
    EXPECT_TRUE(list(0).Sorted());
    EXPECT_EQ(list(0).SortKey(), Entry::Task);
    const int order = list(0).SortOrder();
    task->doAction(QStringLiteral("sort"));
    EXPECT_NE(list(0).SortOrder(), order);
    window->activateWindow();
    view(0)->setFocus();
    QTest::keyClick(view(0), Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(list(0).SortKey(), Entry::User);
    QTest::keyClick(view(0), Qt::Key_1, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(list(0).SortKey(), Entry::StatusText);
}

// Alt+U presses Update while the editing pane has the focus, so the typed
// text goes into the entry; anywhere else it shows the Unresolved tab.
TEST_F(MainWindowTest, AltUUpdatesFromThePaneAndSwitchesTabsElsewhere)
{
    open();
    window->activateWindow();
    addRow(0, 1, QStringLiteral("old"));
    select(0, 1);
    for (const char *paneControl : {"txtTask", "txtUser", "btnNew", "optQuestion"}) {
        SCOPED_TRACE(paneControl);
        txtTask()->setPlainText(QStringLiteral("typed"));
        control(paneControl)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier);
        EXPECT_EQ(tabMain()->currentIndex(), 0);
        EXPECT_EQ(list(0).text(list(0).rowAt(1), Entry::Task), QStringLiteral("typed"));
        list(0).setText(list(0).rowAt(1), Entry::Task, QString());
    }

    view(0)->setFocus();
    QTest::keyClick(view(0), Qt::Key_U, Qt::AltModifier);
    EXPECT_EQ(tabMain()->currentIndex(), 2);
    // A mnemonic of one control alone still reaches it from anywhere.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(tabMain()->currentIndex(), 0);
}

// The File commands' keys, the close request's keys, Delete in a list and
// Ctrl+Return in the task box; the menus show none of them.
TEST_F(MainWindowTest, KeysReachTheCommandsTheyName)
{
    open();
    window->activateWindow();
    txtTask()->setFocus();
    txtTask()->setPlainText(QStringLiteral("by key"));
    QTest::keyClick(txtTask(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(txtTask(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    ASSERT_EQ(list(0).count(), 2);
    EXPECT_EQ(list(0).text(list(0).rowAt(1), Entry::Task), QString());
    EXPECT_EQ(list(0).text(list(0).rowAt(2), Entry::Task), QStringLiteral("by key"));

    select(0, 1);
    view(0)->setFocus();
    dialogs.answer(Answer::Yes);
    QTest::keyClick(view(0), Qt::Key_Delete);
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("Remove selected entry?"));
    EXPECT_EQ(dialogs.messages().last().byDefault, Dialogs::Default::Cautious);
    EXPECT_EQ(list(0).count(), 1);

    // With no file yet, Save asks where to save, as Save As does.
    dialogs.answer(Answer::Cancel);
    QTest::keyClick(view(0), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.messages().last().text.startsWith(QStringLiteral("No file specified to save to!")));
    dialogs.choose(QString());
    QTest::keyClick(view(0), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs.fileChoices().size(), 1);
    dialogs.answer(Answer::Cancel);
    QTest::keyClick(view(0), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("ToDo-list has been edited! Save Changes?"));
    for (const Qt::Key key : {Qt::Key_W, Qt::Key_Q}) {
        dialogs.answer(Answer::Cancel);
        QTest::keyClick(view(0), key, Qt::ControlModifier);
        EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("ToDo-list has been edited! Save changes?"));
        EXPECT_TRUE(window->isVisible());
    }
    dialogs.answer(Answer::No);
    QTest::keyClick(view(0), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

// Moving through a list with the keys shows each entry in the pane, and
// never opens the popup, even right after a right-button press.
TEST_F(MainWindowTest, KeyboardSelectionShowsTheEntryWithoutThePopup)
{
    open();
    for (int i = 1; i <= 12; ++i)
        addRow(2, 4, QStringLiteral("entry %1").arg(i), QStringLiteral("user %1").arg(i));
    tabMain()->tabBar()->setCurrentIndex(2);
    CategoryListView *v = view(2);
    QTest::mousePress(v->viewport(), Qt::RightButton, {}, rowPoint(2, 1));
    v->setFocus();
    const struct {
        Qt::Key key;
        int position;
    } moves[] = {{Qt::Key_Down, 2}, {Qt::Key_End, 12}, {Qt::Key_Up, 11}, {Qt::Key_Home, 1}, {Qt::Key_PageDown, 0}};
    for (const auto &move : moves) {
        QTest::keyClick(v, move.key);
        // Page Down goes as far as the list's height shows rows.
        const int position = move.position ? move.position : list(2).positionOf(list(2).selectedRow());
        ASSERT_GT(position, move.position ? 0 : 1) << move.key;
        EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("entry %1").arg(position)) << move.key;
        EXPECT_EQ(txtUser()->text(), QStringLiteral("user %1").arg(position)) << move.key;
    }
    EXPECT_TRUE(menus.showings().isEmpty());
}

// A task-list file dropped on the window or on the task box opens as with
// File Open, after the question about unsaved changes; the box gets no text.
TEST_F(MainWindowTest, DroppedTaskListOpens)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.tvk"));
    writeFile(path, "Status;Task;Added;Edited;User\r\n1;from the drop;a;;me\r\n");
    open();
    window->btnNew_Click();

    const auto drop = [](QWidget *target, const QString &file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
        return enter.isAccepted() && dropped.isAccepted();
    };

    dialogs.answer(Answer::Cancel);
    EXPECT_TRUE(drop(window.get(), path));
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("ToDo-list has been edited! Save Changes?"));
    EXPECT_EQ(list(0).count(), 1);

    dialogs.answer(Answer::No);
    EXPECT_TRUE(drop(txtTask()->viewport(), path));
    ASSERT_EQ(list(0).count(), 1);
    EXPECT_EQ(list(0).text(list(0).rowAt(1), Entry::Task), QStringLiteral("from the drop"));
    EXPECT_TRUE(txtTask()->toPlainText().isEmpty());
    EXPECT_TRUE(window->windowTitle().contains(path));

    // Other files are none of the window's business.
    EXPECT_FALSE(drop(window.get(), dir.filePath(QStringLiteral("notes.txt"))));
}

// A tab shown by a key (its letter, Ctrl+Tab, Ctrl+Page Down and Up, Alt and
// its number, the redo of a status change) gives its list the focus, so the
// next Alt+U shows Unresolved instead of pressing Update. Home and End in the
// strip go to the first and the last tab.
TEST_F(MainWindowTest, TabKeysShowTheTabAndGiveItsListTheFocus)
{
    open();
    window->activateWindow();
    addRow(0, 1, QStringLiteral("kept"));
    select(0, 1);
    view(0)->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
    } steps[] = {
        {Qt::Key_C, Qt::AltModifier, 1},          {Qt::Key_U, Qt::AltModifier, 2},
        {Qt::Key_Tab, Qt::ControlModifier, 3},    {Qt::Key_PageDown, Qt::ControlModifier, 4},
        {Qt::Key_Tab, Qt::ControlModifier, 0},    {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 4},
        {Qt::Key_PageUp, Qt::ControlModifier, 3}, {Qt::Key_1, Qt::AltModifier, 0},
        {Qt::Key_4, Qt::AltModifier, 3}};
    for (const auto &step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
        EXPECT_EQ(tabMain()->currentIndex(), step.tab) << step.key;
        EXPECT_EQ(QApplication::focusWidget(), view(step.tab)) << step.key;
    }
    EXPECT_EQ(list(0).text(list(0).rowAt(1), Entry::Edited), QString());
    EXPECT_FALSE(window->document().isDirty());

    QTabBar *strip = tabMain()->tabBar();
    strip->setFocus();
    QTest::keyClick(strip, Qt::Key_End);
    EXPECT_EQ(tabMain()->currentIndex(), 4);
    QTest::keyClick(strip, Qt::Key_Home);
    EXPECT_EQ(tabMain()->currentIndex(), 0);

    view(0)->setFocus();
    window->objRightClickPopup_ItemClick(QStringLiteral("Complete"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    view(0)->setFocus();
    QTest::keyClick(view(0), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabMain()->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), view(1));
}

// Home and End select the row they go to, also the first row that is current
// as the list gets the focus; whatever key moves the row, the task cell is
// current and the list does not scroll sideways. After a Delete nothing is
// selected, and the row that took the removed one's place (or the last row)
// is current, so that the next arrow key goes on from there.
TEST_F(MainWindowTest, HomeEndAndDeleteLeaveTheTaskCellOfTheRightRowCurrent)
{
    open();
    window->activateWindow();
    for (int i = 1; i <= 5; ++i)
        addRow(0, 1, QStringLiteral("entry %1").arg(i));
    CategoryListView *v = view(0);
    v->setFocus();
    const auto current = [v] { return std::pair(v->currentIndex().row() + 1, v->currentIndex().column()); };
    for (const auto &[key, position] : {std::pair(Qt::Key_Home, 1), std::pair(Qt::Key_End, 5)}) {
        QTest::keyClick(v, key);
        EXPECT_EQ(list(0).positionOf(list(0).selectedRow()), position) << key;
        EXPECT_EQ(current(), std::pair(position, int(Entry::Task))) << key;
        EXPECT_EQ(v->horizontalScrollBar()->value(), 0) << key;
        EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("entry %1").arg(position)) << key;
    }

    dialogs.answer(Answer::Yes);
    QTest::keyClick(v, Qt::Key_Delete);
    EXPECT_FALSE(list(0).selectedRow());
    EXPECT_EQ(current(), std::pair(4, int(Entry::Task)));
    select(0, 2);
    v->selectionModel()->setCurrentIndex(v->model()->index(1, Entry::User), QItemSelectionModel::NoUpdate);
    dialogs.answer(Answer::Yes);
    QTest::keyClick(v, Qt::Key_Delete);
    EXPECT_FALSE(list(0).selectedRow());
    EXPECT_EQ(current(), std::pair(2, int(Entry::Task)));
    QTest::keyClick(v, Qt::Key_Down);
    ASSERT_TRUE(list(0).selectedRow());
    EXPECT_EQ(list(0).text(list(0).selectedRow(), Entry::Task), QStringLiteral("entry 4"));
}

// Mirrored from right to left (-reverse), the whole window reads the other
// way round: each radio button's dot stays beside its own caption, and the
// design's margins are kept from the other side.
TEST_F(MainWindowTest, RightToLeftMirrorsTheWholeWindow)
{
    QApplication::setLayoutDirection(Qt::RightToLeft);
    open();
    const auto rightMargin = [](const QWidget *w) { return w->parentWidget()->width() - w->x() - w->width(); };
    EXPECT_LT(control("fraEdit")->x(), control("fraDetails")->x());
    EXPECT_GT(control("optTask")->x(), control("optQuestion")->x());
    EXPECT_EQ(rightMargin(control("optTask")), pxX(120));
    EXPECT_GT(control("lblUser")->x(), txtUser()->x());
    EXPECT_EQ(rightMargin(control("lblUser")), pxX(120));
    // Widened, the window keeps the editing frame at its left edge.
    const int editLeft = control("fraEdit")->x();
    window->resize(window->width() + pxX(600), window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(rightMargin(control("lblUser")), pxX(120));
    EXPECT_EQ(control("fraEdit")->x(), editLeft);
    QApplication::setLayoutDirection(Qt::LeftToRight);
}
