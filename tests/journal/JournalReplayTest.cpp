#include "journal/JournalReplay.h"

#include "entries/EntryEditing.h"
#include "entries/TaskLists.h"
#include "history/BulkChange.h"
#include "history/ChangeReplay.h"
#include "journal/EditJournal.h"
#include "support/TaskFileTesting.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The lists as multisets: a replay brings back every entry, not their order.
std::array<Items, CategoryCount> sortedContents(TaskLists &lists)
{
    std::array<Items, CategoryCount> contents = contentsOf(lists);
    for (Items &items : contents) {
        std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
            return std::tie(a.status, a.task, a.added, a.edited, a.user)
                < std::tie(b.status, b.task, b.added, b.edited, b.user);
        });
    }
    return contents;
}

void fillBase(TaskLists &lists)
{
    addItem(lists, {1, QStringLiteral("water the plants"), QStringLiteral("d1"), {}, QStringLiteral("ana")});
    addItem(lists, {7, QStringLiteral("why?"), QStringLiteral("d2"), {}, QStringLiteral("ben")});
    addItem(lists, {2, QStringLiteral("done | twice"), QStringLiteral("d3"), QStringLiteral("e3"), {}});
    addItem(lists, {6, QStringLiteral("fact"), QStringLiteral("d4"), {}, QStringLiteral("ana")});
    addItem(lists, {1, QStringLiteral("water the plants"), QStringLiteral("d1"), {}, QStringLiteral("ana")});
}

