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

#include <optional>

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

// The list the desktop reads the type's default from first: a list for the
// current desktop (gnome-mimeapps.list for GNOME) that names the type wins over
// mimeapps.list, which is written otherwise.
QString mimeAppsListFor(const QString &mimeType)
{
    const QString folder = QFile::decodeName(g_get_user_config_dir());
    const QString desktops = QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP"));
    for (const QString &desktop : desktops.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        QString path = folder + QLatin1Char('/') + desktop.toLower() + QStringLiteral("-mimeapps.list");
        MimeAppsList list;
        if (list.load(path).succeeded() && list.names(mimeType))
            return path;
    }
    return folder + QStringLiteral("/mimeapps.list");
}

// The desktop entry that GIO gives as the type's default (empty for none),
// asked in a process of its own: this one keeps what it read of the desktop's
// files for a while. Nothing when GIO cannot be asked.
std::optional<QString> defaultEntryFor(const QString &mimeType)
{
    QProcess gio;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    gio.setProcessEnvironment(environment);
    gio.start(QStringLiteral("gio"), {QStringLiteral("mime"), mimeType});
    if (!gio.waitForFinished() || gio.exitStatus() != QProcess::NormalExit || gio.exitCode() != 0)
        return std::nullopt;
    const QString first = QString::fromUtf8(gio.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0);
    if (first.startsWith(QStringLiteral("No default application")))
        return QString();
    if (!first.startsWith(QStringLiteral("Default application for ")))
        return std::nullopt;
    return first.section(QStringLiteral(": "), -1).trimmed();
}

// Once written, the default is what GIO itself now gives; when GIO cannot be
// asked, what was written stands.
Result checkDefault(const QString &mimeType, const QString &desktopId, const QString &extension)
{
    const std::optional<QString> found = defaultEntryFor(mimeType);
    if (!found || *found == desktopId)
        return Result::success();
    if (found->isEmpty())
        return Result::failure(Texts::tr("The desktop still finds no program for .%1 files.").arg(extension));
    return Result::failure(Texts::tr("The desktop still opens .%1 files with %2.").arg(extension, *found));
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

// The program an installed entry's Exec line starts. A bare name is looked up
// in PATH, else beside the data folder (/usr/share gives /usr/bin), so that
// the entry of a prefix whose bin folder is not yet on PATH is found too.
QString installedProgram(const QString &exec, const QString &dataFolder)
{
    QString program = ProgramOfDesktopExec(exec);
    if (!program.isEmpty())
        return program;
    gint argc = 0;
    g_auto(GStrv) words = nullptr;
    if (!g_shell_parse_argv(exec.toUtf8().constData(), &argc, &words, nullptr))
        return {};
    const QString name = QFile::decodeName(words[0]);
    if (name.contains(QLatin1Char('/')))
        return {};
    return QFileInfo(dataFolder + QStringLiteral("/../bin/") + name).absoluteFilePath();
}

struct InstalledEntry {
    QString id;
    QStringList mimeTypes;
};

// The desktop entry installed with the program (by its package or an install
// rule), found where the desktop looks for it (XDG_DATA_HOME, then
// XDG_DATA_DIRS), when it starts this very executable and names the types it
// opens.
std::optional<InstalledEntry> installedEntryFor(const QString &executablePath)
{
    const QString id = AppInfo::ApplicationId() + QStringLiteral(".desktop");
    QStringList dataFolders{QFile::decodeName(g_get_user_data_dir())};
    for (const gchar *const *folder = g_get_system_data_dirs(); *folder; ++folder)
        dataFolders.append(QFile::decodeName(*folder));

    for (const QString &dataFolder : dataFolders) {
        const QByteArray path = QFile::encodeName(dataFolder + QStringLiteral("/applications/") + id);
        g_autoptr(GKeyFile) entry = g_key_file_new();
        if (!g_key_file_load_from_file(entry, path.constData(), G_KEY_FILE_NONE, nullptr))
            continue;
        // The first entry of that name hides the others, as for the desktop.
        const char *group = G_KEY_FILE_DESKTOP_GROUP;
        g_autofree gchar *exec = g_key_file_get_string(entry, group, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr);
        g_auto(GStrv) types =
            g_key_file_get_string_list(entry, group, G_KEY_FILE_DESKTOP_KEY_MIME_TYPE, nullptr, nullptr);
        if (!exec || !types || !types[0]
            || QFileInfo(installedProgram(QString::fromUtf8(exec), dataFolder)).canonicalFilePath()
                != QFileInfo(executablePath).canonicalFilePath())
            return std::nullopt;
        InstalledEntry installed{id, {}};
        for (gchar **type = types; *type; ++type)
            installed.mimeTypes.append(QString::fromUtf8(*type));
        return installed;
    }
    return std::nullopt;
}

// Whether the shared MIME database already gives files with the extension this
// type, from an installed definition or an earlier registration.
bool typeIsDefined(const QString &mimeType, const QString &extension)
{
    const QByteArray fileName = QFile::encodeName(QStringLiteral("file.") + extension);
    g_autofree gchar *contentType = g_content_type_guess(fileName.constData(), nullptr, 0, nullptr);
    return contentType && QString::fromUtf8(contentType) == mimeType;
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

    const std::optional<InstalledEntry> installed = installedEntryFor(executablePath);
    const DocumentType type = DocumentType::ForExecutable(executablePath);
    const QString mimeType = installed ? installed->mimeTypes.first() : type.mimeType;

    // Read first: a list that cannot be read leaves everything unwritten.
    MimeAppsList defaults;
    result = defaults.load(mimeAppsListFor(mimeType));
    if (result.failed())
        return result;

    if (installed) {
        // The installed entry and its file type are in place already; they
        // only become the user's default.
        for (const QString &installedType : installed->mimeTypes)
            defaults.setDefault(installedType, installed->id);
        result = defaults.save();
        return result.succeeded() ? checkDefault(mimeType, installed->id, extension) : result;
    }

    // A program run from its build folder or copied somewhere: a desktop entry
    // of its own in the user's data folder, and a file type unless the type is
    // defined already.
    const QString mimeFolder = userDataFolder() + QStringLiteral("/mime");
    const QString entryPath = userDataFolder() + QStringLiteral("/applications/") + type.desktopFileName;
    g_autoptr(GKeyFile) entry = newDesktopEntry(type, executablePath);

    result = checkAccepted(entry, executablePath);
    if (result.succeeded() && !typeIsDefined(type.mimeType, extension)) {
        result = writeMimePackage(mimeFolder + QStringLiteral("/packages/%1-file.xml").arg(extension), type, extension);
        if (result.succeeded())
            result = updateMimeDatabase(mimeFolder);
    }
    if (result.succeeded())
        result = writeDesktopEntry(entryPath, entry);
    if (result.succeeded()) {
        defaults.setDefault(type.mimeType, type.desktopFileName);
        result = defaults.save();
    }
    return result.succeeded() ? checkDefault(type.mimeType, type.desktopFileName, extension) : result;
}
