#include "storage/FileAccess.h"

#include "storage/FilePath.h"
#include "storage/PosixFile.h"
#include "storage/SaveBackup.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FileAccess)
};

Result errorResult(int error)
{
    return Result::failure(qt_error_string(error));
}

// A file's folder and its name in it. Names are used relative to the folder,
// so no path grows longer than the file's own.
struct Place {
    QByteArray folder;
    QByteArray name;
};

Place placeOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {".", path};
    return {slash == 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1)};
}

// Whether the file carries extended attributes (an access control list is
// one) that a new file would not get. Security labels are left out: the
// system gives a new file its own.
bool hasExtendedAttributes(const QByteArray &path)
{
    const ssize_t size = ::listxattr(path.constData(), nullptr, 0);
    if (size <= 0)
        return false;
    QByteArray names(size, '\0');
    const ssize_t got = ::listxattr(path.constData(), names.data(), static_cast<size_t>(names.size()));
    for (const QByteArray &name : names.left(std::max<ssize_t>(got, 0)).split('\0')) {
        if (!name.isEmpty() && !name.startsWith("security."))
            return true;
    }
    return false;
}

// Whether a new file in the folder would differ from the old one in what the
// file system keeps apart from the contents.
bool newFileWouldDiffer(const struct stat &old, const struct stat &folder, const QByteArray &path)
{
    const gid_t newGroup = (folder.st_mode & S_ISGID) ? folder.st_gid : ::getegid();
    return old.st_nlink > 1 || old.st_uid != ::geteuid() || old.st_gid != newGroup || hasExtendedAttributes(path);
}

// A folder's default access control list gives each new file in it an access
// list of its own. The old file had none (a file with one is written in place),
// so the new one gets none either: the folder must not widen who may read it.
bool dropInheritedAccessList(int fd)
{
    return ::fremovexattr(fd, "system.posix_acl_access") == 0 || errno == ENODATA || errno == EOPNOTSUPP;
}

// A file that the user may not write, or that its owner made read-only, was
// meant to stay as it is: a new file must not take its place either.
Result requireWritable(const QByteArray &path, const struct stat &info)
{
    const bool madeReadOnly = info.st_uid == ::geteuid() && (info.st_mode & S_IWUSR) == 0;
    if (madeReadOnly || (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES))
        return errorResult(EACCES);
    return Result::success();
}

// Writes the file where it stands, keeping a synced backup of the old
// contents until the new ones are synced.
Result writeInPlace(const QByteArray &target, const QByteArray &bytes)
{
    const int fd = ::open(target.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errorResult(errno);
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    QByteArray old;
    struct stat info;
    if (!PosixFile::ReadAll(fd, old) || ::fstat(fd, &info) != 0)
        return errorResult(errno);

    QByteArray backup;
    if (Result saved = SaveBackup::Write(info, placeOf(target).name, old, bytes, backup); saved.failed())
        return saved;
    if (PosixFile::OverwriteAndSync(fd, bytes)) {
        SaveBackup::Remove(backup);
        return Result::success();
    }
    const int error = errno;
    if (PosixFile::OverwriteAndSync(fd, old)) {
        SaveBackup::Remove(backup);
        return errorResult(error);
    }
    return Result::failure(qt_error_string(error) + u'\n'
                           + Texts::tr("The file may be damaged; its old contents are in %1.")
                                 .arg(ReadablePath(FilePathFromBytes(backup))));
}

enum class Replaced { Done, Failed, NeedsInPlace };

// Writes a new file beside the old one and renames it over it.
Replaced replaceAtomically(const Place &place, const struct stat *old, const QByteArray &bytes, Result &result)
{
    const int folder = ::open(place.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        result = errorResult(errno);
        return Replaced::Failed;
    }
    const auto closeFolder = qScopeGuard([folder] { ::close(folder); });
    if (old) {
        struct stat folderInfo;
        if (::fstat(folder, &folderInfo) == 0 && newFileWouldDiffer(*old, folderInfo, place.folder + '/' + place.name))
            return Replaced::NeedsInPlace;
    }

    QByteArray sideName;
    const int fd = PosixFile::CreateUnfinished(folder, sideName);
    if (fd < 0) {
        const int error = errno;
        // A folder that takes no new file still lets a writable file be written.
        if (old && (error == EACCES || error == EPERM))
            return Replaced::NeedsInPlace;
        result = errorResult(error);
        return Replaced::Failed;
    }
    bool done = PosixFile::WriteAllAt(fd, bytes.constData(), bytes.size(), 0)
        && (!old || (dropInheritedAccessList(fd) && ::fchmod(fd, old->st_mode & 07777) == 0)) && ::fdatasync(fd) == 0
        && PosixFile::NameUnfinished(fd, folder, sideName);
    int error = errno;
    done = ::close(fd) == 0 && done;
    if (done && ::renameat(folder, sideName.constData(), folder, place.name.constData()) == 0) {
        if (!PosixFile::SyncFolder(folder)) {
            result = errorResult(errno);
            return Replaced::Failed;
        }
        result = Result::success();
        return Replaced::Done;
    }
    if (done)
        error = errno;
    if (!sideName.isEmpty())
        ::unlinkat(folder, sideName.constData(), 0);
    // A sticky folder lets only a file's owner replace it.
    if (done && old && (error == EPERM || error == EACCES))
        return Replaced::NeedsInPlace;
    result = errorResult(error);
    return Replaced::Failed;
}

} // namespace

Result RequireRegularFile(mode_t mode)
{
    if (S_ISREG(mode))
        return Result::success();
    if (S_ISDIR(mode))
        return Result::failure(Texts::tr("The path names a folder, not a file."));
    return Result::failure(Texts::tr("The path names a device, pipe or socket, not a file."));
}

Result ReplaceFileContents(const QString &path, const QByteArray &bytes)
{
    QByteArray target = FilePathBytes(path);
    struct stat info;
    const bool exists = ::stat(target.constData(), &info) == 0;
    if (!exists && errno != ENOENT)
        return errorResult(errno);
    if (exists) {
        // Only a regular file is replaced: a pipe would block the program, and
        // a device or a folder must not give way to a file.
        if (Result regular = RequireRegularFile(info.st_mode); regular.failed())
            return regular;
        if (Result writable = requireWritable(target, info); writable.failed())
            return writable;
        char *resolved = ::realpath(target.constData(), nullptr);
        if (!resolved)
            return errorResult(errno);
        target = resolved;
        std::free(resolved);
    }

    Result result = Result::success();
    if (replaceAtomically(placeOf(target), exists ? &info : nullptr, bytes, result) == Replaced::NeedsInPlace)
        return writeInPlace(target, bytes);
    return result;
}
