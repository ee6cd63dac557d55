#pragma once

#include "storage/FileIdentity.h"

#include <QString>

#include <optional>

// What stands at the file's name now, against the file that was last read
// or written there. Save, following the file and reading it again all go by
// this one answer.
enum class FileState {
    Same, // nobody has written it since
    Changed, // a task list stands there: written in place or replaced
    Renamed, // the file that was read is elsewhere in the folder, and no task list took its name
    Gone, // no file there
    NotRegular, // a folder, pipe, device or socket
    Empty, // emptied to 0 bytes
    NotTaskList, // something that does not start as a task list
};

// known is the file last read or written, now the one at path.
FileState ClassifyFile(const QString &path, const std::optional<FileIdentity> &known,
                       const std::optional<FileIdentity> &now);
