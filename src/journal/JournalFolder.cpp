#include "journal/JournalFolder.h"

#include "storage/FilePath.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(JournalFolder)
};

// A folder of the user's that no one else can read or write.
bool isPrivateFolder(int fd)
{
    struct stat info {
    };
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

int openPrivateFolder(int parent, const char *name)
{
    if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && !isPrivateFolder(fd)) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

} // namespace

QByteArray JournalFolder::DefaultPath()
{
    QByteArray state = qgetenv("XDG_STATE_HOME");
    if (state.isEmpty() || !state.startsWith('/'))
        state = qgetenv("HOME") + "/.local/state";
    return state + "/tarvik/journals";
}

JournalFolder::JournalFolder(QByteArray path)
    : m_path(std::move(path))
{
}

JournalFolder::~JournalFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString JournalFolder::path() const
{
    return FilePathFromBytes(m_path);
}

Result JournalFolder::open()
{
    if (m_fd >= 0)
        return Result::success();
    // The folders above the state folder are made as the system makes them;
    // the two of Tarvik's own must be private.
    const qsizetype journals = m_path.lastIndexOf('/');
    const qsizetype tarvik = m_path.lastIndexOf('/', journals - 1);
    const QByteArray state = m_path.left(tarvik);
    for (qsizetype slash = state.indexOf('/', 1);; slash = state.indexOf('/', slash + 1)) {
        // A folder that cannot be made shows when it is opened below.
        const QByteArray part = slash < 0 ? state : state.left(slash);
        if (!part.isEmpty())
            ::mkdir(part.constData(), 0700);
        if (slash < 0)
            break;
    }
    const int top = ::open(state.isEmpty() ? "/" : state.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int folder = -1;
    if (top >= 0) {
        const int middle = openPrivateFolder(top, m_path.mid(tarvik + 1, journals - tarvik - 1).constData());
        if (middle >= 0) {
            folder = openPrivateFolder(middle, m_path.mid(journals + 1).constData());
            ::close(middle);
        }
        ::close(top);
    }
    if (folder < 0) {
        return Result::failure(Texts::tr("Unsaved changes cannot be kept in %1: the folder must be yours alone.")
                                   .arg(ReadablePath(path())));
    }
    m_fd = folder;
    return Result::success();
}

QByteArray JournalFolder::PrefixFor(const QString &file)
{
    if (file.isEmpty())
        return "unnamed-";
    const QFileInfo info(file);
    const QString canonical = info.canonicalFilePath();
    const QByteArray bytes = QFile::encodeName(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(32) + '-';
}

QList<QByteArray> JournalFolder::journalsFor(const QString &file) const
{
    QList<QByteArray> names;
    const QByteArray prefix = PrefixFor(file);
    const QStringList entries = QDir(path()).entryList({QFile::decodeName(prefix) + QStringLiteral("*.journal")},
                                                       QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries)
        names << QFile::encodeName(entry);
    return names;
}

int JournalFolder::openJournal(const QByteArray &name, int flags) const
{
    if (m_fd < 0)
        return -1;
    const int fd = ::openat(m_fd, name.constData(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat info {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_nlink != 1
        || (info.st_mode & 077) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
