#include "WindowBench.h"

#include "Measurement.h"
#include "entries/EntryEditing.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFile.h"
#include "history/BulkChange.h"
#include "main_window/CategoryListView.h"
#include "main_window/EntryChangeCommand.h"
#include "main_window/TabControl.h"
#include "main_window/frmMain.h"
#include "storage/SettledFile.h"
#include "sync/MergeBase.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>
#include <QThread>
#include <QUndoStack>

#include <algorithm>
#include <functional>

#include <malloc.h>

namespace {

// Repetitions per operation: fewer where one run takes seconds.
int runsFor(int entries, int small, int large)
{
    return entries >= 1000000 ? large : small;
}

template<typename Control>
Control *child(QObject &parent, const char *name)
{
    Control *control = parent.findChild<Control *>(QLatin1String(name));
    if (!control)
        Fail(QStringLiteral("the window has no %1").arg(QLatin1String(name)));
    return control;
}

// Bytes in use on the heap.
double heapBytes()
{
    return static_cast<double>(mallinfo2().uordblks);
}

// The same with the blocks large enough to be mapped on their own.
double heapAndMappedBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// The rows of the five lists together.
int totalRows(const QObject &window)
{
    int rows = 0;
    for (const CategoryListView *view : window.findChildren<CategoryListView *>())
        rows += view->list().count();
    return rows;
}

} // namespace

WindowBench::WindowBench(const QString &scratchFolder)
    : m_scratchFolder(scratchFolder)
    , m_window(std::make_unique<frmMain>(m_dialogs, QString()))
{
    tabMain = child<TabControl>(*m_window, "tabMain");
    lvwTasks = child<CategoryListView>(*m_window, "lvwTasks");
    lvwCompleted = child<CategoryListView>(*m_window, "lvwCompleted");
    txtTask = child<QPlainTextEdit>(*m_window, "txtTask");
    btnNew = child<QPushButton>(*m_window, "btnNew");
    btnUpdate = child<QPushButton>(*m_window, "btnUpdate");
    btnDelete = child<QPushButton>(*m_window, "btnDelete");
    m_window->show();
    settle();
}

WindowBench::~WindowBench() = default;

void WindowBench::measure(int entries, const QString &allCategories, const QString &tasksOnly)
{
    measureLoadAndSave(entries, allCategories);
    measureOutsideChanges(entries, allCategories);
    measureMove(entries);
    open(tasksOnly, entries);
    measureSort(entries);
    measureEditing(entries);
    measureUndo(entries);
    measureFind(entries);
    // The changes of every entry start from the file as generated: the
    // edits and undos before have moved entries between the lists.
    measureManyAtOnce(entries, tasksOnly);
}

void WindowBench::measureManyAtOnce(int entries, const QString &tasksOnly)
{
    open(tasksOnly, entries);
    measureWithEveryRowSelected(entries);
    measureBulk(entries);
}

void WindowBench::measureLoadAndSave(int entries, const QString &path)
{
    Progress(QStringLiteral("load and save, %1 entries").arg(entries));
    const double load = MedianOf(runsFor(entries, 11, 5), [&](int) { return open(path, entries); });
    Report("load", entries, load, "ms");

    // Save As once, so that the timed saves write a copy, not the generated file.
    const QString copy = m_scratchFolder + QStringLiteral("/saved.tvk");
    m_dialogs.choose(copy);
    m_window->mnuFile_SaveAs_Click();
    settle();
    if (QFileInfo(copy).size() != QFileInfo(path).size())
        Fail(QStringLiteral("the saved file differs in size from the one read"));
    const double save = MedianOf(runsFor(entries, 11, 5), [&](int) {
        return TimeMs([&] {
            m_window->mnuFile_Save_Click();
            settle();
        });
    });
    Report("save", entries, save, "ms");
}

namespace {

// The file's bytes with `changed` entry lines left out and as many new ones
// at the end, as another writer would leave it.
QByteArray changedOutside(const QByteArray &file, int changed, TaskListGenerator &random)
{
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast(); // after the last line end
    for (int i = 0; i < changed && lines.size() > 1; ++i)
        lines.removeAt(1 + random.below(int(lines.size()) - 1));
    QByteArray result = lines.join('\n') + '\n';
    for (int i = 0; i < changed; ++i)
        result += "1;written elsewhere " + QByteArray::number(i) + ";today;;bench\r\n";
    return result;
}

// Puts the bytes in place by renaming a new file over the old one, as sync
// tools do.
void replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Fail(QStringLiteral("cannot write %1").arg(path));
}

} // namespace

