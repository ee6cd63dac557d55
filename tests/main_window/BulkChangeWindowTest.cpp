#include "MainWindowFixture.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Many entries selected at once in the window, on an unsorted list and on
// one sorted by task.
class BulkChangeWindowTest : public MainWindowTest, public ::testing::WithParamInterface<bool>
{
protected:
    // Eight tasks saved to a file; the Tasks list sorted by task when asked.
    void openEight()
    {
        open();
        for (const char *task : {"call h", "buy g", "call f", "buy e", "call d", "buy c", "call b", "buy a"})
            addRow(0, Status_Incomplete, QString::fromLatin1(task));
        if (GetParam())
            window->lvwTasks_ColumnClick(2);
        dialogs.choose(dir.filePath(QStringLiteral("t.tvk")));
        window->mnuFile_SaveAs_Click();
        saved = fileBytes();
    }

    QByteArray fileBytes() const
    {
        QFile file(dir.filePath(QStringLiteral("t.tvk")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void clickWith(int position, Qt::KeyboardModifiers modifiers, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(view(0)->viewport(), button, modifiers, rowPoint(0, position));
    }

    QStringList tasks(int tab) const
    {
        QStringList texts;
        for (int position = 1; position <= list(tab).count(); ++position)
            texts << list(tab).text(list(tab).rowAt(position), Entry::Task);
        return texts;
    }

    int selectedCount(int tab) const { return int(view(tab)->selectedPositions().size()); }

    void keys(QWidget *to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(to, key, modifiers);
    }

    QTemporaryDir dir;
    QByteArray saved;
};

} // namespace

TEST_P(BulkChangeWindowTest, SpreadSelectionGetsTheChosenStatusAsOneUndoStep)
{
    openEight();
    const QStringList before = tasks(0);
    clickWith(2, Qt::NoModifier);
    clickWith(5, Qt::ControlModifier);
    clickWith(7, Qt::ControlModifier);
    EXPECT_EQ(selectedCount(0), 3);
    // The pane shows the entry clicked last.
    EXPECT_EQ(txtTask()->toPlainText(), before[6]);

    // A right-click on a selected row keeps the selection and acts on all of it.
    menus.choose(QStringLiteral("Complete"));
    clickWith(5, Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(tasks(1), (QStringList{before[1], before[4], before[6]}));
    for (int position = 1; position <= 3; ++position) {
        const Row row = list(1).rowAt(position);
        EXPECT_EQ(row->status, Status_Complete);
        EXPECT_EQ(list(1).text(row, Entry::MainText), QStringLiteral("2"));
        EXPECT_FALSE(list(1).text(row, Entry::Edited).isEmpty());
    }
    EXPECT_EQ(list(0).count(), 5);
    EXPECT_EQ(selectedCount(0), 0);
    EXPECT_EQ(list(0).selectedRow(), nullptr);
    EXPECT_EQ(txtTask()->toPlainText(), before[4]);
    EXPECT_TRUE(window->document().isDirty());

    keys(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(tasks(0), before);
    EXPECT_EQ(list(1).count(), 0);
    window->mnuFile_Save_Click();
    EXPECT_EQ(fileBytes(), saved);
    keys(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(list(1).count(), 3);
    EXPECT_EQ(list(0).count(), 5);
}

TEST_P(BulkChangeWindowTest, DeleteAsksAboutManyAndAboutOneAsBefore)
{
    openEight();
    view(0)->setFocus();
    keys(view(0), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selectedCount(0), 8);
    dialogs.answer(Dialogs::Answer::No);
    keys(view(0), Qt::Key_Delete);
    EXPECT_EQ(list(0).count(), 8);
    dialogs.answer(Dialogs::Answer::Yes);
    keys(view(0), Qt::Key_Delete);
    EXPECT_EQ(list(0).count(), 0);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[1].text, QStringLiteral("Remove the 8 selected entries?"));
    EXPECT_EQ(dialogs.messages()[1].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(dialogs.messages()[1].icon, Dialogs::Icon::Question);

    keys(window.get(), Qt::Key_Z, Qt::ControlModifier);
    window->mnuFile_Save_Click();
    EXPECT_EQ(fileBytes(), saved);

    clickWith(3, Qt::NoModifier);
    dialogs.answer(Dialogs::Answer::Yes);
    window->btnDelete_Click();
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("Remove selected entry?"));
    EXPECT_EQ(list(0).count(), 7);
}

// Ctrl+A under a find takes only the rows it shows; the rows it hides stay
// hidden and untouched, and the moved rows are shown in their new list.
TEST_P(BulkChangeWindowTest, UnderAFindOnlyTheRowsShownChangeAndHiddenRowsStayHidden)
{
    openEight();
    keys(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(control<QLineEdit>("txtFind"), QStringLiteral("call"));
    ASSERT_EQ(view(0)->model()->rowCount(), 4);
    view(0)->setFocus();
    keys(view(0), Qt::Key_A, Qt::ControlModifier);
    window->objRightClickPopup_ItemClick(QStringLiteral("Complete"));
    EXPECT_EQ(list(0).count(), 4);
    EXPECT_EQ(view(0)->model()->rowCount(), 0);
    EXPECT_EQ(view(1)->model()->rowCount(), 4);
    for (const QString &task : tasks(0))
        EXPECT_TRUE(task.startsWith(QStringLiteral("buy")));

    keys(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(list(0).count(), 8);
    EXPECT_EQ(view(0)->model()->rowCount(), 4);
    window->mnuFile_Save_Click();
    EXPECT_EQ(fileBytes(), saved);
}

INSTANTIATE_TEST_SUITE_P(UnsortedAndSorted, BulkChangeWindowTest, ::testing::Bool());

TEST_F(MainWindowTest, ReadingTheFileAgainKeepsTheSelectionOfTheRowsStillThere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.tvk"));
    const auto write = [&](const QList<int> &numbers) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("Status;Task;Added;Edited;User\r\n");
        for (const int n : numbers)
            file.write("1;task " + QByteArray::number(n) + ";d;;me\r\n");
    };
    write({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    open(path);
    QTest::mouseClick(view(0)->viewport(), Qt::LeftButton, {}, rowPoint(0, 2));
    QTest::mouseClick(view(0)->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(0, 4));
    QTest::mouseClick(view(0)->viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(0, 8));

    write({0, 1, 2, 4, 5, 6, 7, 8, 9, 10});
    QTest::keyClick(window.get(), Qt::Key_F5);
    QStringList selected;
    for (const int position : view(0)->selectedPositions())
        selected << list(0).text(list(0).rowAt(position), Entry::Task);
    EXPECT_EQ(selected, (QStringList{"task 2", "task 4", "task 8"}));
}
