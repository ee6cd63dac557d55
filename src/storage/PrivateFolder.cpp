#include "storage/PrivateFolder.h"

#include "storage/FilePath.h"

#include <QCoreApplication>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PrivateFolder)
};

QByteArray stateHome()
{
    QByteArray state = qgetenv("XDG_STATE_HOME");
    if (state.isEmpty() || !state.startsWith('/'))
        state = qgetenv("HOME") + "/.local/state";
    return state;
}

// Makes the folder and those above it that are missing, for the user alone.
bool makeFolders(const QByteArray &folder)
{
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            return true;
    }
}

bool isPrivate(const struct stat &info)
{
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

Result notPrivate(const QByteArray &path)
{
    return Result::failure(Texts::tr("The folder %1 is not private: it must be your own folder, not a link, and "
                                     "closed to others (mode 0700). Tarvik keeps nothing in it and takes nothing "
                                     "from it.")
                               .arg(ReadablePath(FilePathFromBytes(path))));
}

Result cannotOpen(const QByteArray &path, int error)
{
    return Result::failure(Texts::tr("The folder %1 cannot be used: %2")
                               .arg(ReadablePath(FilePathFromBytes(path)), qt_error_string(error)));
}

// Opens one private folder in parent without following a link; made when it
// is missing and creating is asked for. -1 with result set, or with result a
// success when the folder is missing and may stay so.
int openPrivate(int parent, const char *name, const QByteArray &path, PrivateFolder::Missing missing, Result &result)
{
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parent, name, kFlags);
    if (fd < 0 && errno == ENOENT) {
        if (missing == PrivateFolder::Missing::Leave)
            return -1;
        if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST) {
            result = cannotOpen(path, errno);
            return -1;
        }
        fd = ::openat(parent, name, kFlags);
        struct stat made;
        // A umask that takes the owner's own rights would leave it unusable.
        if (fd >= 0 && ::fstat(fd, &made) == 0 && made.st_uid == ::geteuid() && (made.st_mode & 077) == 0)
            ::fchmod(fd, 0700);
    }
    if (fd < 0) {
        // O_NOFOLLOW on a link fails with ELOOP, O_DIRECTORY on a file with ENOTDIR.
        result = errno == ELOOP || errno == ENOTDIR ? notPrivate(path) : cannotOpen(path, errno);
        return -1;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !isPrivate(info)) {
        ::close(fd);
        result = notPrivate(path);
        return -1;
    }
    return fd;
}

} // namespace

PrivateFolder PrivateFolder::Open(const QByteArray &name, Missing missing)
{
    PrivateFolder folder;
    const QByteArray state = stateHome();
    const QByteArray tarvikPath = state + "/tarvik";
    folder.m_path = name.isEmpty() ? tarvikPath : tarvikPath + '/' + name;
    if (missing == Missing::Create && !makeFolders(state)) {
        folder.m_result = cannotOpen(state, errno);
        return folder;
    }
    const int stateFd = ::open(state.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (stateFd < 0) {
        if (errno != ENOENT || missing == Missing::Create)
            folder.m_result = cannotOpen(state, errno);
        return folder;
    }
    const int tarvik = openPrivate(stateFd, "tarvik", tarvikPath, missing, folder.m_result);
    ::close(stateFd);
    if (tarvik < 0 || name.isEmpty()) {
        folder.m_fd = tarvik;
        return folder;
    }
    folder.m_fd = openPrivate(tarvik, name.constData(), folder.m_path, missing, folder.m_result);
    ::close(tarvik);
    return folder;
}

PrivateFolder::PrivateFolder(PrivateFolder &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_result(std::move(other.m_result))
    , m_path(std::move(other.m_path))
{
}

PrivateFolder::~PrivateFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PrivateFolder::IsOwnFile(const struct stat &info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1;
}

Result PrivateFolder::untrustedFile(const QByteArray &name) const
{
    return Result::failure(Texts::tr("%1 in the folder %2 is not a plain file of yours with a single name, so "
                                     "nothing is taken from it.")
                               .arg(ReadablePath(FilePathFromBytes(name)), ReadablePath(FilePathFromBytes(m_path))));
}
