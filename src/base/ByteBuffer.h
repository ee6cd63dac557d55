#pragma once

#include <QByteArray>

#include <algorithm>
#include <cstring>

// Bytes built up at the end, as the file writer and the listing make their
// output in memory: room is reserved ahead, written into directly and then
// taken into the size, so that a million lines cost no per-line allocation.
class ByteBuffer
{
public:
    // Room for at least size more bytes after those written so far.
    char *reserve(qsizetype size)
    {
        if (m_bytes.size() < m_size + size)
            m_bytes.resize(std::max(2 * m_bytes.size(), m_size + size + kMinimumGrowth));
        return m_bytes.data() + m_size;
    }

    // Takes the bytes written into reserved room up to end into the size.
    void grownTo(const char *end) { m_size = end - m_bytes.constData(); }

    void append(const char *data, qsizetype size)
    {
        std::memcpy(reserve(size), data, static_cast<size_t>(size));
        m_size += size;
    }

    void append(char c)
    {
        *reserve(1) = c;
        ++m_size;
    }

    const char *data() const { return m_bytes.constData(); }
    qsizetype size() const { return m_size; }
    void clear() { m_size = 0; }

    // The bytes written, leaving the buffer empty.
    QByteArray take()
    {
        m_bytes.truncate(m_size);
        m_size = 0;
        return std::move(m_bytes);
    }

private:
    static constexpr qsizetype kMinimumGrowth = qsizetype(64) * 1024;

    QByteArray m_bytes;
    qsizetype m_size = 0;
};
