#include "storage/PosixFile.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype kBlockSize = qsizetype(1024) * 1024;
constexpr int kNameAttempts = 16;

constexpr char kSidePrefix[] = ".tvk-";
// The most base-36 digits a 32-bit number takes.
constexpr int kSideDigits = 7;

// Short, so that it fits beside a file whose own name takes all the room.
QByteArray randomSideName()
{
    return kSidePrefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

} // namespace

namespace PosixFile {

bool WriteAllAt(int fd, const char *data, qsizetype size, off_t offset)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t written =
            ::pwrite(fd, data + done, static_cast<size_t>(std::min(kBlockSize, size - done)), offset + done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        done += written;
    }
    return true;
}

bool ReadAll(int fd, QByteArray &contents)
{
    contents.clear();
    for (;;) {
        const qsizetype at = contents.size();
        contents.resize(at + kBlockSize);
        const ssize_t count = ::pread(fd, contents.data() + at, static_cast<size_t>(kBlockSize), at);
        if (count < 0 && errno == EINTR) {
            contents.resize(at);
            continue;
        }
        contents.resize(at + std::max<ssize_t>(count, 0));
        if (count < 0)
            return false;
        if (count == 0)
            return true;
    }
}

bool OverwriteAndSync(int fd, const QByteArray &bytes)
{
    // Room for all of it first, so that a full disk fails before a single old
    // byte is overwritten.
    if (const int error = ::posix_fallocate(fd, 0, std::max<off_t>(bytes.size(), 1)); error != 0) {
        errno = error;
        return false;
    }
    return WriteAllAt(fd, bytes.constData(), bytes.size(), 0) && ::ftruncate(fd, bytes.size()) == 0
        && ::fdatasync(fd) == 0;
}

int CreateUnfinished(int folder, QByteArray &sideName)
{
    sideName.clear();
    const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        sideName = randomSideName();
        const int named = ::openat(folder, sideName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (named >= 0 || errno != EEXIST)
            return named;
    }
    return -1;
}

bool IsSideName(const char *name)
{
    const QByteArrayView view(name);
    if (!view.startsWith(kSidePrefix))
        return false;
    const QByteArrayView digits = view.sliced(sizeof kSidePrefix - 1);
    return !digits.isEmpty() && digits.size() <= kSideDigits && std::all_of(digits.begin(), digits.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
    });
}

bool NameUnfinished(int fd, int folder, QByteArray &sideName)
{
    if (!sideName.isEmpty())
        return true;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        sideName = randomSideName();
        if (::linkat(AT_FDCWD, self.constData(), folder, sideName.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    sideName.clear();
    return false;
}

bool LinkUnfinished(int fd, int folder, const QByteArray &sideName, const QByteArray &name)
{
    if (!sideName.isEmpty())
        return ::linkat(folder, sideName.constData(), folder, name.constData(), 0) == 0;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return ::linkat(AT_FDCWD, self.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}

bool SyncFolder(int folder)
{
    // Some file systems cannot sync a folder and say so; nothing is lost there.
    return ::fsync(folder) == 0 || errno == EINVAL;
}

} // namespace PosixFile
