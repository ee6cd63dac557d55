#pragma once

#include "entries/EntryFingerprint.h"
#include "storage/FileIdentity.h"

#include <QString>

#include <optional>
#include <vector>

// What the file held when it was last read or written completely: which
// file it was and, as a multiset, the entries it held. A later save merges
// what changed on disk since then against this.
class MergeBase
{
public:
    // Remembers the file at path, as it was identified before it was read
    // or right after it was written, as holding the entries with these
    // fingerprints, in any order.
    void remember(const QString &path, std::optional<FileIdentity> identity, std::vector<EntryFingerprint> entries);
    // The same with the fingerprints sorted already.
    void rememberSorted(const QString &path, std::optional<FileIdentity> identity,
                        std::vector<EntryFingerprint> entries);
    void forget();

    // Called by a save just before it remembers what it wrote: the entries
    // of the version it replaces stay at hand until the next version of the
    // file is taken in. A sync tool that finds the save in conflict moves it
    // aside as a conflict copy and puts the other machine's version at the
    // name, whose common ancestor with the lists is that version, not the save.
    void keepAncestor();
    const std::vector<EntryFingerprint> *ancestor() const { return m_ancestor ? &*m_ancestor : nullptr; }
    void dropAncestor() { m_ancestor.reset(); }

    bool isFor(const QString &path) const { return !m_path.isEmpty() && m_path == path; }
    const std::optional<FileIdentity> &identity() const { return m_identity; }
    // Sorted, so that equal entries sit together.
    const std::vector<EntryFingerprint> &entries() const { return m_entries; }

private:
    QString m_path;
    std::optional<FileIdentity> m_identity;
    std::vector<EntryFingerprint> m_entries;
    std::optional<std::vector<EntryFingerprint>> m_ancestor;
};
