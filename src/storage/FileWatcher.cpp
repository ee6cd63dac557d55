#include "storage/FileWatcher.h"

#include "storage/SettledFile.h"

#include <QFileInfo>

namespace {

// How often a file that cannot be watched is looked at.
constexpr int kPollMs = 2000;

} // namespace

FileWatcher::FileWatcher(QObject *parent)
    : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(FileSettleMs);
    m_poll.setInterval(kPollMs);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatcher::somethingChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatcher::somethingChanged);
    connect(&m_settle, &QTimer::timeout, this, &FileWatcher::checkSettled);
    connect(&m_poll, &QTimer::timeout, this, &FileWatcher::poll);
}

void FileWatcher::watch(const QString &path)
{
    if (path == m_path)
        return;
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_settle.stop();
    m_poll.stop();
    m_pending = false;
    m_path = path;
    m_folder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    m_seen = path.isEmpty() ? std::nullopt : FileIdentity::Of(path);
    m_watchedFile.reset();
    arm();
}

// Watches the file and its folder where they are not watched yet. What
// cannot be watched is looked at by polling until it can.
void FileWatcher::arm()
{
    if (m_path.isEmpty())
        return;
    bool complete = true;
    if (!m_watcher.directories().contains(m_folder))
        complete = m_watcher.addPath(m_folder) && complete;
    // The file's own watch sees changes written in place, which the folder's
    // does not. It follows an inode: once another file took the name (while
    // some program still holds the old one open, the old watch lives on), the
    // watch moves to the file that now has the name.
    const std::optional<FileIdentity> now = FileIdentity::Of(m_path);
    const bool watched = m_watcher.files().contains(m_path);
    if (!watched || !now || !m_watchedFile || !now->sameInode(*m_watchedFile)) {
        if (watched)
            m_watcher.removePath(m_path);
        m_watchedFile.reset();
    }
    if (now && !m_watchedFile) {
        const bool added = m_watcher.addPath(m_path);
        if (added)
            m_watchedFile = now;
        complete = added && complete;
    }
    if (complete)
        m_poll.stop();
    else if (!m_poll.isActive())
        m_poll.start();
}

void FileWatcher::somethingChanged()
{
    m_pending = true;
    m_seen = FileIdentity::Of(m_path);
    m_settle.start();
}

void FileWatcher::checkSettled()
{
    arm();
    const std::optional<FileIdentity> now = FileIdentity::Of(m_path);
    if (now != m_seen) {
        // Still being written: wait for it to stop.
        m_seen = now;
        m_settle.start();
        return;
    }
    if (!m_pending)
        return;
    m_pending = false;
    Q_EMIT settled();
}

void FileWatcher::poll()
{
    arm();
    if (FileIdentity::Of(m_path) != m_seen)
        somethingChanged();
}
