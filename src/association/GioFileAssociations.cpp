#include "association/GioFileAssociations.h"

#include "association/DesktopExec.h"
#include "association/DocumentType.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("GioFileAssociations", text);
}

QString Shown(const QString &sPath)
{
    return QDir::toNativeSeparators(sPath);
}

QString UserDataFolder()
{
    return QFile::decodeName(g_get_user_data_dir());
}

AssociationResult WriteWhole(const QString &sPath, const QByteArray &data)
{
    const QString sFolder = QFileInfo(sPath).absolutePath();
    if (!QDir().mkpath(sFolder))
        return AssociationResult::Failure(tr("Cannot create the folder %1.").arg(Shown(sFolder)));
    QSaveFile file(sPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return AssociationResult::Failure(tr("Cannot write %1: %2").arg(Shown(sPath), file.errorString()));
    return AssociationResult::Success();
}

// One package file per extension, rewritten whole, so that the extension only
// ever belongs to the type of the executable registered last.
AssociationResult WriteMimePackage(const QString &sPath, const DocumentType &type, const QString &sExtension)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDefaultNamespace(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    writer.writeStartElement(QStringLiteral("mime-info"));
    writer.writeStartElement(QStringLiteral("mime-type"));
    writer.writeAttribute(QStringLiteral("type"), type.sMimeType);
    writer.writeTextElement(QStringLiteral("comment"), type.sDescription);
    writer.writeEmptyElement(QStringLiteral("glob"));
    writer.writeAttribute(QStringLiteral("pattern"), QStringLiteral("*.") + sExtension);
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return WriteWhole(sPath, xml);
}

AssociationResult UpdateMimeDatabase(const QString &sMimeFolder)
{
    const QString sProgram = QStringLiteral("update-mime-database");
    QProcess process;
    process.start(sProgram, {sMimeFolder});
    if (!process.waitForStarted())
        return AssociationResult::Failure(tr("Cannot start %1: %2").arg(sProgram, process.errorString()));
    if (!process.waitForFinished()) {
        process.kill();
        process.waitForFinished();
        return AssociationResult::Failure(tr("%1 did not finish.").arg(sProgram));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QString sCause = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (sCause.isEmpty())
            sCause = process.exitStatus() == QProcess::CrashExit ? process.errorString()
                                                                 : tr("exit code %1").arg(process.exitCode());
        return AssociationResult::Failure(tr("%1 failed: %2").arg(sProgram, sCause));
    }
    return AssociationResult::Success();
}

// The desktop entry that opens files of the type with the executable.
GKeyFile *NewDesktopEntry(const DocumentType &type, const QString &sExecutablePath)
{
    GKeyFile *entry = g_key_file_new();
    const char *group = G_KEY_FILE_DESKTOP_GROUP;
    g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_TYPE, G_KEY_FILE_DESKTOP_TYPE_APPLICATION);
    g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_NAME, type.sApplicationName.toUtf8().constData());
    // The key file adds its own escaping on top of the Exec quoting.
    g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_EXEC,
                          DesktopExecForFile(sExecutablePath).toUtf8().constData());
    const QByteArray mimeType = type.sMimeType.toUtf8();
    const gchar *const mimeTypes[] = {mimeType.constData()};
    g_key_file_set_string_list(entry, group, G_KEY_FILE_DESKTOP_KEY_MIME_TYPE, mimeTypes, 1);
    // Only for opening files; it is no launcher of its own in menus.
    g_key_file_set_boolean(entry, group, G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY, TRUE);
    return entry;
}

AssociationResult NotAccepted(const QString &sExecutablePath)
{
    return AssociationResult::Failure(
        tr("The desktop does not accept %1 as a program that opens files.").arg(Shown(sExecutablePath)));
}

// GIO refuses entries whose program it cannot find, and it looks for the
// program before it turns "%%" back into "%", so a path with "%" is refused as
// well. Asking first leaves an association that works untouched.
AssociationResult CheckAccepted(GKeyFile *entry, const QString &sExecutablePath)
{
    g_autoptr(GDesktopAppInfo) app = g_desktop_app_info_new_from_keyfile(entry);
    return app ? AssociationResult::Success() : NotAccepted(sExecutablePath);
}

AssociationResult WriteDesktopEntry(const QString &sPath, GKeyFile *entry)
{
    gsize length = 0;
    g_autofree gchar *text = g_key_file_to_data(entry, &length, nullptr);
    return WriteWhole(sPath, QByteArray(text, static_cast<qsizetype>(length)));
}

// Writes the user's mimeapps.list.
AssociationResult SetAsDefault(const QString &sEntryPath, const DocumentType &type, const QString &sExecutablePath)
{
    g_autoptr(GDesktopAppInfo) app = g_desktop_app_info_new_from_filename(QFile::encodeName(sEntryPath).constData());
    if (!app)
        return NotAccepted(sExecutablePath);
    g_autoptr(GError) error = nullptr;
    if (!g_app_info_set_as_default_for_type(G_APP_INFO(app), type.sMimeType.toUtf8().constData(), &error))
        return AssociationResult::Failure(QString::fromUtf8(error->message));
    return AssociationResult::Success();
}

} // namespace

GioFileAssociations::GioFileAssociations(const QString &sExecutablePath)
    : m_sExecutablePath(sExecutablePath)
{
}

QString GioFileAssociations::GetAssociatedExecutable(const QString &sExtension)
{
    const QByteArray fileName = QFile::encodeName(QStringLiteral("file.") + sExtension);
    g_autofree gchar *contentType = g_content_type_guess(fileName.constData(), nullptr, 0, nullptr);
    if (!contentType)
        return {};
    g_autoptr(GAppInfo) app = g_app_info_get_default_for_type(contentType, FALSE);
    if (!app)
        return {};
    // The Exec line, parsed here: GIO's own idea of the executable cuts a
    // quoted path at its first blank.
    const char *commandLine = g_app_info_get_commandline(app);
    return commandLine ? ProgramOfDesktopExec(QString::fromUtf8(commandLine)) : QString();
}

AssociationResult GioFileAssociations::AssociateFileType(const QString &sExtension)
{
    const DocumentType type = DocumentType::ForExecutable(m_sExecutablePath);
    const QString sMimeFolder = UserDataFolder() + QStringLiteral("/mime");
    const QString sEntryPath = UserDataFolder() + QStringLiteral("/applications/") + type.sDesktopFileName;
    g_autoptr(GKeyFile) entry = NewDesktopEntry(type, m_sExecutablePath);

    AssociationResult result = CheckAccepted(entry, m_sExecutablePath);
    if (result.bSuccess)
        result =
            WriteMimePackage(sMimeFolder + QStringLiteral("/packages/%1-file.xml").arg(sExtension), type, sExtension);
    if (result.bSuccess)
        result = UpdateMimeDatabase(sMimeFolder);
    if (result.bSuccess)
        result = WriteDesktopEntry(sEntryPath, entry);
    if (result.bSuccess)
        result = SetAsDefault(sEntryPath, type, m_sExecutablePath);
    return result;
}
