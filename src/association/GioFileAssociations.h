#pragma once

#include "association/FileAssociations.h"

#include <QCoreApplication>
#include <QString>

// File associations as the freedesktop.org desktops keep them, read and written
// through GIO: a MIME type for the extension in the user's shared MIME database,
// a desktop entry that opens such files with the executable, and that entry as
// the user's default for the type. A program installed with its own desktop
// entry and file type only becomes the user's default. Nothing outside the
// user's own data and configuration folders is touched.
//
// GIO rereads the MIME database at most every five seconds and learns of new
// desktop entries from a file monitor, so a lookup in the process that has just
// registered may still give the old answer; the next start sees the new one.
class GioFileAssociations : public FileAssociations
{
public:
    // The executable's path in the file system's own bytes.
    explicit GioFileAssociations(const QByteArray &executablePath = RunningExecutable());

    explicit GioFileAssociations(const QString &executablePath);

    static QByteArray RunningExecutable();

    QString GetAssociatedExecutable(const QString &extension) override;
    Result AssociateFileType(const QString &extension) override;

private:
    QByteArray m_executablePath;
};
