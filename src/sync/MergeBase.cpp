#include "sync/MergeBase.h"

void MergeBase::remember(const QString &path, std::optional<FileIdentity> identity,
                         std::vector<EntryFingerprint> entries)
{
    SortFingerprints(entries);
    rememberSorted(path, identity, std::move(entries));
}

void MergeBase::rememberSorted(const QString &path, std::optional<FileIdentity> identity,
                               std::vector<EntryFingerprint> entries)
{
    m_path = path;
    m_identity = identity;
    m_entries = std::move(entries);
}

void MergeBase::forget()
{
    m_path.clear();
    m_identity.reset();
    m_entries = {};
}
