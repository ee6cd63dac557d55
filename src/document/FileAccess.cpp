#include "document/FileAccess.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kWriteBlockSize = 1024 * 1024;

// QSaveFile makes the new file under the old file's path followed by seven
// characters (".XXXXXX").
constexpr qsizetype kSaveFileSuffixSize = 7;

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FileAccess)
};

// Writes every byte, going on after short writes; false with errno set when
// the file takes no more.
bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(std::min(kWriteBlockSize, bytes.size() - done)));
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

Result replaceThroughSaveFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // Unbuffered, so that the bytes go straight to the file's descriptor.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Result::failure(file.errorString());
    if (!writeAll(file.handle(), bytes)) {
        const int error = errno;
        file.cancelWriting();
        return Result::failure(qt_error_string(error));
    }
    // Committing syncs the new file before it takes the old one's place.
    if (!file.commit())
        return Result::failure(file.errorString());
    return Result::success();
}

// Whether QSaveFile's new file can be named after the existing target. It
// cannot when the target's name or path is within seven bytes of what the
// system allows; such a file could be made once but never saved again.
bool saveFileNameFits(const QString &target)
{
    const QByteArray path = QFile::encodeName(target);
    const qsizetype nameSize = path.size() - path.lastIndexOf('/') - 1;
    return nameSize + kSaveFileSuffixSize <= NAME_MAX && path.size() + kSaveFileSuffixSize < PATH_MAX;
}

// Replaces an existing regular file whose name or path leaves no room for
// QSaveFile's new file: the new contents go into a file with a short name
// beside it, which is then renamed over it. Names are taken relative to the
// folder, so no path gets longer than the target's own.
Result replaceThroughShortName(const QString &target, const QByteArray &bytes)
{
    const QFileInfo info(target);
    const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return Result::failure(qt_error_string(errno));
    const auto closeFolder = qScopeGuard([folder] { ::close(folder); });
    const QByteArray name = QFile::encodeName(info.fileName());
    struct stat old;
    if (::fstatat(folder, name.constData(), &old, 0) != 0)
        return Result::failure(qt_error_string(errno));

    QByteArray sideName;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        sideName = ".tvk-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::openat(folder, sideName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        if (errno == EACCES) // a read-only folder: QSaveFile writes the file in place
            return replaceThroughSaveFile(target, bytes);
        return Result::failure(qt_error_string(errno));
    }

    const bool written = writeAll(fd, bytes) && ::fdatasync(fd) == 0 && ::fchmod(fd, old.st_mode & 07777) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::renameat(folder, sideName.constData(), folder, name.constData()) == 0)
        return Result::success();
    const int error = !written ? writeError : errno;
    ::unlinkat(folder, sideName.constData(), 0);
    return Result::failure(qt_error_string(error));
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
    // Only a regular file is replaced: a pipe would block the program, and a
    // device or a folder must not give way to a file.
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        if (Result regular = RequireRegularFile(info.st_mode); regular.failed())
            return regular;
        const QString target = QFileInfo(path).canonicalFilePath();
        if (!saveFileNameFits(target))
            return replaceThroughShortName(target, bytes);
    }
    return replaceThroughSaveFile(path, bytes);
}
