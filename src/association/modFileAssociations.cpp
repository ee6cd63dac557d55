#include "association/modFileAssociations.h"

#include "association/FileAssociations.h"
#include "document/Dialogs.h"

#include <QCoreApplication>

namespace modFileAssociations {

namespace {

const QString TaskFileExtension = QStringLiteral("tvk");

QString tr(const char *text)
{
    return QCoreApplication::translate("modFileAssociations", text);
}

void AssociateTaskFiles(FileAssociations &associations, Dialogs &dialogs)
{
    const AssociationResult result = associations.AssociateFileType(TaskFileExtension);
    if (result.bSuccess) {
        dialogs.message(tr("The file association has been made!"), Dialogs::Buttons::Ok, Dialogs::Icon::None);
    } else {
        dialogs.message(tr("The file association could not be made!") + QLatin1Char('\n') + result.sFailure,
                        Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
}

} // namespace

void CheckFileAssociation(FileAssociations &associations, Dialogs &dialogs, const QString &sExecutablePath)
{
    // Letter case aside, only this very path counts; nothing found never does.
    const QString sFound = associations.GetAssociatedExecutable(TaskFileExtension).toUpper();
    if (!sFound.isEmpty() && sFound == sExecutablePath.toUpper())
        return;

    const Dialogs::Answer answer = dialogs.message(tr("ToDo-files(*.tvk) are not associated with Tarvik!")
                                                       + QLatin1Char('\n') + tr("Do You want to associate them now?"),
                                                   Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    if (answer == Dialogs::Answer::Yes)
        AssociateTaskFiles(associations, dialogs);
}

void CheckFileAssociation(FileAssociations &associations, Dialogs &dialogs)
{
    CheckFileAssociation(associations, dialogs, QCoreApplication::applicationFilePath());
}

} // namespace modFileAssociations
