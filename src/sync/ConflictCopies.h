#pragma once

#include "sync/OtherVersion.h"

#include <QString>
#include <QStringList>

#include <optional>

class RowEdits;
class TaskLists;

// Sync tools that find a file changed on two machines at once keep one
// version under the file's name and leave the other beside it as a conflict
// copy: Syncthing as NAME.sync-conflict-DATE-TIME-DEVICE.tvk, Nextcloud and
// Dropbox as "NAME (conflicted copy DATE).tvk" or "NAME (WHO's conflicted
// copy DATE).tvk".
namespace ConflictCopies {

// Whether a file name is that of a conflict copy of the named file.
bool IsCopyOf(const QString &candidate, const QString &fileName);

// The conflict copies of the file at path in its folder, by full path.
QStringList Find(const QString &path);

// Adds to the lists, each to the list its status selects, the entries of a
// copy that the lists do not hold, counting equal entries as a multiset: a
// union without duplicates. Returns how many were added, each told to
// edits, or nothing when they could not be read as they were fingerprinted.
std::optional<int> AddMissingEntries(TaskLists &lists, const OtherVersion &copy, RowEdits &edits);

} // namespace ConflictCopies
