#include "storage/SaveLock.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(SaveLock)
};

// Another window holds the lock only for a check and a rename, or for
// writing a file in place.
constexpr int kWaitMs = 10000;
constexpr int kPollMs = 5;

// The folder for the locks, made private to the user; empty when there is
// none that is safe to use.
QByteArray lockFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        return {};
    QByteArray folder = runtime + "/tarvik";
    ::mkdir(folder.constData(), 0700);
    struct stat info;
    if (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()
        || (info.st_mode & 077) != 0)
        return {};
    return folder;
}

QByteArray keyOf(int folder, const QByteArray &name)
{
    struct stat info;
    if (::fstatat(folder, name.constData(), &info, 0) == 0)
        return QByteArray::number(quint64(info.st_dev)) + '-' + QByteArray::number(quint64(info.st_ino));
    struct stat folderInfo;
    if (::fstat(folder, &folderInfo) != 0)
        return {};
    return "name-" + QByteArray::number(quint64(folderInfo.st_dev)) + '-'
        + QByteArray::number(quint64(folderInfo.st_ino)) + '-'
        + QCryptographicHash::hash(name, QCryptographicHash::Sha256).toHex().left(32);
}

} // namespace

SaveLock::SaveLock(int folder, const QByteArray &name)
{
    const QByteArray locks = lockFolder();
    const QByteArray key = keyOf(folder, name);
    if (locks.isEmpty() || key.isEmpty())
        return;
    m_path = locks + '/' + key + ".lock";
    m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    for (int waited = 0; ::flock(m_fd, LOCK_EX | LOCK_NB) != 0; waited += kPollMs) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(m_fd); // a file system without locks
            m_fd = -1;
            return;
        }
        if (waited >= kWaitMs) {
            m_result = Result::failure(Texts::tr("Another Tarvik window is still saving this file."));
            ::close(m_fd);
            m_fd = -1;
            return;
        }
        QThread::msleep(kPollMs);
    }
}

bool SaveLock::IsHeld(int folder, const QByteArray &name)
{
    const QByteArray locks = lockFolder();
    const QByteArray key = keyOf(folder, name);
    if (locks.isEmpty() || key.isEmpty())
        return false;
    const int fd = ::open((locks + '/' + key + ".lock").constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

SaveLock::~SaveLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void SaveLock::retire()
{
    if (m_fd >= 0)
        ::unlink(m_path.constData());
}
