#include "document/TaskDocument.h"

#include "entries/TaskLists.h"
#include "storage/FilePath.h"
#include "storage/SaveBackup.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;

const QString kAskForFile =
    QStringLiteral("No file specified to save to! Please select a file!\n(Cancel will abort save)");
const QString kNoFileChosen = QStringLiteral("No file specified, all changes will be lost!");
const QString kSaveOnNew = QStringLiteral("ToDo-list has been edited! Save Changes?");
const QString kSaveOnClose = QStringLiteral("ToDo-list has been edited! Save changes?");
const QByteArray kHeader = "Status;Task;Added;Edited;User\r\n";

class RecordingView : public DocumentView
{
public:
    void setCaption(const QString &caption) override { captions.append(caption); }
    void clearEditingTexts() override { ++textClears; }

    QString caption() const { return captions.isEmpty() ? QStringLiteral("Tarvik") : captions.last(); }

    QStringList captions;
    int textClears = 0;
};

class TaskDocumentTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &content) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    static QByteArray readFile(const QString &filePath)
    {
        QFile file(filePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // An unsaved entry, as the New button makes one.
    void addEntry(const QString &task)
    {
        lists.lvwTasks.insertAtTop(Entry::create(1, task, u"added", u"", u"me"));
        document.markEdited();
    }

    // A file name that cannot be written: its folder does not exist.
    QString unwritable() const { return path(QStringLiteral("missing/list.tvk")); }

    void expectMessage(int index, const QString &text, Buttons buttons, Icon icon) const
    {
        ASSERT_GT(dialogs.messages().size(), index);
        const ScriptedDialogs::Message &m = dialogs.messages()[index];
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.buttons, buttons);
        EXPECT_EQ(m.icon, icon);
    }

    void TearDown() override
    {
        EXPECT_EQ(dialogs.pendingAnswers(), 0);
        EXPECT_EQ(dialogs.pendingFiles(), 0);
    }

    QTemporaryDir dir;
    TaskLists lists;
    ScriptedDialogs dialogs;
    RecordingView view;
    TaskDocument document{lists, dialogs, view};
};

} // namespace

TEST_F(TaskDocumentTest, CaptionNamesVersionAndFile)
{
    document.openFromCommandLine(writeFile(QStringLiteral("home.tvk"), kHeader));
    EXPECT_EQ(view.caption(), QStringLiteral("Tarvik 1.0.0 (%1)").arg(path(QStringLiteral("home.tvk"))));
    EXPECT_EQ(TaskDocument::DefaultCaption(), QStringLiteral("Tarvik"));
}

TEST_F(TaskDocumentTest, SaveWithoutFileAsksForOne)
{
    addEntry(QStringLiteral("a"));

    // Cancel in the first question: nothing is written, the flag stays.
    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(document.SaveTaskFile());
    expectMessage(0, kAskForFile, Buttons::OkCancel, Icon::Exclamation);
    EXPECT_TRUE(dialogs.fileChoices().isEmpty());
    EXPECT_TRUE(document.isDirty());

    // OK, then no file chosen.
    dialogs.answer(Answer::Ok);
    dialogs.choose(QString());
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(document.SaveTaskFile());
    expectMessage(2, kNoFileChosen, Buttons::Ok, Icon::Exclamation);
    EXPECT_TRUE(document.isDirty());
    EXPECT_EQ(document.BuildWindowCaption(), captionFor({}));
    EXPECT_EQ(lists.lvwTasks.count(), 1);

    // OK and a file: a name typed without extension is used as typed.
    const QString chosen = path(QStringLiteral("list"));
    dialogs.answer(Answer::Ok);
    dialogs.choose(chosen);
    document.save();
    ASSERT_EQ(dialogs.fileChoices().size(), 2);
    EXPECT_EQ(dialogs.fileChoices()[1].mode, Dialogs::FileMode::Save);
    EXPECT_EQ(dialogs.fileChoices()[1].filter, TaskFileFilter());
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(chosen));
    EXPECT_EQ(view.caption(), document.BuildWindowCaption());
    EXPECT_FALSE(document.isDirty());
    EXPECT_TRUE(readFile(chosen).startsWith(kHeader + "1;a;added;;me\r\n"));
    EXPECT_FALSE(QFile::exists(chosen + QStringLiteral(".tvk")));

    // With a name, Save writes without asking.
    addEntry(QStringLiteral("b"));
    EXPECT_TRUE(document.SaveTaskFile());
    EXPECT_EQ(dialogs.messages().size(), 4);
    EXPECT_TRUE(readFile(chosen).contains("1;b;"));
}

