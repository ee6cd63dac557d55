#include "MainWindowFixture.h"

#include <QGroupBox>
#include <QTabBar>
#include <QTemporaryDir>

namespace {

class FindAndUndoTest : public MainWindowTest
{
protected:
    QLineEdit *txtFind() const { return control<QLineEdit>("txtFind"); }
    QWidget *findBar() const { return control<QWidget>("findBar"); }
    int shownRows(int tab) const { return view(tab)->model()->rowCount(); }
    QString selectedTask(int tab) const
    {
        const Row row = list(tab).selectedRow();
        return row ? list(tab).text(row, Entry::Task) : QString();
    }
    void keys(QWidget *to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(to, key, modifiers);
    }
};

} // namespace

TEST_F(FindAndUndoTest, FindBarNarrowsEveryListAndEnterShowsTheNextMatch)
{
    open();
    for (const char *task : {"call Anna", "buy milk", "call the bank"})
        addRow(0, Status_Incomplete, QString::fromLatin1(task));
    addRow(1, Status_Complete, QStringLiteral("called back"));
    addRow(1, Status_Complete, QStringLiteral("paid"));
    const QRect tabAtStart = tabMain()->geometry();
    const int listHeight = view(0)->height();
    EXPECT_TRUE(findBar()->isHidden());

    keys(window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(findBar()->isVisible());
    EXPECT_TRUE(txtFind()->hasFocus());
    const QRect bar = findBar()->geometry();
    EXPECT_EQ(bar.bottom() + 1, control<QGroupBox>("fraDetails")->y());
    EXPECT_EQ(tabMain()->height(), tabAtStart.height() - bar.height());
    EXPECT_EQ(view(0)->height(), listHeight - bar.height());
    EXPECT_LE(tabMain()->geometry().bottom(), bar.top());

    QTest::keyClicks(txtFind(), QStringLiteral("CÁLL"));
    EXPECT_EQ(shownRows(0), 2);
    EXPECT_EQ(shownRows(1), 1);
    EXPECT_EQ(tabMain()->tabBar()->tabText(0), QStringLiteral("&Tasks"));
    EXPECT_TRUE(view(0)->isColumnHidden(Entry::StatusText));

    clickRow(0, 2);
    EXPECT_EQ(selectedTask(0), QStringLiteral("call the bank"));
    EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("call the bank"));
    keys(txtFind(), Qt::Key_Return);
    EXPECT_EQ(selectedTask(0), QStringLiteral("call Anna"));
    EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("call Anna"));
    keys(txtFind(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("call the bank"));

    // A changed entry that no longer matches stays in sight.
    txtTask()->setPlainText(QStringLiteral("done"));
    window->btnUpdate_Click();
    EXPECT_EQ(shownRows(0), 2);
    EXPECT_EQ(selectedTask(0), QStringLiteral("done"));

    keys(txtFind(), Qt::Key_Escape);
    EXPECT_TRUE(findBar()->isHidden());
    EXPECT_EQ(view(0)->model(), &list(0));
    EXPECT_EQ(shownRows(0), 3);
    EXPECT_EQ(shownRows(1), 2);
    EXPECT_EQ(tabMain()->geometry(), tabAtStart);
    EXPECT_EQ(view(0)->height(), listHeight);
    EXPECT_EQ(selectedTask(0), QStringLiteral("done"));
}

TEST_F(FindAndUndoTest, UndoAndRedoPutBackEntryListPlaceAndSelectionAndMarkTheDocument)
{
    QTemporaryDir dir;
    open();
    for (const char *task : {"one", "two", "three"})
        addRow(0, Status_Incomplete, QString::fromLatin1(task));
    dialogs.choose(dir.filePath(QStringLiteral("t.tvk")));
    window->mnuFile_SaveAs_Click();

    // Sorting is no change to undo and marks nothing.
    window->lvwTasks_ColumnClick(2);
    window->lvwTasks_ColumnClick(2);
    keys(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(window->document().isDirty());
    window->lvwTasks_ColumnClick(1);

    select(0, 2);
    const QString second = selectedTask(0);
    dialogs.answer(Dialogs::Answer::Yes);
    window->btnDelete_Click();
    select(0, 1);
    window->objRightClickPopup_ItemClick(QStringLiteral("Complete"));
    EXPECT_EQ(list(0).count(), 1);
    window->mnuFile_Save_Click();
    ASSERT_FALSE(window->document().isDirty());
    const int asked = static_cast<int>(dialogs.messages().size());

    keys(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(window->document().isDirty());
    EXPECT_EQ(list(0).count(), 2);
    EXPECT_EQ(list(1).count(), 0);
    EXPECT_EQ(tabMain()->currentIndex(), 0);
    keys(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(list(0).count(), 3);
    EXPECT_EQ(list(0).text(list(0).rowAt(2), Entry::Task), second);
    EXPECT_EQ(selectedTask(0), second);
    EXPECT_EQ(dialogs.messages().size(), asked);

    keys(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(list(0).count(), 2);
    keys(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(list(1).count(), 1);
    EXPECT_EQ(tabMain()->currentIndex(), 1);
    EXPECT_EQ(dialogs.messages().size(), asked);
}

// A text that no entry holds is said in the bar and to screen readers; the
// user's own new entry comes into view even where the find keeps the rows
// shown in their places.
TEST_F(FindAndUndoTest, FindSaysWhenNothingMatchesAndShowsTheUsersNewEntry)
{
    open();
    window->activateWindow();
    for (int i = 1; i <= 300; ++i)
        addRow(0, Status_Incomplete, QStringLiteral("wikis %1").arg(i));
    keys(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(txtFind(), QStringLiteral("wikiz"));
    QWidget *noMatch = control("lblNoMatch");
    EXPECT_TRUE(noMatch->isVisible());
    EXPECT_EQ(txtFind()->accessibleDescription(), QStringLiteral("No entries match"));
    keys(txtFind(), Qt::Key_Backspace);
    EXPECT_FALSE(noMatch->isVisible());
    EXPECT_TRUE(txtFind()->accessibleDescription().isEmpty());

    view(0)->scrollToBottom();
    txtTask()->setFocus();
    txtTask()->setPlainText(QStringLiteral("more wikis"));
    keys(txtTask(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(list(0).text(list(0).rowAt(1), Entry::Task), QStringLiteral("more wikis"));
    EXPECT_EQ(view(0)->rowAt(0), 0);
}