// Another writer's version of a shown list: read again with F5 while nothing
// is edited (the watcher takes the same road after its settling wait), and
// merged by Save when something is. The file gains and loses 1,000 entries.
void WindowBench::measureOutsideChanges(int entries, const QString &path)
{
    Progress(QStringLiteral("reload and merge, %1 entries").arg(entries));
    constexpr int Changed = 1000;
    QFile generated(path);
    if (!generated.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot read %1").arg(path));
    const QByteArray original = generated.readAll();
    const QByteArray elsewhere = changedOutside(original, Changed, m_random);
    const QString shared = m_scratchFolder + QStringLiteral("/shared.tvk");
    replaceFile(shared, original);
    open(shared, entries);
    // Lets the watcher see the last replacement and find nothing to do, so
    // that it never runs inside a timed step.
    const auto quiet = [&] {
        QTest::qWait(400);
        settle();
    };

    const double reload = MedianOf(runsFor(entries, 11, 5), [&](int run) {
        replaceFile(shared, run % 2 == 0 ? elsewhere : original);
        // F5 first waits for a file changed less than the settle time ago;
        // the line times the read, so the file settles before the key, with
        // the watcher's notice left waiting as it would be behind the key.
        QThread::msleep(FileSettleMs);
        const double time = TimeMs([&] {
            QTest::keyClick(m_window.get(), Qt::Key_F5);
            settle();
        });
        if (totalRows(*m_window) != entries)
            Fail(QStringLiteral("F5 did not read the other version"));
        quiet();
        return time;
    });
    Report("reload", entries, reload, "ms");

    const double merge = MedianOf(runsFor(entries, 11, 5), [&](int) {
        replaceFile(shared, original);
        open(shared, entries);
        txtTask->setPlainText(QStringLiteral("mine"));
        btnNew->click();
        replaceFile(shared, elsewhere);
        quiet();
        m_dialogs.answer(Dialogs::Answer::Ok); // the message saying what came in
        const double time = TimeMs([&] {
            m_window->mnuFile_Save_Click();
            settle();
        });
        if (m_window->document().isDirty() || totalRows(*m_window) != entries + 1)
            Fail(QStringLiteral("Save did not merge the other version"));
        return time;
    });
    Report("merge", entries, merge, "ms");

    // What the remembered base of a save adds to the lists: its
    // fingerprints, which hold no text.
    TaskLists lists;
    std::vector<EntryFingerprint> fingerprints;
    if (LoadTaskFile(path, lists, m_dialogs, &fingerprints) != LoadResult::Complete)
        Fail(QStringLiteral("%1 was not read completely").arg(path));
    MergeBase base;
    base.remember(path, FileIdentity::Of(path), std::move(fingerprints));
    const double megabytes = double(base.entries().capacity() * sizeof(EntryFingerprint)) / (1 << 20);
    std::printf("base-memory %d %.1f MB\n", entries, megabytes);
    std::fflush(stdout);
    QFile::remove(shared);
}

// Entries that change between Tasks and Completed, the two large lists of a
// file with every category, both sorted by task text, so that the entry's
// place in the other list is searched for as well.
void WindowBench::measureMove(int entries)
{
    Progress(QStringLiteral("move, %1 entries").arg(entries));
    showTab(1);
    sortByTask(*lvwCompleted);
    showTab(0);
    sortByTask(*lvwTasks);
    const double moved = MedianOf(21, [&](int run) {
        // Back and forth, so that both lists keep their sizes.
        const bool toCompleted = run % 2 == 0;
        CategoryListView &from = toCompleted ? *lvwTasks : *lvwCompleted;
        CategoryListView &to = toCompleted ? *lvwCompleted : *lvwTasks;
        showTab(toCompleted ? 0 : 1);
        clickRow(from, 1 + m_random.below(from.list().count()));
        const int before = to.list().count();
        const double time = TimeMs([&] {
            m_window->objRightClickPopup_ItemClick(toCompleted ? QStringLiteral("Complete")
                                                               : QStringLiteral("Incomplete"));
            settle();
        });
        if (to.list().count() != before + 1)
            Fail(QStringLiteral("the status change moved no entry"));
        return time;
    });
    Report("move", entries, moved, "ms");
}

void WindowBench::measureSort(int entries)
{
    Progress(QStringLiteral("sort, %1 entries").arg(entries));
    showTab(0);
    const CategoryList &list = lvwTasks->list();
    std::vector<double> sorts;
    const double reverse = MedianOf(runsFor(entries, 9, 3), [&](int) {
        // Back to the status order the file was read in, so that the next
        // click on Task really sorts.
        clickHeader(*lvwTasks, 0);
        const int order = list.SortOrder();
        sorts.push_back(TimeMs([&] { clickHeader(*lvwTasks, 1); }));
        if (list.SortKey() != Entry::Task || list.SortOrder() != order)
            Fail(QStringLiteral("a click on Task did not sort by task text"));
        const double time = TimeMs([&] { clickHeader(*lvwTasks, 1); });
        if (list.SortOrder() == order)
            Fail(QStringLiteral("a second click on Task did not reverse the order"));
        return time;
    });
    Report("sort", entries, MedianOf(static_cast<int>(sorts.size()), [&](int i) { return sorts[i]; }), "ms");
    Report("reverse", entries, reverse, "ms");
}

void WindowBench::measureLongClick(const char *label, qsizetype units, bool showAll)
{
    Progress(QStringLiteral("click on a task of %1").arg(QLatin1String(label)));
    if (m_window->document().isDirty())
        m_dialogs.answer(Dialogs::Answer::No);
    m_window->mnuFile_New_Click();
    settle();
    showTab(0);
    CategoryList &list = lvwTasks->list();
    const double heapBefore = heapAndMappedBytes();
    list.append(Entry::create(Status_Incomplete, QString(units, QLatin1Char('x')), u"added", u"", u"user"));
    settle();
    auto *showAllButton = m_window->findChild<QPushButton *>(QStringLiteral("btnShowAll"));
    const auto clickTheTask = [&] {
        txtTask->clear();
        list.selectionModel()->clear();
        settle();
        const double figure = TimeMs([&] {
            clickRow(*lvwTasks, 1);
            settle();
        });
        const bool whole = txtTask->document()->characterCount() >= units;
        const bool beginning = txtTask->isReadOnly() && showAllButton && showAllButton->isVisible();
        if (!whole && !beginning)
            Fail(QStringLiteral("the pane shows neither the whole task nor its beginning"));
        return figure;
    };
    const double time = MedianOf(3, [&](int) { return clickTheTask(); });
    std::printf("click-long %s %.*f ms\n", label, time < 10 ? 2 : time < 100 ? 1 : 0, time);
    // The entry and the shown task together, against the entry alone.
    const double entryBytes = static_cast<double>(units) * sizeof(QChar);
    std::printf("click-long-memory %s %.2f times the entry's text\n", label,
                (heapAndMappedBytes() - heapBefore) / entryBytes);
    std::fflush(stdout);
    // Show all lays the whole text out at once, as every click did before
    // long tasks were shown by their beginning.
    if (showAll && showAllButton) {
        const double whole = MedianOf(3, [&](int) {
            clickTheTask();
            const double figure = TimeMs([&] {
                QTest::mouseClick(showAllButton, Qt::LeftButton);
                settle();
            });
            if (txtTask->document()->characterCount() < units)
                Fail(QStringLiteral("Show all does not show the whole task"));
            return figure;
        });
        std::printf("show-all %s %.*f ms\n", label, whole < 10 ? 2 : whole < 100 ? 1 : 0, whole);
        std::fflush(stdout);
    }
    m_window->mnuFile_New_Click();
    settle();
}

// New, Update and Delete on the Tasks list holding every entry, sorted by
// task text, so that each change also finds the row's place.
void WindowBench::measureEditing(int entries)
{
    Progress(QStringLiteral("new, update, delete, %1 entries").arg(entries));
    showTab(0);
    CategoryList &list = lvwTasks->list();
    sortByTask(*lvwTasks);
    constexpr int Runs = 21;

    const double added = MedianOf(Runs, [&](int) {
        const int before = list.count();
        txtTask->setPlainText(m_random.task());
        const double time = TimeMs([&] {
            btnNew->click();
            settle();
        });
        if (list.count() != before + 1)
            Fail(QStringLiteral("New added no row"));
        return time;
    });
    Report("new", entries, added, "ms");

    const double updated = MedianOf(Runs, [&](int) {
        clickRow(*lvwTasks, 1 + m_random.below(list.count()));
        const Row row = list.selectedRow();
        const QString text = m_random.task();
        txtTask->setPlainText(text);
        const double time = TimeMs([&] {
            btnUpdate->click();
            settle();
        });
        if (list.text(row, Entry::Task) != text)
            Fail(QStringLiteral("Update did not change the row"));
        return time;
    });
    Report("update", entries, updated, "ms");

    const double deleted = MedianOf(Runs, [&](int) {
        clickRow(*lvwTasks, 1 + m_random.below(list.count()));
        const int before = list.count();
        m_dialogs.answer(Dialogs::Answer::Yes);
        const double time = TimeMs([&] {
            btnDelete->click();
            settle();
        });
        if (list.count() != before - 1)
            Fail(QStringLiteral("Delete removed no row"));
        return time;
    });
    Report("delete", entries, deleted, "ms");
}

// Runs the event loop until nothing is left to do: posted events, the views'
// delayed layouts and the paints they ask for.
void WindowBench::settle()
{
    QAbstractEventDispatcher *dispatcher = QThread::currentThread()->eventDispatcher();
    for (int pass = 0; pass < 100; ++pass) {
        QCoreApplication::sendPostedEvents();
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            break;
    }
    m_dialogs.check();
}

// Opens the file through File Open, which first empties the window of what
// it showed (the same file again, when load is measured); the time it takes.
double WindowBench::open(const QString &path, int entries)
{
    if (m_window->document().isDirty())
        m_dialogs.answer(Dialogs::Answer::No);
    m_dialogs.choose(path);
    const double time = TimeMs([&] {
        m_window->mnuFile_Open_Click();
        settle();
    });
    if (totalRows(*m_window) != entries)
        Fail(QStringLiteral("%1 was not read completely").arg(path));
    return time;
}

void WindowBench::showTab(int index)
{
    tabMain->tabBar()->setCurrentIndex(index);
    settle();
}

void WindowBench::clickHeader(CategoryListView &view, int section)
{
    QHeaderView *header = view.header();
    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    settle();
}

void WindowBench::clickRow(CategoryListView &view, int position)
{
    const QModelIndex index = view.model()->index(position - 1, Entry::Task);
    view.scrollTo(index);
    settle();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(index).center());
    settle();
    if (view.list().selectedRow() != view.list().rowAt(position))
        Fail(QStringLiteral("a click on row %1 did not select it").arg(position));
}

