#include "document/OutsideWriters.h"

#include "entries/TaskLists.h"
#include "fileformat/TaskFileReader.h"
#include "history/RowEdits.h"
#include "journal/JournalReplay.h"
#include "storage/FilePath.h"
#include "storage/SaveSteps.h"
#include "storage/Trash.h"
#include "sync/ConflictCopies.h"
#include "sync/ListsSplice.h"
#include "sync/OtherVersion.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <memory>

OutsideWriters::Busy::Busy(OutsideWriters &outside)
    : m_outside(outside)
{
    ++m_outside.m_busy;
}

OutsideWriters::Busy::~Busy()
{
    if (--m_outside.m_busy == 0 && std::exchange(m_outside.m_changeWaiting, false))
        QTimer::singleShot(0, &m_outside.m_watcher, [outside = &m_outside] { outside->followOutsideChange(); });
}

OutsideWriters::OutsideWriters(FollowedDocument &document, TaskLists &lists, Dialogs &dialogs, DocumentView &view)
    : m_document(document)
    , m_lists(lists)
    , m_dialogs(dialogs)
    , m_view(view)
{
    QObject::connect(&m_watcher, &FileWatcher::settled, &m_watcher, [this] { followOutsideChange(); });
}

void OutsideWriters::forget()
{
    m_base.forget();
    m_unreadable.reset();
    m_askedCopies.clear();
    m_foldedCopies.clear();
}

void OutsideWriters::rememberRead(const QString &path, const std::optional<FileIdentity> &identity,
                                  std::vector<EntryFingerprint> entries)
{
    m_base.remember(path, identity, std::move(entries));
}

// Waits for a file that another program is still writing, with the busy
// cursor once that takes a moment.
SettledFile OutsideWriters::waitUntilSettled()
{
    bool waited = false;
    SettledFile settled = WaitUntilSettled(m_document.fileName(), [&] {
        waited = true;
        m_view.waitingForFile(true);
    });
    if (waited)
        m_view.waitingForFile(false);
    return settled;
}

// Before the lists replace the file, whatever was written to it since it
// was read or saved here is merged into them, so that no other writer's
// change is lost unseen; merged then holds the fingerprints of what they
// hold, and expected the file the lists may replace. The counts of the
// merge are added to merges.
OutsideWriters::SaveBasis OutsideWriters::bringInOutsideChanges(std::optional<FileIdentity> &expected,
                                                                std::optional<std::vector<EntryFingerprint>> &merged,
                                                                MergeCounts &merges, QString &why)
{
    const QString &path = m_document.fileName();
    if (!m_base.isFor(path)) {
        // A new name: nothing of it was read, and what stands there was chosen to be replaced.
        expected = FileIdentity::Of(path);
        return SaveBasis::Ready;
    }
    const std::optional<FileIdentity> &known = m_base.identity();
    std::optional<FileIdentity> now = FileIdentity::Of(path);
    if (now != known) {
        const SettledFile settled = waitUntilSettled();
        if (!settled.settled) {
            why = tr("It is still being written.");
            return SaveBasis::Unreadable;
        }
        now = settled.identity;
    }
    switch (ClassifyFile(path, known, now)) {
    case FileState::Same:
    case FileState::Gone: // written again
    case FileState::Empty: // nothing in it to lose
    case FileState::NotRegular: // the writer refuses anything but a regular file and says why
        expected = now;
        return SaveBasis::Ready;
    case FileState::Renamed:
        return SaveBasis::Renamed;
    case FileState::NotTaskList:
        return SaveBasis::NotTaskList;
    case FileState::Changed:
        break;
    }

    MergeCounts counts;
    if (!mergeVersion(now, counts, why))
        return SaveBasis::Unreadable;
    SaveSteps::Reach(SaveStep::OtherVersionRead);
    merges.cameIn += counts.cameIn;
    merges.wentAway += counts.wentAway;
    merges.keptTwice += counts.keptTwice;
    merges.changed += counts.changed;
    merges.changedAfterDelete += counts.changedAfterDelete;
    merged = std::move(counts.merged);
    expected = now;
    return SaveBasis::Ready;
}

