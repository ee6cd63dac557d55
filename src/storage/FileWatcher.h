#pragma once

#include "storage/FileIdentity.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

// Tells when the file at a path, or the folder it sits in, has changed and
// then stopped changing. Sync tools and editors replace a file by renaming a
// new one over it, which ends a watch on the old file: every change arms the
// watches again. Bursts of events are collapsed, and a change is reported
// only once the file's size and time have stayed the same for a short
// moment, so that a half-written file is not taken for the new version.
// Where the system cannot watch (its watch limit reached, the folder gone),
// the file is looked at every few seconds instead. Nothing is ever written.
class FileWatcher : public QObject
{
    Q_OBJECT

public:
    explicit FileWatcher(QObject *parent = nullptr);

    // Watches the file at path; an empty path watches nothing.
    void watch(const QString &path);
    QString path() const { return m_path; }

Q_SIGNALS:
    // The file or its folder changed and has settled since.
    void settled();

private:
    void arm();
    void somethingChanged();
    void checkSettled();
    void poll();

    QString m_path;
    QString m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QTimer m_poll;
    // The file as the last look found it; nothing while it is missing.
    std::optional<FileIdentity> m_seen;
    // The file the file watch was put on.
    std::optional<FileIdentity> m_watchedFile;
    bool m_pending = false;
};
