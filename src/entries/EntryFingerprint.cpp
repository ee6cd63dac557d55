#include "entries/EntryFingerprint.h"

#include <bit>
#include <cstring>

// Used from its header alone: nothing to link.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

constexpr quint64 kSeed = 0x9e3779b97f4a7c15ULL;

// Spreads every bit of x over the whole word (the finaliser of splitmix64).
quint64 mix(quint64 x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

const void *bytesOf(QStringView text)
{
    return text.data();
}

size_t sizeOf(QStringView text)
{
    return size_t(text.size()) * sizeof(QChar);
}

} // namespace

EntryFingerprint EntryFingerprint::Of(const Entry &entry)
{
    return Of(entry.status, entry.field(Entry::Task), entry.field(Entry::Added), entry.field(Entry::Edited),
              entry.field(Entry::User));
}

// One pass over the four stored texts, which sit back to back.
// Their lengths and the status go into the seed, so that texts moved from
// one field to the next never hash alike. XXH3 rather than qHashBits: one
// pass of it gives all 128 bits, where qHashBits needs two slower ones (see
// the reload and merge bench lines).
EntryFingerprint EntryFingerprint::Of(double status, QStringView task, QStringView added, QStringView edited,
                                      QStringView user)
{
    Q_ASSERT(task.end() == added.begin() && added.end() == edited.begin() && edited.end() == user.begin());
    quint64 shape = mix(kSeed ^ std::bit_cast<quint64>(status));
    for (const QStringView field : {task, added, edited, user})
        shape = mix(shape ^ quint64(field.size()));
    const QStringView texts(task.begin(), user.end());
    const XXH128_hash_t hash = XXH3_128bits_withSeed(bytesOf(texts), sizeOf(texts), shape);
    EntryFingerprint fingerprint;
    fingerprint.words[0] = quint32(hash.high64 >> 32);
    fingerprint.words[1] = quint32(hash.high64);
    fingerprint.words[2] = quint32(hash.low64 >> 32);
    fingerprint.words[3] = quint32(hash.low64);
    fingerprint.added = quint32(XXH3_64bits(bytesOf(added), sizeOf(added)));
    return fingerprint;
}
