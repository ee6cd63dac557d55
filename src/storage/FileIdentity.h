#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

struct stat;

// Which file sits at a path: the same device, inode, size and modification
// time mean nobody has written it since it was last looked at.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool regular = false;

    bool operator==(const FileIdentity &other) const = default;
    bool sameInode(const FileIdentity &other) const { return device == other.device && inode == other.inode; }

    // The file at path (following a symbolic link), or nothing when no file is there.
    static std::optional<FileIdentity> Of(const QString &path);
    // The file that stat() or fstat() described.
    static FileIdentity OfStat(const struct stat &info);
};
