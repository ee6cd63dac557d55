#include "TaskFile.h"

#include "CategoryList.h"
#include "Dialogs.h"
#include "TaskFileEncoder.h"
#include "TaskFileReader.h"
#include "TaskLists.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr qsizetype kWriteBlockSize = 1024 * 1024;

// Every write is checked, since on a full disk committing still reports
// success. A short write is not an error yet; writing the rest then fails
// with the reason.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, std::min(kWriteBlockSize, bytes.size() - done));
        if (written <= 0)
            return false;
        done += written;
    }
    return file.flush();
}

QString failureOf(const QSaveFile &file)
{
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return QCoreApplication::translate("TaskFile", "The file could not be written completely.");
}

} // namespace

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

    // The new file replaces the old one only once it is complete. Where no
    // file can be made beside it (a read-only folder), it is written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    QString failure;
    if (!file.open(QIODevice::WriteOnly)) {
        failure = file.errorString();
    } else if (!writeAll(file, bytes)) {
        failure = failureOf(file);
        file.cancelWriting();
    } else if (!file.commit()) {
        failure = file.errorString();
    }
    if (failure.isEmpty())
        return true;
    dialogs.message(QCoreApplication::translate("TaskFile", "Error saving to file!") + u'\n' + failure,
                    Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    return false;
}