void select(TaskLists &lists, int tab, int position)
{
    CategoryList &list = lists.list(static_cast<Category>(tab));
    list.selectionModel()->setCurrentIndex(list.index(position - 1, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace

// Random edits, undos and status changes are journaled; the journal is then
// cut at each record boundary and inside each record, as a kill at any moment
// of a write leaves it. Each cut
// replays onto the list it started from exactly the changes written whole
// before the cut, and a damaged last record is ignored like a cut one.
TEST(JournalReplayTest, AJournalCutAnywhereReplaysTheChangesWrittenWhole)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/state/tarvik/journals";
    const QString file = dir.filePath(QStringLiteral("list.tvk"));
    TaskLists live;
    fillBase(live);
    std::vector<std::array<Items, CategoryCount>> after{sortedContents(live)};
    const JournalHeader header{file, std::nullopt, 5, {}};
    std::vector<qsizetype> boundaries{EncodeJournalHeader(header).size()};
    {
        EditJournal journal(folder);
        journal.follow(header);
        int tick = 0;
        EntryEditing editing(live, [&] { return QStringLiteral("t%1").arg(++tick); });
        std::mt19937 random(20261210);
        std::optional<EntryChange> last;
        for (int step = 0; step < 60; ++step) {
            const int tab = int(random() % CategoryCount);
            const int count = live.list(static_cast<Category>(tab)).count();
            if (count > 0)
                select(live, tab, int(random() % count) + 1);
            std::optional<EntryChange> change;
            std::optional<JournalRecord> record;
            switch (random() % 6) {
            case 0:
                change = editing.addEntry(tab, QStringLiteral("new %1\r\nline").arg(step), QStringLiteral("u"),
                                          random() % 2 == 0);
                break;
            case 1:
                change = editing.updateEntry(tab, QStringLiteral("changed %1").arg(step), QStringLiteral("v"));
                break;
            case 2:
                change = editing.deleteEntry(tab);
                break;
            case 3:
                change = editing.setEntryStatus(tab, int(random() % 8) + 1);
                break;
            case 4: {
                // Every other row of the list at once, as a status change
                // or a removal, taken back at once half the time.
                std::vector<int> positions;
                for (int position = 1; position <= count; position += 2)
                    positions.push_back(position);
                if (positions.empty())
                    break;
                const auto category = static_cast<Category>(tab);
                BulkChange bulk = random() % 2 == 0 ? BulkChange::setStatus(
                                      live, category, positions, int(random() % 8) + 1, QStringLiteral("b%1").arg(step))
                                                    : BulkChange::remove(live, category, positions);
                if (random() % 2 == 0) {
                    JournalRecord made = RecordOf(bulk);
                    boundaries.push_back(boundaries.back() + made.size());
                    ASSERT_TRUE(journal.record(std::move(made)).succeeded());
                    after.push_back(sortedContents(live));
                    ASSERT_TRUE(bulk.undo(live));
                }
                record = RecordOf(bulk);
                last.reset();
                break;
            }
            default:
                // Undo of the change before.
                if (last && ReplaceEntryState(live, last->after, last->before).done)
                    record = RecordOf(last->after, last->before);
                last.reset();
                break;
            }
            if (change) {
                record = RecordOf(change->before, change->after);
                last = change;
            }
            if (!record || record->isEmpty())
                continue;
            boundaries.push_back(boundaries.back() + record->size());
            ASSERT_TRUE(journal.record(std::move(*record)).succeeded());
            after.push_back(sortedContents(live));
        }
    }
    const QList<QByteArray> journals = JournalFolder(folder).journalsFor(file);
    ASSERT_EQ(journals.size(), 1);
    const QByteArray bytes = readBytes(QFile::decodeName(folder + '/' + journals.front()));
    ASSERT_EQ(bytes.size(), boundaries.back());
    ASSERT_GT(after.size(), 40u);

    // Every record boundary, a byte either side and the middle of each record.
    std::vector<qsizetype> cuts{0};
    for (size_t i = 0; i < boundaries.size(); ++i) {
        const qsizetype end = boundaries[i];
        cuts.insert(cuts.end(), {end - 1, end, std::min(end + 1, bytes.size())});
        if (i + 1 < boundaries.size())
            cuts.push_back((end + boundaries[i + 1]) / 2);
    }
    for (const qsizetype cut : cuts) {
        const std::optional<JournalContents> contents = DecodeJournal(bytes.left(cut));
        ASSERT_EQ(contents.has_value(), cut >= boundaries.front()) << "cut at " << cut;
        if (!contents)
            continue;
        const size_t whole =
            size_t(std::upper_bound(boundaries.begin(), boundaries.end(), cut) - boundaries.begin()) - 1;
        ASSERT_EQ(contents->changes.size(), whole) << "cut at " << cut;
        EXPECT_EQ(contents->header.path, file);
        TaskLists replayed;
        fillBase(replayed);
        EXPECT_EQ(ReplayJournal(replayed, contents->changes).unplaced, 0);
        ASSERT_EQ(sortedContents(replayed), after[whole]) << "cut at " << cut;
    }

    QByteArray damaged = bytes;
    damaged[boundaries[boundaries.size() - 2] + 20] = char(damaged[boundaries[boundaries.size() - 2] + 20] ^ 0x55);
    EXPECT_EQ(DecodeJournal(damaged)->changes.size(), boundaries.size() - 2);
}

// A journal that the version before this one left, which wrote every entry
// of a change in full (a status change of one entry, then a new one), is
// restored, and the changes made after it are kept with it.
TEST(JournalReplayTest, AJournalOfTheVersionBeforeIsRestoredAndContinued)
{
    const QByteArray bytes = QByteArray::fromBase64(
        "bgAAAOzUQOzxF4KJSktWVAAAAAEAAAAkAC8AaABvAG0AZQAvAGEAbgBhAC8AbABpAHMAdAAuAHQAdgBrAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
        "AAAAAAAAAAAAAAAAAAAAAAAAAAACAAAAAAAAAAAAAAAAAAAAAAAAAACsAAAACJ015EF4k4gAAAGbCgo2AAAAAAIAAAAAAAE/8AAAAAAAAAAAA"
        "AIAMQAAACAAdwBhAHQAZQByACAAdABoAGUAIABwAGwAYQBuAHQAcwAAAAQAZAAx/////"
        "wAAAAYAYQBuAGEBAQAAAAFAAAAAAAAAAAAAAAIAMgAA"
        "ACAAdwBhAHQAZQByACAAdABoAGUAIABwAGwAYQBuAHQAcwAAAAQAZAAxAAAABABlADIAAAAGAGEAbgBhPgAAAAHZPgwwfJVHAAABmwoKOegAAA"
        "AB"
        "AQAAAAABP/AAAAAAAAAAAAACADEAAAAKAG4AZQB3ACAA6QAAAAQAZAA1//////////8=");
    const QString file = QStringLiteral("/home/ana/list.tvk");
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/journals";
    ASSERT_TRUE(JournalFolder(folder).open().succeeded());
    const QString leftPath = QFile::decodeName(folder + '/' + JournalFolder::PrefixFor(file) + "1-1.journal");
    writeBytes(leftPath, bytes);
    QFile::setPermissions(leftPath, QFile::ReadOwner | QFile::WriteOwner);
    const auto base = [](TaskLists &lists) {
        addItem(lists, {1, QStringLiteral("water the plants"), QStringLiteral("d1"), {}, QStringLiteral("ana")});
    };
    TaskLists live;
    base(live);
    {
        EditJournal journal(folder);
        const std::optional<JournalContents> left = journal.findLeftFor(file);
        ASSERT_TRUE(left);
        ASSERT_EQ(left->changes.size(), 2u);
        EXPECT_EQ(ReplayJournal(live, left->changes).unplaced, 0);
        ASSERT_TRUE(journal.continueLeft({file, std::nullopt, 1, {}}, *left).succeeded());
        const std::optional<EntryChange> added = EntryEditing(live).addEntry(0, QStringLiteral("later"), {}, false);
        ASSERT_TRUE(journal.record(RecordOf(added->before, added->after)).succeeded());
    }
    EXPECT_EQ(live.lvwTasks.count(), 2);
    EXPECT_EQ(live.lvwTasks.rowAt(2)->field(Entry::Task), u"new \u00e9");
    ASSERT_EQ(live.lvwCompleted.count(), 1);
    EXPECT_EQ(live.lvwCompleted.rowAt(1)->field(Entry::Edited), u"e2");

    ASSERT_EQ(JournalFolder(folder).journalsFor(file).size(), 1);
    const std::optional<JournalContents> left = EditJournal(folder).findLeftFor(file);
    ASSERT_TRUE(left);
    EXPECT_FALSE(left->olderLayout);
    EXPECT_EQ(left->changes.front().madeAtMs, 1765400000000);
    TaskLists replayed;
    base(replayed);
    EXPECT_EQ(ReplayJournal(replayed, left->changes).unplaced, 0);
    EXPECT_EQ(sortedContents(replayed), sortedContents(live));
}

// A change of many entries is encoded in pieces on several threads and
// written on a thread of its own; the journal left holds it whole.
TEST(JournalReplayTest, AChangeOfManyEntriesIsKeptWhole)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/journals";
    const QString file = dir.filePath(QStringLiteral("list.tvk"));
    const auto fill = [](TaskLists &lists) {
        EntryRows rows;
        for (int i = 0; i < 120000; ++i) {
            rows.push_back(Entry::create(1, QStringLiteral("task %1 \u00e9").arg(i), QStringLiteral("d%1").arg(i), {},
                                         QStringLiteral("u")));
        }
        lists.lvwTasks.appendAll(std::move(rows));
    };
    TaskLists live;
    fill(live);
    std::vector<int> positions;
    for (int position = 2; position <= live.lvwTasks.count(); position += 2)
        positions.push_back(position);
    {
        EditJournal journal(folder);
        journal.follow({file, std::nullopt, 0, {}});
        BulkChange bulk = BulkChange::setStatus(live, Category::Tasks, positions, 2, QStringLiteral("now"));
        ASSERT_TRUE(journal.record(RecordOf(bulk)).succeeded());
        // A small change after it waits for it.
        select(live, 0, 1);
        const std::optional<EntryChange> deleted = EntryEditing(live).deleteEntry(0);
        ASSERT_TRUE(journal.record(RecordOf(deleted->before, deleted->after)).succeeded());
    }
    const std::optional<JournalContents> left = EditJournal(folder).findLeftFor(file);
    ASSERT_TRUE(left);
    ASSERT_EQ(left->changes.size(), 2u);
    TaskLists replayed;
    fill(replayed);
    EXPECT_EQ(ReplayJournal(replayed, left->changes).unplaced, 0);
    EXPECT_EQ(sortedContents(replayed), sortedContents(live));
}
