#pragma once

#include "document/DiskBase.h"
#include "document/Result.h"

#include <QString>

#include <vector>

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
// to the user ("Error opening file!") before this returns. When fingerprints
// is given, it receives those of the entries read, in no particular order.
LoadResult LoadTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs,
                        std::vector<EntryFingerprint> *fingerprints = nullptr);

// Writes the five lists to the file, replacing it only after a complete
// write. A failure is reported to the user ("Error saving to file!") and
// leaves the old file as it was; true when the file was written completely.
// When fingerprints is given, it receives those of the entries written, in
// no particular order.
bool WriteTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs,
                   std::vector<EntryFingerprint> *fingerprints = nullptr);
