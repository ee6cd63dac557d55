#pragma once

#include <QString>

class Dialogs;
class FileAssociations;

namespace modFileAssociations {

// The start-up check: when task-list files do not open with the executable at
// executablePath, offers to associate them and says how that went.
void CheckFileAssociation(FileAssociations &associations, Dialogs &dialogs, const QString &executablePath);
// The same for the running executable.
void CheckFileAssociation(FileAssociations &associations, Dialogs &dialogs);

} // namespace modFileAssociations
