// Runs association steps against the desktop in a process of its own, so that
// GIO starts afresh in whatever folders the environment names, and prints what
// each step gave as a JSON array:
//   lookup            the executable that opens *.tvk files, or ""
//   associate <exe>   registers <exe> for *.tvk files: "ok" or the failure
//   check <exe>       the start-up check for <exe>, answering Yes and OK: the
//                     messages shown, each {text, buttons, icon}
//   open <file>       opens <file> as the desktop does and waits for the program
//                     it starts: its exit code, or the failure

#include "association/GioFileAssociations.h"
#include "association/modFileAssociations.h"
#include "base/Dialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <sys/wait.h>

namespace {

const QString kExtension = QStringLiteral("tvk");

class AgreeingDialogs : public Dialogs
{
public:
    QJsonArray shown;

    Answer message(const QString &text, Buttons buttons, Icon icon, Default) override
    {
        shown.append(QJsonObject{{QStringLiteral("text"), text},
                                 {QStringLiteral("buttons"), static_cast<int>(buttons)},
                                 {QStringLiteral("icon"), static_cast<int>(icon)}});
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    QString chooseFile(FileMode, const QString &) override { return {}; }
};

QJsonValue associate(const QString &executable)
{
    GioFileAssociations associations(executable);
    const Result result = associations.AssociateFileType(kExtension);
    return result.succeeded() ? QStringLiteral("ok") : result.reason();
}

QJsonValue check(const QString &executable)
{
    GioFileAssociations associations(executable);
    AgreeingDialogs dialogs;
    modFileAssociations::CheckFileAssociation(associations, dialogs, executable);
    return dialogs.shown;
}

QJsonValue open(const QString &path)
{
    g_autoptr(GFile) file = g_file_new_for_path(QFile::encodeName(path).constData());
    g_autoptr(GError) error = nullptr;
    g_autoptr(GAppInfo) app = g_file_query_default_handler(file, nullptr, &error);
    if (!app)
        return QString::fromUtf8(error->message);
    if (!G_IS_DESKTOP_APP_INFO(app))
        return QStringLiteral("not a desktop entry");

    g_autofree gchar *uri = g_file_get_uri(file);
    GList uris = {uri, nullptr, nullptr};
    GPid pid = 0;
    const GDesktopAppLaunchCallback remember = [](GDesktopAppInfo *, GPid started, gpointer data) {
        *static_cast<GPid *>(data) = started;
    };
    if (!g_desktop_app_info_launch_uris_as_manager(G_DESKTOP_APP_INFO(app), &uris, nullptr,
                                                   GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD),
                                                   nullptr, nullptr, remember, &pid, &error))
        return QString::fromUtf8(error->message);

    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return QStringLiteral("the program did not end normally");
    return WEXITSTATUS(status);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList steps = app.arguments().mid(1);
    QJsonArray results;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString &step = steps[i];
        const bool hasArgument = i + 1 < steps.size();
        if (step == QLatin1String("lookup"))
            results.append(GioFileAssociations().GetAssociatedExecutable(kExtension));
        else if (step == QLatin1String("associate") && hasArgument)
            results.append(associate(steps[++i]));
        else if (step == QLatin1String("check") && hasArgument)
            results.append(check(steps[++i]));
        else if (step == QLatin1String("open") && hasArgument)
            results.append(open(steps[++i]));
        else
            return 2;
    }
    QTextStream(stdout) << QJsonDocument(results).toJson(QJsonDocument::Compact);
    return 0;
}
