#include "document/TaskDocument.h"
#include "entries/TaskLists.h"
#include "history/ListsStep.h"
#include "storage/FileWatcher.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"
#include "sync/ConflictCopies.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Answer = Dialogs::Answer;
using Icon = Dialogs::Icon;

const QByteArray kHeader = "Status;Task;Added;Edited;User\r\n";
const QString kUnreadable =
    QStringLiteral("The file could not be read again completely, so the list stays as it was.\n");

bool waitUntil(const std::function<bool()> &done, int ms = 5000)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(20);
    return done();
}

QStringList tasksOf(const CategoryList &list)
{
    QStringList tasks;
    for (const Item &item : itemsOf(list))
        tasks << item.task;
    return tasks;
}

// The view's side of following the file: what it was handed to undo.
class RecordingView : public DocumentView
{
public:
    void setCaption(const QString &) override { }
    void clearEditingTexts() override { }
    void listsChangedOutside(std::unique_ptr<ListsStep> step) override
    {
        if (step)
            steps.push_back(std::move(step));
    }
    std::vector<std::unique_ptr<ListsStep>> steps;
};

class FollowFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        file = dir.filePath(QStringLiteral("shared.tvk"));
        writeBytes(file, kHeader + "1;a;d1;;me\r\n2;c;d3;;me\r\n2;b;d2;;me\r\n");
        document.openFromCommandLine(file);
    }

    // As sync tools and editors deliver a new version: written beside the
    // file, then renamed over it.
    void replaceOutside(const QByteArray &entries)
    {
        const QString temporary = dir.filePath(QStringLiteral(".shared.tvk.tmp"));
        writeBytes(temporary, kHeader + entries);
        ASSERT_EQ(::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(file).constData()), 0);
    }

    QTemporaryDir dir;
    QString file;
    TaskLists lists;
    ScriptedDialogs dialogs;
    RecordingView view;
    TaskDocument document{lists, dialogs, view};
};

} // namespace

TEST(FileWatcherTest, ReportsReplacementsInPlaceWritesAndAVanishedFolderOnceSettled)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sync"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + QStringLiteral("/list.tvk");
    writeBytes(file, kHeader);
    FileWatcher watcher;
    QSignalSpy settled(&watcher, &FileWatcher::settled);
    watcher.watch(file);

    // Written beside and renamed over: the watch on the old file ends.
    writeBytes(folder + QStringLiteral("/tmp"), kHeader + "1;a;d;;\r\n");
    ASSERT_TRUE(QFile::rename(folder + QStringLiteral("/tmp"), folder + QStringLiteral("/x")));
    ASSERT_EQ(
        ::rename(QFile::encodeName(folder + QStringLiteral("/x")).constData(), QFile::encodeName(file).constData()), 0);
    ASSERT_TRUE(settled.wait(3000));
    QTest::qWait(400);
    EXPECT_EQ(settled.count(), 1) << "a burst of events is one change";

    // The new file is watched again: a write in place is seen too.
    QFile appended(file);
    ASSERT_TRUE(appended.open(QIODevice::Append));
    appended.write("1;b;d;;\r\n");
    appended.close();
    ASSERT_TRUE(settled.wait(3000));

    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(settled.wait(3000));
}

