#include "document/ConflictCopies.h"

#include "document/CategoryList.h"
#include "document/RowEdits.h"
#include "document/TaskLists.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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

int AddMissingEntries(TaskLists &lists, DiskRows copy, RowEdits &edits)
{
    std::vector<EntryFingerprint> held;
    for (CategoryList *list : lists.all()) {
        for (int position = 1; position <= list->count(); ++position)
            held.push_back(EntryFingerprint::Of(*list->rowAt(position)));
    }
    std::sort(held.begin(), held.end());
    // Each entry of the copy uses up one equal entry of the lists; the ones
    // left over are new.
    std::vector<bool> used(held.size(), false);
    int added = 0;
    for (EntryRows &rows : copy) {
        for (std::unique_ptr<Entry> &entry : rows) {
            const EntryFingerprint fingerprint = EntryFingerprint::Of(*entry);
            auto it = std::lower_bound(held.begin(), held.end(), fingerprint);
            while (it != held.end() && *it == fingerprint && used[it - held.begin()])
                ++it;
            if (it != held.end() && *it == fingerprint) {
                used[it - held.begin()] = true;
                continue;
            }
            CategoryList &list = lists.listForStatus(entry->status);
            const Row row = list.append(std::move(entry));
            edits.inserted(CategoryForStatus(row->status), list.positionOf(row), row);
            ++added;
        }
    }
    return added;
}

} // namespace ConflictCopies
