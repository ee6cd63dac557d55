#pragma once

#include "document/Result.h"

#include <QString>

class Dialogs;
class TaskLists;
class CategoryList;

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

// Empties the five lists and fills them from the file. A failure is reported
// to the user ("Error opening file!") before this returns.
LoadResult LoadTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs);

// Writes the five lists to the file, replacing it only after a complete
// write. A failure is reported to the user ("Error saving to file!") and
// leaves the old file as it was; true when the file was written completely.
bool WriteTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs);
