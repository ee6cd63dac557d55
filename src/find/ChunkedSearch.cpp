#include "find/ChunkedSearch.h"

#include <algorithm>

void ChunkedSearch::start(size_t rows, std::optional<RowBits> among)
{
    m_among = std::move(among);
    m_chunks.reset(ChunksFor(rows));
}

void ChunkedSearch::stop()
{
    m_chunks.reset();
    m_among.reset();
}

RowBits ChunkedSearch::foundOrToSearch(RowBits found) const
{
    if (!isSearching())
        return found;
    std::vector<quint64> words = found.words();
    const size_t rows = found.rows();
    for (size_t chunk = 0; chunk * kRowsPerChunk < rows; ++chunk) {
        if (m_chunks.isDone(chunk))
            continue;
        const size_t begin = chunk * kRowsPerChunk / 64;
        const size_t end = std::min(words.size(), (chunk + 1) * kRowsPerChunk / 64);
        for (size_t word = begin; word < end; ++word)
            words[word] = m_among ? m_among->words()[word] : ~quint64(0);
    }
    if (!m_among && rows % 64)
        words.back() &= (quint64(1) << (rows % 64)) - 1;
    return RowBits(std::move(words), rows);
}
