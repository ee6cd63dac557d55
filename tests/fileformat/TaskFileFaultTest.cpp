// What the machine can do to a task-list file while the program reads or
// saves it: a kill part-way through a save, something else in the file's
// place, a vanished folder, paths at and beyond the system's limits, a file
// the user may not read. Each case checks what the user is told and compares
// what is on disk afterwards byte for byte.

#include "fileformat/TaskFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>

#include <climits>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray kOldFile = "Status;Task;Added;Edited;User\r\n1;the old list;a;;u\r\n";

void fillLists(TaskLists &lists, int count, const QString &prefix)
{
    for (int i = 0; i < count; ++i)
        addItem(lists,
                {double(1 + i % 8), QStringLiteral("%1 task %2 | second line").arg(prefix).arg(i),
                 "12/8/2026 2:05:31 PM", i % 3 ? "" : "12/9/2026 9:00:00 AM", "user"});
}

QString savingError(const QString &description)
{
    return QStringLiteral("Error saving to file!\n") + description;
}

QString openingError(const QString &description)
{
    return QStringLiteral("Error opening file!\n") + description;
}

// Saves and expects the one message the user then sees.
void expectSaveFails(const QString &path, TaskLists &lists, const QString &expectedMessage)
{
    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::Ok);
    EXPECT_FALSE(WriteTaskFile(path, lists, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, expectedMessage);
    EXPECT_EQ(dialogs.messages()[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogs::Icon::Exclamation);
}

void expectSaves(const QString &path, TaskLists &lists)
{
    ScriptedDialogs dialogs;
    EXPECT_TRUE(WriteTaskFile(path, lists, dialogs));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

QByteArray bytesOf(TaskLists &lists, const QString &scratchPath)
{
    expectSaves(scratchPath, lists);
    const QByteArray bytes = readBytes(scratchPath);
    QFile::remove(scratchPath);
    return bytes;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

struct stat statusOf(const QString &path)
{
    struct stat info = {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

} // namespace

TEST(TaskFileFaults, AKillWhileSavingLeavesEitherTheWholeOldOrTheWholeNewFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.tvk");
    TaskLists oldLists;
    TaskLists newLists;
    fillLists(oldLists, 30000, "old");
    fillLists(newLists, 40000, "new");
    const QByteArray oldBytes = bytesOf(oldLists, dir.filePath("scratch.tvk"));
    const QByteArray newBytes = bytesOf(newLists, dir.filePath("scratch.tvk"));
    writeBytes(path, oldBytes);

    // Each child saves the new and the old list in turn and says when each
    // save starts. It is killed at a random moment of its second save, or
    // just after it, whatever time a save takes on this machine: while the old
    // list replaces the new one, so either may be found afterwards.
    QRandomGenerator random(20261208);
    int oldSeen = 0;
    int newSeen = 0;
    for (int round = 0; round < 30; ++round) {
        int saving[2];
        ASSERT_EQ(::pipe(saving), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(saving[0]);
            ScriptedDialogs dialogs;
            for (int save = 0; save < 1000; ++save) {
                if (::write(saving[1], "s", 1) != 1
                    || !WriteTaskFile(path, save % 2 == 0 ? newLists : oldLists, dialogs))
                    ::_exit(1);
            }
            ::_exit(0);
        }
        ::close(saving[1]);
        char start = 0;
        QElapsedTimer clock;
        ASSERT_EQ(::read(saving[0], &start, 1), 1);
        clock.start();
        ASSERT_EQ(::read(saving[0], &start, 1), 1);
        const qint64 saveMicroseconds = clock.nsecsElapsed() / 1000;
        ::usleep(static_cast<useconds_t>(random.bounded(saveMicroseconds * 5 / 4 + 1)));
        ::kill(child, SIGKILL);
        ::close(saving[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the child ended by itself, status " << status;

        const QByteArray onDisk = readBytes(path);
        ASSERT_TRUE(onDisk == oldBytes || onDisk == newBytes)
            << "round " << round << ": " << onDisk.size() << " bytes on disk, neither the old (" << oldBytes.size()
            << ") nor the new (" << newBytes.size() << ") file";
        ++(onDisk == oldBytes ? oldSeen : newSeen);
    }
    RecordProperty("killsLeavingTheOldFile", oldSeen);
    RecordProperty("killsLeavingTheNewFile", newSeen);
    // A kill between naming the new file and moving it into place leaves it
    // beside the list; that costs space, not entries.
    RecordProperty("filesLeftBeside", static_cast<int>(entriesOf(dir.path()).size()) - 1);

    // The next start reads the list that was there completely and says nothing.
    TaskLists reread;
    ScriptedDialogs dialogs;
    EXPECT_EQ(LoadTaskFile(path, reread, dialogs), LoadResult::Complete);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(reread.lvwTasks.count(), readBytes(path) == oldBytes ? 7500 : 10000);
}

TEST(TaskFileFaults, SomethingElseInTheFilesPlaceIsLeftAsItIs)
{
    QTemporaryDir dir;
    TaskLists lists;
    fillLists(lists, 10, "new");

    // A folder, with a file inside that must survive.
    const QString folder = dir.filePath("folder.tvk");
    ASSERT_TRUE(QDir().mkdir(folder));
    writeBytes(folder + "/inside.tvk", kOldFile);
    expectSaveFails(folder, lists, savingError("The path names a folder, not a file."));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(entriesOf(folder), QStringList{"inside.tvk"});
    EXPECT_EQ(readBytes(folder + "/inside.tvk"), kOldFile);

    // A pipe, named directly or through a link: writing to it would block, and
    // replacing it would take it from whoever uses it.
    const QString fifo = dir.filePath("fifo.tvk");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0640), 0);
    const QString link = dir.filePath("link.tvk");
    ASSERT_TRUE(QFile::link(fifo, link));
    for (const QString &path : {fifo, link}) {
        SCOPED_TRACE(path.toStdString());
        expectSaveFails(path, lists, savingError("The path names a device, pipe or socket, not a file."));
        EXPECT_TRUE(S_ISFIFO(statusOf(fifo).st_mode));
        EXPECT_EQ(statusOf(fifo).st_mode & 07777, 0640u);
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // A device node of its own (the null device's numbers), so that nothing
    // outside the test's folder is at stake; making one needs root.
    const QString device = dir.filePath("device.tvk");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
        expectSaveFails(device, lists, savingError("The path names a device, pipe or socket, not a file."));
        EXPECT_TRUE(S_ISCHR(statusOf(device).st_mode));
        EXPECT_EQ(statusOf(device).st_rdev, ::makedev(1, 3));
    }

    // Nothing was left beside them.
    QStringList expected = {"fifo.tvk", "folder.tvk", "link.tvk"};
    if (QFileInfo::exists(device))
        expected.prepend("device.tvk");
    EXPECT_EQ(entriesOf(dir.path()), expected);
}

TEST(TaskFileFaults, AFolderDeletedBeforeASaveIsNotMadeAgain)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("lists");
    const QString path = folder + "/list.tvk";
    ASSERT_TRUE(QDir().mkdir(folder));
    writeBytes(path, kOldFile);
    TaskLists lists;
    ScriptedDialogs dialogs;
    ASSERT_EQ(LoadTaskFile(path, lists, dialogs), LoadResult::Complete);
    addItem(lists, {2, "done since", "a", "b", "u"});
    const auto contents = contentsOf(lists);

    ASSERT_TRUE(QDir(folder).removeRecursively());
    expectSaveFails(path, lists, savingError("No such file or directory"));
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
    EXPECT_EQ(contentsOf(lists), contents);

    // Once the folder is back, the same lists save.
    ASSERT_TRUE(QDir().mkdir(folder));
    expectSaves(path, lists);
    EXPECT_TRUE(readBytes(path).endsWith("1;the old list;a;;u\r\n2;done since;a;b;u\r\n"));
}

TEST(TaskFileFaults, PathsLongerThanTheSystemAllowsAreReported)
{
    QTemporaryDir dir;
    TaskLists lists;
    fillLists(lists, 3, "new");
    const QString tooLongName = dir.filePath(QString(NAME_MAX + 1 - 4, u'n') + ".tvk");
    QString tooLongPath = dir.path();
    while (QFile::encodeName(tooLongPath).size() <= PATH_MAX)
        tooLongPath += '/' + QString(200, u'd');
    tooLongPath += "/list.tvk";

    for (const QString &path : {tooLongName, tooLongPath}) {
        SCOPED_TRACE(QFile::encodeName(path).size());
        expectSaveFails(path, lists, savingError("File name too long"));
        ScriptedDialogs dialogs;
        dialogs.answer(Dialogs::Answer::Ok);
        EXPECT_EQ(LoadTaskFile(path, lists, dialogs), LoadResult::Incomplete);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_EQ(dialogs.messages()[0].text, openingError("File name too long"));
        EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
        fillLists(lists, 3, "new");
    }
}

TEST(TaskFileFaults, TheLongestNamesAndPathsSaveAgainAndAgain)
{
    // Names and paths just within the limits used to save once and then fail
    // for good, since the new file beside the old could not be named.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("long"));
    const QString longestName = dir.filePath("long/" + QString(NAME_MAX - 4, u'n') + ".tvk");
    QString deepFolder = dir.filePath("deep");
    while (QFile::encodeName(deepFolder).size() < PATH_MAX - 300)
        deepFolder += '/' + QString(200, u'd');
    ASSERT_TRUE(QDir().mkpath(deepFolder));
    const QString longestPath =
        deepFolder + '/' + QString(PATH_MAX - 1 - QFile::encodeName(deepFolder).size() - 1 - 4, u'p') + ".tvk";
    ASSERT_EQ(QFile::encodeName(longestPath).size(), PATH_MAX - 1);

    TaskLists first;
    TaskLists second;
    fillLists(first, 5, "first");
    fillLists(second, 7, "second");
    const QByteArray firstBytes = bytesOf(first, dir.filePath("scratch.tvk"));
    const QByteArray secondBytes = bytesOf(second, dir.filePath("scratch.tvk"));

    for (const QString &path : {longestName, longestPath}) {
        SCOPED_TRACE(QFile::encodeName(path).size());
        const QString folder = QFileInfo(path).absolutePath();
        expectSaves(path, first);
        EXPECT_EQ(readBytes(path), firstBytes);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        expectSaves(path, second);
        EXPECT_EQ(readBytes(path), secondBytes);
        EXPECT_EQ(statusOf(path).st_mode & 07777, 0640u);
        EXPECT_EQ(entriesOf(folder).size(), 1) << entriesOf(folder).join(", ").left(300).toStdString();

        // Through a short link, the long-named file gets the new contents.
        const QString link = dir.filePath("link.tvk");
        ASSERT_TRUE(QFile::link(path, link));
        expectSaves(link, first);
        EXPECT_EQ(readBytes(path), firstBytes);
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        ASSERT_TRUE(QFile::remove(link));

        TaskLists reread;
        ScriptedDialogs dialogs;
        EXPECT_EQ(LoadTaskFile(path, reread, dialogs), LoadResult::Complete);
        EXPECT_EQ(contentsOf(reread), contentsOf(first));
    }
}

TEST(TaskFileFaults, AFileTheUserMayNotReadIsReportedAndKept)
{
    SharedFolder folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("private.tvk");
    writeBytes(path, kOldFile);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    const int result = runAsNobody([&] {
        TaskLists lists;
        fillLists(lists, 3, "before");
        ScriptedDialogs dialogs;
        dialogs.answer(Dialogs::Answer::Ok);
        dialogs.answer(Dialogs::Answer::Ok);
        int failures = 0;
        if (LoadTaskFile(path, lists, dialogs) != LoadResult::Incomplete)
            failures |= 1;
        if (dialogs.messages().size() != 1 || dialogs.messages()[0].text != openingError("Permission denied"))
            failures |= 2;
        for (const Items &items : contentsOf(lists)) {
            if (!items.empty()) // emptied before the file was opened
                failures |= 4;
        }
        // Nor may the user save over it.
        if (WriteTaskFile(path, lists, dialogs) || dialogs.messages().size() != 2
            || !dialogs.messages()[1].text.startsWith("Error saving to file!\n"))
            failures |= 8;
        return failures;
    });
    if (result == 100)
        GTEST_SKIP() << "cannot switch to the user nobody (not running as root)";
    EXPECT_EQ(result, 0) << "bits: 1 wrong result, 2 wrong message, 4 lists not emptied, 8 saved over it";
    EXPECT_EQ(readBytes(path), kOldFile);
    EXPECT_EQ(statusOf(path).st_mode & 07777, 0600u);
}
