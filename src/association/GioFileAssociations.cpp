#include "association/GioFileAssociations.h"

#include "association/DesktopExec.h"
#include "association/DocumentType.h"
#include "association/MimeAppsList.h"
#include "base/AppInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <unistd.h>

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

QString mimeAppsListPath()
{
    return QFile::decodeName(g_get_user_config_dir()) + QStringLiteral("/mimeapps.list");
}

// Desktop entries hold UTF-8 text only, so they cannot name any other path.
Result checkUtf8(const QByteArray &executable)
{
    if (g_utf8_validate(executable.constData(), executable.size(), nullptr))
        return Result::success();
    QByteArray name;
    for (const QByteArray &part : executable.split('/')) {
        name += part;
        if (!g_utf8_validate(part.constData(), part.size(), nullptr))
            break;
        name += '/';
    }
    return Result::failure(Texts::tr("The desktop does not accept %1 as a program that opens files: the name %2 "
                                     "is not UTF-8 text, and desktop entries can only hold UTF-8.")
                               .arg(ReadablePath(executable), ReadablePath(name)));
}

// The desktop entry installed with the program (by its package or an install
// rule), when it starts this very executable and names the types it opens.
GDesktopAppInfo *installedEntryFor(const QString &executablePath)
{
    const QByteArray id = (AppInfo::ApplicationId() + QStringLiteral(".desktop")).toUtf8();
    g_autoptr(GDesktopAppInfo) installed = g_desktop_app_info_new(id.constData());
    if (!installed)
        return nullptr;
    const char *commandLine = g_app_info_get_commandline(G_APP_INFO(installed));
    const char *const *types = g_app_info_get_supported_types(G_APP_INFO(installed));
    if (!commandLine || ProgramOfDesktopExec(QString::fromUtf8(commandLine)) != executablePath || !types || !types[0])
        return nullptr;
    return static_cast<GDesktopAppInfo *>(g_steal_pointer(&installed));
}

} // namespace

QByteArray GioFileAssociations::RunningExecutable()
{
    // The link's own bytes: a path that is not UTF-8 does not survive the way
    // through QString.
    QByteArray path(4096, Qt::Uninitialized);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || length >= path.size())
        return QFile::encodeName(QCoreApplication::applicationFilePath());
    path.truncate(length);
    return path;
}

GioFileAssociations::GioFileAssociations(const QByteArray &executablePath)
    : m_executablePath(executablePath)
{
}

GioFileAssociations::GioFileAssociations(const QString &executablePath)
    : GioFileAssociations(QFile::encodeName(executablePath))
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
    Result result = checkUtf8(m_executablePath);
    if (result.failed())
        return result;
    const QString executablePath = QFile::decodeName(m_executablePath);

    // Read first: a list that cannot be read leaves everything unwritten.
    MimeAppsList defaults;
    result = defaults.load(mimeAppsListPath());
    if (result.failed())
        return result;

    g_autoptr(GDesktopAppInfo) installed = installedEntryFor(executablePath);
    if (installed) {
        // The installed entry and its file type are in place already; they
        // only become the user's default.
        const QString id = QString::fromUtf8(g_app_info_get_id(G_APP_INFO(installed)));
        for (const char *const *type = g_app_info_get_supported_types(G_APP_INFO(installed)); *type; ++type)
            defaults.setDefault(QString::fromUtf8(*type), id);
        return defaults.save();
    }

    // A program run from its build folder or copied somewhere: a file type and
    // a desktop entry of its own, in the user's data folder.
    const DocumentType type = DocumentType::ForExecutable(executablePath);
    const QString mimeFolder = userDataFolder() + QStringLiteral("/mime");
    const QString entryPath = userDataFolder() + QStringLiteral("/applications/") + type.desktopFileName;
    g_autoptr(GKeyFile) entry = newDesktopEntry(type, executablePath);

    result = checkAccepted(entry, executablePath);
    if (result.succeeded())
        result = writeMimePackage(mimeFolder + QStringLiteral("/packages/%1-file.xml").arg(extension), type, extension);
    if (result.succeeded())
        result = updateMimeDatabase(mimeFolder);
    if (result.succeeded())
        result = writeDesktopEntry(entryPath, entry);
    if (result.succeeded()) {
        defaults.setDefault(type.mimeType, type.desktopFileName);
        result = defaults.save();
    }
    return result;
}
