#include "document/TaskDocument.h"

#include "base/AppInfo.h"
#include "base/Dialogs.h"
#include "base/modFunctions.h"
#include "entries/DateText.h"
#include "entries/TaskLists.h"
#include "fileformat/TaskFile.h"
#include "fileformat/TaskFileEncoder.h"
#include "fileformat/TaskFileFormat.h"
#include "journal/JournalReplay.h"
#include "storage/FilePath.h"
#include "storage/SaveBackup.h"
#include "storage/SaveSteps.h"
#include "sync/Merge.h"

#include <utility>

namespace {

// A save reads the file again when another writer replaced it between the
// read and the replace; one that keeps changing stops the save.
constexpr int kSaveRounds = 4;

} // namespace

TaskDocument::TaskDocument(TaskLists &lists, Dialogs &dialogs, DocumentView &view)
    : m_lists(lists)
    , m_dialogs(dialogs)
    , m_view(view)
    , m_outside(*this, lists, dialogs, view)
{
    m_journal.onLateFailure([this](const Result &failure) {
        m_dialogs.message(failure.reason(), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    });
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
    const OutsideWriters::Busy busy(m_outside);
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
    ClearTaskFileLeftovers(sFileName);
    for (int round = 0; round < kSaveRounds; ++round) {
        std::optional<FileIdentity> expected;
        std::optional<std::vector<EntryFingerprint>> merged;
        QString why;
        switch (m_outside.bringInOutsideChanges(expected, merged, merges, why)) {
        case OutsideWriters::SaveBasis::Ready:
            break;
        case OutsideWriters::SaveBasis::Renamed:
            reportMerge(merges);
            return refuseAndOfferSaveAs(tr("The file was renamed or moved since it was read."));
        case OutsideWriters::SaveBasis::NotTaskList:
            reportMerge(merges);
            return refuseAndOfferSaveAs(tr("The file was replaced by something that is not a task list."));
        case OutsideWriters::SaveBasis::Unreadable:
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
        m_outside.rememberWritten(std::move(merged), std::move(written));
        bDirty = false;
        m_journal.end();
        m_journal.follow(journalHeader());
        m_outside.trashFoldedCopies();
        reportMerge(merges);
        return true;
    }
    reportUnreadableForSave(tr("It kept changing while the list was being saved."));
    reportMerge(merges);
    return false;
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
    const OutsideWriters::Busy busy(m_outside);
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
    m_outside.watch({});
    m_outside.forget();
    bDirty = false;
    m_journal.follow(journalHeader());
    // A caption still naming the old file would suggest that Save writes there.
    m_view.setCaption(DefaultCaption());
}

void TaskDocument::open()
{
    const OutsideWriters::Busy busy(m_outside);
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
    const OutsideWriters::Busy busy(m_outside);
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
    const OutsideWriters::Busy busy(m_outside);
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
    m_outside.forget();
    if (result == LoadResult::Incomplete) {
        // Saving under this name would replace the whole file with the part
        // that could be read, so the rows stay but the name is not kept.
        sFileName.clear();
        m_outside.watch({});
        m_view.setCaption(DefaultCaption());
        m_journal.follow(journalHeader());
        return;
    }
    // A missing or empty file loses nothing when saved over, and taking its
    // name lets a list be started under a new name.
    m_outside.rememberRead(path, identity, std::move(fingerprints));
    takeOverFileName(path);
    m_journal.follow(journalHeader());
    offerToRestoreJournal();
    m_outside.offerConflictCopies();
}

JournalHeader TaskDocument::journalHeader() const
{
    JournalHeader header;
    header.path = sFileName;
    if (const MergeBase &base = m_outside.base(); base.isFor(sFileName)) {
        header.identity = base.identity();
        header.baseCount = base.entries().size();
        header.baseDigest = DigestOf(base.entries());
    }
    return header;
}

void TaskDocument::journalChange(JournalRecord change)
{
    if (const Result recorded = m_journal.record(std::move(change)); recorded.failed())
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
        if (const Result kept = m_journal.continueLeft(journalHeader(), *left); kept.failed())
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
        }
        return;
    default:
        // Asked again next time. The changes made here meanwhile go to a
        // journal of their own, so that a kill loses neither.
        return;
    }
}

void TaskDocument::tookInVersion(TaskFileFormat::TextForm form)
{
    m_form = form;
    bDirty = false;
    m_journal.end();
    m_journal.follow(journalHeader());
}

void TaskDocument::takeOverFileName(const QString &path)
{
    sFileName = path;
    m_outside.watch(path);
    m_view.setCaption(BuildWindowCaption());
}

void TaskDocument::reloadByHand()
{
    if (sFileName.isEmpty())
        return;
    const OutsideWriters::Busy busy(m_outside);
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
    m_outside.reloadByHand();
}
