#include "storage/FileAccess.h"

#include "storage/FilePath.h"
#include "storage/PosixFile.h"
#include "storage/SaveBackup.h"
#include "storage/SaveLock.h"
#include "storage/SaveSteps.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <cerrno>
#include <cstdio>
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

using Outcome = CheckedReplace::Outcome;

// What a checked replace expects at the name; null for an unchecked one.
using Expected = const std::optional<FileIdentity> *;

std::optional<FileIdentity> identityAt(int folder, const QByteArray &name)
{
    struct stat info;
    if (::fstatat(folder, name.constData(), &info, 0) != 0)
        return std::nullopt;
    return FileIdentity::OfStat(info);
}

CheckedReplace failed(Result result)
{
    return {Outcome::Failed, std::move(result)};
}

CheckedReplace outcomeOf(Result result)
{
    return result.succeeded() ? CheckedReplace{Outcome::Replaced, std::move(result)} : failed(std::move(result));
}

// Writes the file where it stands, keeping a synced backup of the old
// contents until the new ones are synced.
CheckedReplace writeInPlace(const QByteArray &target, const QByteArray &bytes, Expected expected)
{
    const int fd = ::open(target.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return failed(errorResult(errno));
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    QByteArray old;
    struct stat info;
    if (!PosixFile::ReadAll(fd, old) || ::fstat(fd, &info) != 0)
        return failed(errorResult(errno));

    QByteArray backup;
    if (Result saved = SaveBackup::Write(info, placeOf(target).name, old, bytes, backup); saved.failed())
        return failed(std::move(saved));
    SaveSteps::Reach(SaveStep::NewContentsSynced);
    SaveSteps::Reach(SaveStep::AboutToReplace);
    const Place place = placeOf(target);
    const int folder = ::open(place.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const auto closeFolder = qScopeGuard([folder] {
        if (folder >= 0)
            ::close(folder);
    });
    if (folder < 0) {
        const Result opened = errorResult(errno);
        SaveBackup::Remove(backup);
        return failed(opened);
    }
    // Held while the file is overwritten: in place, that is its replacement.
    const SaveLock lock(folder, place.name);
    if (expected) {
        struct stat opened;
        const bool same = lock.result().succeeded() && ::fstat(fd, &opened) == 0
            && FileIdentity::OfStat(opened) == *expected && identityAt(folder, place.name) == *expected;
        if (!same) {
            SaveBackup::Remove(backup);
            if (lock.result().failed())
                return failed(lock.result());
            return {Outcome::Changed, Result::success()};
        }
    }
    if (PosixFile::OverwriteAndSync(fd, bytes)) {
        SaveBackup::Remove(backup);
        return {Outcome::Replaced, Result::success()};
    }
    const int error = errno;
    if (PosixFile::OverwriteAndSync(fd, old)) {
        SaveBackup::Remove(backup);
        return failed(errorResult(error));
    }
    return failed(Result::failure(qt_error_string(error) + u'\n'
                                  + Texts::tr("The file may be damaged; its old contents are in %1.")
                                        .arg(ReadablePath(FilePathFromBytes(backup)))));
}

// Gives the finished new file the name, unless the name no longer holds the
// expected file. False with errno set when the rename failed.
bool renameChecked(int folder, const QByteArray &sideName, const QByteArray &name, Expected expected, Outcome &outcome,
                   Result &result)
{
    SaveSteps::Reach(SaveStep::AboutToReplace);
    SaveLock lock(folder, name);
    if (expected && lock.result().failed()) {
        outcome = Outcome::Failed;
        result = lock.result();
        return false;
    }
    if (expected && identityAt(folder, name) != *expected) {
        outcome = Outcome::Changed;
        return false;
    }
    // Where no file is expected, none may have come meanwhile.
    const bool noReplace = expected && !expected->has_value();
    int renamed = noReplace ? ::renameat2(folder, sideName.constData(), folder, name.constData(), RENAME_NOREPLACE)
                            : ::renameat(folder, sideName.constData(), folder, name.constData());
    if (renamed != 0 && noReplace && errno == EEXIST) {
        outcome = Outcome::Changed;
        return false;
    }
    if (renamed != 0 && noReplace && errno == EINVAL) // a file system without that kind of rename
        renamed = ::renameat(folder, sideName.constData(), folder, name.constData());
    if (renamed != 0) {
        outcome = Outcome::Failed;
        return false;
    }
    lock.retire();
    outcome = Outcome::Replaced;
    return true;
}

enum class Replaced { Done, Failed, Changed, NeedsInPlace };

// Writes a new file beside the old one and renames it over it.
Replaced replaceAtomically(const Place &place, const struct stat *old, const QByteArray &bytes, Expected expected,
                           Result &result)
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
    if (done)
        SaveSteps::Reach(SaveStep::NewContentsSynced);
    Outcome outcome = Outcome::Failed;
    if (done && renameChecked(folder, sideName, place.name, expected, outcome, result)) {
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
    if (outcome == Outcome::Changed)
        return Replaced::Changed;
    if (done && result.failed())
        return Replaced::Failed; // the lock
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

namespace {

CheckedReplace replace(const QString &path, const QByteArray &bytes, Expected expected)
{
    QByteArray target = FilePathBytes(path);
    struct stat info;
    const bool exists = ::stat(target.constData(), &info) == 0;
    if (!exists && errno != ENOENT)
        return failed(errorResult(errno));
    if (expected && (exists ? std::optional(FileIdentity::OfStat(info)) : std::nullopt) != *expected)
        return {Outcome::Changed, Result::success()};
    if (exists) {
        // Only a regular file is replaced: a pipe would block the program, and
        // a device or a folder must not give way to a file.
        if (Result regular = RequireRegularFile(info.st_mode); regular.failed())
            return failed(std::move(regular));
        if (Result writable = requireWritable(target, info); writable.failed())
            return failed(std::move(writable));
        char *resolved = ::realpath(target.constData(), nullptr);
        if (!resolved)
            return failed(errorResult(errno));
        target = resolved;
        std::free(resolved);
    }

    Result result = Result::success();
    switch (replaceAtomically(placeOf(target), exists ? &info : nullptr, bytes, expected, result)) {
    case Replaced::NeedsInPlace:
        return writeInPlace(target, bytes, expected);
    case Replaced::Changed:
        return {Outcome::Changed, Result::success()};
    default:
        return outcomeOf(std::move(result));
    }
}

} // namespace

Result ReplaceFileContents(const QString &path, const QByteArray &bytes)
{
    return replace(path, bytes, nullptr).result;
}

CheckedReplace ReplaceFileContentsIf(const QString &path, const QByteArray &bytes,
                                     const std::optional<FileIdentity> &expected)
{
    return replace(path, bytes, &expected);
}
