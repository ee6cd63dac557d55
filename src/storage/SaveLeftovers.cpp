#include "storage/SaveLeftovers.h"

#include "storage/FilePath.h"
#include "storage/PosixFile.h"
#include "storage/SaveLock.h"
#include "storage/Trash.h"

#include <QList>

#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// More than any task list needs to show what it is.
constexpr qsizetype kStartSize = 64;

// A save writes its new file and renames it within moments of the last write;
// one untouched for this long is no longer being written.
constexpr time_t kUntouchedSeconds = 60;

QByteArray startOf(int folder, const char *name, const struct stat &expected)
{
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray start(kStartSize, '\0');
    struct stat info;
    const ssize_t got = ::fstat(fd, &info) == 0 && info.st_ino == expected.st_ino && info.st_dev == expected.st_dev
        ? ::pread(fd, start.data(), static_cast<size_t>(start.size()), 0)
        : -1;
    ::close(fd);
    return got < 0 ? QByteArray() : start.left(got);
}

} // namespace

bool SaveInProgress(int folder, const QByteArray &name, const struct stat &leftover)
{
    return std::time(nullptr) - leftover.st_mtim.tv_sec < kUntouchedSeconds || SaveLock::IsHeld(folder, name);
}

void ClearSaveLeftovers(const QString &path, bool (*isTaskFile)(const QByteArray &start))
{
    const QByteArray bytes = FilePathBytes(path);
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray folderPath = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : bytes.left(slash);
    const int folder = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *entries = folder < 0 ? nullptr : ::fdopendir(folder);
    if (!entries) {
        if (folder >= 0)
            ::close(folder);
        return;
    }
    const QByteArray name = bytes.mid(slash + 1);
    QList<QByteArray> leftovers;
    while (const dirent *entry = ::readdir(entries)) {
        struct stat info;
        if (!PosixFile::IsSideName(entry->d_name) || ::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1
            && !SaveInProgress(folder, name, info) && isTaskFile(startOf(folder, entry->d_name, info)))
            leftovers.append(entry->d_name);
    }
    ::closedir(entries);
    for (const QByteArray &name : std::as_const(leftovers))
        (void)MoveToTrash(FilePathFromBytes(folderPath + '/' + name));
}
