#include "document/TaskDocument.h"

#include "base/AppInfo.h"
#include "base/Dialogs.h"
#include "base/modFunctions.h"
#include "entries/DateText.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFile.h"
#include "fileformat/TaskFileEncoder.h"
#include "fileformat/TaskFileFormat.h"
#include "fileformat/TaskFileReader.h"
#include "history/RowEdits.h"
#include "journal/JournalReplay.h"
#include "storage/FilePath.h"
#include "storage/SaveBackup.h"
#include "storage/SaveSteps.h"
#include "storage/SettledFile.h"
#include "storage/Trash.h"
#include "sync/ConflictCopies.h"
#include "sync/FileState.h"
#include "sync/ListsSplice.h"
#include "sync/Merge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// A save reads the file again when another writer replaced it between the
// read and the replace; one that keeps changing stops the save.
constexpr int kSaveRounds = 4;

} // namespace

class TaskDocument::Busy
{
public:
    explicit Busy(TaskDocument &document)
        : m_document(document)
    {
        ++m_document.m_busy;
    }
    ~Busy()
    {
        if (--m_document.m_busy == 0 && std::exchange(m_document.m_changeWaiting, false))
            QTimer::singleShot(0, &m_document.m_watcher, [document = &m_document] { document->followOutsideChange(); });
    }

private:
    TaskDocument &m_document;
};

TaskDocument::TaskDocument(TaskLists &lists, Dialogs &dialogs, DocumentView &view)
    : m_lists(lists)
    , m_dialogs(dialogs)
    , m_view(view)
{
    QObject::connect(&m_watcher, &FileWatcher::settled, &m_watcher, [this] { followOutsideChange(); });
}

QString TaskDocument::DefaultCaption()
{
    return AppInfo::ProductName();
}

QString TaskDocument::BuildWindowCaption() const
{
    return modFunctions::GetVersionString() + QStringLiteral(" (") + ReadablePath(sFileName) + QStringLiteral(")");
}

void TaskDocument::ClearAllLists()
{
    m_view.clearEditingTexts();
    m_view.documentReplaced();
    m_lists.ClearAllLists();
    m_form = TaskFileFormat::TextForm::Windows1252;
}

bool TaskDocument::SaveTaskFile()
{
    const Busy busy(*this);
    if (sFileName.isEmpty()) {
        const QString question = tr("No file specified to save to! Please select a file!") + QLatin1Char('\n')
            + tr("(Cancel will abort save)");
        if (m_dialogs.message(question, Dialogs::Buttons::OkCancel, Dialogs::Icon::Exclamation) != Dialogs::Answer::Ok)
            return false;
        const QString chosen = chooseFile(Dialogs::FileMode::Save);
        if (chosen.isEmpty()) {
            m_dialogs.message(tr("No file specified, all changes will be lost!"), Dialogs::Buttons::Ok,
                              Dialogs::Icon::Exclamation);
            return false;
        }
        takeOverFileName(chosen);
    }
    // Nothing waits for the user between the read of the file's version and
    // the replace: what the merge did is said once the file is written.
    MergeCounts merges;
    for (int round = 0; round < kSaveRounds; ++round) {
        std::optional<FileIdentity> expected;
        std::optional<std::vector<EntryFingerprint>> merged;
        QString why;
        switch (bringInOutsideChanges(expected, merged, merges, why)) {
        case SaveBasis::Ready:
            break;
        case SaveBasis::Renamed:
            reportMerge(merges);
            return refuseAndOfferSaveAs(tr("The file was renamed or moved since it was read."));
        case SaveBasis::NotTaskList:
            reportMerge(merges);
            return refuseAndOfferSaveAs(tr("The file was replaced by something that is not a task list."));
        case SaveBasis::Unreadable:
            reportUnreadableForSave(why);
            reportMerge(merges);
            return false;
        }
        // A merge has fingerprinted what the lists now hold already.
        std::vector<EntryFingerprint> written;
        const QByteArray bytes = TaskFileEncoder().encode(m_lists, m_form, merged ? nullptr : &written);
        SaveSteps::Reach(SaveStep::Encoded);
        const CheckedReplace replaced = WriteTaskFileIf(sFileName, bytes, m_dialogs, expected);
        if (replaced.changed())
            continue;
        if (!replaced.replaced()) {
            reportMerge(merges);
            return false;
        }
        if (m_base.isFor(sFileName))
            m_base.keepAncestor();
        else
            m_base.forget();
        if (merged)
            m_base.rememberSorted(sFileName, FileIdentity::Of(sFileName), std::move(*merged));
        else
            m_base.remember(sFileName, FileIdentity::Of(sFileName), std::move(written));
        bDirty = false;
        m_journal.end();
        m_journal.follow(journalHeader());
        trashFoldedCopies();
        reportMerge(merges);
        return true;
    }
    reportUnreadableForSave(tr("It kept changing while the list was being saved."));
    reportMerge(merges);
    return false;
}

