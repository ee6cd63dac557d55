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

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(GioFileAssociations)
};

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString userDataFolder()
{
    return QFile::decodeName(g_get_user_data_dir());
}

Result writeWhole(const QString &path, const QByteArray &data)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return Result::failure(Texts::tr("Cannot create the folder %1.").arg(shown(folder)));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return Result::failure(Texts::tr("Cannot write %1: %2").arg(shown(path), file.errorString()));
    return Result::success();
}

// One package file per extension, rewritten whole, so that the extension only
// ever belongs to the type of the executable registered last.
Result writeMimePackage(const QString &path, const DocumentType &type, const QString &extension)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDefaultNamespace(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    writer.writeStartElement(QStringLiteral("mime-info"));
    writer.writeStartElement(QStringLiteral("mime-type"));
    writer.writeAttribute(QStringLiteral("type"), type.mimeType);
    writer.writeTextElement(QStringLiteral("comment"), type.description);
    writer.writeEmptyElement(QStringLiteral("glob"));
    writer.writeAttribute(QStringLiteral("pattern"), QStringLiteral("*.") + extension);
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return writeWhole(path, xml);
}

Result updateMimeDatabase(const QString &mimeFolder)
{
    const QString program = QStringLiteral("update-mime-database");
    QProcess process;
    process.start(program, {mimeFolder});
    if (!process.waitForStarted())
        return Result::failure(Texts::tr("Cannot start %1: %2").arg(program, process.errorString()));
    if (!process.waitForFinished()) {
        process.kill();
        process.waitForFinished();
        return Result::failure(Texts::tr("%1 did not finish.").arg(program));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QString cause = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (cause.isEmpty())
            cause = process.exitStatus() == QProcess::CrashExit ? process.errorString()
                                                                : Texts::tr("exit code %1").arg(process.exitCode());
        return Result::failure(Texts::tr("%1 failed: %2").arg(program, cause));
    }
    return Result::success();
}

// The desktop entry that opens files of the type with the executable.
GKeyFile *newDesktopEntry(const DocumentType &type, const QString &executablePath)
{
    GKeyFile *entry = g_key_file_new();
    const char *group = G_KEY_FILE_DESKTOP_GROUP;
    g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_TYPE, G_KEY_FILE_DESKTOP_TYPE_APPLICATION);
    g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_NAME, type.applicationName.toUtf8().constData());
    // The key file adds its own escaping on top of the Exec quoting.
    g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_EXEC,
                          DesktopExecForFile(executablePath).toUtf8().constData());
    const QByteArray mimeType = type.mimeType.toUtf8();
    const gchar *const mimeTypes[] = {mimeType.constData()};
    g_key_file_set_string_list(entry, group, G_KEY_FILE_DESKTOP_KEY_MIME_TYPE, mimeTypes, 1);
    // Only for opening files; it is no launcher of its own in menus.
    g_key_file_set_boolean(entry, group, G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY, TRUE);
    return entry;
}

Result notAccepted(const QString &executablePath)
{
    return Result::failure(
        Texts::tr("The desktop does not accept %1 as a program that opens files.").arg(shown(executablePath)));
}

// GIO refuses entries whose program it cannot find, and it looks for the
// program before it turns "%%" back into "%", so a path with "%" is refused as
// well. Asking first leaves an association that works untouched.
Result checkAccepted(GKeyFile *entry, const QString &executablePath)
{
    g_autoptr(GDesktopAppInfo) app = g_desktop_app_info_new_from_keyfile(entry);
    return app ? Result::success() : notAccepted(executablePath);
}

Result writeDesktopEntry(const QString &path, GKeyFile *entry)
{
    gsize length = 0;
    g_autofree gchar *text = g_key_file_to_data(entry, &length, nullptr);
    return writeWhole(path, QByteArray(text, static_cast<qsizetype>(length)));
}

// Writes the user's mimeapps.list.
Result setAsDefault(const QString &entryPath, const DocumentType &type, const QString &executablePath)
{
    g_autoptr(GDesktopAppInfo) app = g_desktop_app_info_new_from_filename(QFile::encodeName(entryPath).constData());
    if (!app)
        return notAccepted(executablePath);
    g_autoptr(GError) error = nullptr;
    if (!g_app_info_set_as_default_for_type(G_APP_INFO(app), type.mimeType.toUtf8().constData(), &error))
        return Result::failure(QString::fromUtf8(error->message));
    return Result::success();
}

} // namespace

GioFileAssociations::GioFileAssociations(const QString &executablePath)
    : m_executablePath(executablePath)
{
}

QString GioFileAssociations::GetAssociatedExecutable(const QString &extension)
{
    const QByteArray fileName = QFile::encodeName(QStringLiteral("file.") + extension);
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

Result GioFileAssociations::AssociateFileType(const QString &extension)
{
    const DocumentType type = DocumentType::ForExecutable(m_executablePath);
    const QString mimeFolder = userDataFolder() + QStringLiteral("/mime");
    const QString entryPath = userDataFolder() + QStringLiteral("/applications/") + type.desktopFileName;
    g_autoptr(GKeyFile) entry = newDesktopEntry(type, m_executablePath);

    Result result = checkAccepted(entry, m_executablePath);
    if (result.succeeded())
        result = writeMimePackage(mimeFolder + QStringLiteral("/packages/%1-file.xml").arg(extension), type, extension);
    if (result.succeeded())
        result = updateMimeDatabase(mimeFolder);
    if (result.succeeded())
        result = writeDesktopEntry(entryPath, entry);
    if (result.succeeded())
        result = setAsDefault(entryPath, type, m_executablePath);
    return result;
}
