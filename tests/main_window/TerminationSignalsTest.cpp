#include "main_window/TerminationSignals.h"

#include "MainWindowFixture.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <csignal>

namespace {

const QByteArray kChildFile = "TARVIK_TEST_CHILD_FILE";
const QByteArray kChildState = "TARVIK_TEST_CHILD_STATE";

} // namespace

// Run in a child process by the test below: the program with an unsaved
// entry, waiting for the end its signal brings. It must end asking nothing.
TEST(TerminationSignalsTest, DISABLED_ChildWithUnsavedEntry)
{
    // The state folder of the test that started this one, where the next start looks.
    qputenv("XDG_STATE_HOME", qgetenv(kChildState));
    ScriptedDialogs dialogs;
    frmMain window(dialogs, qEnvironmentVariable(kChildFile));
    window.show();
    window.findChild<QPlainTextEdit *>(QStringLiteral("txtTask"))->setPlainText(QStringLiteral("kept"));
    window.findChild<QPushButton *>(QStringLiteral("btnNew"))->click();
    ASSERT_TRUE(window.document().isDirty());
    const TerminationSignals termination([&] { window.endWithoutAsking(); });
    std::puts("ready");
    std::fflush(stdout);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(dialogs.messages().size(), 0);
}

// SIGTERM ends a program with unsaved changes without a question, and the
// next start offers them back.
TEST(TerminationSignalsTest, TerminatedWithUnsavedChangesTheNextStartRestoresThem)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.tvk"));
    QFile list(file);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Status;Task;Added;Edited;User\r\n1;old;a;;u\r\n");
    list.close();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildFile), file);
    environment.insert(QString::fromLatin1(kChildState), qEnvironmentVariable("XDG_STATE_HOME"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=TerminationSignalsTest.DISABLED_ChildWithUnsavedEntry")});
    ASSERT_TRUE(child.waitForStarted());
    while (!child.readAllStandardOutput().contains("ready"))
        ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
    ::kill(pid_t(child.processId()), SIGTERM);
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();

    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::Yes);
    frmMain next(dialogs, file);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(QStringLiteral("This list has changes that were not saved")));
    QStringList tasks;
    const CategoryList &tasksList = next.findChild<CategoryListView *>(QStringLiteral("lvwTasks"))->list();
    for (int position = 1; position <= tasksList.count(); ++position)
        tasks << tasksList.text(tasksList.rowAt(position), Entry::Task);
    tasks.sort();
    EXPECT_EQ(tasks, (QStringList{QStringLiteral("kept"), QStringLiteral("old")}));
    EXPECT_TRUE(next.document().isDirty());
}