// Merges the version now at the file's name into the lists and makes it the
// base: should the file change again or the write fail, the next round must
// not bring its changes in twice. False, with the lists untouched, when it
// could not be read whole.
bool OutsideWriters::mergeVersion(const std::optional<FileIdentity> &now, MergeCounts &counts, QString &why)
{
    const QString &path = m_document.fileName();
    TaskFileReader reader;
    reader.fingerprintOnly();
    reader.expectForm(m_document.form());
    LocatingRows rows(m_lists);
    const ReadResult read = reader.read(path);
    if (read.extent != LoadResult::Complete || FileIdentity::Of(path) != now) {
        why = read.extent == LoadResult::Complete ? tr("It changed again while it was being read.")
                                                  : read.result.reason();
        return false;
    }
    OtherVersion disk = TakeVersion(reader);
    const std::vector<LocatedEntry> located = rows.take();
    auto edits = std::make_unique<RowEdits>();
    m_view.listsAboutToChangeOutside();
    std::optional<MergeCounts> merged = MergeOtherVersion(m_lists, located, mergeBaseEntries(), disk, edits.get());
    m_view.listsChangedOutside(edits->isEmpty() ? nullptr : std::move(edits));
    if (!merged) {
        why = tr("It changed again while it was being read.");
        return false;
    }
    m_base.rememberSorted(path, now, FingerprintsOf(disk.sorted));
    m_base.dropAncestor();
    counts = std::move(*merged);
    return true;
}

// What the version at the file's name is merged against: the last save's
// ancestor when a sync tool moved that save aside as a conflict copy (found
// by its inode, or by its size and time where the tool made a new file).
const std::vector<EntryFingerprint> &OutsideWriters::mergeBaseEntries() const
{
    const std::optional<FileIdentity> &saved = m_base.identity();
    if (!m_base.ancestor() || !saved)
        return m_base.entries();
    for (const QString &copy : ConflictCopies::Find(m_document.fileName())) {
        const std::optional<FileIdentity> identity = FileIdentity::Of(copy);
        if (identity
            && (identity->sameInode(*saved)
                || (identity->size == saved->size && identity->modifiedNs == saved->modifiedNs)))
            return *m_base.ancestor();
    }
    return m_base.entries();
}

void OutsideWriters::rememberWritten(std::optional<std::vector<EntryFingerprint>> merged,
                                     std::vector<EntryFingerprint> written)
{
    const QString &path = m_document.fileName();
    if (m_base.isFor(path))
        m_base.keepAncestor();
    else
        m_base.forget();
    if (merged)
        m_base.rememberSorted(path, FileIdentity::Of(path), std::move(*merged));
    else
        m_base.remember(path, FileIdentity::Of(path), std::move(written));
}

void OutsideWriters::reloadByHand()
{
    const SettledFile settled = waitUntilSettled();
    reload(settled.identity, ClassifyFile(m_document.fileName(), m_base.identity(), settled.identity), true);
}

// The file or its folder changed and settled. While nothing is edited the
// lists follow the file; with edits, the next save merges it. A file that
// is gone or was renamed away leaves the lists as they are: a save writes
// it again or says that it moved.
void OutsideWriters::followOutsideChange()
{
    if (m_busy > 0) {
        m_changeWaiting = true;
        return;
    }
    const QString &path = m_document.fileName();
    if (path.isEmpty())
        return;
    const Busy busy(*this);
    offerConflictCopies();
    if (m_document.isDirty() || !m_base.isFor(path))
        return;
    const std::optional<FileIdentity> now = FileIdentity::Of(path);
    if (now == m_unreadable)
        return;
    switch (const FileState state = ClassifyFile(path, m_base.identity(), now)) {
    case FileState::Same:
    case FileState::Gone:
    case FileState::Renamed:
        return;
    case FileState::Changed:
        if (&mergeBaseEntries() != &m_base.entries()) {
            // The last save here is now a conflict copy: what it added stays
            // in the lists beside the other version, to be saved.
            MergeCounts counts;
            QString why;
            if (mergeVersion(now, counts, why))
                m_document.setDirty(counts.merged != m_base.entries());
            return;
        }
        reload(now, state, false);
        return;
    default:
        reload(now, state, false);
    }
}

