#include "journal/EditJournal.h"

#include "storage/Trash.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Within this time of a change it is on the disk; a burst of changes shares
// one sync.
constexpr int kSyncDelayMs = 250;

// A change as big as this is written on the other thread.
constexpr qsizetype kBytesWrittenHere = 1 << 20;

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Appends a record; the error number when it failed. A record written in
// part is cut off again, so that the changes after it can still be read.
int writeRecord(int fd, const std::vector<QByteArray> &parts)
{
    struct stat before {
    };
    if (::fstat(fd, &before) != 0)
        return errno;
    for (const QByteArray &part : parts) {
        if (!writeAll(fd, part)) {
            const int error = errno;
            while (::ftruncate(fd, before.st_size) != 0 && errno == EINTR) { }
            return error;
        }
    }
    return 0;
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

Result EditJournal::continueLeft(const JournalHeader &header, const JournalContents &left)
{
    follow(header);
    if (!left.olderLayout) {
        m_name = m_leftName;
        return open(false);
    }
    // Changes of this layout cannot follow those of an earlier one: its
    // changes are written again into a journal of this one, which then
    // takes its place.
    m_header = left.header;
    for (const JournalChange &change : left.changes) {
        JournalRecord again(change.madeAtMs);
        for (const JournalOp &op : change.ops) {
            if (op.insert)
                again.ops().putIn(op.state);
            else
                again.ops().takeOut(op.key);
        }
        Result written = record(std::move(again));
        if (written.succeeded())
            written = finishWrite();
        if (written.failed()) {
            // The journal left stays as it was.
            end();
            return written;
        }
    }
    sync();
    ::unlinkat(m_folder.descriptor(), m_leftName.constData(), 0);
    return Result::success();
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

Result EditJournal::sayOnce(const Result &failure)
{
    return std::exchange(m_failureSaid, true) ? Result::success() : failure;
}

Result EditJournal::failed(int error)
{
    return sayOnce(
        Result::failure(tr("Unsaved changes cannot be kept in %1: %2").arg(m_folder.path(), qt_error_string(error))));
}

Result EditJournal::finishWrite()
{
    const int error = m_backgroundWrite.valid() ? m_backgroundWrite.get() : 0;
    return error == 0 ? Result::success() : failed(error);
}

Result EditJournal::finishBackground()
{
    if (m_backgroundSync.valid())
        m_backgroundSync.wait();
    return finishWrite();
}

Result EditJournal::record(JournalRecord change)
{
    if (change.isEmpty())
        return Result::success();
    // A sync of the changes before may still run: writing goes on beside it.
    if (Result before = finishWrite(); before.failed())
        return before;
    if (m_fd < 0) {
        if (const Result opened = open(true); opened.failed())
            return sayOnce(opened);
    }
    const bool many = change.size() > kBytesWrittenHere;
    std::vector<QByteArray> parts = std::move(change).finish();
    if (many) {
        m_backgroundWrite =
            std::async(std::launch::async, [fd = m_fd, parts = std::move(parts)] { return writeRecord(fd, parts); });
    } else if (const int error = writeRecord(m_fd, parts); error != 0) {
        return failed(error);
    }
    if (!m_syncTimer.isActive())
        m_syncTimer.start();
    return Result::success();
}

void EditJournal::sync()
{
    // Called as the program ends, when nobody is asked anything.
    m_syncTimer.stop();
    static_cast<void>(finishBackground());
    if (m_fd >= 0)
        ::fdatasync(m_fd);
}

void EditJournal::syncInBackground()
{
    const auto running = [](const auto &job) {
        return job.valid() && job.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    };
    if (running(m_backgroundWrite) || running(m_backgroundSync)) {
        m_syncTimer.start();
        return;
    }
    if (const Result written = finishBackground(); written.failed() && m_lateFailure)
        m_lateFailure(written);
    if (m_fd >= 0)
        m_backgroundSync = std::async(std::launch::async, [fd = m_fd] { ::fdatasync(fd); });
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
    static_cast<void>(finishBackground());
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
