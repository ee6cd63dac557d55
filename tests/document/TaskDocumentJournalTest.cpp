#include "document/TaskDocument.h"
#include "entries/EntryEditing.h"
#include "entries/TaskLists.h"
#include "journal/JournalFolder.h"
#include "journal/JournalReplay.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using Answer = Dialogs::Answer;
using Icon = Dialogs::Icon;

const QByteArray kHeader = "Status;Task;Added;Edited;User\r\n";

class QuietView : public DocumentView
{
public:
    void setCaption(const QString &) override { }
    void clearEditingTexts() override { }
};

// One run of the program on the lists: a document whose edits go through
// the journal as the window's do. Destroying it without a save is a kill.
struct ProgramRun {
    TaskLists lists;
    ScriptedDialogs dialogs;
    QuietView view;
    TaskDocument document{lists, dialogs, view};
    EntryEditing editing{lists, [] { return QStringLiteral("now"); }};

    void edit(const std::optional<EntryChange> &change)
    {
        ASSERT_TRUE(change);
        document.journalChange(RecordOf(change->before, change->after));
        document.markEdited();
    }
    void select(int tab, int position)
    {
        CategoryList &list = lists.list(static_cast<Category>(tab));
        list.selectionModel()->setCurrentIndex(list.index(position - 1, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    QStringList tasks(Category category)
    {
        QStringList texts;
        for (const Item &item : itemsOf(lists.list(category)))
            texts << item.task;
        return texts;
    }
};

// The question, with the time of the last change left out.
bool asksToRestore(const ScriptedDialogs::Message &message, int changes)
{
    const QString start =
        QStringLiteral("This list has changes that were not saved when Tarvik last stopped (%1 changes, the last at ")
            .arg(changes);
    return message.text.startsWith(start) && message.text.endsWith(QStringLiteral("). Restore them?"))
        && message.buttons == Dialogs::Buttons::YesNoOrLater && message.icon == Dialogs::Icon::Question;
}

QStringList journalsIn(const QString &state)
{
    return QDir(state + QStringLiteral("/tarvik/journals")).entryList(QDir::Files | QDir::Hidden);
}

class TaskDocumentJournalTest : public ::testing::Test
{
protected:
    QString state() const { return qEnvironmentVariable("XDG_STATE_HOME"); }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.tvk"));
};

} // namespace

// Changes left by a killed run come back onto the file as it is now: what
// another program changed meanwhile stays, an entry changed on both sides is
// there in both versions, and the user is told. The file itself is written
// only by the next Save, which ends the journal.
TEST_F(TaskDocumentJournalTest, RestoreBringsTheChangesOntoTheFileAsItIsNow)
{
    writeBytes(file, kHeader + "1;alpha;a;;u\r\n1;beta;b;;u\r\n2;gamma;c;d;u\r\n");
    {
        ProgramRun killed;
        killed.document.openFromCommandLine(file);
        killed.select(0, 2);
        killed.edit(killed.editing.updateEntry(0, QStringLiteral("beta here"), QStringLiteral("u")));
        killed.select(1, 1);
        killed.edit(killed.editing.deleteEntry(1));
        killed.edit(killed.editing.addEntry(0, QStringLiteral("delta"), QStringLiteral("u"), false));
    }
    const QByteArray meanwhile = kHeader + "1;alpha;a;;u\r\n1;beta there;b;e;u\r\n2;gamma;c;d;u\r\n6;epsilon;f;;u\r\n";
    writeBytes(file, meanwhile);

    ProgramRun next;
    next.dialogs.answer(Answer::Yes);
    next.dialogs.answer(Answer::Ok);
    next.document.openFromCommandLine(file);
    ASSERT_EQ(next.dialogs.messages().size(), 2);
    EXPECT_TRUE(asksToRestore(next.dialogs.messages()[0], 3));
    EXPECT_EQ(next.dialogs.messages()[1].text,
              QStringLiteral("The list changed since then, so some of these changes no longer fit it. Every entry "
                             "they added or changed is back as a new entry; some may be there twice."));
    EXPECT_EQ(next.dialogs.messages()[1].icon, Icon::Exclamation);
    QStringList tasks = next.tasks(Category::Tasks);
    tasks.sort();
    EXPECT_EQ(tasks,
              (QStringList{QStringLiteral("alpha"), QStringLiteral("beta here"), QStringLiteral("beta there"),
                           QStringLiteral("delta")}));
    EXPECT_EQ(next.tasks(Category::Completed), QStringList());
    EXPECT_EQ(next.tasks(Category::Information), QStringList{QStringLiteral("epsilon")});
    EXPECT_TRUE(next.document.isDirty());
    EXPECT_EQ(readBytes(file), meanwhile);

    // The restored changes are journaled still: a kill now loses nothing.
    EXPECT_EQ(journalsIn(state()).size(), 1);
    EXPECT_TRUE(next.document.SaveTaskFile());
    EXPECT_EQ(journalsIn(state()), QStringList());
    EXPECT_TRUE(readBytes(file).contains("1;delta;now;;u\r\n"));
    EXPECT_EQ(next.dialogs.pendingAnswers(), 0);
}

// Escape or the close box asks again next time; No drops the changes into
// the trash and leaves the file as it was, to the byte and the nanosecond.
TEST_F(TaskDocumentJournalTest, DiscardLeavesTheFileUntouched)
{
    const QByteArray content = kHeader + "1;alpha;a;;u\r\n";
    writeBytes(file, content);
    {
        ProgramRun killed;
        killed.document.openFromCommandLine(file);
        killed.edit(killed.editing.addEntry(0, QStringLiteral("lost?"), QStringLiteral("u"), false));
    }
    struct stat before {
    };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &before), 0);
    {
        ProgramRun later;
        later.dialogs.answer(Answer::Cancel);
        later.document.openFromCommandLine(file);
        EXPECT_EQ(later.dialogs.messages().size(), 1);
        EXPECT_EQ(later.tasks(Category::Tasks), QStringList{QStringLiteral("alpha")});
        // Edits made meanwhile leave the waiting journal alone and go to one
        // of their own, which a kill leaves too.
        later.edit(later.editing.addEntry(0, QStringLiteral("other"), QStringLiteral("u"), false));
    }
    EXPECT_EQ(journalsIn(state()).size(), 2);
    {
        ProgramRun again;
        again.dialogs.answer(Answer::No);
        again.document.openFromCommandLine(file);
        ASSERT_EQ(again.dialogs.messages().size(), 1);
        EXPECT_TRUE(asksToRestore(again.dialogs.messages()[0], 1));
        EXPECT_FALSE(again.document.isDirty());
    }
    EXPECT_EQ(journalsIn(state()).size(), 1);
    EXPECT_EQ(QDir(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files"))
                  .entryList({QFile::decodeName(JournalFolder::PrefixFor(file)) + u'*'}, QDir::Files)
                  .size(),
              1);
    struct stat after {
    };
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &after), 0);
    EXPECT_EQ(readBytes(file), content);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_ino, before.st_ino);

    // The journal of the edits made after Escape is asked about in turn.
    ProgramRun last;
    last.dialogs.answer(Answer::No);
    last.document.openFromCommandLine(file);
    ASSERT_EQ(last.dialogs.messages().size(), 1);
    EXPECT_TRUE(asksToRestore(last.dialogs.messages()[0], 1));
    EXPECT_EQ(journalsIn(state()), QStringList());
    EXPECT_EQ(readBytes(file), content);
}

