// Files that a new file could not stand in for are saved where they stand,
// behind a synced backup: hard links, another owner or group, access control
// lists and extended attributes, folders that take no new file, a full disk,
// a kill part-way. Each case compares what is on disk afterwards byte for byte.

#include "fileformat/TaskFile.h"
#include "storage/FileAccess.h"
#include "storage/SaveBackup.h"
#include "support/ScriptedDialogs.h"
#include "support/TaskFileTesting.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <csignal>
#include <cstdlib>

#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

const QByteArray kOldFile = "Status;Task;Added;Edited;User\r\n1;the old list;a;;u\r\n";
const QByteArray kNewFile = "Status;Task;Added;Edited;User\r\n2;the new list, longer than the old;b;c;v\r\n";

QString backupFolder()
{
    return QFile::decodeName(qgetenv("HOME")) + "/.local/state/tarvik/backups";
}

QStringList backups()
{
    return QDir(backupFolder()).entryList(QDir::Files | QDir::Hidden);
}

struct stat statusOf(const QString &path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

QByteArray attribute(const QString &path, const char *name)
{
    QByteArray value(256, '\0');
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), name, value.data(), value.size());
    return size < 0 ? QByteArray("<none>") : value.left(size);
}

bool run(const QString &command)
{
    return std::system(QFile::encodeName(command + " >/dev/null 2>&1").constData()) == 0;
}

} // namespace

TEST(InPlaceSave, WhatANewFileCouldNotCarryIsKept)
{
    QTemporaryDir dir;
    const passwd *nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);

    const QString linked = dir.filePath("linked.tvk");
    const QString otherLink = dir.filePath("other-link.tvk");
    const QString foreign = dir.filePath("foreign.tvk");
    const QString group = dir.filePath("group.tvk");
    const QString acl = dir.filePath("acl.tvk");
    const QString attributes = dir.filePath("attributes.tvk");
    for (const QString &path : {linked, foreign, group, acl, attributes})
        writeBytes(path, kOldFile);
    ASSERT_EQ(::link(QFile::encodeName(linked).constData(), QFile::encodeName(otherLink).constData()), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_EQ(::chown(QFile::encodeName(group).constData(), ::geteuid(), nobody->pw_gid), 0);
    }
    const bool hasAcl = run("setfacl -m u:" + QString::number(nobody->pw_uid) + ":rw " + acl);
    const bool hasAttribute = run("setfattr -n user.origin -v kept " + attributes);
    const QByteArray aclBefore = attribute(acl, "system.posix_acl_access");
    const ino_t linkedInode = statusOf(linked).st_ino;

    for (const QString &path : {linked, foreign, group, acl, attributes}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(ReplaceFileContents(path, kNewFile).succeeded());
        EXPECT_EQ(readBytes(path), kNewFile);
    }
    // The other link sees the new contents: it is still the same file.
    EXPECT_EQ(readBytes(otherLink), kNewFile);
    EXPECT_EQ(statusOf(linked).st_ino, linkedInode);
    EXPECT_EQ(statusOf(linked).st_nlink, 2u);
    if (root) {
        EXPECT_EQ(statusOf(foreign).st_uid, nobody->pw_uid);
        EXPECT_EQ(statusOf(group).st_gid, nobody->pw_gid);
    }
    if (hasAcl)
        EXPECT_EQ(attribute(acl, "system.posix_acl_access"), aclBefore);
    if (hasAttribute)
        EXPECT_EQ(attribute(attributes, "user.origin"), "kept");
    EXPECT_TRUE(backups().isEmpty()) << backups().join(", ").toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 6);
}

TEST(InPlaceSave, FoldersThatTakeNoNewFile)
{
    // A sticky folder lets only a file's owner replace it, and a folder the
    // user may not write takes no new file at all; a file the user may write
    // is written in place in both.
    SharedFolder readOnly;
    SharedFolder sticky;
    ASSERT_TRUE(readOnly.isValid() && sticky.isValid());
    const QString stickyFolder = QFileInfo(sticky.filePath("x")).absolutePath();
    ASSERT_EQ(::chmod(QFile::encodeName(stickyFolder).constData(), 01777), 0);
    const QString inReadOnly = readOnly.filePath("list.tvk");
    const QString inSticky = sticky.filePath("list.tvk");
    for (const QString &path : {inReadOnly, inSticky}) {
        writeBytes(path, kOldFile);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    }
    const int result = runAsNobody([&] {
        int failures = 0;
        if (ReplaceFileContents(inReadOnly, kNewFile).failed())
            failures |= 1;
        if (ReplaceFileContents(inSticky, kNewFile).failed())
            failures |= 2;
        return failures;
    });
    if (result == 100)
        GTEST_SKIP() << "cannot switch to the user nobody (not running as root)";
    EXPECT_EQ(result, 0) << "bits: 1 read-only folder, 2 sticky folder";
    EXPECT_EQ(readBytes(inReadOnly), kNewFile);
    EXPECT_EQ(readBytes(inSticky), kNewFile);
    EXPECT_EQ(statusOf(inSticky).st_uid, ::geteuid());
}

