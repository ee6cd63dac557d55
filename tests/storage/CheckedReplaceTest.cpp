// A replace that expects a certain file at the name never writes over
// another one, and two savers take turns at the check and the rename.

#include "storage/FileAccess.h"
#include "storage/SaveLock.h"
#include "support/TaskFileTesting.h"

#include <QThread>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

TEST(CheckedReplaceTest, AnotherSaverHoldingTheLockIsWaitedForAndItsFileIsNotReplaced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.tvk"));
    writeBytes(path, "old");
    const std::optional<FileIdentity> read = FileIdentity::Of(path);

    // Another window checked the file and is about to rename its own over it.
    const int folder = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    auto other = std::make_unique<SaveLock>(folder, QByteArrayLiteral("list.tvk"));
    ASSERT_TRUE(other->result().succeeded());
    std::atomic<bool> done = false;
    CheckedReplace mine;
    std::thread saver([&] {
        mine = ReplaceFileContentsIf(path, "mine", read);
        done = true;
    });
    QThread::msleep(100);
    EXPECT_FALSE(done) << "the check must wait for the lock";
    writeBytes(dir.filePath(QStringLiteral(".other")), "theirs");
    ASSERT_EQ(::renameat(folder, ".other", folder, "list.tvk"), 0);
    other.reset();
    saver.join();
    ::close(folder);
    EXPECT_TRUE(mine.changed());
    EXPECT_EQ(readBytes(path), "theirs");

    // Still the file that was read: replaced; no file expected and none there: made.
    EXPECT_TRUE(ReplaceFileContentsIf(path, "mine", FileIdentity::Of(path)).replaced());
    EXPECT_EQ(readBytes(path), "mine");
    const QString fresh = dir.filePath(QStringLiteral("fresh.tvk"));
    EXPECT_TRUE(ReplaceFileContentsIf(fresh, "new", std::nullopt).replaced());
    EXPECT_TRUE(ReplaceFileContentsIf(fresh, "newer", std::nullopt).changed());
    EXPECT_EQ(readBytes(fresh), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
