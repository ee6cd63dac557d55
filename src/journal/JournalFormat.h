#pragma once

#include "entries/EntryEditing.h"
#include "entries/EntryFingerprint.h"
#include "storage/FileIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// One entry taken out of the lists or put into them, known by what the file
// keeps of it, its status and four texts. An entry put in comes with all it
// holds; one taken out needs no more than its fingerprint.
struct JournalOp {
    bool insert = false;
    EntryFingerprint key;
    EntryState state; // of an entry put in
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
    bool olderLayout = false; // written by an earlier version, which wrote every entry in full
};

// Entries of a change, encoded one after another straight from the entries.
class JournalOps
{
public:
    void takeOut(const EntryFingerprint &key);
    void takeOut(const EntryState &state);
    void putIn(Category category, int position, const Entry &entry);
    void putIn(const EntryState &state);

    quint32 count() const { return m_count; }
    const QByteArray &bytes() const { return m_bytes; }

private:
    void putIn(Category category, int position, double status, const std::array<quint32, Entry::FieldCount> &lengths,
               QStringView texts);
    template<typename T>
    void append(const T &value);

    QByteArray m_bytes;
    quint32 m_count = 0;
    friend class JournalRecord;
};

// One change: when it was made and its entries, in pieces that may have been
// encoded side by side on several threads.
class JournalRecord
{
public:
    explicit JournalRecord(qint64 madeAtMs = QDateTime::currentMSecsSinceEpoch());

    // The last piece, where entries are added.
    JournalOps &ops() { return m_pieces.back(); }
    void append(JournalOps piece) { m_pieces.push_back(std::move(piece)); }

    bool isEmpty() const;
    // Bytes in the journal.
    qsizetype size() const;
    // The record as the journal keeps it, to be written in this order.
    std::vector<QByteArray> finish() &&;

private:
    qint64 m_madeAtMs;
    std::vector<JournalOps> m_pieces;
};

// A journal is a run of records, each its payload's length, a checksum and
// the payload, the header first. A record cut short or damaged, as a kill
// in the middle of a write leaves it, ends the journal there.
QByteArray EncodeJournalHeader(const JournalHeader &header);
// Nothing when not even the header can be read.
std::optional<JournalContents> DecodeJournal(const QByteArray &bytes);

// The order-free digest of a multiset of fingerprints.
EntryFingerprint DigestOf(const std::vector<EntryFingerprint> &fingerprints);