// Waits for a file that another program is still writing, with the busy
// cursor once that takes a moment.
SettledFile TaskDocument::waitUntilSettled()
{
    bool waited = false;
    SettledFile settled = WaitUntilSettled(sFileName, [&] {
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
TaskDocument::SaveBasis TaskDocument::bringInOutsideChanges(std::optional<FileIdentity> &expected,
                                                            std::optional<std::vector<EntryFingerprint>> &merged,
                                                            MergeCounts &merges, QString &why)
{
    if (!m_base.isFor(sFileName)) {
        // A new name: nothing of it was read, and what stands there was chosen to be replaced.
        expected = FileIdentity::Of(sFileName);
        return SaveBasis::Ready;
    }
    const std::optional<FileIdentity> &known = m_base.identity();
    std::optional<FileIdentity> now = FileIdentity::Of(sFileName);
    if (now != known) {
        const SettledFile settled = waitUntilSettled();
        if (!settled.settled) {
            why = tr("It is still being written.");
            return SaveBasis::Unreadable;
        }
        now = settled.identity;
    }
    switch (ClassifyFile(sFileName, known, now)) {
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
bool TaskDocument::mergeVersion(const std::optional<FileIdentity> &now, MergeCounts &counts, QString &why)
{
    TaskFileReader reader;
    reader.fingerprintOnly();
    reader.expectForm(m_form);
    LocatingRows rows(m_lists);
    const ReadResult read = reader.read(sFileName);
    if (read.extent != LoadResult::Complete || FileIdentity::Of(sFileName) != now) {
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
    m_base.rememberSorted(sFileName, now, FingerprintsOf(disk.sorted));
    m_base.dropAncestor();
    counts = std::move(*merged);
    return true;
}

// What the version at the file's name is merged against: the last save's
// ancestor when a sync tool moved that save aside as a conflict copy (found
// by its inode, or by its size and time where the tool made a new file).
const std::vector<EntryFingerprint> &TaskDocument::mergeBaseEntries() const
{
    const std::optional<FileIdentity> &saved = m_base.identity();
    if (!m_base.ancestor() || !saved)
        return m_base.entries();
    for (const QString &copy : ConflictCopies::Find(sFileName)) {
        const std::optional<FileIdentity> identity = FileIdentity::Of(copy);
        if (identity
            && (identity->sameInode(*saved)
                || (identity->size == saved->size && identity->modifiedNs == saved->modifiedNs)))
            return *m_base.ancestor();
    }
    return m_base.entries();
}

void TaskDocument::reportUnreadableForSave(const QString &why)
{
    m_dialogs.message(tr("The file was changed elsewhere and could not be read completely, so nothing was saved.")
                          + u'\n' + why,
                      Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

void TaskDocument::reportMerge(const MergeCounts &merges)
{
    if (!merges.changedAnything())
        return;
    QString text = tr("The file had been changed elsewhere. Its changes were merged into this list before "
                      "saving.\nEntries that came in: %1\nEntries that went away: %2\nEntries kept twice "
                      "(changed on both sides): %3")
                       .arg(merges.cameIn)
                       .arg(merges.wentAway)
                       .arg(merges.keptTwice);
    if (merges.changed != 0)
        text += u'\n' + tr("Entries changed there: %1").arg(merges.changed);
    if (merges.changedAfterDelete != 0)
        text += u'\n' + tr("Entries deleted here but changed there, so kept: %1").arg(merges.changedAfterDelete);
    m_dialogs.message(text, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

// Never writes over a file that is not the one that was read.
bool TaskDocument::refuseAndOfferSaveAs(const QString &why)
{
    const QString text = why + u'\n' + tr("Nothing was saved. Save the list under another name?");
    if (m_dialogs.message(text, Dialogs::Buttons::OkCancel, Dialogs::Icon::Exclamation) != Dialogs::Answer::Ok)
        return false;
    const QString chosen = m_dialogs.chooseFile(Dialogs::FileMode::Save, TaskFileFilter());
    if (chosen.isEmpty())
        return false;
    takeOverFileName(chosen);
    return SaveTaskFile();
}

// Asks before unsaved changes are thrown away. False when the command has to
// stop: the user cancelled, or the changes could not be saved.
bool TaskDocument::offerToSaveChanges(const QString &question)
{
    if (!bDirty)
        return true;
    const Busy busy(*this);
    switch (m_dialogs.message(question, Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question)) {
    case Dialogs::Answer::Yes:
        return SaveTaskFile();
    case Dialogs::Answer::No:
        m_journal.end();
        return true;
    default:
        return false;
    }
}

void TaskDocument::newList()
{
    if (!offerToSaveChanges(tr("ToDo-list has been edited! Save Changes?")))
        return;
    ClearAllLists();
    sFileName.clear();
    m_watcher.watch({});
    m_base.forget();
    m_askedCopies.clear();
    m_foldedCopies.clear();
    bDirty = false;
    m_journal.follow(journalHeader());
    // A caption still naming the old file would suggest that Save writes there.
    m_view.setCaption(DefaultCaption());
}

void TaskDocument::open()
{
    const Busy busy(*this);
    if (!offerToSaveChanges(tr("ToDo-list has been edited! Save Changes?")))
        return;
    const QString chosen = chooseFile(Dialogs::FileMode::Open);
    if (chosen.isEmpty())
        return;
    load(chosen);
}

void TaskDocument::openPath(const QString &path)
{
    if (path.isEmpty() || !offerToSaveChanges(tr("ToDo-list has been edited! Save Changes?")))
        return;
    load(path);
}

void TaskDocument::saveAs()
{
    const Busy busy(*this);
    const QString chosen = chooseFile(Dialogs::FileMode::Save);
    if (chosen.isEmpty())
        return;
    takeOverFileName(chosen);
    SaveTaskFile();
}

bool TaskDocument::queryUnload()
{
    return offerToSaveChanges(tr("ToDo-list has been edited! Save changes?"));
}

void TaskDocument::openFromCommandLine(const QString &path)
{
    if (!path.isEmpty()) {
        load(path);
        return;
    }
    // Without a file, the list that was never saved comes back.
    m_journal.follow(journalHeader());
    offerToRestoreJournal();
}

QString TaskDocument::chooseFile(Dialogs::FileMode mode)
{
    return ResolveChosenPath(m_dialogs.chooseFile(mode, TaskFileFilter()));
}

// A backup of the file means that a save of it never finished: the file may
// hold part of the new contents. The user decides which to keep.
void TaskDocument::offerToRestoreBackup(const QString &path)
{
    const SaveBackup::Waiting waiting = SaveBackup::Find(path);
    if (waiting.trouble.failed()) {
        m_dialogs.message(waiting.trouble.reason(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    const QString &backup = waiting.copy;
    if (backup.isEmpty())
        return;
    const QString question =
        tr("Saving this file did not finish last time. Its contents from before that save are in %1.")
            .arg(ReadablePath(backup))
        + u'\n' + tr("Restore them?");
    if (m_dialogs.message(question, Dialogs::Buttons::YesNo, Dialogs::Icon::Question) == Dialogs::Answer::Yes) {
        if (const Result restored = SaveBackup::Restore(path, backup); restored.failed()) {
            m_dialogs.message(tr("The old contents could not be restored: %1").arg(restored.reason()) + u'\n'
                                  + tr("They are still in %1.").arg(ReadablePath(backup)),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        }
        return;
    }
    if (const Result discarded = SaveBackup::Discard(backup); discarded.failed()) {
        m_dialogs.message(tr("The backup could not be moved to the trash: %1").arg(discarded.reason()) + u'\n'
                              + tr("It stays in %1.").arg(ReadablePath(backup)),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
}

void TaskDocument::load(const QString &path)
{
    const Busy busy(*this);
    ClearTaskFileLeftovers(path);
    offerToRestoreBackup(path);
    m_view.clearEditingTexts();
    m_view.documentReplaced();
    // Taken before reading: a change made while the file is read then shows
    // as a change at the next save, which merges it.
    const std::optional<FileIdentity> identity = FileIdentity::Of(path);
    std::vector<EntryFingerprint> fingerprints;
    const LoadResult result = LoadTaskFile(path, m_lists, m_dialogs, &fingerprints, &m_form);
    bDirty = false;
    m_base.forget();
    m_unreadable.reset();
    m_askedCopies.clear();
    m_foldedCopies.clear();
    if (result == LoadResult::Incomplete) {
        // Saving under this name would replace the whole file with the part
        // that could be read, so the rows stay but the name is not kept.
        sFileName.clear();
        m_watcher.watch({});
        m_view.setCaption(DefaultCaption());
        m_journal.follow(journalHeader());
        return;
    }
    // A missing or empty file loses nothing when saved over, and taking its
    // name lets a list be started under a new name.
    m_base.remember(path, identity, std::move(fingerprints));
    takeOverFileName(path);
    m_journal.follow(journalHeader());
    offerToRestoreJournal();
    offerConflictCopies();
}

JournalHeader TaskDocument::journalHeader() const
{
    JournalHeader header;
    header.path = sFileName;
    if (m_base.isFor(sFileName)) {
        header.identity = m_base.identity();
        header.baseCount = m_base.entries().size();
        header.baseDigest = DigestOf(m_base.entries());
    }
    return header;
}

void TaskDocument::journalChange(const std::vector<JournalOp> &ops)
{
    if (const Result recorded = m_journal.record(ops); recorded.failed())
        m_dialogs.message(recorded.reason(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

// Changes that a stopped Tarvik left in the journal are made again onto the
// list as it is now, as a merge makes another writer's, or dropped; the file
// itself is not touched either way.
void TaskDocument::offerToRestoreJournal()
{
    const std::optional<JournalContents> left = m_journal.findLeftFor(sFileName);
    if (!left)
        return;
    const QString lastAt = DateText(QDateTime::fromMSecsSinceEpoch(left->changes.back().madeAtMs), QLocale::system());
    const QString question = tr("This list has changes that were not saved when Tarvik last stopped (%1 changes, "
                                "the last at %2). Restore them?")
                                 .arg(left->changes.size())
                                 .arg(lastAt);
    switch (m_dialogs.message(question, Dialogs::Buttons::YesNoOrLater, Dialogs::Icon::Question)) {
    case Dialogs::Answer::Yes: {
        m_view.listsAboutToChangeOutside();
        const ReplayOutcome outcome = ReplayJournal(m_lists, left->changes);
        m_view.listsChangedOutside(nullptr);
        bDirty = true;
        if (const Result kept = m_journal.continueLeft(journalHeader()); kept.failed())
            m_dialogs.message(kept.reason(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        if (outcome.unplaced > 0) {
            m_dialogs.message(tr("The list changed since then, so some of these changes no longer fit it. Every "
                                 "entry they added or changed is back as a new entry; some may be there twice."),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        }
        return;
    }
    case Dialogs::Answer::No:
        if (const Result discarded = m_journal.discardLeft(); discarded.failed()) {
            m_dialogs.message(tr("The unsaved changes could not be moved to the trash: %1").arg(discarded.reason()),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
            m_journal.pause();
        }
        return;
    default:
        // Asked again next time; until then the changes made here are not journaled.
        m_journal.pause();
        return;
    }
}

void TaskDocument::takeOverFileName(const QString &path)
{
    sFileName = path;
    m_watcher.watch(path);
    m_view.setCaption(BuildWindowCaption());
}

void TaskDocument::reloadByHand()
{
    if (sFileName.isEmpty())
        return;
    const Busy busy(*this);
    if (bDirty) {
        switch (m_dialogs.message(tr("ToDo-list has been edited! Save Changes?"), Dialogs::Buttons::YesNoCancel,
                                  Dialogs::Icon::Question)) {
        case Dialogs::Answer::Yes:
            SaveTaskFile();
            return;
        case Dialogs::Answer::No:
            break;
        default:
            return;
        }
    }
    const SettledFile settled = waitUntilSettled();
    reload(settled.identity, ClassifyFile(sFileName, m_base.identity(), settled.identity), true);
}

// The file or its folder changed and settled. While nothing is edited the
// lists follow the file; with edits, the next save merges it. A file that
// is gone or was renamed away leaves the lists as they are: a save writes
// it again or says that it moved.
void TaskDocument::followOutsideChange()
{
    if (m_busy > 0) {
        m_changeWaiting = true;
        return;
    }
    if (sFileName.isEmpty())
        return;
    const Busy busy(*this);
    offerConflictCopies();
    if (bDirty || !m_base.isFor(sFileName))
        return;
    const std::optional<FileIdentity> now = FileIdentity::Of(sFileName);
    if (now == m_unreadable)
        return;
    switch (const FileState state = ClassifyFile(sFileName, m_base.identity(), now)) {
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
                bDirty = counts.merged != m_base.entries();
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
void TaskDocument::reload(const std::optional<FileIdentity> &now, FileState state, bool byHand)
{
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
    reader.expectForm(m_form);
    OtherVersion next;
    std::optional<ListsSplice> step;
    if (why.isEmpty()) {
        reader.fingerprintOnly();
        LocatingRows rows(m_lists);
        const ReadResult read = reader.read(sFileName);
        if (read.extent != LoadResult::Complete) {
            why = read.result.reason();
        } else {
            next = TakeVersion(reader);
            if (FileIdentity::Of(sFileName) == now)
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
    m_form = reader.form();
    m_base.rememberSorted(sFileName, now, FingerprintsOf(next.sorted));
    m_base.dropAncestor();
    m_unreadable.reset();
    bDirty = false;
    m_journal.end();
    m_journal.follow(journalHeader());
    m_view.listsChangedOutside(step->changedAnything() ? std::make_unique<ListsSplice>(std::move(*step)) : nullptr);
}

bool TaskDocument::writtenFileHolds(const QString &copy) const
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
void TaskDocument::offerConflictCopies()
{
    for (const QString &copy : ConflictCopies::Find(sFileName)) {
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

void TaskDocument::foldInCopy(const QString &copy)
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
        journalChange(OpsOf(*edits));
        m_view.listsChangedOutside(std::move(edits));
    }
    m_foldedCopies.emplace_back(copy, identity);
    bDirty = true;
}

// The copies taken in are in the file now; the trash keeps them in reach.
// One that changed since it was read, or holds an entry the file just
// written lacks (the fold-in was undone, or the entry deleted since), is
// left where it is.
void TaskDocument::trashFoldedCopies()
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
