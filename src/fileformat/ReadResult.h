#pragma once

#include "base/Result.h"

// How far reading a task-list file got.
enum class LoadResult {
    Complete, // every line was read
    Missing, // the file does not exist or is empty: there was nothing to lose
    Incomplete, // reading stopped at a failure; the lists hold what came before it
};

// How far reading got, and why it stopped when it did not get to the end.
struct ReadResult {
    LoadResult extent = LoadResult::Complete;
    Result result = Result::success();
};