void WindowBench::sortByTask(CategoryListView &view)
{
    if (view.list().SortKey() != Entry::Task || !view.list().Sorted())
        clickHeader(view, Entry::Task);
}

// Undo and redo of Delete, Update and a status change in the Tasks list
// holding every entry, sorted by task text, each through its key.
void WindowBench::measureUndo(int entries)
{
    Progress(QStringLiteral("undo, redo, %1 entries").arg(entries));
    showTab(0);
    CategoryList &list = lvwTasks->list();
    sortByTask(*lvwTasks);
    std::vector<double> undos;
    std::vector<double> redos;
    for (int run = 0; run < 21; ++run) {
        clickRow(*lvwTasks, 1 + m_random.below(list.count()));
        const int before = list.count();
        switch (run % 3) {
        case 0:
            m_dialogs.answer(Dialogs::Answer::Yes);
            btnDelete->click();
            break;
        case 1:
            txtTask->setPlainText(m_random.task());
            btnUpdate->click();
            break;
        default:
            m_window->objRightClickPopup_ItemClick(QStringLiteral("Question"));
            break;
        }
        settle();
        undos.push_back(TimeMs([&] {
            QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier);
            settle();
        }));
        if (list.count() != before)
            Fail(QStringLiteral("Ctrl+Z did not undo the change"));
        redos.push_back(TimeMs([&] {
            QTest::keyClick(m_window.get(), Qt::Key_Y, Qt::ControlModifier);
            settle();
        }));
        if ((run % 3 == 0) != (list.count() == before - 1))
            Fail(QStringLiteral("Ctrl+Y did not redo the change"));
    }
    Report("undo", entries, MedianOf(static_cast<int>(undos.size()), [&](int i) { return undos[i]; }), "ms");
    Report("redo", entries, MedianOf(static_cast<int>(redos.size()), [&](int i) { return redos[i]; }), "ms");
}

