#include "main_window/MainWindowFixture.h"

#include <QAccessible>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
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
    // Qt hands header cells out without keeping them; its cache deletes them at the end.
    for (QAccessibleInterface *header : headers)
        QAccessible::registerAccessibleInterface(header);
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0]->text(QAccessible::Name), QStringLiteral("Status"));
    EXPECT_TRUE(view(0)->model()->headerData(0, Qt::Horizontal).toString().isEmpty());

    // With the window wide enough for every column, the hidden status column
    // is still none that a reader shows or reads.
    window->resize(pxX(30000), window->height());
    QCoreApplication::processEvents();
    EXPECT_FALSE(table->cellAt(0, Entry::User)->state().invisible);
    EXPECT_TRUE(table->cellAt(0, Entry::StatusText)->state().invisible);
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
