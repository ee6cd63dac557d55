#pragma once

#include "base/Dialogs.h"
#include "document/DocumentView.h"
#include "document/OutsideWriters.h"
#include "fileformat/TaskFileFormat.h"
#include "journal/EditJournal.h"
#include "sync/Merge.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

class TaskLists;

// The document state behind the main window: the current file, the edited
// flag and the window caption, and the File commands that act on them. The
// five lists are the document's content; this class decides when they are
// read, written and emptied. What other programs write to the file is
// followed by OutsideWriters.
class TaskDocument final : private FollowedDocument
{
    Q_DECLARE_TR_FUNCTIONS(TaskDocument)

public:
    TaskDocument(TaskLists &lists, Dialogs &dialogs, DocumentView &view);

    bool isDirty() const override { return bDirty; }
    // The current file's path; empty while there is none.
    const QString &fileName() const override { return sFileName; }
    // Every change to an entry marks the document as edited.
    void markEdited() { bDirty = true; }
    // Each change the window makes to the lists (an edit, an undo, a redo)
    // goes to the journal of unsaved changes.
    void journalChange(JournalRecord change) override;
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
    void setDirty(bool dirty) override { bDirty = dirty; }
    TaskFileFormat::TextForm form() const override { return m_form; }
    void tookInVersion(TaskFileFormat::TextForm form) override;

    bool offerToSaveChanges(const QString &question);
    QString chooseFile(Dialogs::FileMode mode);
    void offerToRestoreBackup(const QString &path);
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
    OutsideWriters m_outside;
    EditJournal m_journal;
};
