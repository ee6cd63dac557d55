#include "journal/EditJournal.h"

#include "storage/Trash.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Within this time of a change it is on the disk; a burst of changes shares
// one sync.
constexpr int kSyncDelayMs = 250;

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

QByteArray readAll(int fd)
{
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

} // namespace

EditJournal::EditJournal(QByteArray folder)
    : m_folder(std::move(folder))
{
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(kSyncDelayMs);
    m_syncTimer.callOnTimeout([this] { syncInBackground(); });
}

EditJournal::~EditJournal()
{
    close();
}

std::optional<JournalContents> EditJournal::findLeftFor(const QString &file)
{
    if (m_folder.open().failed())
        return std::nullopt;
    for (const QByteArray &name : m_folder.journalsFor(file)) {
        const int fd = m_folder.openJournal(name, O_RDONLY);
        if (fd < 0)
            continue;
        std::optional<JournalContents> contents;
        // A running Tarvik holds its journal locked.
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0)
            contents = DecodeJournal(readAll(fd));
        ::close(fd);
        if (contents && !contents->changes.empty()) {
            m_leftName = name;
            return contents;
        }
    }
    return std::nullopt;
}

void EditJournal::follow(const JournalHeader &header)
{
    close();
    m_header = header;
    m_failureSaid = false;
}

Result EditJournal::continueLeft(const JournalHeader &header)
{
    follow(header);
    m_name = m_leftName;
    return open(false);
}

// A new journal gets a name no other has; a journal left before is
// continued under its own.
Result EditJournal::open(bool fresh)
{
    if (Result opened = m_folder.open(); opened.failed())
        return opened;
    if (fresh) {
        m_name = JournalFolder::PrefixFor(m_header.path) + QByteArray::number(::getpid()) + '-'
            + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + ".journal";
    }
    const int fd = m_folder.openJournal(m_name, O_WRONLY | O_APPEND | (fresh ? O_CREAT | O_EXCL : 0));
    if (fd < 0) {
        return Result::failure(
            tr("Unsaved changes cannot be kept in %1: %2").arg(m_folder.path(), qt_error_string(errno)));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || (fresh && !writeAll(fd, EncodeJournalHeader(m_header)))) {
        const int error = errno;
        ::close(fd);
        return Result::failure(
            tr("Unsaved changes cannot be kept in %1: %2").arg(m_folder.path(), qt_error_string(error)));
    }
    m_fd = fd;
    return Result::success();
}

Result EditJournal::record(JournalRecord change)
{
    if (change.isEmpty())
        return Result::success();
    Result written = Result::success();
    if (m_fd < 0)
        written = open(true);
    if (written.succeeded() && !writeAll(m_fd, std::move(change).finish())) {
        written = Result::failure(
            tr("Unsaved changes cannot be kept in %1: %2").arg(m_folder.path(), qt_error_string(errno)));
    }
    if (written.failed())
        return std::exchange(m_failureSaid, true) ? Result::success() : written;
    if (!m_syncTimer.isActive())
        m_syncTimer.start();
    return written;
}

void EditJournal::sync()
{
    m_syncTimer.stop();
    if (m_backgroundSync.valid())
        m_backgroundSync.wait();
    if (m_fd >= 0)
        ::fdatasync(m_fd);
}

// The thread syncs a descriptor of its own, which the journal's closing
// or ending leaves open until it is done.
void EditJournal::syncInBackground()
{
    if (m_backgroundSync.valid() && m_backgroundSync.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        m_syncTimer.start();
        return;
    }
    const int fd = m_fd >= 0 ? ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0) : -1;
    if (fd < 0) {
        sync();
        return;
    }
    m_backgroundSync = std::async(std::launch::async, [fd] {
        ::fdatasync(fd);
        ::close(fd);
    });
}

void EditJournal::close()
{
    sync();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void EditJournal::end()
{
    if (m_fd >= 0) {
        // Unlinked while still locked, so that no other window reads it half gone.
        ::unlinkat(m_folder.descriptor(), m_name.constData(), 0);
        ::close(m_fd);
        m_fd = -1;
    }
    m_syncTimer.stop();
}

Result EditJournal::discardLeft()
{
    return MoveToTrash(m_folder.path() + u'/' + QFile::decodeName(m_leftName));
}
