// The copies that in-place saves keep, as the next open of the file finds
// them: only from a private folder, only for a save that did not finish, and
// through every name of the file.

#include "storage/SaveBackup.h"

#include "storage/FileAccess.h"
#include "support/TaskFileTesting.h"

#include <sys/stat.h>

namespace {

const QByteArray kOld = "Status;Task;Added;Edited;User\r\n1;old;a;;u\r\n";
const QByteArray kNew = "Status;Task;Added;Edited;User\r\n2;new and longer;b;c;v\r\n";

QByteArray bytesOf(const QString &path)
{
    return QFile::encodeName(path);
}

struct stat statusOf(const QString &path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(bytesOf(path).constData(), &info), 0) << path.toStdString();
    return info;
}

QString stateFolder()
{
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    return state.isEmpty() ? QFile::decodeName(qgetenv("HOME")) + "/.local/state/tarvik"
                           : QFile::decodeName(state) + "/tarvik";
}

// The copy an in-place save of path makes just before it overwrites the file.
QString makeCopy(const QString &path)
{
    QByteArray copy;
    const Result written = SaveBackup::Write(statusOf(path), "list.tvk", kOld, kNew, copy);
    EXPECT_TRUE(written.succeeded()) << written.reason().toStdString();
    return QFile::decodeName(copy);
}

} // namespace

TEST(SaveBackup, AFinishedSaveIsNotOfferedAndEveryNameSeesTheCopy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.tvk");
    const QString otherName = dir.filePath("other-name.tvk");
    writeBytes(path, kOld);
    ASSERT_EQ(::link(bytesOf(path).constData(), bytesOf(otherName).constData()), 0);

    // Killed part-way: the file holds part of the new contents.
    const QString copy = makeCopy(path);
    writeBytes(path, kNew.left(40));
    EXPECT_EQ(SaveBackup::Find(otherName).copy, copy);
    EXPECT_EQ(SaveBackup::Find(path).copy, copy);
    // A save through the other name is refused while the copy waits.
    EXPECT_TRUE(ReplaceFileContents(otherName, kNew).reason().contains(copy));
    ASSERT_TRUE(SaveBackup::Restore(otherName, copy).succeeded());
    EXPECT_EQ(readBytes(path), kOld);
    EXPECT_TRUE(SaveBackup::Find(path).copy.isEmpty());

    // Killed after the new contents were complete: the save finished.
    const QString finished = makeCopy(path);
    writeBytes(path, kNew);
    EXPECT_TRUE(SaveBackup::Find(otherName).copy.isEmpty());
    EXPECT_FALSE(QFile::exists(finished));
    EXPECT_EQ(readBytes(path), kNew);
}

TEST(SaveBackup, NothingIsKeptInOrTakenFromAFolderOrCopyThatIsNotPrivate)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.tvk");
    const QString link = dir.filePath("link.tvk");
    writeBytes(path, kOld);
    // A second name makes every save an in-place one.
    ASSERT_EQ(::link(bytesOf(path).constData(), bytesOf(link).constData()), 0);
    const QString copy = makeCopy(path);
    writeBytes(path, kNew.left(40));
    const QString backups = stateFolder() + "/backups";

    const auto expectRefused = [&](const char *why, const QString &named) {
        SCOPED_TRACE(why);
        const SaveBackup::Waiting waiting = SaveBackup::Find(path);
        EXPECT_TRUE(waiting.copy.isEmpty());
        EXPECT_TRUE(waiting.trouble.reason().contains(named)) << waiting.trouble.reason().toStdString();
        EXPECT_TRUE(SaveBackup::Restore(path, copy).failed());
        EXPECT_EQ(readBytes(path), kNew.left(40));
    };

    // Another user could have written the folder.
    ASSERT_EQ(::chmod(bytesOf(backups).constData(), 0777), 0);
    expectRefused("a folder open to others", backups);
    const Result notSaved = ReplaceFileContents(path, kNew);
    EXPECT_TRUE(notSaved.reason().contains(backups)) << notSaved.reason().toStdString();
    ASSERT_EQ(::chmod(bytesOf(backups).constData(), 0700), 0);

    // A copy with a second name, or a link in its place.
    const QString secondName = dir.filePath("planted");
    ASSERT_EQ(::link(bytesOf(copy).constData(), bytesOf(secondName).constData()), 0);
    expectRefused("a copy with two names", backups);
    ASSERT_TRUE(QFile::remove(copy));
    ASSERT_EQ(::symlink(bytesOf(secondName).constData(), bytesOf(copy).constData()), 0);
    expectRefused("a link at the copy's name", backups);
    if (::geteuid() == 0) {
        ASSERT_TRUE(QFile::remove(copy));
        ASSERT_TRUE(QFile::copy(secondName, copy));
        ASSERT_EQ(::lchown(bytesOf(copy).constData(), 65534, 65534), 0);
        expectRefused("a copy of another user's", backups);
    }

    // The backups folder a link to a folder elsewhere: no copy is written there.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir(backups).removeRecursively());
    ASSERT_EQ(::symlink(bytesOf(elsewhere.path()).constData(), bytesOf(backups).constData()), 0);
    EXPECT_TRUE(ReplaceFileContents(path, kNew).reason().contains(backups));
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
    EXPECT_EQ(readBytes(path), kNew.left(40));
    ASSERT_TRUE(QFile::remove(backups));
}
