// Every command that offers to save (Save itself, New, Open and closing,
// each answered Yes) against a file the machine will not let it write: the
// user is told why, the edits stay in the lists and marked as unsaved, the
// command stops, and the file on disk is as it was.

#include "document/TaskDocument.h"
#include "fileformat/TaskFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

#include <sys/stat.h>

namespace {

using Answer = Dialogs::Answer;

const QByteArray kSavedFile = "Status;Task;Added;Edited;User\r\n"
                              "1;saved task;a;;u\r\n2;saved and done;a;e;u\r\n6;saved note;a;;u\r\n";

class SilentView : public DocumentView
{
public:
    void setCaption(const QString &text) override { caption = text; }
    void clearEditingTexts() override { }

    QString caption;
};

enum class Command { Save, New, Open, Close };

const char *nameOf(Command command)
{
    switch (command) {
    case Command::Save:
        return "Save";
    case Command::New:
        return "New, Yes";
    case Command::Open:
        return "Open, Yes";
    case Command::Close:
        return "closing, Yes";
    }
    return "";
}

// What the user did since the list was read: entries added to three lists,
// one of them too large for a small disk and one that needs the extended
// form, and an entry changed.
void edit(TaskLists &lists, TaskDocument &document)
{
    addItem(lists, {7, "unsaved question", "12/9/2026 9:00:00 AM", "", "me"});
    addItem(lists, {4, "unsaved; with \\ and a\nline break \u03a9", "12/9/2026 9:01:00 AM", "", "me"});
    addItem(lists, {8, QString(100 * 1024, u'r'), "12/9/2026 9:02:00 AM", "", "me"});
    lists.lvwCompleted.setText(lists.lvwCompleted.rowAt(1), Entry::User, "changed");
    document.markEdited();
}

// Something that keeps the file at path from being written, what must be
// found on disk afterwards, and what takes the cause away again where putting
// the saved list back does not.
struct Fault {
    QString description; // the system's words after "Error saving to file!"
    std::function<void()> cause;
    std::function<void()> expectLeftAlone;
    std::function<void()> repair = [] {};
};

class DocumentFaultTest : public ::testing::Test
{
protected:
    // Puts the saved list back at path, its folder too.
    static void restore(const QString &path)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        if (QFileInfo(path).isDir())
            ASSERT_TRUE(QDir(path).removeRecursively());
        else
            QFile::remove(path);
        writeBytes(path, kSavedFile);
    }