// Typing a word into the find bar letter by letter, each letter narrowing
// what the one before found, then taking it back letter by letter, each a
// search of every entry; then closing the bar, which shows every row again.
// A keystroke counts until the window shows what it found; a long list is
// searched on after that, and the time until the whole list is searched
// counts as well. Opening the bar the first time likewise counts until the
// bar is shown, and apart until it has read which letters each entry holds.
void WindowBench::measureFind(int entries)
{
    Progress(QStringLiteral("find, %1 entries").arg(entries));
    showTab(0);
    if (!txtFind)
        txtFind = child<QLineEdit>(*m_window, "txtFind");
    const QString word = QStringLiteral("creme");
    std::vector<double> typed;
    std::vector<double> searched;
    std::vector<double> lettersRead;
    const auto keystroke = [&](std::vector<double> &shown, const std::function<void()> &press,
                               std::vector<double> &done) {
        shown.push_back(TimeMs([&] {
            press();
            QCoreApplication::sendPostedEvents();
        }));
        done.push_back(shown.back() + TimeMs([&] { settle(); }));
    };
    std::vector<double> clears;
    std::vector<double> opens;
    std::vector<double> pastes;
    // The first letter searches every entry; the others search what the
    // letter before found, and taking one back finds the result kept.
    std::vector<double> firstLetters;
    // What the bar keeps, open or closed, counts as the filter's memory.
    const double heapBefore = heapBytes();
    double heapShowingAll = 0;
    for (int round = 0; round < 3; ++round) {
        // The first time the bar reads which letters each entry holds; then
        // it keeps them while the list is not sorted or read anew.
        keystroke(
            opens, [&] { QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier); }, lettersRead);
        for (const QChar letter : word) {
            keystroke(
                typed, [&] { QTest::keyClick(txtFind, letter.toLatin1()); }, searched);
            if (txtFind->text().size() == 1) {
                heapShowingAll = heapBytes();
                firstLetters.push_back(typed.back());
            }
        }
        const int found = lvwTasks->model()->rowCount();
        if (found == 0 || found >= lvwTasks->list().count())
            Fail(QStringLiteral("typing \"%1\" did not narrow the list").arg(word));
        while (txtFind->text().size() > 1)
            keystroke(
                typed, [&] { QTest::keyClick(txtFind, Qt::Key_Backspace); }, searched);
        clears.push_back(TimeMs([&] {
            QTest::keyClick(txtFind, Qt::Key_Escape);
            settle();
        }));
        if (lvwTasks->model() != &lvwTasks->list())
            Fail(QStringLiteral("closing the find bar did not show the whole list"));

        // The whole word at once, as a paste puts it: nothing found before
        // narrows the search.
        QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
        settle();
        keystroke(
            pastes, [&] { txtFind->setText(word); }, searched);
        if (lvwTasks->model()->rowCount() != found)
            Fail(QStringLiteral("\"%1\" pasted found other rows than typed").arg(word));
        QTest::keyClick(txtFind, Qt::Key_Escape);
        settle();
    }
    Report("find-keystroke", entries, MedianOf(static_cast<int>(typed.size()), [&](int i) { return typed[i]; }), "ms");
    // The median hides the slowest letter, the second one, which searches
    // most of the entries the first letter found without reading them.
    Report("find-keystroke-max", entries, *std::max_element(typed.begin(), typed.end()), "ms");
    Report("find-searched-max", entries, *std::max_element(searched.begin(), searched.end()), "ms");
    Report("find-first-letter", entries,
           MedianOf(static_cast<int>(firstLetters.size()), [&](int i) { return firstLetters[i]; }), "ms");
    Report("find-paste", entries, MedianOf(static_cast<int>(pastes.size()), [&](int i) { return pastes[i]; }), "ms");
    Report("find-open", entries, opens.front(), "ms");
    Report("find-open-read", entries, lettersRead.front(), "ms");
    Report("find-reopen", entries, MedianOf(static_cast<int>(opens.size()) - 1, [&](int i) { return opens[i + 1]; }),
           "ms");
    Report("find-clear", entries, MedianOf(static_cast<int>(clears.size()), [&](int i) { return clears[i]; }), "ms");
    // A first letter shows nearly every row: the most the filter, the letters
    // it keeps and the view's rows take.
    Report("find-memory", entries, (heapShowingAll - heapBefore) / 1e6, "MB");
}

