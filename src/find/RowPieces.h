#pragma once

#include "entries/Entry.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

constexpr size_t kPrefetchAhead = 12;
// A thread for each this many rows: fewer would cost more to start than they
// save.
constexpr size_t kRowsPerThread = 4096;
constexpr unsigned kMostThreads = 4;
// The rows are handed out to the threads in pieces of this many, a multiple
// of 64 so that each piece fills words of its own, as each thread becomes
// free: a thread that the system lets wait holds up no more than one piece.
constexpr size_t kRowsPerPiece = size_t(64) * 64;

inline unsigned ThreadsFor(size_t rows)
{
    return unsigned(std::clamp<size_t>(rows / kRowsPerThread, 1,
                                       std::min(kMostThreads, std::max(1U, std::thread::hardware_concurrency()))));
}

// Does work(begin, end) for every piece of the rows, on the given number of
// threads; nothing else runs meanwhile, as this thread works as well and
// waits for the others.
template<typename Work>
void InPieces(size_t rows, unsigned threads, const Work &work)
{
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t begin = next.fetch_add(kRowsPerPiece); begin < rows; begin = next.fetch_add(kRowsPerPiece))
            work(begin, std::min(rows, begin + kRowsPerPiece));
    };
    std::vector<std::thread> others;
    for (unsigned thread = 1; thread < threads; ++thread)
        others.emplace_back(worker);
    worker();
    for (std::thread &other : others)
        other.join();
}