    static void expectNothingLost(const QString &path, const Fault &fault)
    {
        for (const Command command : {Command::Save, Command::New, Command::Open, Command::Close}) {
            SCOPED_TRACE(nameOf(command));
            restore(path);
            TaskLists lists;
            ScriptedDialogs dialogs;
            SilentView view;
            TaskDocument document(lists, dialogs, view);
            document.openFromCommandLine(path);
            edit(lists, document);
            const auto edited = contentsOf(lists);
            fault.cause();

            QStringList expectedTexts;
            if (command != Command::Save) {
                dialogs.answer(Answer::Yes);
                expectedTexts << (command == Command::Close ? "ToDo-list has been edited! Save changes?"
                                                            : "ToDo-list has been edited! Save Changes?");
            }
            dialogs.answer(Answer::Ok);
            expectedTexts << "Error saving to file!\n" + fault.description;
            switch (command) {
            case Command::Save:
                document.save();
                break;
            case Command::New:
                document.newList();
                break;
            case Command::Open:
                document.open();
                break;
            case Command::Close:
                EXPECT_FALSE(document.queryUnload()); // the window stays open
                break;
            }

            QStringList texts;
            for (const auto &message : dialogs.messages())
                texts << message.text;
            EXPECT_EQ(texts, expectedTexts);
            EXPECT_TRUE(dialogs.fileChoices().isEmpty()); // Open stopped before its file chooser
            EXPECT_EQ(contentsOf(lists), edited);
            EXPECT_TRUE(document.isDirty());
            EXPECT_EQ(document.BuildWindowCaption(), captionFor(path));
            EXPECT_EQ(view.caption, document.BuildWindowCaption());
            fault.expectLeftAlone();
            fault.repair();
        }

        // Once the cause is gone, the same edits save and read back whole.
        restore(path);
        TaskLists lists;
        ScriptedDialogs dialogs;
        SilentView view;
        TaskDocument document(lists, dialogs, view);
        document.openFromCommandLine(path);
        edit(lists, document);
        EXPECT_TRUE(document.SaveTaskFile());
        EXPECT_FALSE(document.isDirty());
        TaskLists reread;
        EXPECT_EQ(LoadTaskFile(path, reread, dialogs), LoadResult::Complete);
        EXPECT_EQ(contentsOf(reread), contentsOf(lists));
        EXPECT_TRUE(dialogs.messages().isEmpty());
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(DocumentFaultTest, FileReplacedByAFolder)
{
    const QString path = dir.filePath("list.tvk");
    expectNothingLost(path,
                      {"The path names a folder, not a file.",
                       [&] {
                           ASSERT_TRUE(QFile::remove(path));
                           ASSERT_TRUE(QDir().mkdir(path));
                           writeBytes(path + "/inside.tvk", kSavedFile);
                       },
                       [&] {
                           EXPECT_TRUE(QFileInfo(path).isDir());
                           EXPECT_EQ(readBytes(path + "/inside.tvk"), kSavedFile);
                       }});
}

TEST_F(DocumentFaultTest, FileReplacedByAPipe)
{
    const QString path = dir.filePath("list.tvk");
    expectNothingLost(path,
                      {"The path names a device, pipe or socket, not a file.",
                       [&] {
                           ASSERT_TRUE(QFile::remove(path));
                           ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                       },
                       [&] {
                           struct stat info = {};
                           ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0);
                           EXPECT_TRUE(S_ISFIFO(info.st_mode));
                       }});
}

TEST_F(DocumentFaultTest, FolderDeleted)
{
    const QString folder = dir.filePath("lists");
    const QString path = folder + "/list.tvk";
    expectNothingLost(path,
                      {"No such file or directory", [&] { ASSERT_TRUE(QDir(folder).removeRecursively()); },
                       [&] { EXPECT_FALSE(QFileInfo::exists(folder)); }});
}

TEST_F(DocumentFaultTest, DiskFull)
{
    const QString mountPoint = dir.filePath("small");
    const SmallDisk disk(mountPoint, "256k");
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << disk.error();

    // A file fills the disk up to less than the edited list needs.
    const QString path = mountPoint + "/list.tvk";
    const QString filler = mountPoint + "/filler";
    expectNothingLost(path,
                      {"No space left on device", [&] { writeBytes(filler, QByteArray(200 * 1024, 'f')); },
                       [&] {
                           EXPECT_EQ(readBytes(path), kSavedFile);
                           EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden | QDir::System),
                                     (QStringList{"filler", "list.tvk"}));
                       },
                       [&] { ASSERT_TRUE(QFile::remove(filler)); }});
}

TEST_F(DocumentFaultTest, ReadOnlyFile)
{
    SharedFolder folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("list.tvk");
    writeBytes(path, kSavedFile);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther));

    // As an ordinary user, who may read the file but not write it.
    const int result = runAsNobody([&] {
        int failures = 0;
        for (const bool closing : {false, true}) {
            TaskLists lists;
            ScriptedDialogs dialogs;
            SilentView view;
            TaskDocument document(lists, dialogs, view);
            document.openFromCommandLine(path);
            edit(lists, document);
            const auto edited = contentsOf(lists);
            if (closing)
                dialogs.answer(Answer::Yes);
            dialogs.answer(Answer::Ok);
            const bool done = closing ? document.queryUnload() : document.SaveTaskFile();
            if (done)
                failures |= 1;
            if (dialogs.messages().size() != (closing ? 2 : 1)
                || !dialogs.messages().last().text.startsWith("Error saving to file!\n"))
                failures |= 2;
            if (contentsOf(lists) != edited || !document.isDirty() || document.BuildWindowCaption() != captionFor(path))
                failures |= 4;
        }
        return failures;
    });
    if (result == 100)
        GTEST_SKIP() << "cannot switch to the user nobody (not running as root)";
    EXPECT_EQ(result, 0) << "bits: 1 reported success, 2 wrong message, 4 edits or their state lost";
    EXPECT_EQ(readBytes(path), kSavedFile);
}
