#include "document/DiskBase.h"

#include <QFile>
#include <QHashFunctions>

#include <bit>
#include <cstring>

#include <sys/stat.h>

namespace {

constexpr size_t kLowSeed = 0x9e3779b97f4a7c15ULL;
constexpr size_t kHighSeed = 0xc2b2ae3d27d4eb4fULL;

size_t hashText(QStringView text, size_t seed)
{
    return qHashBits(text.data(), size_t(text.size()) * sizeof(QChar), seed);
}

// Spreads every bit of x over the whole word (the finaliser of splitmix64).
quint64 mix(quint64 x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// One pass over the four stored texts, which sit back to back in the entry.
// Their lengths and the status go into the seed, so that texts moved from
// one field to the next never hash alike. qHashBits of those few bytes took
// longer than of the whole text (24 ms against 4 ms for 100,000 entries).
size_t hashEntry(const Entry &entry, size_t seed)
{
    quint64 shape = mix(seed ^ std::bit_cast<quint64>(entry.status));
    for (int field = Entry::Task; field <= Entry::User; ++field)
        shape = mix(shape ^ quint64(entry.field(field).size()));
    return hashText(entry.fields(Entry::Task, Entry::User), shape);
}

} // namespace

std::optional<FileIdentity> FileIdentity::Of(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.regular = S_ISREG(info.st_mode);
    return identity;
}

EntryFingerprint EntryFingerprint::Of(const Entry &entry)
{
    const quint64 low = hashEntry(entry, kLowSeed);
    const quint64 high = hashEntry(entry, kHighSeed);
    EntryFingerprint fingerprint;
    fingerprint.words[0] = quint32(high >> 32);
    fingerprint.words[1] = quint32(high);
    fingerprint.words[2] = quint32(low >> 32);
    fingerprint.words[3] = quint32(low);
    fingerprint.added = quint32(hashText(entry.field(Entry::Added), kHighSeed));
    return fingerprint;
}

void DiskBase::remember(const QString &path, std::optional<FileIdentity> identity,
                        std::vector<EntryFingerprint> entries)
{
    SortFingerprints(entries);
    rememberSorted(path, identity, std::move(entries));
}

void DiskBase::rememberSorted(const QString &path, std::optional<FileIdentity> identity,
                              std::vector<EntryFingerprint> entries)
{
    m_path = path;
    m_identity = identity;
    m_entries = std::move(entries);
}

void DiskBase::forget()
{
    m_path.clear();
    m_identity.reset();
    m_entries = {};
}