// Reads the file again into the lists, keeping their sort settings. A
// version that cannot be read completely leaves the lists as they are and is
// reported once.
void OutsideWriters::reload(const std::optional<FileIdentity> &now, FileState state, bool byHand)
{
    const QString &path = m_document.fileName();
    QString why;
    // A file renamed away may have left something else at the name.
    const bool renamed = state == FileState::Renamed;
    if (state == FileState::Gone || (renamed && !now))
        why = tr("It is not there.");
    else if (state == FileState::NotRegular || (renamed && !now->regular))
        why = tr("It is not a regular file.");
    else if (state == FileState::NotTaskList || renamed)
        why = tr("It is not a task list.");
    TaskFileReader reader;
    reader.expectForm(m_document.form());
    OtherVersion next;
    std::optional<ListsSplice> step;
    if (why.isEmpty()) {
        reader.fingerprintOnly();
        LocatingRows rows(m_lists);
        const ReadResult read = reader.read(path);
        if (read.extent != LoadResult::Complete) {
            why = read.result.reason();
        } else {
            next = TakeVersion(reader);
            if (FileIdentity::Of(path) == now)
                step = ListsSplice::Towards(m_lists, rows.take(), next);
            if (!step && !byHand)
                return; // the watcher reports the version being written once it settles
            if (!step)
                why = tr("It changed again while it was being read.");
        }
    }

    if (!why.isEmpty()) {
        if (byHand || now != m_unreadable) {
            m_unreadable = now;
            m_dialogs.message(tr("The file could not be read again completely, so the list stays as it was.") + u'\n'
                                  + why,
                              Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        }
        return;
    }
    m_view.listsAboutToChangeOutside();
    step->swap(m_lists);
    m_base.rememberSorted(path, now, FingerprintsOf(next.sorted));
    m_base.dropAncestor();
    m_unreadable.reset();
    m_document.tookInVersion(reader.form());
    m_view.listsChangedOutside(step->changedAnything() ? std::make_unique<ListsSplice>(std::move(*step)) : nullptr);
}

bool OutsideWriters::writtenFileHolds(const QString &copy) const
{
    TaskFileReader reader;
    reader.fingerprintOnly();
    if (reader.read(copy).extent != LoadResult::Complete)
        return false;
    const std::vector<EntryFingerprint> entries = FingerprintsOf(TakeVersion(reader).sorted);
    const std::vector<EntryFingerprint> &written = m_base.entries();
    return std::includes(written.begin(), written.end(), entries.begin(), entries.end());
}

// Asks once about each conflict copy that a sync tool left beside the file.
void OutsideWriters::offerConflictCopies()
{
    for (const QString &copy : ConflictCopies::Find(m_document.fileName())) {
        if (m_askedCopies.contains(copy))
            continue;
        m_askedCopies << copy;
        const QString question =
            tr("A sync tool left a conflicting copy of this list beside it: %1").arg(ReadablePath(copy)) + u'\n'
            + tr("Add the entries that only the copy holds to this list?");
        if (m_dialogs.message(question, Dialogs::Buttons::YesNo, Dialogs::Icon::Question) == Dialogs::Answer::Yes)
            foldInCopy(copy);
    }
}

void OutsideWriters::foldInCopy(const QString &copy)
{
    const std::optional<FileIdentity> identity = FileIdentity::Of(copy);
    TaskFileReader reader;
    reader.fingerprintOnly();
    ReadResult read = identity && identity->regular
        ? reader.read(copy)
        : ReadResult{LoadResult::Missing, Result::failure(tr("It is not a regular file."))};
    auto edits = std::make_unique<RowEdits>();
    if (read.extent == LoadResult::Complete && !ConflictCopies::AddMissingEntries(m_lists, TakeVersion(reader), *edits))
        read = {LoadResult::Incomplete, Result::failure(tr("It changed again while it was being read."))};
    if (read.extent != LoadResult::Complete) {
        m_dialogs.message(tr("The copy could not be read completely, so nothing of it was added.") + u'\n'
                              + read.result.reason(),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    if (!edits->isEmpty()) {
        m_document.journalChange(RecordOf(*edits));
        m_view.listsChangedOutside(std::move(edits));
    }
    m_foldedCopies.emplace_back(copy, identity);
    m_document.setDirty(true);
}

// The copies taken in are in the file now; the trash keeps them in reach.
// One that changed since it was read, or holds an entry the file just
// written lacks (the fold-in was undone, or the entry deleted since), is
// left where it is.
void OutsideWriters::trashFoldedCopies()
{
    for (const auto &[copy, identity] : std::exchange(m_foldedCopies, {})) {
        if (FileIdentity::Of(copy) != identity || !writtenFileHolds(copy))
            continue;
        if (const Result trashed = MoveToTrash(copy); trashed.failed()) {
            m_dialogs.message(tr("The conflicting copy could not be moved to the trash: %1").arg(trashed.reason())
                                  + u'\n' + tr("It stays in %1.").arg(ReadablePath(copy)),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        }
    }
}
