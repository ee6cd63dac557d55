#include "fileformat/TaskFile.h"

#include "base/Dialogs.h"
#include "entries/CategoryList.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFileEncoder.h"
#include "fileformat/TaskFileReader.h"
#include "storage/FileAccess.h"
#include "storage/SaveLeftovers.h"

#include <QCoreApplication>

namespace {

void reportWriteFailure(Dialogs &dialogs, const Result &written)
{
    dialogs.message(QCoreApplication::translate("TaskFile", "Error saving to file!") + u'\n' + written.reason(),
                    Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

} // namespace

ReadResult ReadTaskFile(const QString &path, TaskLists &lists, std::vector<EntryFingerprint> *fingerprints,
                        TaskFileFormat::TextForm *form)
{
    lists.ClearAllLists();
    TaskFileReader reader;
    if (fingerprints)
        reader.fingerprintEntries();
    ReadResult outcome = reader.read(path);
    if (form)
        *form = reader.form();
    for (int category = 0; category < CategoryCount; ++category) {
        const auto which = static_cast<Category>(category);
        lists.list(which).appendAll(reader.takeRows(which));
        if (fingerprints)
            AppendFingerprints(*fingerprints, reader.takeFingerprints(which));
    }
    if (outcome.extent == LoadResult::Complete) {
        CategoryList &tasks = lists.lvwTasks;
        tasks.setSorting(Entry::StatusText, tasks.SortOrder(), true);
    }
    return outcome;
}

QString ReadingMessage(const ReadResult &outcome)
{
    return QCoreApplication::translate("TaskFile", "Error opening file!") + u'\n' + outcome.result.reason();
}

LoadResult LoadTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs,
                        std::vector<EntryFingerprint> *fingerprints, TaskFileFormat::TextForm *form)
{
    const ReadResult outcome = ReadTaskFile(path, lists, fingerprints, form);
    if (outcome.extent != LoadResult::Complete)
        dialogs.message(ReadingMessage(outcome), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    return outcome.extent;
}

bool WriteTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs, std::vector<EntryFingerprint> *fingerprints,
                   TaskFileFormat::TextForm form)
{
    ClearTaskFileLeftovers(path);
    const QByteArray bytes = TaskFileEncoder().encode(lists, form, fingerprints);
    const Result written = ReplaceFileContents(path, bytes);
    if (written.succeeded())
        return true;
    reportWriteFailure(dialogs, written);
    return false;
}

namespace {

// What every file the writer makes starts with.
bool startsLikeATaskFile(const QByteArray &start)
{
    QByteArrayView text(start);
    if (text.startsWith(TaskFileFormat::ByteOrderMark))
        text = text.sliced(TaskFileFormat::ByteOrderMarkSize);
    return text.startsWith(TaskFileFormat::HeaderLine)
        && text.sliced(TaskFileFormat::HeaderLineSize).startsWith(TaskFileFormat::LineEnd);
}

} // namespace

void ClearTaskFileLeftovers(const QString &path)
{
    ClearSaveLeftovers(path, startsLikeATaskFile);
}

CheckedReplace WriteTaskFileIf(const QString &path, const QByteArray &bytes, Dialogs &dialogs,
                               const std::optional<FileIdentity> &expected)
{
    CheckedReplace written = ReplaceFileContentsIf(path, bytes, expected);
    if (written.outcome == CheckedReplace::Outcome::Failed)
        reportWriteFailure(dialogs, written.result);
    return written;
}