TEST_F(FollowFileTest, UneditedListFollowsTheFileKeepingSortSettings)
{
    lists.lvwCompleted.setSorting(Entry::Task, CategoryList::Descending, true);
    const Row kept = lists.lvwTasks.rowAt(1);
    replaceOutside("1;a;d1;;me\r\n2;b;d2;;me\r\n2;z;d4;;you\r\n8;r;d5;;you\r\n");

    ASSERT_TRUE(waitUntil([&] { return lists.lvwRequests.count() == 1; }));
    EXPECT_EQ(tasksOf(lists.lvwCompleted), (QStringList{"z", "b"}));
    EXPECT_EQ(lists.lvwTasks.rowAt(1), kept) << "rows both versions share stay as they are";
    EXPECT_FALSE(document.isDirty());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    ASSERT_EQ(view.steps.size(), 1u);

    // The step swaps back and forth; once the lists moved on it refuses.
    ASSERT_TRUE(view.steps[0]->undo(lists));
    EXPECT_EQ(tasksOf(lists.lvwCompleted), (QStringList{"c", "b"}));
    ASSERT_TRUE(view.steps[0]->redo(lists));
    EXPECT_EQ(tasksOf(lists.lvwCompleted), (QStringList{"z", "b"}));
    lists.lvwCompleted.removeAt(1);
    EXPECT_FALSE(view.steps[0]->undo(lists));

    // The reload is the new base: a save merges nothing and says nothing.
    document.markEdited();
    ASSERT_TRUE(document.SaveTaskFile());
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(FollowFileTest, UnreadableVersionsAreReportedOnceAndEditedListsWaitForSave)
{
    const std::array<Items, CategoryCount> before = contentsOf(lists);
    dialogs.answer(Answer::Ok);
    dialogs.answer(Answer::Ok);
    replaceOutside("1;a;d1;;me\r\n\r\n");
    ASSERT_TRUE(waitUntil([&] { return !dialogs.messages().isEmpty(); }));
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(kUnreadable));
    EXPECT_EQ(dialogs.messages()[0].icon, Icon::Exclamation);
    EXPECT_EQ(contentsOf(lists), before);

    // A folder in its place: said once, nothing read, nothing written.
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkdir(file));
    ASSERT_TRUE(waitUntil([&] { return dialogs.messages().size() == 2; }));
    EXPECT_EQ(dialogs.messages()[1].text, kUnreadable + QStringLiteral("It is not a regular file."));
    QTest::qWait(600);
    EXPECT_EQ(dialogs.messages().size(), 2);
    ASSERT_TRUE(QDir().rmdir(file));

    // The next complete version is followed.
    replaceOutside("6;i;d6;;me\r\n");
    ASSERT_TRUE(waitUntil([&] { return lists.lvwInformation.count() == 1; }));
    EXPECT_EQ(lists.lvwTasks.count(), 0);

    // Edited: nothing changes until Save, which merges.
    addItem(lists, {1, QStringLiteral("mine"), QStringLiteral("d9"), {}, QStringLiteral("me")});
    document.markEdited();
    replaceOutside("6;i;d6;;me\r\n8;r;d8;;me\r\n");
    QTest::qWait(800);
    EXPECT_EQ(lists.lvwRequests.count(), 0);
    EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST_F(FollowFileTest, F5AsksFirstWhenEdited)
{
    addItem(lists, {1, QStringLiteral("mine"), QStringLiteral("d9"), {}, QStringLiteral("me")});
    document.markEdited();
    writeBytes(file, kHeader + "8;r;d8;;me\r\n");

    dialogs.answer(Answer::Cancel);
    document.reloadByHand();
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("ToDo-list has been edited! Save Changes?"));
    EXPECT_EQ(dialogs.messages().last().icon, Icon::Question);
    EXPECT_EQ(lists.lvwTasks.count(), 2);
    EXPECT_TRUE(document.isDirty());

    // Yes saves, merging what changed on disk.
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Ok);
    document.reloadByHand();
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(tasksOf(lists.lvwTasks), (QStringList{"mine"}));
    EXPECT_EQ(lists.lvwRequests.count(), 1);

    // No drops the edits and reads the file.
    lists.lvwTasks.removeAt(1);
    document.markEdited();
    dialogs.answer(Answer::No);
    document.reloadByHand();
    EXPECT_EQ(tasksOf(lists.lvwTasks), (QStringList{"mine"}));
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(dialogs.pendingAnswers(), 0);
}

