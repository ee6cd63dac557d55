#pragma once

#include <QByteArray>

#include <sys/types.h>

// The system calls the savers are built from, each going on after
// interruptions and short transfers. Each returns false with errno set.
namespace PosixFile {

// Writes every byte at offset, whatever the file's own position.
bool WriteAllAt(int fd, const char *data, qsizetype size, off_t offset);

// The whole contents of an open file, read from its start.
bool ReadAll(int fd, QByteArray &contents);

// Makes bytes the file's whole contents where it stands and syncs them: the
// room they need is reserved first, so that a full disk fails before anything
// is overwritten; then they are written over the old ones, and the file is cut
// to their length.
bool OverwriteAndSync(int fd, const QByteArray &bytes);

// A new file in the folder with no name yet, so that nothing is left behind if
// the program dies before it is complete; on a file system that cannot make
// one, a file with a new hidden name, given in sideName. Created with the mode
// 0666 less the umask.
int CreateUnfinished(int folder, QByteArray &sideName);

// Whether a name is one that CreateUnfinished or NameUnfinished gives.
bool IsSideName(const char *name);

// Gives an unfinished file from CreateUnfinished a new hidden name in the
// folder, in sideName, unless it has one already.
bool NameUnfinished(int fd, int folder, QByteArray &sideName);

// Gives an unfinished file from CreateUnfinished the name in the folder,
// failing with EEXIST rather than replacing a file of that name.
bool LinkUnfinished(int fd, int folder, const QByteArray &sideName, const QByteArray &name);

// Syncs a folder, so that a name made or moved in it lasts a power cut.
bool SyncFolder(int folder);

} // namespace PosixFile
