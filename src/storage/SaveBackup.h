#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// The copy of a file's old contents that an in-place save keeps until the new
// contents are safely on the disk. Copies live in the private folder
// $XDG_STATE_HOME/tarvik/backups (see PrivateFolder.h), one per file, keyed by
// the file's device and inode, so that every hard-link name of the file finds
// it. Its name also records the length and fingerprint of the contents the
// save was about to write, and the file's name for people looking into the
// folder. A copy found there belongs to a save that may not have finished.
namespace SaveBackup {

// Writes the old contents as the copy for the file (as fstat gave it, named
// fileName) and syncs them; only a complete copy ever appears. next is what
// the save is about to write. Gives the copy's name in the folder. Fails,
// writing nothing, when the folder is not private or a copy of an earlier
// unfinished save is still there.
Result Write(const struct stat &file, const QByteArray &fileName, const QByteArray &old, const QByteArray &next,
             QByteArray &copyName);

// Deletes the copy once it is no longer needed.
void Remove(const QByteArray &copyName);

// What an earlier save of a file left behind.
struct Waiting {
    // The path of the copy to offer, or empty.
    QString copy;
    // A failure when the folder or the copy cannot be trusted: nothing is offered then.
    Result trouble = Result::success();
};

// The copy an unfinished save of the file at path left. A copy whose save
// did finish (the file holds exactly what it was about to write) is deleted
// here, and nothing is offered.
Waiting Find(const QString &path);

// Puts the copy's contents back into the file, then deletes the copy.
Result Restore(const QString &path, const QString &copy);

// Moves the copy to the trash, where the user can still find it.
Result Discard(const QString &copy);

} // namespace SaveBackup