TEST(ConflictCopiesTest, NamesOfSyncToolsCopies)
{
    const QString file = QStringLiteral("home.tvk");
    for (const char *name :
         {"home.sync-conflict-20240101-120000-ABCDEFG.tvk", "home (conflicted copy 2024-01-01 120000).tvk",
          "home (Anna's conflicted copy 2024-01-01).tvk", "home (Conflicted Copy).tvk"})
        EXPECT_TRUE(ConflictCopies::IsCopyOf(QString::fromUtf8(name), file)) << name;
    for (const char *name : {"home.tvk", "home2.tvk", "home (copy).tvk", "home.sync-conflict-1.txt",
                             "other (conflicted copy).tvk", "home (conflicted copy).tvk.tmp"})
        EXPECT_FALSE(ConflictCopies::IsCopyOf(QString::fromUtf8(name), file)) << name;
}

TEST_F(FollowFileTest, ConflictCopyIsFoldedInOnceAndTrashedAfterSave)
{
    const QString copy = dir.filePath(QStringLiteral("shared.sync-conflict-20240101-120000-ABC.tvk"));
    // Shared entries, one of them twice in the copy, and one of its own.
    writeBytes(copy, kHeader + "1;a;d1;;me\r\n1;a;d1;;me\r\n2;b;d2;;me\r\n8;new;d7;;you\r\n");
    dialogs.answer(Answer::Yes);
    document.openFromCommandLine(file);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].icon, Icon::Question);
    EXPECT_TRUE(dialogs.messages()[0].text.contains(copy));
    EXPECT_EQ(tasksOf(lists.lvwTasks), (QStringList{"a", "a"}));
    EXPECT_EQ(tasksOf(lists.lvwRequests), (QStringList{"new"}));
    EXPECT_EQ(lists.lvwCompleted.count(), 2);
    EXPECT_TRUE(document.isDirty());

    // The trash is made where the desktop keeps it, even in a new user's
    // data folder that does not exist yet.
    const QString dataHome = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    ASSERT_TRUE(QDir(dataHome).removeRecursively());
    ASSERT_TRUE(document.SaveTaskFile());
    EXPECT_FALSE(QFile::exists(copy));
    const QString trashed = dataHome + "/Trash/files/" + QFileInfo(copy).fileName();
    EXPECT_TRUE(QFile::exists(trashed));

    // No: asked again only about another copy.
    const QString other = dir.filePath(QStringLiteral("shared (conflicted copy 2024-01-02).tvk"));
    writeBytes(other, kHeader + "8;more;d8;;you\r\n");
    dialogs.answer(Answer::No);
    ASSERT_TRUE(waitUntil([&] { return dialogs.messages().size() == 2; }));
    writeBytes(file, readBytes(file) + "6;i;d6;;me\r\n");
    ASSERT_TRUE(waitUntil([&] { return lists.lvwInformation.count() == 1; }));
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(lists.lvwRequests.count(), 1);
    EXPECT_TRUE(QFile::exists(other));
}

TEST_F(FollowFileTest, MergeIsOneStepThatUndoesExactly)
{
    lists.lvwCompleted.setSorting(Entry::Task, CategoryList::Ascending, true);
    addItem(lists, {2, QStringLiteral("mine"), QStringLiteral("d9"), {}, QStringLiteral("me")});
    document.markEdited();
    const std::array<Items, CategoryCount> before = contentsOf(lists);
    // Outside: c goes, a changes, entries arrive in a sorted and an unsorted list.
    writeBytes(file, kHeader + "1;a2;d1;;me\r\n2;b;d2;;me\r\n2;aa;d5;;you\r\n8;r;d6;;you\r\n8;r;d6;;you\r\n");

    dialogs.answer(Answer::Ok);
    ASSERT_TRUE(document.SaveTaskFile());
    const std::array<Items, CategoryCount> merged = contentsOf(lists);
    EXPECT_EQ(tasksOf(lists.lvwCompleted), (QStringList{"aa", "b", "mine"}));
    ASSERT_EQ(view.steps.size(), 1u);

    ASSERT_TRUE(view.steps[0]->undo(lists));
    EXPECT_EQ(contentsOf(lists), before);
    ASSERT_TRUE(view.steps[0]->redo(lists));
    EXPECT_EQ(contentsOf(lists), merged);
}