// Updates of random entries of a generated list, each kept as the window
// keeps it; the heap the history holds is what clearing it gives back.
void WindowBench::measureHistoryMemory(int changes)
{
    Progress(QStringLiteral("memory of a history of %1 changes").arg(changes));
    TaskLists lists;
    EntryEditing editing(lists);
    for (int i = 0; i < changes; ++i)
        lists.lvwTasks.append(Entry::create(Status_Incomplete, m_random.task(), CurrentDateText(), u"", u"anna"));
    QUndoStack history;
    for (int i = 0; i < changes; ++i) {
        CategoryList &list = lists.lvwTasks;
        list.selectionModel()->select(list.index(m_random.below(list.count()), 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const std::optional<EntryChange> change = editing.updateEntry(0, m_random.task(), QStringLiteral("anna"));
        if (!change)
            Fail(QStringLiteral("an update made no change"));
        history.push(new EntryChangeCommand(lists, *change, [](const ReplayResult &, Category, bool) {}));
    }
    const double held = heapBytes();
    history.clear();
    Report("history-memory", changes, (held - heapBytes()) / 1e6, "MB");
}

// Ctrl+A in the Tasks list holding every entry, sorted by task text, and
// the status Complete for all of them, or Delete of all of them; each counts
// until the window has repainted, and so does its undo.
void WindowBench::measureBulk(int entries)
{
    Progress(QStringLiteral("changes of every entry at once, %1 entries").arg(entries));
    showTab(0);
    CategoryList &list = lvwTasks->list();
    sortByTask(*lvwTasks);
    const auto selectAll = [&] {
        lvwTasks->setFocus();
        QTest::keyClick(lvwTasks, Qt::Key_A, Qt::ControlModifier);
    };
    const auto undo = [&] {
        return TimeMs([&] {
            QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier);
            settle();
        });
    };
    std::vector<double> undos;
    const int runs = runsFor(entries, 5, 3);
    const double status = MedianOf(runs, [&](int) {
        const double time = TimeMs([&] {
            selectAll();
            m_window->objRightClickPopup_ItemClick(QStringLiteral("Complete"));
            settle();
        });
        if (lvwCompleted->list().count() != entries || list.count() != 0)
            Fail(QStringLiteral("Complete did not move every entry"));
        undos.push_back(undo());
        if (list.count() != entries)
            Fail(QStringLiteral("Ctrl+Z did not bring every entry back"));
        return time;
    });
    Report("bulk-status", entries, status, "ms");
    const double deleted = MedianOf(runs, [&](int) {
        m_dialogs.answer(Dialogs::Answer::Yes);
        const double time = TimeMs([&] {
            selectAll();
            QTest::keyClick(lvwTasks, Qt::Key_Delete);
            settle();
        });
        if (list.count() != 0)
            Fail(QStringLiteral("Delete did not remove every entry"));
        undos.push_back(undo());
        if (list.count() != entries)
            Fail(QStringLiteral("Ctrl+Z did not bring every entry back"));
        return time;
    });
    Report("bulk-delete", entries, deleted, "ms");
    Report("bulk-undo", entries, MedianOf(static_cast<int>(undos.size()), [&](int i) { return undos[i]; }), "ms");
    lvwTasks->clearSelectedRows();
    settle();
}

// A click on a row, a page of scrolling and a find keystroke in the Tasks
// list holding every entry, sorted by task text, with every row selected
// and with one: the selection must cost them nothing. The heap a selection
// of every row holds as well.
void WindowBench::measureWithEveryRowSelected(int entries)
{
    Progress(QStringLiteral("every row selected, %1 entries").arg(entries));
    showTab(0);
    CategoryList &list = lvwTasks->list();
    sortByTask(*lvwTasks);
    if (!txtFind)
        txtFind = child<QLineEdit>(*m_window, "txtFind");
    const auto selectRows = [&](bool every) {
        clickRow(*lvwTasks, 1 + m_random.below(list.count()));
        if (every) {
            lvwTasks->setFocus();
            QTest::keyClick(lvwTasks, Qt::Key_A, Qt::ControlModifier);
            settle();
            if (lvwTasks->selectionModel()->selection().size() != 1)
                Fail(QStringLiteral("Ctrl+A did not select every row as one range"));
        }
    };
    const double heapBefore = heapBytes();
    selectRows(true);
    const double selectionMemory = heapBytes() - heapBefore;
    for (const bool every : {false, true}) {
        const char *suffix = every ? "-all-selected" : "-one-selected";
        const double click = MedianOf(runsFor(entries, 11, 7), [&](int) {
            selectRows(every);
            const QModelIndex index = lvwTasks->model()->index(lvwTasks->rowAt(lvwTasks->viewport()->height() / 2), 1);
            return TimeMs([&] {
                QTest::mouseClick(lvwTasks->viewport(), Qt::LeftButton, {}, lvwTasks->visualRect(index).center());
                settle();
            });
        });
        Report(qPrintable(QStringLiteral("selection-click") + QLatin1String(suffix)), entries, click, "ms");
        selectRows(every);
        QScrollBar *scrollBar = lvwTasks->verticalScrollBar();
        const double scroll = MedianOf(runsFor(entries, 11, 7), [&](int run) {
            return TimeMs([&] {
                scrollBar->setValue(run % 2 == 0 ? scrollBar->value() + scrollBar->pageStep()
                                                 : scrollBar->value() - scrollBar->pageStep());
                settle();
            });
        });
        Report(qPrintable(QStringLiteral("selection-scroll") + QLatin1String(suffix)), entries, scroll, "ms");
        const double keystroke = MedianOf(3, [&](int) {
            selectRows(every);
            QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
            settle();
            const double time = TimeMs([&] {
                QTest::keyClick(txtFind, 'c');
                QCoreApplication::sendPostedEvents();
            });
            QTest::keyClick(txtFind, Qt::Key_Escape);
            settle();
            return time;
        });
        Report(qPrintable(QStringLiteral("selection-find-keystroke") + QLatin1String(suffix)), entries, keystroke,
               "ms");
    }
    std::printf("selection-memory %d %.3f MB\n", entries, selectionMemory / 1e6);
    std::fflush(stdout);
}

void WindowBench::measureBulkHistoryMemory(int entries)
{
    Progress(QStringLiteral("memory of a status change of %1 entries at once").arg(entries));
    TaskLists lists;
    EntryRows rows;
    for (int i = 0; i < entries; ++i)
        rows.push_back(Entry::create(Status_Incomplete, m_random.task(), CurrentDateText(), u"", u"anna"));
    lists.lvwTasks.appendAll(std::move(rows));
    lists.lvwTasks.setSorting(Entry::Task, CategoryList::Ascending, true);
    std::vector<int> positions(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i)
        positions[size_t(i)] = i + 1;
    const double before = heapBytes();
    BulkChange change = BulkChange::setStatus(lists, Category::Tasks, positions, Status_Complete, CurrentDateText());
    // The new entries and the Completed list's own pointers to them are the
    // lists', not the history's.
    double entriesBytes = 0;
    for (int position = 1; position <= lists.lvwCompleted.count(); ++position)
        entriesBytes += double(malloc_usable_size(const_cast<Entry *>(lists.lvwCompleted.rowAt(position))));
    entriesBytes += double(entries) * sizeof(void *);
    const double perEntry = (heapBytes() - before - entriesBytes) / entries;
    std::printf("bulk-history-memory %d %.1f bytes/entry (%.1f counted by the step)\n", entries, perEntry,
                double(change.bytes()) / entries);
    std::fflush(stdout);
}
