#include "storage/SaveBackup.h"

#include "storage/FilePath.h"
#include "storage/PosixFile.h"
#include "storage/PrivateFolder.h"
#include "storage/Trash.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QScopeGuard>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(SaveBackup)
};

constexpr char kFolder[] = "backups";
constexpr char kSuffix[] = ".backup";

// The characters of a file's name that are kept in its copy's name, so that a
// person looking into the folder sees whose copy it is.
constexpr qsizetype kNameHintSize = 40;
constexpr qsizetype kFingerprintSize = 32;

// The start of the names of every copy of the file.
QByteArray keyOf(const struct stat &file)
{
    return QByteArray::number(quint64(file.st_dev), 16) + '-' + QByteArray::number(quint64(file.st_ino), 16) + '-';
}

QByteArray fingerprintOf(const QByteArray &contents)
{
    return QCryptographicHash::hash(contents, QCryptographicHash::Sha256).toHex().left(kFingerprintSize);
}

QByteArray nameHint(const QByteArray &fileName)
{
    QByteArray hint;
    for (const char c : fileName) {
        if (hint.size() == kNameHintSize)
            break;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'
            || c == '_')
            hint += c;
    }
    return hint;
}

// The name of the file's copy in the folder, or empty.
QByteArray findCopy(int folder, const QByteArray &key)
{
    const int listed = ::dup(folder);
    DIR *entries = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!entries) {
        if (listed >= 0)
            ::close(listed);
        return {};
    }
    ::rewinddir(entries);
    QByteArray found;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith(key) && name.endsWith(kSuffix)) {
            found = name;
            break;
        }
    }
    ::closedir(entries);
    return found;
}

// Whether the file holds exactly what the save that made the copy was about
// to write, by the length and fingerprint in the copy's name.
bool holdsWhatTheSaveWrote(const QByteArray &path, const struct stat &file, const QByteArray &copyName,
                           const QByteArray &key)
{
    const QList<QByteArray> parts = copyName.mid(key.size()).split('-');
    bool isNumber = false;
    const qint64 length = parts.value(0).toLongLong(&isNumber);
    if (!isNumber || parts.size() < 2 || length != file.st_size)
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    QByteArray contents;
    const bool read = PosixFile::ReadAll(fd, contents);
    ::close(fd);
    return read && contents.size() == length && fingerprintOf(contents) == parts[1];
}

Result failure(const QByteArray &folder, int error)
{
    return Result::failure(Texts::tr("No backup could be made in %1: %2")
                               .arg(ReadablePath(FilePathFromBytes(folder)), qt_error_string(error)));
}

} // namespace

namespace SaveBackup {

Result Write(const struct stat &file, const QByteArray &fileName, const QByteArray &old, const QByteArray &next,
             QByteArray &copyPath)
{
    const PrivateFolder folder = PrivateFolder::Open(kFolder, PrivateFolder::Missing::Create);
    if (!folder.isOpen())
        return folder.result();
    const QByteArray key = keyOf(file);
    if (const QByteArray earlier = findCopy(folder.fd(), key); !earlier.isEmpty()) {
        return Result::failure(Texts::tr("An earlier save of this file did not finish, and its old contents are "
                                         "still in %1. Open the file again to restore them or let them go.")
                                   .arg(ReadablePath(FilePathFromBytes(folder.path() + '/' + earlier))));
    }
    const QByteArray name =
        key + QByteArray::number(next.size()) + '-' + fingerprintOf(next) + '-' + nameHint(fileName) + kSuffix;

    QByteArray sideName;
    const int fd = PosixFile::CreateUnfinished(folder.fd(), sideName);
    if (fd < 0)
        return failure(folder.path(), errno);
    // Linked to its name only once complete; a link, unlike a rename, never
    // replaces a copy made meanwhile.
    const bool done = ::fchmod(fd, 0600) == 0 && PosixFile::WriteAllAt(fd, old.constData(), old.size(), 0)
        && ::fsync(fd) == 0 && PosixFile::LinkUnfinished(fd, folder.fd(), sideName, name);
    const int error = errno;
    ::close(fd);
    if (!sideName.isEmpty())
        ::unlinkat(folder.fd(), sideName.constData(), 0);
    if (!done)
        return failure(folder.path(), error);
    if (!PosixFile::SyncFolder(folder.fd())) {
        const int syncError = errno;
        ::unlinkat(folder.fd(), name.constData(), 0);
        return failure(folder.path(), syncError);
    }
    copyPath = folder.path() + '/' + name;
    return Result::success();
}

void Remove(const QByteArray &copyPath)
{
    const PrivateFolder folder = PrivateFolder::Open(kFolder, PrivateFolder::Missing::Leave);
    if (folder.isOpen())
        ::unlinkat(folder.fd(), copyPath.mid(copyPath.lastIndexOf('/') + 1).constData(), 0);
}

Waiting Find(const QString &path)
{
    const QByteArray file = FilePathBytes(path);
    struct stat info;
    if (::stat(file.constData(), &info) != 0)
        return {};
    const PrivateFolder folder = PrivateFolder::Open(kFolder, PrivateFolder::Missing::Leave);
    if (!folder.isOpen())
        return {{}, folder.result()};
    const QByteArray key = keyOf(info);
    const QByteArray name = findCopy(folder.fd(), key);
    if (name.isEmpty())
        return {};
    struct stat copy;
    if (::fstatat(folder.fd(), name.constData(), &copy, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    if (!PrivateFolder::IsOwnFile(copy))
        return {{}, folder.untrustedFile(name)};
    // Killed after the new contents were complete, the save did finish.
    if (holdsWhatTheSaveWrote(file, info, name, key)) {
        ::unlinkat(folder.fd(), name.constData(), 0);
        return {};
    }
    return {FilePathFromBytes(folder.path() + '/' + name)};
}

Result Restore(const QString &path, const QString &copyPath)
{
    const PrivateFolder folder = PrivateFolder::Open(kFolder, PrivateFolder::Missing::Leave);
    if (!folder.isOpen())
        return folder.result().failed() ? folder.result() : Result::failure(qt_error_string(ENOENT));
    const QByteArray bytes = FilePathBytes(copyPath);
    const QByteArray name = bytes.mid(bytes.lastIndexOf('/') + 1);
    const int source = ::openat(folder.fd(), name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (source < 0)
        return Result::failure(qt_error_string(errno));
    QByteArray contents;
    struct stat copy;
    const bool own = ::fstat(source, &copy) == 0 && PrivateFolder::IsOwnFile(copy);
    const bool read = own && PosixFile::ReadAll(source, contents);
    const int readError = errno;
    ::close(source);
    if (!own)
        return folder.untrustedFile(name);
    if (!read)
        return Result::failure(qt_error_string(readError));

    const int fd = ::open(FilePathBytes(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Result::failure(qt_error_string(errno));
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    // The copy belongs to one file; another one now at the path keeps its contents.
    struct stat file;
    if (::fstat(fd, &file) != 0 || !name.startsWith(keyOf(file)))
        return Result::failure(Texts::tr("Another file has taken the place of the one saved."));
    if (!PosixFile::OverwriteAndSync(fd, contents))
        return Result::failure(qt_error_string(errno));
    ::unlinkat(folder.fd(), name.constData(), 0);
    return Result::success();
}

Result Discard(const QString &copy)
{
    return MoveToTrash(copy);
}

} // namespace SaveBackup
