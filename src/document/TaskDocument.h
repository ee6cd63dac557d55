#pragma once

#include "base/Dialogs.h"
#include "fileformat/TaskFileFormat.h"
#include "history/ListsStep.h"
#include "journal/EditJournal.h"
#include "storage/FileWatcher.h"
#include "storage/SettledFile.h"
#include "sync/FileState.h"
#include "sync/Merge.h"
#include "sync/MergeBase.h"

#include <QCoreApplication>
#include <QString>

#include <memory>

class TaskLists;

// What the document needs of the window that shows it.
class DocumentView
{
public:
    virtual ~DocumentView() = default;

    virtual void setCaption(const QString &caption) = 0;
    // Empties the task and user texts of the editing pane.
    virtual void clearEditingTexts() = 0;
    // The lists are about to get another document (New, Open, the
    // command-line read): changes made to the old one cannot be undone.
    virtual void documentReplaced() { }
    // The lists are about to take in what another program wrote to the file.
    virtual void listsAboutToChangeOutside() { }
    // They took it in, which undoing takes back; null when that changed nothing.
    virtual void listsChangedOutside(std::unique_ptr<ListsStep> step) { Q_UNUSED(step); }
    // A save waits for another program to finish writing the file (true),
    // and is done waiting (false): the window shows that it is busy.
    virtual void waitingForFile(bool waiting) { Q_UNUSED(waiting); }
};

// The document state behind the main window: the current file, the edited
// flag and the window caption, and the File commands that act on them. The
// five lists are the document's content; this class decides when they are
// read, written and emptied.
class TaskDocument
{
    Q_DECLARE_TR_FUNCTIONS(TaskDocument)

public:
    TaskDocument(TaskLists &lists, Dialogs &dialogs, DocumentView &view);

    bool isDirty() const { return bDirty; }
    // The current file's path; empty while there is none.
    const QString &fileName() const { return sFileName; }
    // Every change to an entry marks the document as edited.
    void markEdited() { bDirty = true; }
    // Each change the window makes to the lists (an edit, an undo, a redo)
    // goes to the journal of unsaved changes.
    void journalChange(const std::vector<JournalOp> &ops);
    // Puts the journal on the disk now: the program is about to end without
    // asking, and the changes wait there for the next start.
    void syncJournal() { m_journal.sync(); }

    // The caption while no file is named.
    static QString DefaultCaption();
    // "Tarvik 1.0.0 (/home/me/home.tvk)"
    QString BuildWindowCaption() const;

    // Empties the editing pane, then the five lists. The file name and the
    // edited flag stay as they are.
    void ClearAllLists();

    // Writes the lists to the current file, asking for one when there is
    // none. True only when the file was written completely.
    bool SaveTaskFile();

    void newList();
    void open();
    // Opens the given file as Open does with the file chosen in its dialog:
    // after offering to save unsaved changes.
    void openPath(const QString &path);
    void save() { SaveTaskFile(); }
    void saveAs();
    // Whether the window may close; asks to save unsaved changes first.
    bool queryUnload();
    // Opens the file named on the command line, if any.
    void openFromCommandLine(const QString &path);
    // Reads the file again (F5), asking first to save unsaved changes: Yes
    // saves, merging what changed on disk; No drops them.
    void reloadByHand();

private:
    // While a command waits for the user, a change on disk waits for it.
    class Busy;
    void followOutsideChange();
    void reload(const std::optional<FileIdentity> &now, FileState state, bool byHand);
    void offerConflictCopies();
    void foldInCopy(const QString &copy);
    void trashFoldedCopies();
    bool writtenFileHolds(const QString &copy) const;

    bool offerToSaveChanges(const QString &question);
    QString chooseFile(Dialogs::FileMode mode);
    void offerToRestoreBackup(const QString &path);
    enum class SaveBasis { Ready, Unreadable, Renamed, NotTaskList };
    SaveBasis bringInOutsideChanges(std::optional<FileIdentity> &expected,
                                    std::optional<std::vector<EntryFingerprint>> &merged, MergeCounts &merges,
                                    QString &why);
    bool mergeVersion(const std::optional<FileIdentity> &now, MergeCounts &counts, QString &why);
    const std::vector<EntryFingerprint> &mergeBaseEntries() const;
    SettledFile waitUntilSettled();
    void reportUnreadableForSave(const QString &why);
    void reportMerge(const MergeCounts &merges);
    bool refuseAndOfferSaveAs(const QString &why);
    void load(const QString &path);
    JournalHeader journalHeader() const;
    void offerToRestoreJournal();
    void takeOverFileName(const QString &path);

    TaskLists &m_lists;
    // The form of the file the lists were read from, which a save keeps
    // whenever every field fits it.
    TaskFileFormat::TextForm m_form = TaskFileFormat::TextForm::Windows1252;
    Dialogs &m_dialogs;
    DocumentView &m_view;
    QString sFileName;
    bool bDirty = false;
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
    EditJournal m_journal;
};