TEST(InPlaceSave, AFullDiskOrAnUnsettledBackupLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString mountPoint = dir.filePath("small");
    const SmallDisk disk(mountPoint, "64k");
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << disk.error();
    const QString path = mountPoint + "/list.tvk";
    writeBytes(path, kOldFile);
    // A second link, so that the save is made in place.
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(mountPoint + "/link.tvk").constData()), 0);

    const Result full = ReplaceFileContents(path, QByteArray(200 * 1024, 'x'));
    EXPECT_EQ(full.reason(), "No space left on device");
    EXPECT_EQ(readBytes(path), kOldFile);
    EXPECT_EQ(QFileInfo(path).size(), kOldFile.size());
    EXPECT_TRUE(backups().isEmpty());

    // A backup that an unfinished save left is never written over: the save
    // is refused and names it.
    QByteArray backupBytes;
    ASSERT_TRUE(
        SaveBackup::Write(statusOf(path), "list.tvk", "the contents before an unfinished save", kNewFile, backupBytes)
            .succeeded());
    const QString backup = QFile::decodeName(backupBytes);
    const Result refused = ReplaceFileContents(path, kNewFile);
    EXPECT_TRUE(refused.reason().contains(backup)) << refused.reason().toStdString();
    EXPECT_EQ(readBytes(path), kOldFile);
    EXPECT_EQ(readBytes(backup), "the contents before an unfinished save");
    ASSERT_TRUE(QFile::remove(backup));
}

TEST(InPlaceSave, AKillAtAnyPointLeavesTheOldOrNewFileOrABackupOfTheOld)
{
    const int rounds =
        qEnvironmentVariableIsSet("TARVIK_KILL_ROUNDS") ? qEnvironmentVariableIntValue("TARVIK_KILL_ROUNDS") : 4;
    QTemporaryDir dir;
    const QString path = dir.filePath("large.tvk");
    QByteArray oldBytes = kOldFile;
    QByteArray newBytes = kNewFile;
    for (int i = 0; i < 120000; ++i) {
        oldBytes += "1;old entry " + QByteArray::number(i) + " with some text;a;;u\r\n";
        newBytes += "2;new entry " + QByteArray::number(i) + " with other text;b;c;v\r\n";
    }
    writeBytes(path, oldBytes);
    // A second link makes every save an in-place one.
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(dir.filePath("link.tvk")).constData()), 0);

    // How long one save takes here, so that the kills fall inside it.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(ReplaceFileContents(path, newBytes).succeeded());
    const qint64 saveMicroseconds = clock.nsecsElapsed() / 1000;

    QRandomGenerator random(20261209);
    int restored = 0;
    for (int round = 0; round < rounds; ++round) {
        writeBytes(path, oldBytes);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            ::_exit(ReplaceFileContents(path, newBytes).succeeded() ? 0 : 1);
        ::usleep(static_cast<useconds_t>(random.bounded(saveMicroseconds * 5 / 4 + 1)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const QByteArray onDisk = readBytes(path);
        const QString backup = SaveBackup::Find(path).copy;
        if (!backup.isEmpty()) {
            ASSERT_EQ(readBytes(backup), oldBytes) << "round " << round << ": a backup that is not the old file";
            ASSERT_TRUE(SaveBackup::Restore(path, backup).succeeded());
            ASSERT_EQ(readBytes(path), oldBytes);
            ++restored;
        } else {
            ASSERT_TRUE(onDisk == oldBytes || onDisk == newBytes)
                << "round " << round << ": " << onDisk.size() << " bytes on disk and no backup";
        }
        ASSERT_TRUE(backups().isEmpty()) << "round " << round << ": " << backups().join(", ").toStdString();
    }
    RecordProperty("killsRestoredFromTheBackup", restored);
}