TEST_F(TaskDocumentTest, FailedWriteKeepsFlagAndChosenName)
{
    addEntry(QStringLiteral("a"));
    dialogs.answer(Answer::Ok);
    dialogs.choose(unwritable());
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(document.SaveTaskFile());
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].text.startsWith(QStringLiteral("Error saving to file!\n")));
    EXPECT_EQ(dialogs.messages()[1].icon, Icon::Exclamation);
    EXPECT_TRUE(document.isDirty());
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(unwritable()));
    EXPECT_EQ(view.caption(), document.BuildWindowCaption());
}

TEST_F(TaskDocumentTest, SaveAsTakesTheNameBeforeWriting)
{
    addEntry(QStringLiteral("a"));
    dialogs.choose(QString());
    document.saveAs();
    EXPECT_EQ(document.BuildWindowCaption(), captionFor({}));
    EXPECT_TRUE(view.captions.isEmpty());
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // The caption already names the new file when the write fails.
    dialogs.choose(unwritable());
    dialogs.answer(Answer::Ok);
    document.saveAs();
    EXPECT_EQ(view.caption(), QStringLiteral("Tarvik 1.0.0 (%1)").arg(unwritable()));
    EXPECT_TRUE(document.isDirty());

    const QString other = path(QStringLiteral("other.tvk"));
    dialogs.choose(other);
    document.saveAs();
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(other));
    EXPECT_FALSE(document.isDirty());
    EXPECT_TRUE(readFile(other).contains("1;a;"));
    EXPECT_EQ(dialogs.fileChoices().last().mode, Dialogs::FileMode::Save);
}

TEST_F(TaskDocumentTest, NewOnCleanDocumentAsksNothing)
{
    document.openFromCommandLine(writeFile(QStringLiteral("a.tvk"), kHeader + "1;a;x;;u\r\n"));
    ASSERT_EQ(lists.lvwTasks.count(), 1);
    const int clearsBefore = view.textClears;

    document.newList();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(lists.lvwTasks.count(), 0);
    EXPECT_GT(view.textClears, clearsBefore);
    EXPECT_EQ(document.BuildWindowCaption(), captionFor({}));
    EXPECT_EQ(view.caption(), QStringLiteral("Tarvik"));
    EXPECT_FALSE(document.isDirty());

    // The name is gone, so a following Save asks for a file.
    dialogs.answer(Answer::Cancel);
    document.save();
    expectMessage(0, kAskForFile, Buttons::OkCancel, Icon::Exclamation);
}

TEST_F(TaskDocumentTest, NewOnEditedDocument)
{
    addEntry(QStringLiteral("a"));

    dialogs.answer(Answer::Cancel);
    document.newList();
    expectMessage(0, kSaveOnNew, Buttons::YesNoCancel, Icon::Question);
    EXPECT_EQ(lists.lvwTasks.count(), 1);
    EXPECT_TRUE(document.isDirty());

    // Yes, then the save is abandoned: New empties nothing.
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Cancel);
    document.newList();
    EXPECT_EQ(lists.lvwTasks.count(), 1);
    EXPECT_TRUE(document.isDirty());

    // Yes, then the write fails: New empties nothing either.
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Ok);
    dialogs.choose(unwritable());
    dialogs.answer(Answer::Ok);
    document.newList();
    EXPECT_EQ(lists.lvwTasks.count(), 1);
    EXPECT_TRUE(document.isDirty());
    EXPECT_EQ(view.caption(), document.BuildWindowCaption());

    // No: the changes are dropped.
    dialogs.answer(Answer::No);
    document.newList();
    EXPECT_EQ(lists.lvwTasks.count(), 0);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(document.BuildWindowCaption(), captionFor({}));
    EXPECT_EQ(view.caption(), QStringLiteral("Tarvik"));
}

