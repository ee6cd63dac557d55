#include "document/TaskDocument.h"

#include "document/AppInfo.h"
#include "document/Dialogs.h"
#include "document/TaskFile.h"
#include "document/TaskLists.h"
#include "document/modFunctions.h"

TaskDocument::TaskDocument(TaskLists &lists, Dialogs &dialogs, DocumentView &view)
    : m_lists(lists)
    , m_dialogs(dialogs)
    , m_view(view)
{
}

QString TaskDocument::DefaultCaption()
{
    return AppInfo::ProductName();
}

QString TaskDocument::BuildWindowCaption() const
{
    return modFunctions::GetVersionString() + QStringLiteral(" (") + sFileName + QStringLiteral(")");
}

void TaskDocument::ClearAllLists()
{
    m_view.clearEditingTexts();
    m_view.documentReplaced();
    m_lists.ClearAllLists();
}

bool TaskDocument::SaveTaskFile()
{
    if (sFileName.isEmpty()) {
        const QString question = tr("No file specified to save to! Please select a file!") + QLatin1Char('\n')
            + tr("(Cancel will abort save)");
        if (m_dialogs.message(question, Dialogs::Buttons::OkCancel, Dialogs::Icon::Exclamation) != Dialogs::Answer::Ok)
            return false;
        const QString chosen = m_dialogs.chooseFile(Dialogs::FileMode::Save, TaskFileFilter());
        if (chosen.isEmpty()) {
            m_dialogs.message(tr("No file specified, all changes will be lost!"), Dialogs::Buttons::Ok,
                              Dialogs::Icon::Exclamation);
            return false;
        }
        takeOverFileName(chosen);
    }
    if (!WriteTaskFile(sFileName, m_lists, m_dialogs))
        return false;
    bDirty = false;
    return true;
}

// Asks before unsaved changes are thrown away. False when the command has to
// stop: the user cancelled, or the changes could not be saved.
bool TaskDocument::offerToSaveChanges(const QString &question)
{
    if (!bDirty)
        return true;
    switch (m_dialogs.message(question, Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question)) {
    case Dialogs::Answer::Yes:
        return SaveTaskFile();
    case Dialogs::Answer::No:
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
    bDirty = false;
    // A caption still naming the old file would suggest that Save writes there.
    m_view.setCaption(DefaultCaption());
}

void TaskDocument::open()
{
    if (!offerToSaveChanges(tr("ToDo-list has been edited! Save Changes?")))
        return;
    const QString chosen = m_dialogs.chooseFile(Dialogs::FileMode::Open, TaskFileFilter());
    if (chosen.isEmpty())
        return;
    load(chosen);
}

void TaskDocument::saveAs()
{
    const QString chosen = m_dialogs.chooseFile(Dialogs::FileMode::Save, TaskFileFilter());
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
    if (path.isEmpty())
        return;
    load(path);
}

void TaskDocument::load(const QString &path)
{
    m_view.clearEditingTexts();
    m_view.documentReplaced();
    const LoadResult result = LoadTaskFile(path, m_lists, m_dialogs);
    bDirty = false;
    if (result == LoadResult::Incomplete) {
        // Saving under this name would replace the whole file with the part
        // that could be read, so the rows stay but the name is not kept.
        sFileName.clear();
        m_view.setCaption(DefaultCaption());
        return;
    }
    // A missing or empty file loses nothing when saved over, and taking its
    // name lets a list be started under a new name.
    takeOverFileName(path);
}

void TaskDocument::takeOverFileName(const QString &path)
{
    sFileName = path;
    m_view.setCaption(BuildWindowCaption());
}
