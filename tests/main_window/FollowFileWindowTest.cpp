#include "main_window/MainWindowFixture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QByteArray kHeader = "Status;Task;Added;Edited;User\r\n";

QByteArray entries(int first, int last)
{
    QByteArray lines;
    for (int i = first; i <= last; ++i)
        lines += "1;task " + QByteArray::number(i) + ";d;;me\r\n";
    return lines;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

TEST_F(MainWindowTest, FollowingTheFileKeepsThePlaceAndTheTypingAndIsUndone)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.tvk"));
    writeFile(file, kHeader + entries(1, 300));
    open(file);
    select(0, 200);
    view(0)->verticalScrollBar()->setValue(150);
    txtTask()->setPlainText(QStringLiteral("half typed"));

    // A new version, renamed over the file: one entry more at the top.
    const QString temporary = dir.filePath(QStringLiteral("new"));
    writeFile(temporary, kHeader + "1;task 0;d;;me\r\n" + entries(1, 300));
    ASSERT_EQ(std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(file).constData()), 0);
    const QDeadlineTimer deadline(5000);
    while (list(0).count() != 301 && !deadline.hasExpired())
        QTest::qWait(20);

    ASSERT_EQ(list(0).count(), 301);
    EXPECT_EQ(list(0).selectedRow()->field(Entry::Task), QStringLiteral("task 200"));
    EXPECT_EQ(view(0)->verticalScrollBar()->value(), 150);
    EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("half typed"));
    EXPECT_FALSE(window->document().isDirty());

    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(list(0).count(), 300);
    EXPECT_TRUE(window->document().isDirty());
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(list(0).count(), 301);

    // Everything around it moved: the selected entry is found by its texts.
    // F5, with the edit that undo and redo made dropped.
    writeFile(file, kHeader + "1;other;d;;me\r\n" + entries(200, 200));
    dialogs.answer(Dialogs::Answer::No);
    QTest::keyClick(window.get(), Qt::Key_F5);
    ASSERT_EQ(list(0).count(), 2);
    EXPECT_EQ(list(0).selectedRow(), list(0).rowAt(2));

    // Under a find, rows that came from the file show only when they match.
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(control<QLineEdit>("txtFind"), QStringLiteral("task"));
    writeFile(file, kHeader + "1;other;d;;me\r\n1;more;d;;me\r\n" + entries(5, 6));
    QTest::keyClick(window.get(), Qt::Key_F5);
    ASSERT_EQ(list(0).count(), 4);
    EXPECT_EQ(view(0)->model()->rowCount(), 2);
}

TEST_F(MainWindowTest, AConflictCopyBesideTheStartFileCanBeTakenIn)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.tvk"));
    writeFile(file, kHeader + entries(1, 1));
    writeFile(dir.filePath(QStringLiteral("list.sync-conflict-20261210-101010-ABCDEFG.tvk")), kHeader + entries(1, 2));
    dialogs.answer(Dialogs::Answer::Yes);
    open(file);
    EXPECT_EQ(list(0).count(), 2);
    EXPECT_TRUE(window->document().isDirty());
}

TEST_F(MainWindowTest, UpdateOnAnEntryThatAChangeFromOutsideTookAwaySaysSoAndKeepsTheText)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.tvk"));
    writeFile(file, kHeader + entries(1, 3));
    open(file);
    select(0, 2);
    txtTask()->setPlainText(QStringLiteral("typed"));

    writeFile(file, kHeader + entries(1, 1) + "1;task 2 changed;d;;me\r\n" + entries(3, 3));
    const QDeadlineTimer deadline(5000);
    while (list(0).rowAt(2)->field(Entry::Task) != QStringLiteral("task 2 changed") && !deadline.hasExpired())
        QTest::qWait(20);
    ASSERT_EQ(list(0).selectedRow(), nullptr);

    dialogs.answer(Dialogs::Answer::Ok);
    window->btnUpdate_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text,
              QStringLiteral("Another program changed or removed this entry in the file, so it was not updated. "
                             "The typed text stays in the box."));
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("typed"));
    EXPECT_EQ(list(0).rowAt(2)->field(Entry::Task), QStringLiteral("task 2 changed"));
    EXPECT_FALSE(window->document().isDirty());
}
