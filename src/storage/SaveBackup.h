#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QString>

// The copy of a file's old contents that an in-place save keeps until the new
// contents are safely on the disk. Backups live in the user's own state folder,
// $XDG_STATE_HOME/tarvik/backups (~/.local/state/tarvik/backups when unset),
// one per file, named after the file's full path; a backup found there belongs
// to a save that never finished.
namespace SaveBackup {

// Where the backup of the file at this resolved path goes.
QByteArray PathFor(const QByteArray &resolvedFile);

// Writes the old contents to the backup path and syncs them; only a complete
// copy ever appears under that name. Fails, writing nothing, when a backup of
// an earlier unfinished save is still there.
Result Write(const QByteArray &backup, const QByteArray &contents);

// Deletes the backup once it is no longer needed.
void Remove(const QByteArray &backup);

// The backup an unfinished save of the file at path left, or empty.
QString Find(const QString &path);

// Puts the backup's contents back into the file, then deletes the backup.
Result Restore(const QString &path, const QString &backup);

// Moves the backup to the trash, where the user can still find it.
Result Discard(const QString &backup);

} // namespace SaveBackup
