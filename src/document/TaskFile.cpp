#include "document/TaskFile.h"

#include "document/CategoryList.h"
#include "document/Dialogs.h"
#include "document/FileAccess.h"
#include "document/TaskFileEncoder.h"
#include "document/TaskFileReader.h"
#include "document/TaskLists.h"

#include <QCoreApplication>

LoadResult LoadTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs)
{
    lists.ClearAllLists();
    TaskFileReader reader;
    const LoadResult result = reader.read(path);
    for (int category = 0; category < CategoryCount; ++category)
        lists.list(static_cast<Category>(category)).appendAll(reader.takeRows(static_cast<Category>(category)));

    if (result == LoadResult::Complete) {
        CategoryList &tasks = lists.lvwTasks;
        tasks.setSorting(CategoryList::StatusText, tasks.SortOrder(), true);
    } else {
        dialogs.message(QCoreApplication::translate("TaskFile", "Error opening file!") + u'\n' + reader.failure(),
                        Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
    return result;
}

bool WriteTaskFile(const QString &path, TaskLists &lists, Dialogs &dialogs)
{
    const QByteArray bytes = TaskFileEncoder().encode(lists);
    const QString failure = ReplaceFileContents(path, bytes);
    if (failure.isEmpty())
        return true;
    dialogs.message(QCoreApplication::translate("TaskFile", "Error saving to file!") + u'\n' + failure,
                    Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    return false;
}
