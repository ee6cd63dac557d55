#include "storage/FileIdentity.h"

#include "storage/FilePath.h"

#include <sys/stat.h>

std::optional<FileIdentity> FileIdentity::Of(const QString &path)
{
    struct stat info;
    if (::stat(FilePathBytes(path).constData(), &info) != 0)
        return std::nullopt;
    return OfStat(info);
}

FileIdentity FileIdentity::OfStat(const struct stat &info)
{
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.regular = S_ISREG(info.st_mode);
    return identity;
}
