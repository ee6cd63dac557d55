#include "association/modFileAssociations.h"

#include "association/FileAssociations.h"
#include "base/Dialogs.h"

#include <QCoreApplication>

namespace modFileAssociations {

namespace {

const QString kTaskFileExtension = QStringLiteral("tvk");

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(modFileAssociations)
};

void associateTaskFiles(FileAssociations &associations, Dialogs &dialogs)
{
    const Result result = associations.AssociateFileType(kTaskFileExtension);
    if (result.succeeded()) {
        dialogs.message(Texts::tr("The file association has been made!"), Dialogs::Buttons::Ok, Dialogs::Icon::None);
    } else {
        dialogs.message(Texts::tr("The file association could not be made!") + QLatin1Char('\n') + result.reason(),
                        Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
}

} // namespace

void CheckFileAssociation(FileAssociations &associations, Dialogs &dialogs, const QString &executablePath)
{
    // Letter case aside, only this very path counts; nothing found never does.
    const QString found = associations.GetAssociatedExecutable(kTaskFileExtension).toUpper();
    if (!found.isEmpty() && found == executablePath.toUpper())
        return;

    const Dialogs::Answer answer =
        dialogs.message(Texts::tr("ToDo-files(*.tvk) are not associated with Tarvik!") + QLatin1Char('\n')
                            + Texts::tr("Do You want to associate them now?"),
                        Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    if (answer == Dialogs::Answer::Yes)
        associateTaskFiles(associations, dialogs);
}

void CheckFileAssociation(FileAssociations &associations, Dialogs &dialogs)
{
    CheckFileAssociation(associations, dialogs, QCoreApplication::applicationFilePath());
}

} // namespace modFileAssociations
