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
    m_ancestor.reset();
}

void MergeBase::keepAncestor()
{
    // Saves that follow one another without a version in between share the
    // oldest ancestor: none of them is known to have reached the name.
    if (!m_ancestor && !m_path.isEmpty())
        m_ancestor = m_entries;
}
