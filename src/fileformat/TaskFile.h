#pragma once

#include "entries/EntryFingerprint.h"
#include "fileformat/ReadResult.h"
#include "fileformat/TaskFileFormat.h"
#include "storage/FileAccess.h"

#include <QString>

#include <vector>

class Dialogs;
class TaskLists;
class CategoryList;

// Empties the five lists and fills them from the file, as LoadTaskFile does,
// but shows nothing: the result says how far it got and why.
ReadResult ReadTaskFile(const QString &path, TaskLists &lists, std::vector<EntryFingerprint> *fingerprints = nullptr,
                        TaskFileFormat::TextForm *form = nullptr);
// The message a read that did not get to the end shows ("Error opening file!"
// and the reason).
QString ReadingMessage(const ReadResult &outcome);

// Empties the five lists and fills them from the file. A failure is reported
// to the user ("Error opening file!") before this returns. When fingerprints
// is given, it receives those of the entries read, in no particular order;
// when form is given, it receives the form the file was read in, which a
// save keeps.
LoadResult LoadTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs,
                        std::vector<EntryFingerprint> *fingerprints = nullptr,
                        TaskFileFormat::TextForm *form = nullptr);

// Writes the five lists to the file, replacing it only after a complete
// write. A failure is reported to the user ("Error saving to file!") and
// leaves the old file as it was; true when the file was written completely.
// When fingerprints is given, it receives those of the entries written, in
// no particular order.
bool WriteTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs,
                   std::vector<EntryFingerprint> *fingerprints = nullptr,
                   TaskFileFormat::TextForm form = TaskFileFormat::TextForm::Windows1252);

// Moves to the trash the new files that saves killed before their rename left
// in the file's folder (see SaveLeftovers.h); for the open and the save of a
// file.
void ClearTaskFileLeftovers(const QString &path);

// Writes bytes, the encoded lists, to the file only while it is still the
// expected one (see ReplaceFileContentsIf). A failure is reported as
// WriteTaskFile reports it; a changed file is not, since the caller reads
// it again.
CheckedReplace WriteTaskFileIf(const QString &path, const QByteArray &bytes, Dialogs &dialogs,
                               const std::optional<FileIdentity> &expected);