TEST_F(TaskDocumentTest, NewSavesOnYes)
{
    const QString file = writeFile(QStringLiteral("a.tvk"), kHeader);
    document.openFromCommandLine(file);
    addEntry(QStringLiteral("keep me"));
    dialogs.answer(Answer::Yes);
    document.newList();
    EXPECT_TRUE(readFile(file).contains("1;keep me;"));
    EXPECT_EQ(lists.lvwTasks.count(), 0);
    EXPECT_FALSE(document.isDirty());
}

TEST_F(TaskDocumentTest, OpenReplacesTheLists)
{
    const QString file = writeFile(QStringLiteral("b.tvk"), kHeader + "2;done;x;y;u\r\n");
    dialogs.choose(file);
    document.open();
    ASSERT_EQ(dialogs.fileChoices().size(), 1);
    EXPECT_EQ(dialogs.fileChoices()[0].mode, Dialogs::FileMode::Open);
    EXPECT_EQ(dialogs.fileChoices()[0].filter, TaskFileFilter());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(lists.lvwCompleted.count(), 1);
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(file));
    EXPECT_EQ(view.caption(), document.BuildWindowCaption());
    EXPECT_EQ(view.textClears, 1);

    // A cancelled dialog changes nothing.
    dialogs.choose(QString());
    document.open();
    EXPECT_EQ(lists.lvwCompleted.count(), 1);
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(file));
}

TEST_F(TaskDocumentTest, OpenOnEditedDocumentAsksFirst)
{
    const QString file = writeFile(QStringLiteral("b.tvk"), kHeader + "2;done;x;y;u\r\n");
    addEntry(QStringLiteral("unsaved"));

    // Cancel ends Open before the file dialog.
    dialogs.answer(Answer::Cancel);
    document.open();
    expectMessage(0, kSaveOnNew, Buttons::YesNoCancel, Icon::Question);
    EXPECT_TRUE(dialogs.fileChoices().isEmpty());
    EXPECT_EQ(lists.lvwTasks.count(), 1);

    // Yes with an abandoned save ends Open too.
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Cancel);
    document.open();
    EXPECT_TRUE(dialogs.fileChoices().isEmpty());
    EXPECT_EQ(lists.lvwTasks.count(), 1);
    EXPECT_TRUE(document.isDirty());

    // No drops the changes and opens.
    dialogs.answer(Answer::No);
    dialogs.choose(file);
    document.open();
    EXPECT_EQ(lists.lvwTasks.count(), 0);
    EXPECT_EQ(lists.lvwCompleted.count(), 1);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(file));
}

// A path given without the dialog (a dropped file) opens as a chosen one,
// behind the same question; only one local .tvk file among dropped items is one.
TEST_F(TaskDocumentTest, OpenPathAsksFirstAndOpensWithoutTheDialog)
{
    const QString file = writeFile(QStringLiteral("b.tvk"), kHeader + "2;done;x;y;u\r\n");
    addEntry(QStringLiteral("unsaved"));
    dialogs.answer(Answer::Cancel);
    document.openPath(file);
    expectMessage(0, kSaveOnNew, Buttons::YesNoCancel, Icon::Question);
    EXPECT_EQ(lists.lvwTasks.count(), 1);

    dialogs.answer(Answer::No);
    document.openPath(file);
    EXPECT_TRUE(dialogs.fileChoices().isEmpty());
    EXPECT_EQ(lists.lvwTasks.count(), 0);
    EXPECT_EQ(lists.lvwCompleted.count(), 1);
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(file));

    const QByteArray latin1Name = "/tmp/caf\xE9.TVK";
    EXPECT_EQ(DroppedTaskFile({QUrl::fromEncoded("file:///tmp/caf%E9.TVK")}), FilePathFromBytes(latin1Name));
    EXPECT_EQ(DroppedTaskFile({QUrl::fromLocalFile(file)}), file);
    EXPECT_TRUE(DroppedTaskFile({QUrl::fromLocalFile(file), QUrl::fromLocalFile(file)}).isEmpty());
    EXPECT_TRUE(DroppedTaskFile({QUrl(QStringLiteral("https://example.org/list.tvk"))}).isEmpty());
    EXPECT_TRUE(DroppedTaskFile({QUrl::fromLocalFile(path(QStringLiteral("notes.txt")))}).isEmpty());
}

