#include "JournalBench.h"

#include "BenchDialogs.h"
#include "Measurement.h"
#include "TaskListGenerator.h"
#include "entries/EntryEditing.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFile.h"
#include "journal/EditJournal.h"
#include "journal/JournalReplay.h"

#include <QFile>

namespace {

void load(const QString &path, TaskLists &lists)
{
    BenchDialogs dialogs;
    if (LoadTaskFile(path, lists, dialogs) != LoadResult::Complete)
        Fail(QStringLiteral("cannot read %1").arg(path));
}

void selectRow(TaskLists &lists, int tab, int position)
{
    CategoryList &list = lists.list(static_cast<Category>(tab));
    list.selectionModel()->setCurrentIndex(list.index(position - 1, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace

// New on the Tasks list without and with the journal, and what writing the
// change to the journal alone takes; the sync that a burst of changes
// shares comes after the edit, and is timed on its own.
void MeasureJournal(int entries, const QString &path, const QString &scratch)
{
    Progress(QStringLiteral("journal, %1 entries").arg(entries));
    TaskLists lists;
    load(path, lists);
    EntryEditing editing(lists);
    TaskListGenerator random(0x10C);
    EditJournal journal(QFile::encodeName(scratch) + "/state/tarvik/journals");
    journal.follow({path, std::nullopt, 0, {}});
    constexpr int Runs = 21;
    const double plain = MedianOf(Runs, [&](int) {
        const QString task = random.task();
        return TimeMs([&] { editing.addEntry(0, task, QStringLiteral("bench"), false); });
    });
    std::vector<double> recorded;
    const double journaled = MedianOf(Runs, [&](int) {
        const QString task = random.task();
        std::optional<EntryChange> change;
        const double edit = TimeMs([&] { change = editing.addEntry(0, task, QStringLiteral("bench"), false); });
        const double record = TimeMs([&] {
            if (journal.record(RecordOf(change->before, change->after)).failed())
                Fail(QStringLiteral("the journal cannot be written"));
        });
        recorded.push_back(record);
        return edit + record;
    });
    const double added = MedianOf(Runs, [&](int run) { return recorded[size_t(run)]; });
    const double synced = MedianOf(Runs, [&](int) {
        const std::optional<EntryChange> change = editing.addEntry(0, random.task(), QStringLiteral("b"), false);
        if (journal.record(RecordOf(change->before, change->after)).failed())
            Fail(QStringLiteral("the journal cannot be written"));
        return TimeMs([&] { journal.sync(); });
    });
    Report("journal-off", entries, plain, "ms");
    Report("journal", entries, journaled, "ms");
    Report("journal-added", entries, added, "ms");
    Report("journal-sync", entries, synced, "ms");
    journal.end();
}

// A journal of New, Update, Delete and status changes spread over the list,
// read and made again onto the file's entries as a restore does.
void MeasureJournalReplay(int entries, int changes, const QString &path, const QString &scratch)
{
    Progress(QStringLiteral("journal-replay, %1 changes onto %2 entries").arg(changes).arg(entries));
    const QByteArray folder = QFile::encodeName(scratch) + "/state/tarvik/journals";
    {
        TaskLists lists;
        load(path, lists);
        EntryEditing editing(lists);
        TaskListGenerator random(0x2E9);
        EditJournal journal(folder);
        journal.follow({path, std::nullopt, 0, {}});
        for (int i = 0; i < changes; ++i) {
            const int tab = random.below(CategoryCount);
            const int count = lists.list(static_cast<Category>(tab)).count();
            if (count > 0)
                selectRow(lists, tab, 1 + random.below(count));
            std::optional<EntryChange> change;
            switch (i % 4) {
            case 0:
                change = editing.addEntry(tab, random.task(), QStringLiteral("bench"), false);
                break;
            case 1:
                change = editing.updateEntry(tab, random.task(), QStringLiteral("bench"));
                break;
            case 2:
                change = editing.setEntryStatus(tab, 1 + random.below(8));
                break;
            default:
                change = editing.deleteEntry(tab);
                break;
            }
            if (change && journal.record(RecordOf(change->before, change->after)).failed())
                Fail(QStringLiteral("the journal cannot be written"));
        }
    }
    const double time = MedianOf(3, [&](int) {
        TaskLists lists;
        load(path, lists);
        EditJournal journal(folder);
        return TimeMs([&] {
            const std::optional<JournalContents> left = journal.findLeftFor(path);
            if (!left || left->changes.size() < size_t(changes) * 9 / 10)
                Fail(QStringLiteral("the journal was not read back"));
            if (ReplayJournal(lists, left->changes).unplaced != 0)
                Fail(QStringLiteral("the replay did not fit the file it was made on"));
        });
    });
    Report("journal-replay", entries, time, "ms");
    for (const QByteArray &name : JournalFolder(folder).journalsFor(path))
        QFile::remove(QFile::decodeName(folder + '/' + name));
}
