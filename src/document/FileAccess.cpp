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

QString tr(const char *text)
{
    return QCoreApplication::translate("FileAccess", text);
}

// Every write is checked, since on a full disk committing still reports
// success. A short write is not an error yet; writing the rest then fails
// with the reason.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, std::min(kWriteBlockSize, bytes.size() - done));
        if (written <= 0)
            return false;
        done += written;
    }
    return file.flush();
}

QString failureOf(const QSaveFile &file)
{
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return tr("The file could not be written completely.");
}

QString replaceThroughSaveFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!writeAll(file, bytes)) {
        const QString failure = failureOf(file);
        file.cancelWriting();
        return failure;
    }
    if (!file.commit())
        return file.errorString();
    return {};
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
    return ::fdatasync(fd) == 0;
}

// Replaces an existing regular file whose name or path leaves no room for
// QSaveFile's new file: the new contents go into a file with a short name
// beside it, which is then renamed over it. Names are taken relative to the
// folder, so no path gets longer than the target's own.
QString replaceThroughShortName(const QString &target, const QByteArray &bytes)
{
    const QFileInfo info(target);
    const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return qt_error_string(errno);
    const auto closeFolder = qScopeGuard([folder] { ::close(folder); });
    const QByteArray name = QFile::encodeName(info.fileName());
    struct stat old;
    if (::fstatat(folder, name.constData(), &old, 0) != 0)
        return qt_error_string(errno);

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
        return qt_error_string(errno);
    }

    const bool written = writeAll(fd, bytes) && ::fchmod(fd, old.st_mode & 07777) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::renameat(folder, sideName.constData(), folder, name.constData()) == 0)
        return {};
    const int error = !written ? writeError : errno;
    ::unlinkat(folder, sideName.constData(), 0);
    return qt_error_string(error);
}

} // namespace

QString NotARegularFile(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return tr("The path names a folder, not a file.");
    return tr("The path names a device, pipe or socket, not a file.");
}

QString ReplaceFileContents(const QString &path, const QByteArray &bytes)
{
    // Only a regular file is replaced: a pipe would block the program, and a
    // device or a folder must not give way to a file.
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        const QString refusal = NotARegularFile(info.st_mode);
        if (!refusal.isEmpty())
            return refusal;
        const QString target = QFileInfo(path).canonicalFilePath();
        if (!saveFileNameFits(target))
            return replaceThroughShortName(target, bytes);
    }
    return replaceThroughSaveFile(path, bytes);
}
