#pragma once

#include "base/Result.h"
#include "storage/FileIdentity.h"

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/types.h>

// How task-list files meet the file system: only regular files are read or
// written, and a save leaves either the whole old or the whole new file.

// Only regular files are read or written; anything else at the path (a
// folder, a pipe, a device or a socket) fails with the reason.
Result RequireRegularFile(mode_t mode);

// Replaces the contents of the file at path, creating it when it is missing.
// A symbolic link leads to the file that gets the new contents.
//
// A file that the user may not write, or that its owner made read-only, is
// refused with "Permission denied", whichever way it would be written.
//
// Usually the new contents go into a new file beside the old one, which takes
// the old one's place once it is complete and synced, and the folder is synced
// after that; the file keeps its permissions and gets no access control list
// from the folder's default one.
//
// Where a new file could not carry what the old one has, the file is written
// in place instead: when it has more than one hard link, belongs to another
// user or group, has an access control list or extended attributes, or when
// its folder takes no new file (read-only, or sticky and someone else's). A
// synced copy of the old contents goes to the backup folder first (see
// SaveBackup.h); the room for the new contents is reserved before the first
// byte is overwritten; on any failure the old bytes are put back. The backup
// is deleted once the new contents are synced, or once the old ones are back;
// it stays, and the reason names it, only when even that fails.
Result ReplaceFileContents(const QString &path, const QByteArray &bytes);

// How a replace that expects a certain file at the name went.
struct CheckedReplace {
    enum class Outcome { Replaced, Changed, Failed };
    Outcome outcome = Outcome::Failed;
    Result result = Result::success(); // why it failed

    bool replaced() const { return outcome == Outcome::Replaced; }
    bool changed() const { return outcome == Outcome::Changed; }
};

// ReplaceFileContents, but only while the file at path is still the one
// given (nothing: still no file there). The identity is compared last thing
// before the new file is renamed over the old one, or before the first byte
// is overwritten in place, under a SaveLock, so that a version another
// program or window wrote meanwhile is never replaced unseen: then nothing
// is written and the outcome is Changed.
CheckedReplace ReplaceFileContentsIf(const QString &path, const QByteArray &bytes,
                                     const std::optional<FileIdentity> &expected);
