#pragma once

#include "document/Result.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// How task-list files meet the file system: only regular files are read or
// written, and a file gets its new contents all at once.

// Only regular files are read or written; anything else at the path (a
// folder, a pipe, a device or a socket) fails with the reason.
Result RequireRegularFile(mode_t mode);

// Replaces the contents of the file at path, creating it when it is missing.
// The new contents are written beside the old ones and take their place only
// once complete, so a failure or a crash part-way leaves the old file as it
// was; the file keeps its permissions, and a symbolic link leads to the file
// that gets the new contents. Where nothing new can be made beside it (a
// read-only folder holding a writable file), the file is written in place.
Result ReplaceFileContents(const QString &path, const QByteArray &bytes);
