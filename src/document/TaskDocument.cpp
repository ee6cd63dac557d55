#include "document/TaskDocument.h"

#include "base/AppInfo.h"
#include "base/Dialogs.h"
#include "base/modFunctions.h"
#include "entries/DateText.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFile.h"
#include "fileformat/TaskFileFormat.h"
#include "fileformat/TaskFileReader.h"
#include "history/RowEdits.h"
#include "journal/JournalReplay.h"
#include "storage/FilePath.h"
#include "storage/SaveBackup.h"
#include "storage/Trash.h"
#include "sync/ConflictCopies.h"
#include "sync/ListsSplice.h"
#include "sync/Merge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <utility>

namespace {

// Whether the file starts as every task-list file does, with the header line.
bool startsLikeTaskFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the reading that follows says why it cannot be read
    QByteArray start = file.read(TaskFileFormat::ByteOrderMarkSize + sizeof TaskFileFormat::HeaderLine);
    if (start.startsWith(TaskFileFormat::ByteOrderMark))
        start.remove(0, TaskFileFormat::ByteOrderMarkSize);
    return start.startsWith(TaskFileFormat::HeaderLine);
}

// Whether the file that was read still exists in its folder under another
// name: it was renamed, and whatever is at its old name now is not it. A
// sync tool that finds a conflict moves the file aside as a conflict copy
// and puts the other version in its place: that is no renaming by the user.
bool renamedInFolder(const QString &path, const FileIdentity &identity)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name == info.fileName() || ConflictCopies::IsCopyOf(name, info.fileName()))
            continue;
        const std::optional<FileIdentity> other = FileIdentity::Of(folder.filePath(name));
        if (other && other->sameInode(identity))
            return true;
    }
    return false;
}

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
    std::optional<std::vector<EntryFingerprint>> merged;
    if (!bringInOutsideChanges(merged))
        return false;
    // A merge has fingerprinted what the lists now hold already.
    std::vector<EntryFingerprint> written;
    if (!WriteTaskFile(sFileName, m_lists, m_dialogs, merged ? nullptr : &written, m_form))
        return false;
    if (merged)
        m_base.rememberSorted(sFileName, FileIdentity::Of(sFileName), std::move(*merged));
    else
        m_base.remember(sFileName, FileIdentity::Of(sFileName), std::move(written));
    bDirty = false;
    m_journal.end();
    m_journal.follow(journalHeader());
    trashFoldedCopies();
    return true;
}

// Before the lists replace the file, whatever was written to it since it
// was read or saved here is merged into them, so that no other writer's
// change is lost unseen; merged then holds the fingerprints of what they
// hold. False when the save has to stop.
bool TaskDocument::bringInOutsideChanges(std::optional<std::vector<EntryFingerprint>> &merged)
{
    if (!m_base.isFor(sFileName))
        return true; // a new name: nothing of it was read
    const std::optional<FileIdentity> &known = m_base.identity();
    const std::optional<FileIdentity> now = FileIdentity::Of(sFileName);
    if (now && known && *now == *known)
        return true;
    if (known && (!now || !now->sameInode(*known)) && renamedInFolder(sFileName, *known))
        return refuseAndOfferSaveAs(tr("The file was renamed or moved since it was read."));
    if (!now)
        return true; // deleted: it is written again
    if (!now->regular)
        return true; // the writer refuses anything but a regular file and says why
    if (!startsLikeTaskFile(sFileName))
        return refuseAndOfferSaveAs(tr("The file was replaced by something that is not a task list."));

    TaskFileReader reader;
    reader.fingerprintOnly();
    LocatingRows rows(m_lists);
    const ReadResult read = reader.read(sFileName);
    const bool readWhole = read.extent == LoadResult::Complete && FileIdentity::Of(sFileName) == now;
    OtherVersion disk;
    std::optional<MergeCounts> counts;
    if (readWhole) {
        disk = TakeVersion(reader);
        const std::vector<LocatedEntry> located = rows.take();
        auto edits = std::make_unique<RowEdits>();
        m_view.listsAboutToChangeOutside();
        counts = MergeOtherVersion(m_lists, located, m_base.entries(), disk, edits.get());
        m_view.listsChangedOutside(edits->isEmpty() ? nullptr : std::move(edits));
    }
    if (!counts) {
        const QString why = read.extent == LoadResult::Complete ? tr("It changed again while it was being read.")
                                                                : read.result.reason();
        m_dialogs.message(tr("The file was changed elsewhere and could not be read completely, so nothing was "
                             "saved.")
                              + u'\n' + why,
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return false;
    }
    // The lists now hold the disk version's changes: should the write fail,
    // the next save must not bring them in a second time.
    m_base.rememberSorted(sFileName, now, FingerprintsOf(disk.sorted));
    merged = std::move(counts->merged);
    if (counts->changedAnything()) {
        m_dialogs.message(tr("The file had been changed elsewhere. Its changes were merged into this list before "
                             "saving.\nEntries that came in: %1\nEntries that went away: %2\nEntries kept twice "
                             "(changed on both sides): %3")
                              .arg(counts->cameIn)
                              .arg(counts->wentAway)
                              .arg(counts->keptTwice),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
    return true;
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
    const QString backup = SaveBackup::Find(path);
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
    reload(FileIdentity::Of(sFileName), true);
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
    const std::optional<FileIdentity> &known = m_base.identity();
    const std::optional<FileIdentity> now = FileIdentity::Of(sFileName);
    if (!now || now == known || now == m_unreadable)
        return;
    if (known && !now->sameInode(*known) && renamedInFolder(sFileName, *known))
        return;
    reload(now, false);
}

// Reads the file again into the lists, keeping their sort settings. A
// version that cannot be read completely leaves the lists as they are and is
// reported once.
void TaskDocument::reload(const std::optional<FileIdentity> &now, bool byHand)
{
    QString why;
    if (!now)
        why = tr("It is not there.");
    else if (!now->regular)
        why = tr("It is not a regular file.");
    else if (!startsLikeTaskFile(sFileName))
        why = tr("It is not a task list.");
    TaskFileReader reader;
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
    m_unreadable.reset();
    bDirty = false;
    m_journal.end();
    m_journal.follow(journalHeader());
    m_view.listsChangedOutside(step->changedAnything() ? std::make_unique<ListsSplice>(std::move(*step)) : nullptr);
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
// One that changed since it was read is left where it is.
void TaskDocument::trashFoldedCopies()
{
    for (const auto &[copy, identity] : std::exchange(m_foldedCopies, {})) {
        if (FileIdentity::Of(copy) != identity)
            continue;
        if (const Result trashed = MoveToTrash(copy); trashed.failed()) {
            m_dialogs.message(tr("The conflicting copy could not be moved to the trash: %1").arg(trashed.reason())
                                  + u'\n' + tr("It stays in %1.").arg(ReadablePath(copy)),
                              Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        }
    }
}
