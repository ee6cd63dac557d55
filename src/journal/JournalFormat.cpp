#include "journal/JournalFormat.h"

#include <QDataStream>
#include <QIODevice>

#include <cstring>

namespace {

constexpr quint32 kMagic = 0x4a4b5654; // "TVKJ"
constexpr quint32 kVersion = 1;
constexpr int kFrameSize = 12; // length, then a 64-bit checksum

quint64 checksum(const char *data, qsizetype size)
{
    quint64 hash = 0xcbf29ce484222325ULL;
    for (qsizetype i = 0; i < size; ++i)
        hash = (hash ^ quint8(data[i])) * 0x100000001b3ULL;
    return hash;
}

QByteArray framed(const QByteArray &payload)
{
    QByteArray record(kFrameSize, Qt::Uninitialized);
    const quint32 size = quint32(payload.size());
    const quint64 sum = checksum(payload.constData(), payload.size());
    std::memcpy(record.data(), &size, sizeof size);
    std::memcpy(record.data() + sizeof size, &sum, sizeof sum);
    return record + payload;
}

QDataStream &operator<<(QDataStream &out, const EntryFingerprint &fingerprint)
{
    for (const quint32 word : fingerprint.words)
        out << word;
    return out << fingerprint.added;
}

QDataStream &operator>>(QDataStream &in, EntryFingerprint &fingerprint)
{
    for (quint32 &word : fingerprint.words)
        in >> word;
    return in >> fingerprint.added;
}

template<typename Write>
QByteArray payloadOf(Write write)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    write(out);
    return payload;
}

} // namespace

QByteArray EncodeJournalHeader(const JournalHeader &header)
{
    return framed(payloadOf([&](QDataStream &out) {
        out << kMagic << kVersion << header.path << header.identity.has_value();
        const FileIdentity identity = header.identity.value_or(FileIdentity{});
        out << identity.device << identity.inode << identity.size << identity.modifiedNs << identity.regular;
        out << header.baseCount << header.baseDigest;
    }));
}

QByteArray EncodeJournalChange(const JournalChange &change)
{
    return framed(payloadOf([&](QDataStream &out) {
        out << change.madeAtMs << quint32(change.ops.size());
        for (const JournalOp &op : change.ops) {
            out << op.insert << quint8(op.state.category) << qint32(op.state.position) << op.state.status;
            for (const QString &field : op.state.fields)
                out << field;
        }
    }));
}

std::optional<JournalContents> DecodeJournal(const QByteArray &bytes)
{
    JournalContents contents;
    qsizetype at = 0;
    bool first = true;
    while (bytes.size() - at >= kFrameSize) {
        quint32 size = 0;
        quint64 sum = 0;
        std::memcpy(&size, bytes.constData() + at, sizeof size);
        std::memcpy(&sum, bytes.constData() + at + sizeof size, sizeof sum);
        if (size > quint64(bytes.size() - at - kFrameSize))
            break;
        const QByteArray payload = bytes.mid(at + kFrameSize, size);
        if (checksum(payload.constData(), payload.size()) != sum)
            break;
        at += kFrameSize + size;
        QDataStream in(payload);
        in.setVersion(QDataStream::Qt_6_4);
        if (first) {
            quint32 magic = 0;
            quint32 version = 0;
            bool hasIdentity = false;
            FileIdentity identity;
            in >> magic >> version >> contents.header.path >> hasIdentity;
            in >> identity.device >> identity.inode >> identity.size >> identity.modifiedNs >> identity.regular;
            in >> contents.header.baseCount >> contents.header.baseDigest;
            if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion)
                return std::nullopt;
            if (hasIdentity)
                contents.header.identity = identity;
            first = false;
            continue;
        }
        JournalChange change;
        quint32 count = 0;
        in >> change.madeAtMs >> count;
        for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
            JournalOp op;
            quint8 category = 0;
            qint32 position = 0;
            in >> op.insert >> category >> position >> op.state.status;
            for (QString &field : op.state.fields)
                in >> field;
            op.state.category = static_cast<Category>(std::min<int>(category, CategoryCount - 1));
            op.state.position = position;
            change.ops.push_back(std::move(op));
        }
        if (in.status() != QDataStream::Ok)
            break;
        contents.changes.push_back(std::move(change));
    }
    if (first)
        return std::nullopt;
    return contents;
}

EntryFingerprint DigestOf(const std::vector<EntryFingerprint> &fingerprints)
{
    EntryFingerprint digest;
    for (const EntryFingerprint &fingerprint : fingerprints) {
        for (int word = 0; word < 4; ++word)
            digest.words[word] += fingerprint.words[word];
        digest.added += fingerprint.added;
    }
    return digest;
}
