#pragma once

#include "base/Result.h"
#include "entries/Entry.h"

#include <QString>

#include <memory>
#include <vector>

// Adding entries to a task-list file without a window, beside any window or
// program that has it open: the new lines go right below the header and every
// other byte stays where it was, so that a window open on the file follows or
// merges it as it would any other writer's change.

using NewEntries = std::vector<std::unique_ptr<Entry>>;

// The login's full name, or the login itself where the account has none.
QString LoginUserName();

// A task typed on a command line or in a box: "\n" (a backslash and an n) is a
// line break and "\\" a backslash; the result is stored as New stores it.
QString StoredTaskText(const QString &typed);

// An entry as New on the Tasks tab makes it: a task or a question, added now.
std::unique_ptr<Entry> NewTaskEntry(const QString &storedTask, const QString &user, bool question);

// Adds the entries, in order, right below the header of the file at path, in
// the file's own form as long as their texts fit it, else with the whole file
// written in the extended form. A missing or empty file is created with the
// header. Refuses, writing nothing, a file that cannot be read completely, a
// file whose unfinished save left a backup, and a file that another program
// changed while it was read or before it was replaced.
Result AddEntriesToFile(const QString &path, NewEntries entries);
