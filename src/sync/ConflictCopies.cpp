#include "sync/ConflictCopies.h"

#include "entries/CategoryList.h"
#include "entries/TaskLists.h"
#include "history/RowEdits.h"

#include <QDir>
#include <QFileInfo>

namespace ConflictCopies {

bool IsCopyOf(const QString &candidate, const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QStringView stem = dot > 0 ? QStringView(fileName).first(dot) : QStringView(fileName);
    const QStringView suffix = dot > 0 ? QStringView(fileName).sliced(dot) : QStringView();
    if (candidate.size() <= fileName.size() || !candidate.startsWith(stem) || !candidate.endsWith(suffix))
        return false;
    const QStringView middle = QStringView(candidate).sliced(stem.size(), candidate.size() - fileName.size());
    if (middle.startsWith(u".sync-conflict-"))
        return true;
    return middle.startsWith(u" (") && middle.endsWith(u')')
        && middle.contains(u"conflicted copy", Qt::CaseInsensitive);
}

QStringList Find(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    QStringList copies;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (IsCopyOf(name, info.fileName()))
            copies << folder.filePath(name);
    }
    return copies;
}

std::optional<int> AddMissingEntries(TaskLists &lists, const OtherVersion &copy, RowEdits &edits)
{
    // Each entry of the copy uses up one equal entry of the lists; the ones
    // left over are new.
    CategoryRows missing;
    if (!copy.entriesAt(Unpaired(PairWithRows(LocateSorted(lists), copy)), missing))
        return std::nullopt;
    int added = 0;
    for (EntryRows &rows : missing) {
        for (std::unique_ptr<Entry> &entry : rows) {
            CategoryList &list = lists.listForStatus(entry->status);
            const Row row = list.append(std::move(entry));
            edits.inserted(CategoryForStatus(row->status), list.positionOf(row), row);
            ++added;
        }
    }
    return added;
}

} // namespace ConflictCopies
