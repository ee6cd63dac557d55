#include "journal/JournalFormat.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>
#include <bit>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

constexpr quint32 kMagic = 0x4a4b5654; // "TVKJ"
// The first version wrote each change through QDataStream, every entry in
// full; journals it left are still read.
constexpr quint32 kStreamedVersion = 1;
constexpr quint32 kVersion = 2;
constexpr int kFrameSize = 12; // length, then a 64-bit checksum
constexpr quint8 kTakeOut = 0;
constexpr quint8 kPutIn = 1;

// The header's checksum, in every version; the first version's changes have
// it too.
quint64 headerChecksum(const char *data, qsizetype size)
{
    quint64 hash = 0xcbf29ce484222325ULL;
    for (qsizetype i = 0; i < size; ++i)
        hash = (hash ^ quint8(data[i])) * 0x100000001b3ULL;
    return hash;
}

// A change of a million entries is a hundred megabytes: the byte-wise hash
// took longer over it than writing it.
quint64 changeChecksum(const char *data, qsizetype size)
{
    return XXH3_64bits(data, size_t(size));
}

void writeFrame(char *at, qsizetype payloadSize, quint64 sum)
{
    qToLittleEndian(quint32(payloadSize), at);
    qToLittleEndian(sum, at + sizeof(quint32));
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

EntryFingerprint keyOf(const EntryState &state)
{
    const QString texts = state.fields[Entry::Task] + state.fields[Entry::Added] + state.fields[Entry::Edited]
        + state.fields[Entry::User];
    const qsizetype task = state.fields[Entry::Task].size();
    const qsizetype added = state.fields[Entry::Added].size();
    const qsizetype edited = state.fields[Entry::Edited].size();
    const QStringView all(texts);
    return EntryFingerprint::Of(state.status, all.first(task), all.mid(task, added), all.mid(task + added, edited),
                                all.mid(task + added + edited));
}

Category categoryOf(quint8 code)
{
    return static_cast<Category>(std::min<int>(code, CategoryCount - 1));
}

// Reads a payload front to back; any read past its end fails this and
// every later one.
class PayloadReader
{
public:
    explicit PayloadReader(QByteArrayView payload)
        : m_payload(payload)
    {
    }

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_payload.size(); }

    template<typename T>
    T read()
    {
        T value{};
        if (const char *bytes = take(sizeof(T)))
            value = qFromLittleEndian<T>(bytes);
        return value;
    }
    double readDouble() { return std::bit_cast<double>(read<quint64>()); }
    const char *take(qsizetype size)
    {
        if (!m_ok || size > m_payload.size() - m_at) {
            m_ok = false;
            return nullptr;
        }
        const char *bytes = m_payload.data() + m_at;
        m_at += size;
        return bytes;
    }

private:
    QByteArrayView m_payload;
    qsizetype m_at = 0;
    bool m_ok = true;
};

std::optional<JournalChange> decodeChange(QByteArrayView payload)
{
    PayloadReader in(payload);
    JournalChange change;
    change.madeAtMs = in.read<qint64>();
    const quint32 count = in.read<quint32>();
    for (quint32 i = 0; i < count && in.ok(); ++i) {
        JournalOp op;
        const quint8 kind = in.read<quint8>();
        if (kind == kTakeOut) {
            for (quint32 &word : op.key.words)
                word = in.read<quint32>();
            op.key.added = in.read<quint32>();
        } else if (kind == kPutIn) {
            op.insert = true;
            op.state.category = categoryOf(in.read<quint8>());
            op.state.position = in.read<qint32>();
            op.state.status = in.readDouble();
            std::array<quint32, Entry::FieldCount> lengths{};
            for (quint32 &length : lengths)
                length = in.read<quint32>();
            const quint32 size = in.read<quint32>();
            const char *utf8 = in.take(size);
            if (!utf8)
                break;
            const QString texts = QString::fromUtf8(utf8, size);
            qsizetype at = 0;
            for (int field = 0; field < Entry::FieldCount; ++field) {
                if (lengths[field] > quint64(texts.size() - at))
                    return std::nullopt;
                op.state.fields[field] = texts.mid(at, lengths[field]);
                at += lengths[field];
            }
            if (at != texts.size())
                return std::nullopt;
            op.key = keyOf(op.state);
        } else {
            return std::nullopt;
        }
        change.ops.push_back(std::move(op));
    }
    if (!in.ok() || !in.atEnd())
        return std::nullopt;
    return change;
}

std::optional<JournalChange> decodeStreamedChange(const QByteArray &payload)
{
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_4);
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
        op.state.category = categoryOf(category);
        op.state.position = position;
        op.key = keyOf(op.state);
        change.ops.push_back(std::move(op));
    }
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return change;
}

} // namespace

template<typename T>
void JournalOps::append(const T &value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    m_bytes.append(bytes, sizeof bytes);
}

void JournalOps::takeOut(const EntryFingerprint &key)
{
    append(kTakeOut);
    for (const quint32 word : key.words)
        append(word);
    append(key.added);
    ++m_count;
}

void JournalOps::takeOut(const EntryState &state)
{
    takeOut(keyOf(state));
}