// A list that was never saved has its journal too, offered at a start
// without a file.
TEST_F(TaskDocumentJournalTest, ANeverSavedListComesBackAtTheNextStart)
{
    {
        ProgramRun killed;
        killed.document.openFromCommandLine(QString());
        killed.edit(killed.editing.addEntry(3, QStringLiteral("noted"), QStringLiteral("u"), false));
        killed.edit(killed.editing.addEntry(0, QStringLiteral("to do"), QStringLiteral("u"), true));
    }
    ProgramRun next;
    next.dialogs.answer(Answer::Yes);
    next.document.openFromCommandLine(QString());
    EXPECT_EQ(next.dialogs.messages().size(), 1);
    EXPECT_EQ(next.tasks(Category::Information), QStringList{QStringLiteral("noted")});
    EXPECT_EQ(itemsOf(next.lists.lvwTasks),
              (Items{{7, QStringLiteral("to do"), QStringLiteral("now"), {}, QStringLiteral("u")}}));
    EXPECT_TRUE(next.document.isDirty());
}

// A journal folder that others can reach, or a link to one, is not used:
// its journals would be put into the user's lists.
TEST_F(TaskDocumentJournalTest, AFolderOthersCanReachIsRefused)
{
    QDir().mkpath(state() + QStringLiteral("/tarvik/journals"));
    ::chmod(QFile::encodeName(state() + QStringLiteral("/tarvik")).constData(), 0700);
    ::chmod(QFile::encodeName(state() + QStringLiteral("/tarvik/journals")).constData(), 0777);
    writeBytes(file, kHeader);
    ProgramRun run;
    run.document.openFromCommandLine(file);
    run.dialogs.answer(Answer::Ok);
    run.edit(run.editing.addEntry(0, QStringLiteral("a"), QStringLiteral("u"), false));
    run.edit(run.editing.addEntry(0, QStringLiteral("b"), QStringLiteral("u"), false));
    ASSERT_EQ(run.dialogs.messages().size(), 1);
    EXPECT_EQ(run.dialogs.messages()[0].text,
              QStringLiteral("Unsaved changes cannot be kept in %1: the folder must be yours alone.")
                  .arg(state() + QStringLiteral("/tarvik/journals")));
    EXPECT_EQ(journalsIn(state()), QStringList());
}
