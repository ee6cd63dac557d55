#pragma once

#include "entries/EntryEditing.h"
#include "entries/EntryFingerprint.h"
#include "storage/FileIdentity.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// One entry taken out of the lists or put into them.
struct JournalOp {
    bool insert = false;
    EntryState state;
};

// One change as the user made it: an edit, an undo, a redo, a copy taken in.
struct JournalChange {
    qint64 madeAtMs = 0; // milliseconds since the epoch
    std::vector<JournalOp> ops;
};

// Which version of which file the changes were made to.
struct JournalHeader {
    QString path; // empty for a list that was never saved
    std::optional<FileIdentity> identity;
    quint64 baseCount = 0;
    EntryFingerprint baseDigest; // the base's fingerprints summed word by word
};

struct JournalContents {
    JournalHeader header;
    std::vector<JournalChange> changes;
};

// A journal is a run of records, each its payload's length, a checksum and
// the payload, the header first. A record cut short or damaged, as a kill
// in the middle of a write leaves it, ends the journal there.
QByteArray EncodeJournalHeader(const JournalHeader &header);
QByteArray EncodeJournalChange(const JournalChange &change);
// Nothing when not even the header can be read.
std::optional<JournalContents> DecodeJournal(const QByteArray &bytes);

// The order-free digest of a multiset of fingerprints.
EntryFingerprint DigestOf(const std::vector<EntryFingerprint> &fingerprints);
