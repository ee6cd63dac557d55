#pragma once

#include "find/ChunkedWork.h"
#include "find/RowBits.h"

#include <chrono>
#include <optional>

// A keystroke searches this long, at least the selected entry's chunk and the
// list's first, before the views show what it found, so that they show it
// within a frame (see find-keystroke-max).
constexpr std::chrono::milliseconds kTimeToShow(15);
// Each turn of the event loop after that searches on this long, which a key
// pressed meanwhile may have to wait; shorter turns repaint more often and
// take longer in all (see find-searched-max).
constexpr std::chrono::milliseconds kSearchTurn(8);

// A search of a long list under way, a chunk of rows at a time: which chunks
// are still to search, and the rows to search among in them (every row for
// none).
class ChunkedSearch
{
public:
    void start(size_t rows, std::optional<RowBits> among);
    void stop();

    bool isSearching() const { return m_chunks.left() > 0; }
    bool isDone(size_t chunk) const { return m_chunks.isDone(chunk); }
    bool isSearched(size_t row) const { return m_chunks.isDone(row / kRowsPerChunk); }
    // The first chunk still to search, while any is left.
    size_t next() const { return m_chunks.next(); }
    void markDone(size_t chunk) { m_chunks.markDone(chunk); }
    const RowBits *among() const { return m_among ? &*m_among : nullptr; }

    // The rows found so far, given as found, and those still to search among:
    // what a longer text is searched among.
    RowBits foundOrToSearch(RowBits found) const;

private:
    WorkChunks m_chunks;
    std::optional<RowBits> m_among;
};
