#include "storage/SaveBackup.h"

#include "storage/FilePath.h"
#include "storage/PosixFile.h"
#include "storage/Trash.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(SaveBackup)
};

// The characters of a file's name that are kept in its backup's name, so that
// a person looking into the folder sees whose backup it is.
constexpr qsizetype kNameHintSize = 40;

QByteArray backupFolder()
{
    QByteArray state = qgetenv("XDG_STATE_HOME");
    if (state.isEmpty() || !state.startsWith('/'))
        state = qgetenv("HOME") + "/.local/state";
    return state + "/tarvik/backups";
}

// Makes the folder and those above it that are missing, for the user alone.
bool makeFolder(const QByteArray &folder)
{
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            return true;
    }
}

Result failure(const QByteArray &backup, int error)
{
    return Result::failure(Texts::tr("No backup could be made in %1: %2")
                               .arg(ReadablePath(FilePathFromBytes(backup)), qt_error_string(error)));
}

} // namespace

namespace SaveBackup {

QByteArray PathFor(const QByteArray &resolvedFile)
{
    QByteArray hint;
    const QByteArray name = resolvedFile.mid(resolvedFile.lastIndexOf('/') + 1);
    for (const char c : name) {
        if (hint.size() == kNameHintSize)
            break;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'
            || c == '_')
            hint += c;
    }
    const QByteArray hash = QCryptographicHash::hash(resolvedFile, QCryptographicHash::Sha256).toHex().left(24);
    return backupFolder() + '/' + hint + '-' + hash + ".backup";
}

Result Write(const QByteArray &backup, const QByteArray &contents)
{
    const QByteArray folderPath = backup.left(backup.lastIndexOf('/'));
    if (!makeFolder(folderPath))
        return failure(backup, errno);
    if (::access(backup.constData(), F_OK) == 0) {
        return Result::failure(Texts::tr("An earlier save of this file did not finish, and its old contents are "
                                         "still in %1. Open the file again to restore them or let them go.")
                                   .arg(ReadablePath(FilePathFromBytes(backup))));
    }
    const int folder = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return failure(backup, errno);
    const auto closeFolder = qScopeGuard([folder] { ::close(folder); });

    QByteArray sideName;
    const int fd = PosixFile::CreateUnfinished(folder, sideName);
    if (fd < 0)
        return failure(backup, errno);
    const QByteArray name = backup.mid(backup.lastIndexOf('/') + 1);
    // Linked to its name only once complete; a link, unlike a rename, never
    // replaces a backup made meanwhile.
    const bool done = ::fchmod(fd, 0600) == 0 && PosixFile::WriteAllAt(fd, contents.constData(), contents.size(), 0)
        && ::fsync(fd) == 0 && PosixFile::LinkUnfinished(fd, folder, sideName, name);
    const int error = errno;
    ::close(fd);
    if (!sideName.isEmpty())
        ::unlinkat(folder, sideName.constData(), 0);
    if (!done)
        return failure(backup, error);
    if (!PosixFile::SyncFolder(folder)) {
        const int syncError = errno;
        ::unlinkat(folder, name.constData(), 0);
        return failure(backup, syncError);
    }
    return Result::success();
}

void Remove(const QByteArray &backup)
{
    ::unlink(backup.constData());
}

QString Find(const QString &path)
{
    char *resolved = ::realpath(FilePathBytes(path).constData(), nullptr);
    if (!resolved)
        return {};
    const QByteArray backup = PathFor(QByteArray(resolved));
    std::free(resolved);
    struct stat info;
    if (::stat(backup.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return FilePathFromBytes(backup);
}

Result Restore(const QString &path, const QString &backup)
{
    const int source = ::open(FilePathBytes(backup).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return Result::failure(qt_error_string(errno));
    QByteArray contents;
    const bool read = PosixFile::ReadAll(source, contents);
    const int readError = errno;
    ::close(source);
    if (!read)
        return Result::failure(qt_error_string(readError));

    const int fd = ::open(FilePathBytes(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Result::failure(qt_error_string(errno));
    const bool written = PosixFile::OverwriteAndSync(fd, contents);
    const int error = errno;
    ::close(fd);
    if (!written)
        return Result::failure(qt_error_string(error));
    Remove(FilePathBytes(backup));
    return Result::success();
}

Result Discard(const QString &backup)
{
    return MoveToTrash(backup);
}

} // namespace SaveBackup
