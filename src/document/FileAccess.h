#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// How task-list files meet the file system: only regular files are read or
// written, and a file gets its new contents all at once.

// Why something that exists at a path is not a file to read or write: it is a
// folder, a pipe, a device or a socket. Empty for a regular file.
QString NotARegularFile(mode_t mode);

// Replaces the contents of the file at path, creating it when it is missing.
// The new contents are written beside the old ones and take their place only
// once complete, so a failure or a crash part-way leaves the old file as it
// was; the file keeps its permissions, and a symbolic link leads to the file
// that gets the new contents. Where nothing new can be made beside it (a
// read-only folder holding a writable file), the file is written in place.
// Empty when it worked, else why it did not.
QString ReplaceFileContents(const QString &path, const QByteArray &bytes);