TEST_F(TaskDocumentTest, OpenSavesOnYes)
{
    const QString saved = path(QStringLiteral("saved.tvk"));
    const QString file = writeFile(QStringLiteral("b.tvk"), kHeader + "2;done;x;y;u\r\n");
    addEntry(QStringLiteral("unsaved"));
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Ok);
    dialogs.choose(saved);
    dialogs.choose(file);
    document.open();
    EXPECT_TRUE(readFile(saved).contains("1;unsaved;"));
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(file));
    EXPECT_EQ(lists.lvwCompleted.count(), 1);
}

TEST_F(TaskDocumentTest, PartialReadDoesNotTakeTheName)
{
    // The empty line stops reading after the first entry.
    const QString file = writeFile(QStringLiteral("broken.tvk"), kHeader + "1;first;x;;u\r\n\r\n2;lost;x;;u\r\n");
    document.openFromCommandLine(writeFile(QStringLiteral("previous.tvk"), kHeader));
    addEntry(QStringLiteral("unsaved"));
    dialogs.answer(Answer::No);
    dialogs.choose(file);
    dialogs.answer(Answer::Ok);
    document.open();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].text.startsWith(QStringLiteral("Error opening file!\n")));
    EXPECT_EQ(lists.lvwTasks.count(), 1);
    EXPECT_EQ(document.BuildWindowCaption(), captionFor({}));
    EXPECT_EQ(view.caption(), QStringLiteral("Tarvik"));
    EXPECT_FALSE(document.isDirty());

    // Saving asks for a file instead of overwriting the broken one.
    dialogs.answer(Answer::Cancel);
    document.save();
    EXPECT_EQ(dialogs.messages().last().text, kAskForFile);
    EXPECT_TRUE(readFile(file).contains("2;lost;"));
}

TEST_F(TaskDocumentTest, MissingFileOnCommandLineIsTakenOver)
{
    const QString file = path(QStringLiteral("new list.tvk"));
    dialogs.answer(Answer::Ok);
    document.openFromCommandLine(file);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(QStringLiteral("Error opening file!\n")));
    EXPECT_EQ(dialogs.messages()[0].icon, Icon::Exclamation);
    EXPECT_EQ(document.BuildWindowCaption(), captionFor(file));
    EXPECT_EQ(view.caption(), document.BuildWindowCaption());
    EXPECT_FALSE(document.isDirty());

    addEntry(QStringLiteral("first"));
    EXPECT_TRUE(document.SaveTaskFile());
    EXPECT_TRUE(readFile(file).contains("1;first;"));
}

TEST_F(TaskDocumentTest, EmptyCommandLineOpensNothing)
{
    document.openFromCommandLine(QString());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(view.captions.isEmpty());
    EXPECT_EQ(view.textClears, 0);
}

TEST_F(TaskDocumentTest, CloseRequest)
{
    EXPECT_TRUE(document.queryUnload());
    EXPECT_TRUE(dialogs.messages().isEmpty());

    addEntry(QStringLiteral("a"));
    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(document.queryUnload());
    expectMessage(0, kSaveOnClose, Buttons::YesNoCancel, Icon::Question);

    dialogs.answer(Answer::No);
    EXPECT_TRUE(document.queryUnload());
    EXPECT_TRUE(document.isDirty());

    // Yes and an abandoned save keep the window open.
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(document.queryUnload());

    // Yes and a failed write keep it open too.
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Ok);
    dialogs.choose(unwritable());
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(document.queryUnload());
    EXPECT_TRUE(document.isDirty());

    // Yes and a complete write let it close.
    const QString file = path(QStringLiteral("closing.tvk"));
    dialogs.choose(file);
    document.saveAs();
    EXPECT_FALSE(document.isDirty());
    addEntry(QStringLiteral("b"));
    dialogs.answer(Answer::Yes);
    EXPECT_TRUE(document.queryUnload());
    EXPECT_FALSE(document.isDirty());
    EXPECT_TRUE(readFile(file).contains("1;b;"));
}

