#include "ProcessBench.h"

#include "Measurement.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// The environment of the benchmark itself, with the display of our own
// server in place of any the user has, and no session bus to talk to.
std::vector<QByteArray> childEnvironment(const QByteArray &display)
{
    static const QByteArrayList dropped = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS",
                                           "SESSION_MANAGER"};
    std::vector<QByteArray> variables;
    for (char **variable = environ; *variable; ++variable) {
        const QByteArray entry(*variable);
        if (!dropped.contains(entry.left(entry.indexOf('='))))
            variables.push_back(entry);
    }
    if (!display.isEmpty()) {
        variables.push_back("DISPLAY=" + display);
        variables.push_back("QT_QPA_PLATFORM=xcb");
    }
    return variables;
}

} // namespace

ProcessBench::ProcessBench(const QString &tarvik, const QString &logFolder)
    : m_tarvik(tarvik)
    , m_log(logFolder + QStringLiteral("/tarvik-errors.log"))
{
}

void ProcessBench::ensureDisplay()
{
    if (m_displayStarted)
        return;
    if (const QString failure = m_display.start(); !failure.isEmpty())
        Fail(failure);
    m_displayStarted = true;
}

void ProcessBench::measureStart(int entries, const QString &path)
{
    Progress(QStringLiteral("start, %1 entries").arg(entries));
    ensureDisplay();
    // The first start also loads the libraries from disk; the user's desktop
    // has them in memory already.
    pid_t pid = 0;
    startWindow(path, pid);
    stop(pid);
    const double start = MedianOf(9, [&](int) {
        const double time = startWindow(path, pid);
        stop(pid);
        return time;
    });
    Report("start", entries, start, "ms");
}

void ProcessBench::measurePeakMemory(int entries, const QString &path)
{
    Progress(QStringLiteral("peak memory, %1 entries").arg(entries));
    ensureDisplay();
    const double peak = MedianOf(3, [&](int) {
        pid_t pid = 0;
        startWindow(path, pid);
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        double megabytes = -1;
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("VmHWM:"))
                    megabytes = line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
            }
        }
        stop(pid);
        if (megabytes < 0)
            Fail(QStringLiteral("no peak memory figure for the program"));
        return megabytes;
    });
    Report("peak-memory", entries, peak, "MB");
}

void ProcessBench::measureListVsIconv(int entries, const QString &path)
{
    Progress(QStringLiteral("list against iconv, %1 entries").arg(entries));
    // Taken in turns, so that both see the same machine.
    std::vector<double> lists;
    std::vector<double> conversions;
    for (int run = 0; run < 9; ++run) {
        lists.push_back(runToEnd({m_tarvik, QStringLiteral("--list"), path}));
        conversions.push_back(runToEnd({QStringLiteral("iconv"), QStringLiteral("-f"), QStringLiteral("WINDOWS-1252"),
                                        QStringLiteral("-t"), QStringLiteral("UTF-8"), path}));
    }
    const auto median = [](const std::vector<double> &figures) {
        return MedianOf(static_cast<int>(figures.size()), [&](int i) { return figures[i]; });
    };
    const double list = median(lists);
    const double iconv = median(conversions);
    Progress(QStringLiteral("  tarvik --list %1 ms, iconv %2 ms").arg(list, 0, 'f', 1).arg(iconv, 0, 'f', 1));
    Report("list-vs-iconv", entries, list / iconv, "x");
}

void ProcessBench::measureAddAndExport(int entries, const QString &path)
{
    Progress(QStringLiteral("add and export, %1 entries").arg(entries));
    std::vector<double> lists;
    std::vector<double> csvs;
    std::vector<double> adds;
    for (int run = 0; run < 5; ++run) {
        lists.push_back(runToEnd({m_tarvik, QStringLiteral("--list"), path}));
        csvs.push_back(runToEnd({m_tarvik, QStringLiteral("--list"), QStringLiteral("--format=csv"), path}));
        adds.push_back(runToEnd({m_tarvik, QStringLiteral("--add"), QStringLiteral("one more \\n entry"), path}));
    }
    const auto median = [](const std::vector<double> &figures) {
        return MedianOf(static_cast<int>(figures.size()), [&](int i) { return figures[i]; });
    };
    const double list = median(lists);
    const double csv = median(csvs);
    const double add = median(adds);
    Report("list", entries, list, "ms");
    Report("list-csv", entries, csv, "ms");
    Report("csv-vs-tsv", entries, csv / list, "x");
    Report("add", entries, add, "ms");
    Report("add-vs-list", entries, add / list, "x");
}

void ProcessBench::measurePdf(int entries, const QString &path)
{
    Progress(QStringLiteral("pdf, %1 entries").arg(entries));
    const QString pdf = QFileInfo(m_log).absolutePath() + QStringLiteral("/bench.pdf");
    const double time = MedianOf(3, [&](int) { return runToEnd({m_tarvik, QStringLiteral("--pdf"), pdf, path}); });
    QFile::remove(pdf);
    Report("pdf", entries, time, "ms");
}

pid_t ProcessBench::spawn(const QStringList &arguments, bool onDisplay)
{
    std::vector<QByteArray> argumentBytes;
    for (const QString &argument : arguments)
        argumentBytes.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : argumentBytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> environment = childEnvironment(onDisplay ? m_display.name() : QByteArray());
    std::vector<char *> envp;
    for (QByteArray &variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    const QByteArray log = QFile::encodeName(m_log);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        Fail(QStringLiteral("cannot start %1: %2")
                 .arg(arguments.first(), QString::fromLocal8Bit(std::strerror(spawned))));
    return pid;
}

double ProcessBench::startWindow(const QString &path, pid_t &pid)
{
    QElapsedTimer since;
    since.start();
    pid = spawn({m_tarvik, path}, true);
    QString failure;
    // The caption names the file once it has been read.
    const std::optional<double> shown = m_display.waitUntilShown(pid, QFile::encodeName(path), since, 60000, failure);
    if (!shown) {
        stop(pid);
        Fail(failure + lastMessages());
    }
    return *shown;
}

double ProcessBench::runToEnd(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = spawn(arguments, false);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double time = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Fail(QStringLiteral("%1 failed").arg(arguments.join(u' ')) + lastMessages());
    return time;
}

// The end of what the programs wrote to standard error, which goes away with
// the temporary folder.
QString ProcessBench::lastMessages() const
{
    QFile log(m_log);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromLocal8Bit(log.readAll()).trimmed().split(u'\n');
    if (lines.join(QString()).isEmpty())
        return {};
    return QStringLiteral("; its last messages:\n") + lines.mid(qMax(0, lines.size() - 5)).join(u'\n');
}

void ProcessBench::stop(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}
