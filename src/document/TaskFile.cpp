#include "document/TaskFile.h"

#include "document/CategoryList.h"
#include "document/Dialogs.h"
#include "document/FileAccess.h"
#include "document/TaskFileEncoder.h"
#include "document/TaskFileReader.h"
#include "document/TaskLists.h"

#include <QCoreApplication>

LoadResult LoadTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs,
                        std::vector<EntryFingerprint> *fingerprints)
{
    lists.ClearAllLists();
    TaskFileReader reader;
    if (fingerprints)
        reader.fingerprintEntries();
    const ReadResult outcome = reader.read(path);
    lists.form = reader.form();
    for (int category = 0; category < CategoryCount; ++category) {
        const auto which = static_cast<Category>(category);
        lists.list(which).appendAll(reader.takeRows(which));
        if (fingerprints)
            AppendFingerprints(*fingerprints, reader.takeFingerprints(which));
    }

    if (outcome.extent == LoadResult::Complete) {
        CategoryList &tasks = lists.lvwTasks;
        tasks.setSorting(Entry::StatusText, tasks.SortOrder(), true);
    } else {
        dialogs.message(QCoreApplication::translate("TaskFile", "Error opening file!") + u'\n'
                            + outcome.result.reason(),
                        Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
    return outcome.extent;
}

bool WriteTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs, std::vector<EntryFingerprint> *fingerprints)
{
    const QByteArray bytes = TaskFileEncoder().encode(lists, fingerprints);
    const Result written = ReplaceFileContents(path, bytes);
    if (written.succeeded())
        return true;
    dialogs.message(QCoreApplication::translate("TaskFile", "Error saving to file!") + u'\n' + written.reason(),
                    Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    return false;
}
