// Saving must never leave a damaged file behind: these tests make writes fail
// for real (a read-only file, a full disk) and check the old file survives.

#include "fileformat/TaskFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const QByteArray kOldFile = "Status;Task;Added;Edited;User\r\n1;the old list;a;;u\r\n";

void fillLists(TaskLists &lists, int count)
{
    for (int i = 0; i < count; ++i)
        addItem(lists,
                {double(1 + i % 8), QStringLiteral("task number %1 with some text").arg(i), "12/8/2026 2:05:31 PM", "",
                 "user"});
}

} // namespace

TEST(TaskFileSave, NewFilesAreCreatedExistingOnesKeepPermissionsAndLinks)
{
    QTemporaryDir dir;
    TaskLists lists;
    fillLists(lists, 3);
    ScriptedDialogs dialogs;

    const QString target = dir.filePath("target.tvk");
    ASSERT_TRUE(WriteTaskFile(target, lists, dialogs));
    const QByteArray written = readBytes(target);
    EXPECT_TRUE(written.startsWith("Status;Task;Added;Edited;User\r\n1;task number 0"));

    writeBytes(target, kOldFile);
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(target, permissions));
    const QString link = dir.filePath("link.tvk");
    ASSERT_TRUE(QFile::link(target, link));

    ASSERT_TRUE(WriteTaskFile(link, lists, dialogs));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(target), written);
    const int ownerGroupOther = 0x7077; // leaves out the bits for the user running the test
    EXPECT_EQ(QFileInfo(target).permissions().toInt() & ownerGroupOther, permissions.toInt() & ownerGroupOther);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2); // no file left over
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST(TaskFileSave, TheNewFileIsNoMoreOpenThanTheOldAndAReadOnlyFileStays)
{
    QTemporaryDir dir;
    TaskLists lists;
    fillLists(lists, 3);
    ScriptedDialogs dialogs;
    const QByteArray folder = QFile::encodeName(dir.path());
    // Every new file in the folder would give the user nobody read and write.
    if (std::system(("setfacl -d -m u:nobody:rw " + folder + " 2>/dev/null").constData()) != 0)
        GTEST_SKIP() << "no access control lists here";
    const QString path = dir.filePath("private.tvk");
    writeBytes(path, kOldFile);
    ASSERT_EQ(::removexattr(QFile::encodeName(path).constData(), "system.posix_acl_access"), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);

    ASSERT_TRUE(WriteTaskFile(path, lists, dialogs));
    EXPECT_TRUE(readBytes(path).contains("task number 2"));
    char acl[256];
    EXPECT_LT(::getxattr(QFile::encodeName(path).constData(), "system.posix_acl_access", acl, sizeof acl), 0);
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // Made read-only by its owner: refused like a file that cannot be written.
    const QString readOnly = dir.filePath("read-only.tvk");
    writeBytes(readOnly, kOldFile);
    ASSERT_EQ(::removexattr(QFile::encodeName(readOnly).constData(), "system.posix_acl_access"), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    dialogs.answer(Dialogs::Answer::Ok);
    EXPECT_FALSE(WriteTaskFile(readOnly, lists, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Error saving to file!\nPermission denied");
    EXPECT_EQ(readBytes(readOnly), kOldFile);
}

TEST(TaskFileSave, NewFilesThatAKilledSaveLeftGoToTheTrash)
{
    QTemporaryDir dir;
    const QByteArray list = "Status;Task;Added;Edited;User\r\n1;the new list;a;;u\r\n";
    const auto leave = [&](const char *name, const QByteArray &contents, time_t age) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        writeBytes(path, contents);
        const timespec times[2] = {{std::time(nullptr) - age, 0}, {std::time(nullptr) - age, 0}};
        EXPECT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        return path;
    };
    const QString leftover = leave(".tvk-1x9abc", list, 600);
    const QString extendedLeftover = leave(".tvk-zz", "\xEF\xBB\xBF" + list, 600);
    // Still being written, perhaps by another window; not a task list; not
    // one of the names a save gives.
    const QString fresh = leave(".tvk-q2", list, 0);
    const QString other = leave(".tvk-abc", "someone else's", 600);
    const QString notOurs = leave(".tvk-1234abcd", list, 600);
    const QString anotherUsers = leave(".tvk-u1", list, 600);
    if (::geteuid() == 0)
        ASSERT_EQ(::chown(QFile::encodeName(anotherUsers).constData(), 65534, 65534), 0);

    TaskLists lists;
    fillLists(lists, 1);
    ScriptedDialogs dialogs;
    ASSERT_TRUE(WriteTaskFile(dir.filePath("list.tvk"), lists, dialogs));
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_FALSE(QFile::exists(extendedLeftover));
    const QString trash = QFile::decodeName(qgetenv("XDG_DATA_HOME")) + "/Trash/files/";
    EXPECT_EQ(readBytes(trash + ".tvk-1x9abc"), list);
    for (const QString &kept : {fresh, other, notOurs})
        EXPECT_TRUE(QFile::exists(kept)) << kept.toStdString();
    EXPECT_EQ(QFile::exists(anotherUsers), ::geteuid() == 0);
}

TEST(TaskFileSave, AFileThatCannotBeCreatedIsReported)
{
    QTemporaryDir dir;
    TaskLists lists;
    fillLists(lists, 1);
    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::Ok);
    dialogs.answer(Dialogs::Answer::Ok);

    EXPECT_FALSE(WriteTaskFile(dir.filePath("missing/list.tvk"), lists, dialogs));
    EXPECT_FALSE(WriteTaskFile(dir.path(), lists, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 2);
    for (const auto &message : dialogs.messages()) {
        EXPECT_TRUE(message.text.startsWith("Error saving to file!\n")) << message.text.toStdString();
        EXPECT_GT(message.text.size(), QString("Error saving to file!\n").size());
        EXPECT_EQ(message.icon, Dialogs::Icon::Exclamation);
        EXPECT_EQ(message.buttons, Dialogs::Buttons::Ok);
    }
}

TEST(TaskFileSave, ReadOnlyFileStaysAndReadOnlyFolderIsWrittenInPlace)
{
    SharedFolder folder;
    ASSERT_TRUE(folder.isValid());
    // The folder belongs to root, so only a file that nobody may write is
    // writable to nobody, and then only in place.
    const QString readOnly = folder.filePath("read-only.tvk");
    const QString writable = folder.filePath("writable.tvk");
    writeBytes(readOnly, kOldFile);
    writeBytes(writable, kOldFile);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(
        writable, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther | QFileDevice::WriteOther));

    const int result = runAsNobody([&] {
        TaskLists lists;
        fillLists(lists, 20);
        ScriptedDialogs dialogs;
        dialogs.answer(Dialogs::Answer::Ok);
        int failures = 0;
        if (WriteTaskFile(readOnly, lists, dialogs))
            failures |= 1;
        if (dialogs.messages().size() != 1 || !dialogs.messages()[0].text.startsWith("Error saving to file!\n"))
            failures |= 2;
        if (!WriteTaskFile(writable, lists, dialogs))
            failures |= 4;
        return failures;
    });
    if (result == 100)
        GTEST_SKIP() << "cannot switch to the user nobody (not running as root)";
    EXPECT_EQ(result, 0) << "bits: 1 saved a read-only file, 2 wrong message, 4 in-place save failed";
    EXPECT_EQ(readBytes(readOnly), kOldFile);
    EXPECT_TRUE(readBytes(writable).contains("task number 19"));
}

TEST(TaskFileSave, AFullDiskLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    const QString mountPoint = dir.filePath("small");
    const SmallDisk disk(mountPoint, "64k");
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << disk.error();

    const QString path = mountPoint + "/list.tvk";
    writeBytes(path, kOldFile);
    TaskLists lists;
    fillLists(lists, 3000); // about 200 kB, more than the disk holds
    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::Ok);

    EXPECT_FALSE(WriteTaskFile(path, lists, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Error saving to file!\nNo space left on device");
    EXPECT_EQ(readBytes(path), kOldFile);
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"list.tvk"}); // the unfinished new file is gone
}