void JournalOps::putIn(Category category, int position, const Entry &entry)
{
    std::array<quint32, Entry::FieldCount> lengths{};
    for (int field = 0; field < Entry::FieldCount; ++field)
        lengths[field] = quint32(entry.field(field).size());
    putIn(category, position, entry.status, lengths, entry.fields(0, Entry::FieldCount - 1));
}

void JournalOps::putIn(const EntryState &state)
{
    std::array<quint32, Entry::FieldCount> lengths{};
    QString texts;
    for (int field = 0; field < Entry::FieldCount; ++field) {
        lengths[field] = quint32(state.fields[field].size());
        texts += state.fields[field];
    }
    putIn(state.category, state.position, state.status, lengths, texts);
}

void JournalOps::putIn(Category category, int position, double status,
                       const std::array<quint32, Entry::FieldCount> &lengths, QStringView texts)
{
    append(kPutIn);
    append(quint8(category));
    append(qint32(position));
    append(std::bit_cast<quint64>(status));
    for (const quint32 length : lengths)
        append(length);
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const qsizetype sizeAt = m_bytes.size();
    const qsizetype needed = sizeAt + qsizetype(sizeof(quint32)) + encoder.requiredSpace(texts.size());
    if (m_bytes.capacity() < needed)
        m_bytes.reserve(2 * needed);
    m_bytes.resize(needed);
    char *textAt = m_bytes.data() + sizeAt + sizeof(quint32);
    const char *end = encoder.appendToBuffer(textAt, texts);
    qToLittleEndian(quint32(end - textAt), m_bytes.data() + sizeAt);
    m_bytes.resize(end - m_bytes.constData());
    ++m_count;
}

JournalRecord::JournalRecord(qint64 madeAtMs)
    : m_madeAtMs(madeAtMs)
    , m_pieces(1)
{
}

bool JournalRecord::isEmpty() const
{
    return std::all_of(m_pieces.begin(), m_pieces.end(), [](const JournalOps &piece) { return piece.count() == 0; });
}

qsizetype JournalRecord::size() const
{
    qsizetype size = kFrameSize + sizeof(qint64) + sizeof(quint32);
    for (const JournalOps &piece : m_pieces)
        size += piece.bytes().size();
    return size;
}

std::vector<QByteArray> JournalRecord::finish() &&
{
    const qsizetype total = size();
    quint32 count = 0;
    for (const JournalOps &piece : m_pieces)
        count += piece.count();
    QByteArray head(kFrameSize + sizeof(qint64) + sizeof(quint32), Qt::Uninitialized);
    qToLittleEndian(m_madeAtMs, head.data() + kFrameSize);
    qToLittleEndian(count, head.data() + kFrameSize + sizeof(qint64));
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    XXH3_64bits_update(&state, head.constData() + kFrameSize, size_t(head.size() - kFrameSize));
    std::vector<QByteArray> parts{std::move(head)};
    for (JournalOps &piece : m_pieces) {
        XXH3_64bits_update(&state, piece.bytes().constData(), size_t(piece.bytes().size()));
        parts.push_back(std::move(piece.m_bytes));
    }
    writeFrame(parts.front().data(), total - kFrameSize, XXH3_64bits_digest(&state));
    return parts;
}

QByteArray EncodeJournalHeader(const JournalHeader &header)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kVersion << header.path << header.identity.has_value();
    const FileIdentity identity = header.identity.value_or(FileIdentity{});
    out << identity.device << identity.inode << identity.size << identity.modifiedNs << identity.regular;
    out << header.baseCount << header.baseDigest;
    QByteArray record(kFrameSize, Qt::Uninitialized);
    writeFrame(record.data(), payload.size(), headerChecksum(payload.constData(), payload.size()));
    return record + payload;
}

std::optional<JournalContents> DecodeJournal(const QByteArray &bytes)
{
    JournalContents contents;
    quint32 version = 0;
    qsizetype at = 0;
    while (bytes.size() - at >= kFrameSize) {
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at);
        const quint64 sum = qFromLittleEndian<quint64>(bytes.constData() + at + sizeof size);
        if (size > quint64(bytes.size() - at - kFrameSize))
            break;
        const char *payload = bytes.constData() + at + kFrameSize;
        const bool streamed = version != kVersion;
        if ((streamed ? headerChecksum(payload, size) : changeChecksum(payload, size)) != sum)
            break;
        at += kFrameSize + size;
        if (version == 0) {
            QDataStream in(QByteArray::fromRawData(payload, size));
            in.setVersion(QDataStream::Qt_6_4);
            quint32 magic = 0;
            bool hasIdentity = false;
            FileIdentity identity;
            in >> magic >> version >> contents.header.path >> hasIdentity;
            in >> identity.device >> identity.inode >> identity.size >> identity.modifiedNs >> identity.regular;
            in >> contents.header.baseCount >> contents.header.baseDigest;
            if (in.status() != QDataStream::Ok || magic != kMagic
                || (version != kStreamedVersion && version != kVersion))
                return std::nullopt;
            if (hasIdentity)
                contents.header.identity = identity;
            contents.olderLayout = version == kStreamedVersion;
            continue;
        }
        std::optional<JournalChange> change =
            streamed ? decodeStreamedChange(QByteArray(payload, size)) : decodeChange(QByteArrayView(payload, size));
        if (!change)
            break;
        contents.changes.push_back(std::move(*change));
    }
    if (version == 0)
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
