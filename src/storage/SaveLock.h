#pragma once

#include "base/Result.h"

#include <QByteArray>

// Serialises the last check of a file and its replacement between Tarvik
// processes, so that two windows saving the same file at the same moment
// take turns: the second one then sees the first one's file and merges it.
// The lock is an advisory flock on a file in $XDG_RUNTIME_DIR/tarvik/ keyed
// by the device and inode of the file at the name, or, while no file is
// there, by the folder and the name.
class SaveLock
{
public:
    // Waits a few seconds at most for the lock of the name in the folder.
    SaveLock(int folder, const QByteArray &name);
    ~SaveLock();
    SaveLock(const SaveLock &) = delete;
    SaveLock &operator=(const SaveLock &) = delete;

    // Success also where the system offers no place for locks: saving then
    // goes on as it did before locks, only unserialised.
    const Result &result() const { return m_result; }
    // Whether a save of the name in the folder holds its lock right now;
    // asks without waiting and without making a lock file.
    static bool IsHeld(int folder, const QByteArray &name);

    // The file the lock was keyed by no longer stands at its name, so no one
    // will ask for this lock again: its file can go.
    void retire();

private:
    int m_fd = -1;
    QByteArray m_path;
    Result m_result = Result::success();
};