TEST_F(FollowFileTest, ReloadKeepsTheRowsBothVersionsHoldWhereverTheyMove)
{
    const Row c = lists.lvwCompleted.rowAt(1);
    const Row b = lists.lvwCompleted.rowAt(2);
    const std::array<Items, CategoryCount> before = contentsOf(lists);
    replaceOutside("2;b;d2;;me\r\n2;x;d7;;me\r\n2;c;d3;;me\r\n2;b;d2;;me\r\n1;a;d1;;me\r\n");
    ASSERT_TRUE(waitUntil([&] { return lists.lvwCompleted.count() == 4; }));
    const std::array<Items, CategoryCount> after = contentsOf(lists);
    EXPECT_EQ(tasksOf(lists.lvwCompleted), (QStringList{"b", "x", "c", "b"}));
    EXPECT_EQ(lists.lvwCompleted.rowAt(1), b);
    EXPECT_EQ(lists.lvwCompleted.rowAt(3), c);
    ASSERT_EQ(view.steps.size(), 1u);

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(view.steps[0]->undo(lists));
        EXPECT_EQ(contentsOf(lists), before);
        EXPECT_EQ(lists.lvwCompleted.rowAt(1), c);
        EXPECT_EQ(lists.lvwCompleted.rowAt(2), b);
        ASSERT_TRUE(view.steps[0]->redo(lists));
        EXPECT_EQ(contentsOf(lists), after);
    }
}

TEST_F(FollowFileTest, SyncToolMovingTheFileAsideIsNoRenaming)
{
    // A conflict: the version read here becomes the copy, the other one takes its name.
    const QString copy = dir.filePath(QStringLiteral("shared.sync-conflict-20240101-120000-ABC.tvk"));
    ASSERT_TRUE(QFile::rename(file, copy));
    writeBytes(file, kHeader + "8;theirs;d8;;you\r\n");
    dialogs.answer(Answer::No);
    ASSERT_TRUE(waitUntil([&] { return lists.lvwRequests.count() == 1; }));
    EXPECT_EQ(lists.lvwTasks.count(), 0);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].icon, Icon::Question);

    document.markEdited();
    EXPECT_TRUE(document.SaveTaskFile());
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(FollowFileTest, ASaveThatASyncToolFindsInConflictKeepsTheWindowsEntriesWhateverTheAnswer)
{
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        writeBytes(file, kHeader + "1;a;d1;;me\r\n2;b;d2;;me\r\n");
        document.openFromCommandLine(file);
        addItem(lists, {1, QStringLiteral("X"), QStringLiteral("d9"), {}, QStringLiteral("me")});
        document.markEdited();
        ASSERT_TRUE(document.SaveTaskFile());
        QTest::qWait(400); // the watcher sees the save itself

        // The saved file is moved aside and the other machine's version,
        // made from the one before the save, takes its name.
        const QString copy = dir.filePath(QStringLiteral("shared.sync-conflict-20240101-120000-ABC.tvk"));
        ASSERT_TRUE(QFile::rename(file, copy));
        replaceOutside("1;a;d1;;me\r\n2;b;d2;;me\r\n8;theirs;d8;;you\r\n");
        const qsizetype asked = dialogs.messages().size();
        dialogs.answer(answer);
        ASSERT_TRUE(waitUntil([&] { return dialogs.messages().size() == asked + 1; }));
        if (answer == Answer::No) {
            ASSERT_TRUE(waitUntil([&] { return lists.lvwRequests.count() == 1; }));
        }
        EXPECT_EQ(tasksOf(lists.lvwTasks), (QStringList{"a", "X"}));
        EXPECT_TRUE(document.isDirty());

        if (answer == Answer::Yes)
            dialogs.answer(Answer::Ok); // the merge at the save, reported
        ASSERT_TRUE(document.SaveTaskFile());
        const QByteArray saved = readBytes(file);
        for (const QByteArray task : {";a;", ";b;", ";X;", ";theirs;"})
            EXPECT_TRUE(saved.contains(task)) << task.constData();
        if (answer == Answer::Yes) {
            EXPECT_EQ(dialogs.messages().last().text.section(u'\n', 2, 2), QStringLiteral("Entries that went away: 0"));
        }
        // Taken in, the copy goes to the trash; declined, it stays.
        EXPECT_EQ(QFile::exists(copy), answer == Answer::No);
        QFile::remove(copy);
        QTest::qWait(400);
    }
    EXPECT_EQ(dialogs.pendingAnswers(), 0);
}

