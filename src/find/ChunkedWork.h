#pragma once

#include <QElapsedTimer>

#include <chrono>
#include <cstddef>
#include <vector>

// Work on a long list is done a chunk of rows at a time, so that it can be
// spread over turns of the event loop and a keystroke never waits for all of
// it: a chunk is a few milliseconds of the slowest search (see the
// find-keystroke-max and find-searched-max bench lines).
constexpr size_t kRowsPerChunk = 65536;

inline size_t ChunksFor(size_t rows)
{
    return (rows + kRowsPerChunk - 1) / kRowsPerChunk;
}

// Which chunks of rows are still to do, of work done a chunk at a time.
class WorkChunks
{
public:
    void reset(size_t chunks = 0)
    {
        m_done.assign(chunks, false);
        m_left = chunks;
    }
    size_t left() const { return m_left; }
    bool isDone(size_t chunk) const { return m_left == 0 || m_done[chunk]; }
    void markDone(size_t chunk);
    // The first one still to do, while any is left.
    size_t next() const;

private:
    std::vector<bool> m_done;
    size_t m_left = 0;
};

// Does a piece of work while there is more, at least once, and again while
// the next piece is likely to end in time, as the last one did.
template<typename More, typename Work>
void ForAWhile(std::chrono::milliseconds time, const More &more, const Work &work)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 nanoseconds = std::chrono::nanoseconds(time).count();
    qint64 last = 0;
    while (more()) {
        const qint64 before = clock.nsecsElapsed();
        if (last > 0 && before + last > nanoseconds)
            break;
        work();
        last = clock.nsecsElapsed() - before;
    }
}