TEST_F(TaskDocumentTest, ABackupLeftBySaveThatNeverFinishedIsOffered)
{
    const QString file = writeFile(QStringLiteral("list.tvk"), kHeader + "1;half of the new;x;;u\r\n");
    const QByteArray before = kHeader + "1;the whole old list;x;;u\r\n";
    const QByteArray saving = kHeader + "1;half of the new list and the rest;x;;u\r\n";
    // The copy an in-place save makes before it overwrites the file.
    const auto makeCopy = [&](const QByteArray &old) {
        struct stat info;
        EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
        QByteArray copy;
        EXPECT_TRUE(SaveBackup::Write(info, "list.tvk", old, saving, copy).succeeded());
        return QFile::decodeName(copy);
    };
    const QString backup = makeCopy(before);
    const QString question = QStringLiteral("Saving this file did not finish last time. Its contents from before "
                                            "that save are in %1.\nRestore them?")
                                 .arg(backup);

    // Yes puts the old contents back, and they are what is read.
    dialogs.answer(Answer::Yes);
    document.openFromCommandLine(file);
    expectMessage(0, question, Buttons::YesNo, Icon::Question);
    EXPECT_EQ(readFile(file), before);
    EXPECT_FALSE(QFileInfo::exists(backup));
    EXPECT_EQ(itemsOf(lists.lvwTasks), (Items{{1, "the whole old list", "x", "", "u"}}));

    // No keeps the file as it is and moves the backup to the trash.
    ASSERT_EQ(makeCopy(kHeader), backup);
    dialogs.answer(Answer::No);
    document.openFromCommandLine(file);
    expectMessage(1, question, Buttons::YesNo, Icon::Question);
    EXPECT_EQ(readFile(file), before);
    EXPECT_FALSE(QFileInfo::exists(backup));
    const QString trashed =
        QFile::decodeName(qgetenv("XDG_DATA_HOME")) + "/Trash/files/" + QFileInfo(backup).fileName();
    EXPECT_EQ(readFile(trashed), kHeader);
    EXPECT_EQ(dialogs.messages().size(), 2);

    // A backups folder that others may write is named and never offered.
    const QString folder = QFileInfo(backup).absolutePath();
    ASSERT_EQ(makeCopy(kHeader), backup);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    dialogs.answer(Answer::Ok);
    document.openFromCommandLine(file);
    ASSERT_EQ(dialogs.messages().size(), 3);
    EXPECT_TRUE(dialogs.messages()[2].text.startsWith("The folder " + folder + " is not private"));
    EXPECT_EQ(dialogs.messages()[2].icon, Icon::Exclamation);
    EXPECT_EQ(readFile(file), before);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
    ASSERT_TRUE(QFile::remove(backup));
}

// The names in a folder as bytes, which QDir cannot give for every name.
static QList<QByteArray> namesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    DIR *entries = ::opendir(folder.constData());
    while (const dirent *entry = entries ? ::readdir(entries) : nullptr) {
        if (entry->d_name[0] != '.')
            names.append(entry->d_name);
    }
    if (entries)
        ::closedir(entries);
    return names;
}

TEST_F(TaskDocumentTest, FileNamesThatAreNotUtf8KeepTheirBytes)
{
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray name = folder + "/caf\xE9.tvk";
    {
        QFile raw;
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(raw.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        raw.write(kHeader + "1;old;x;;u\r\n");
    }
    const QString path = FilePathFromBytes(name);
    EXPECT_EQ(FilePathBytes(path), name);

    // From the command line and from the file dialog, which shows U+FFFD.
    for (const bool fromDialog : {false, true}) {
        SCOPED_TRACE(fromDialog);
        if (fromDialog) {
            dialogs.choose(dir.path() + QStringLiteral("/caf\uFFFD.tvk"));
            document.open();
        } else {
            document.openFromCommandLine(path);
        }
        EXPECT_TRUE(dialogs.messages().isEmpty());
        EXPECT_EQ(lists.lvwTasks.count(), fromDialog ? 2 : 1);
        EXPECT_EQ(view.caption(), captionFor(dir.path() + QStringLiteral("/caf\uFFFD.tvk")));
        addEntry(QStringLiteral("new"));
        EXPECT_TRUE(document.SaveTaskFile());
        EXPECT_EQ(namesIn(folder), QList<QByteArray>{"caf\xE9.tvk"});
    }
    QFile saved(QFile::decodeName(name));
    const int fd = ::open(name.constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(saved.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    EXPECT_EQ(saved.readAll(), kHeader + "1;new;added;;me\r\n1;new;added;;me\r\n1;old;x;;u\r\n");
    ::unlink(name.constData()); // which the temporary folder could not name
}