TEST_F(FollowFileTest, ACopyWhoseFoldInWasUndoneStaysOutOfTheTrash)
{
    const QString copy = dir.filePath(QStringLiteral("shared.sync-conflict-20240101-120000-ABC.tvk"));
    writeBytes(copy, kHeader + "1;a;d1;;me\r\n8;new;d7;;you\r\n");
    dialogs.answer(Answer::Yes);
    document.openFromCommandLine(file);
    ASSERT_EQ(lists.lvwRequests.count(), 1);
    ASSERT_EQ(view.steps.size(), 1u);
    ASSERT_TRUE(view.steps[0]->undo(lists));
    ASSERT_TRUE(document.SaveTaskFile());
    EXPECT_TRUE(QFile::exists(copy));
}

TEST_F(FollowFileTest, ToolsThatKeepABackupOrHoldTheOldFileOpenAreFollowed)
{
    // An editor keeps the old file as shared.tvk~ and writes a new one.
    ASSERT_TRUE(QFile::rename(file, file + u'~'));
    writeBytes(file, kHeader + "1;a;d1;;me\r\n2;c;d3;;me\r\n2;b;d2;;me\r\n6;vim;d4;;me\r\n");
    ASSERT_TRUE(waitUntil([&] { return lists.lvwInformation.count() == 1; }));

    // Another program holds the file open while it is replaced and then
    // written in place: the watch goes to the file that has the name.
    QFile held(file);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    replaceOutside("1;a;d1;;me\r\n6;vim;d4;;me\r\n");
    ASSERT_TRUE(waitUntil([&] { return lists.lvwCompleted.count() == 0; }));
    QFile inPlace(file);
    ASSERT_TRUE(inPlace.open(QIODevice::Append));
    inPlace.write("8;later;d5;;me\r\n");
    inPlace.close();
    ASSERT_TRUE(waitUntil([&] { return lists.lvwRequests.count() == 1; }));

    // An edited list saves over the new file with the backup still there,
    // and over a file emptied to nothing.
    addItem(lists, {1, QStringLiteral("mine"), QStringLiteral("d6"), {}, QStringLiteral("me")});
    document.markEdited();
    const QByteArray before = readBytes(file);
    ASSERT_TRUE(QFile::rename(file, file + QStringLiteral(".bak"))); // as sed -i.bak does
    writeBytes(file, before + "8;sed;d7;;me\r\n");
    dialogs.answer(Answer::Ok);
    ASSERT_TRUE(document.SaveTaskFile());
    EXPECT_TRUE(readBytes(file).contains(";sed;"));
    EXPECT_TRUE(readBytes(file).contains(";mine;"));
    addItem(lists, {1, QStringLiteral("more"), QStringLiteral("d8"), {}, QStringLiteral("me")});
    document.markEdited();
    writeBytes(file, {});
    ASSERT_TRUE(document.SaveTaskFile());
    EXPECT_TRUE(readBytes(file).contains(";more;"));
    for (const Dialogs::Buttons buttons : {Dialogs::Buttons::OkCancel, Dialogs::Buttons::YesNo}) {
        for (const auto &message : dialogs.messages())
            EXPECT_NE(message.buttons, buttons) << message.text.toStdString();
    }
}
