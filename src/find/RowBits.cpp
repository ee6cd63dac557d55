#include "find/RowBits.h"

#include <algorithm>
#include <bit>

namespace {

// Words counted together: the counts take 1/16 of the bits' room, and an
// answer adds up at most this many words.
constexpr size_t kBlockWords = 8;

quint64 lowBits(size_t count)
{
    return count >= 64 ? ~quint64(0) : (quint64(1) << count) - 1;
}

// Puts bits one after another into words.
class BitWriter
{
public:
    explicit BitWriter(size_t bits) { m_words.reserve((bits + 63) / 64); }

    // The lowest count bits of bits, count being 1 to 64.
    void append(quint64 bits, size_t count)
    {
        const size_t used = m_size % 64;
        if (used == 0) {
            m_words.push_back(bits);
        } else {
            m_words.back() |= bits << used;
            if (used + count > 64)
                m_words.push_back(bits >> (64 - used));
        }
        m_size += count;
    }

    void appendRange(const std::vector<quint64> &from, size_t begin, size_t end)
    {
        while (begin < end) {
            const size_t count = std::min<size_t>(64, end - begin);
            const size_t word = begin / 64;
            const size_t shift = begin % 64;
            quint64 bits = from[word] >> shift;
            if (shift && word + 1 < from.size())
                bits |= from[word + 1] << (64 - shift);
            append(bits & lowBits(count), count);
            begin += count;
        }
    }

    void appendSame(bool set, size_t count)
    {
        for (; count; count -= std::min<size_t>(64, count))
            append(set ? lowBits(count) : 0, std::min<size_t>(64, count));
    }

    std::vector<quint64> take() { return std::move(m_words); }

private:
    std::vector<quint64> m_words;
    size_t m_size = 0;
};

} // namespace

RowBits::RowBits(std::vector<quint64> words, size_t rows)
    : m_words(std::move(words))
    , m_rows(rows)
{
}

void RowBits::insert(size_t row)
{
    m_words[row / 64] |= quint64(1) << (row % 64);
    m_counted = false;
}

size_t RowBits::count() const
{
    countBlocks();
    return m_before.back();
}

void RowBits::countBlocks() const
{
    if (m_counted)
        return;
    const size_t blocks = (m_words.size() + kBlockWords - 1) / kBlockWords;
    m_before.resize(blocks + 1);
    quint32 before = 0;
    for (size_t block = 0; block < blocks; ++block) {
        m_before[block] = before;
        const size_t end = std::min(m_words.size(), (block + 1) * kBlockWords);
        for (size_t word = block * kBlockWords; word < end; ++word)
            before += quint32(std::popcount(m_words[word]));
    }
    m_before[blocks] = before;
    m_counted = true;
}

size_t RowBits::countBefore(size_t row) const
{
    if (row >= m_rows)
        return count();
    countBlocks();
    const size_t word = row / 64;
    size_t before = m_before[word / kBlockWords];
    for (size_t earlier = word - word % kBlockWords; earlier < word; ++earlier)
        before += size_t(std::popcount(m_words[earlier]));
    if (row % 64)
        before += size_t(std::popcount(m_words[word] & lowBits(row % 64)));
    return before;
}

size_t RowBits::nth(size_t index) const
{
    countBlocks();
    const size_t block =
        size_t(std::upper_bound(m_before.begin(), m_before.end(), quint32(index)) - m_before.begin()) - 1;
    size_t left = index - m_before[block];
    for (size_t word = block * kBlockWords;; ++word) {
        quint64 bits = m_words[word];
        const size_t here = size_t(std::popcount(bits));
        if (left < here) {
            for (; left; --left)
                bits &= bits - 1;
            return word * 64 + size_t(std::countr_zero(bits));
        }
        left -= here;
    }
}

void RowBits::insertRows(size_t row, size_t count, bool inSet)
{
    BitWriter writer(m_rows + count);
    writer.appendRange(m_words, 0, row);
    writer.appendSame(inSet, count);
    writer.appendRange(m_words, row, m_rows);
    m_words = writer.take();
    m_rows += count;
    m_counted = false;
}

void RowBits::removeRows(size_t row, size_t count)
{
    BitWriter writer(m_rows - count);
    writer.appendRange(m_words, 0, row);
    writer.appendRange(m_words, row + count, m_rows);
    m_words = writer.take();
    m_rows -= count;
    m_counted = false;
}

void RowBits::fillWords(size_t first, const std::vector<quint64> &words)
{
    std::copy(words.begin(), words.end(), m_words.begin() + qsizetype(first));
    m_counted = false;
}
