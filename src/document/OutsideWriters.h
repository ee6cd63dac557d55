#pragma once

#include "base/Dialogs.h"
#include "document/DocumentView.h"
#include "entries/EntryFingerprint.h"
#include "fileformat/TaskFileFormat.h"
#include "journal/JournalFormat.h"
#include "storage/FileIdentity.h"
#include "storage/FileWatcher.h"
#include "storage/SettledFile.h"
#include "sync/FileState.h"
#include "sync/Merge.h"
#include "sync/MergeBase.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class TaskLists;

// What following other writers needs of the document whose file it follows.
class FollowedDocument
{
public:
    virtual ~FollowedDocument() = default;

    // The file followed; empty while there is none.
    virtual const QString &fileName() const = 0;
    virtual bool isDirty() const = 0;
    virtual void setDirty(bool dirty) = 0;
    // The form the lists were read in, which the file's next version is
    // expected to keep.
    virtual TaskFileFormat::TextForm form() const = 0;
    // A change made to the lists, for the journal of unsaved changes.
    virtual void journalChange(JournalRecord change) = 0;
    // The lists hold the file's version now, read in this form: nothing is
    // edited, and the journal starts again from that version.
    virtual void tookInVersion(TaskFileFormat::TextForm form) = 0;
};

// Follows what other programs write to the document's file. It remembers
// what the file held when it was last read or written, watches it, takes a
// new version in while nothing is edited and merges it into the lists
// before a save otherwise, says once about a version that cannot be read,
// and offers the conflict copies that sync tools leave beside the file.
// Save, following and reading again all go by one classification of what
// stands at the file's name (ClassifyFile).
class OutsideWriters
{
    Q_DECLARE_TR_FUNCTIONS(OutsideWriters)

public:
    OutsideWriters(FollowedDocument &document, TaskLists &lists, Dialogs &dialogs, DocumentView &view);

    // While a command waits for the user, a change on disk waits for it.
    class Busy
    {
    public:
        explicit Busy(OutsideWriters &outside);
        ~Busy();
        Busy(const Busy &) = delete;
        Busy &operator=(const Busy &) = delete;

    private:
        OutsideWriters &m_outside;
    };

    // Watches the file at path; an empty path watches nothing.
    void watch(const QString &path) { m_watcher.watch(path); }
    // The document has another file, or none: nothing of the old one is kept.
    void forget();
    // The file at path was read completely, holding entries with these
    // fingerprints, in any order; identity was taken before the read.
    void rememberRead(const QString &path, const std::optional<FileIdentity> &identity,
                      std::vector<EntryFingerprint> entries);
    // What the file held when it was last read or written.
    const MergeBase &base() const { return m_base; }

    enum class SaveBasis { Ready, Unreadable, Renamed, NotTaskList };
    SaveBasis bringInOutsideChanges(std::optional<FileIdentity> &expected,
                                    std::optional<std::vector<EntryFingerprint>> &merged, MergeCounts &merges,
                                    QString &why);
    // The lists were written to the file whole and are what it holds now;
    // the version they replaced stays at hand as the ancestor. merged holds
    // the fingerprints of the lists when a merge made them, written otherwise.
    void rememberWritten(std::optional<std::vector<EntryFingerprint>> merged, std::vector<EntryFingerprint> written);
    void trashFoldedCopies();
    void offerConflictCopies();
    // Reads the file again once it settles. Unlike a change that the
    // watcher reports, a version that cannot be read is said each time.
    void reloadByHand();

private:
    void followOutsideChange();
    void reload(const std::optional<FileIdentity> &now, FileState state, bool byHand);
    bool mergeVersion(const std::optional<FileIdentity> &now, MergeCounts &counts, QString &why);
    const std::vector<EntryFingerprint> &mergeBaseEntries() const;
    SettledFile waitUntilSettled();
    void foldInCopy(const QString &copy);
    bool writtenFileHolds(const QString &copy) const;

    FollowedDocument &m_document;
    TaskLists &m_lists;
    Dialogs &m_dialogs;
    DocumentView &m_view;
    // What the current file held when it was last read or written.
    MergeBase m_base;
    FileWatcher m_watcher;
    int m_busy = 0;
    bool m_changeWaiting = false;
    // The version of the file that could not be read, said once.
    std::optional<FileIdentity> m_unreadable;
    QStringList m_askedCopies;
    // Conflict copies taken in, which go to the trash after the next save.
    std::vector<std::pair<QString, std::optional<FileIdentity>>> m_foldedCopies;
};
