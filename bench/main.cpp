// tarvik-bench: generates large task-list files from a fixed seed and times
// the program on them. Prints one line per measurement: operation, number of
// entries, median of the runs, unit. Progress goes to standard error.

#include "JournalBench.h"
#include "Measurement.h"
#include "ProcessBench.h"
#include "TaskListGenerator.h"
#include "WindowBench.h"
#include "association/GioFileAssociations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QElapsedTimer g_clock;

// Home and XDG folders of the benchmark's own, inherited by the programs it
// starts, so that the association it makes and anything the program writes
// stay out of the user's files.
void isolateEnvironment(const QString &root)
{
    const char *folders[][2] = {
        {"HOME", "home"},
        {"XDG_RUNTIME_DIR", "runtime"},
        {"XDG_CONFIG_HOME", "config"},
        {"XDG_CACHE_HOME", "cache"},
        {"XDG_DATA_HOME", "data"},
    };
    for (const auto &folder : folders) {
        const QString path = root + QLatin1Char('/') + QLatin1String(folder[1]);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(folder[0], QFile::encodeName(path));
    }
}

QString generate(const QString &folder, const QString &name, int entries, TaskListGenerator::Mix mix)
{
    const QString path = folder + QLatin1Char('/') + name;
    // Each file from its own seed, so that adding a file changes no other.
    if (!TaskListGenerator(0x7A5C + entries * 31 + static_cast<int>(mix)).write(path, entries, mix))
        Fail(QStringLiteral("cannot write %1").arg(path));
    return path;
}

} // namespace

void Progress(const QString &text)
{
    std::fprintf(stderr, "[%6.1f s] %s\n", g_clock.elapsed() / 1000.0, qPrintable(text));
}

namespace {

int runBenchmark(QApplication &app, const QString &root)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times Tarvik on large task lists."));
    parser.addHelpOption();
    const QCommandLineOption tarvikOption(QStringLiteral("tarvik"), QStringLiteral("The program to time."),
                                          QStringLiteral("path"), QStringLiteral(TARVIK_EXECUTABLE));
    const QCommandLineOption sizesOption(QStringLiteral("sizes"),
                                         QStringLiteral("Entries per file for the window's operations."),
                                         QStringLiteral("list"), QStringLiteral("10000,100000,1000000"));
    const QCommandLineOption windowOnlyOption(QStringLiteral("window-only"),
                                              QStringLiteral("Skip the whole-process measurements."));
    const QCommandLineOption longTasksOnlyOption(QStringLiteral("long-tasks-only"),
                                                 QStringLiteral("Only the clicks on entries with very long tasks."));
    const QCommandLineOption manyOnlyOption(
        QStringLiteral("many-only"),
        QStringLiteral("Only the changes of many entries at once and the cost of a selection of every row."));
    const QCommandLineOption journalOnlyOption(QStringLiteral("journal-only"),
                                               QStringLiteral("Time only the journal of unsaved changes."));
    parser.addOptions(
        {tarvikOption, sizesOption, windowOnlyOption, manyOnlyOption, longTasksOnlyOption, journalOnlyOption});
    parser.process(app);

    const QString tarvik = QFileInfo(parser.value(tarvikOption)).canonicalFilePath();
    if (tarvik.isEmpty())
        Fail(QStringLiteral("no program at %1").arg(parser.value(tarvikOption)));
    QList<int> sizes;
    for (const QString &size : parser.value(sizesOption).split(u',')) {
        bool ok = false;
        sizes.append(size.toInt(&ok));
        if (!ok || sizes.last() <= 0)
            Fail(QStringLiteral("not a number of entries: %1").arg(size));
    }

    const QString files = root + QStringLiteral("/files");
    QDir().mkpath(files);
    const QString scratch = root + QStringLiteral("/scratch");
    QDir().mkpath(scratch);

    if (parser.isSet(journalOnlyOption)) {
        for (const int entries : sizes) {
            const QString path = generate(files, QStringLiteral("all-%1.tvk").arg(entries), entries,
                                          TaskListGenerator::Mix::AllCategories);
            MeasureJournal(entries, path, scratch);
            MeasureJournalReplay(entries, 10000, path, scratch);
            QFile::remove(path);
        }
        return 0;
    }

    const bool longTasksOnly = parser.isSet(longTasksOnlyOption);
    if (!parser.isSet(windowOnlyOption) && !longTasksOnly && !parser.isSet(manyOnlyOption)) {
        Progress(QStringLiteral("generating files for the whole-process measurements"));
        const QString forStart =
            generate(files, QStringLiteral("start-100000.tvk"), 100000, TaskListGenerator::Mix::AllCategories);
        const QString forList =
            generate(files, QStringLiteral("list-200000.tvk"), 200000, TaskListGenerator::Mix::AllCategories);
        const QString forMemory =
            generate(files, QStringLiteral("memory-1000000.tvk"), 1000000, TaskListGenerator::Mix::AllCategories);
        // As the program would on a Yes to its start-up question, so that no
        // question waits when it starts.
        const Result associated = GioFileAssociations(tarvik).AssociateFileType(QStringLiteral("tvk"));
        if (!associated.succeeded())
            Fail(QStringLiteral("cannot associate task-list files: ") + associated.reason());

        ProcessBench processes(tarvik, scratch);
        processes.measureStart(100000, forStart);
        processes.measureListVsIconv(200000, forList);
        processes.measurePeakMemory(1000000, forMemory);
        processes.measureAddAndExport(1000000, forMemory);
        processes.measurePdf(100000, forStart);
        QFile::remove(forMemory);
    }

    {
        WindowBench window(scratch);
        for (const int entries : longTasksOnly ? QList<int>() : sizes) {
            Progress(QStringLiteral("generating files of %1 entries").arg(entries));
            const QString tasksOnly = generate(files, QStringLiteral("tasks-%1.tvk").arg(entries), entries,
                                               TaskListGenerator::Mix::TasksOnly);
            if (parser.isSet(manyOnlyOption)) {
                window.measureManyAtOnce(entries, tasksOnly);
            } else {
                const QString allCategories = generate(files, QStringLiteral("all-%1.tvk").arg(entries), entries,
                                                       TaskListGenerator::Mix::AllCategories);
                window.measure(entries, allCategories, tasksOnly);
                MeasureJournal(entries, allCategories, scratch);
                MeasureJournalReplay(entries, 10000, allCategories, scratch);
                QFile::remove(allCategories);
            }
            QFile::remove(tasksOnly);
        }
        if (parser.isSet(manyOnlyOption)) {
            window.measureBulkHistoryMemory(1000000);
            Progress(QStringLiteral("done"));
            return 0;
        }
        if (!longTasksOnly) {
            window.measureBulkHistoryMemory(1000000);
            window.measureHistoryMemory(10000);
        }
        window.measureLongClick("1MB", 1 << 20, true);
        window.measureLongClick("10MB", 10 << 20, true);
        // The whole of it would take minutes to lay out.
        window.measureLongClick("100MB", 100 << 20, false);
    }
    Progress(QStringLiteral("done"));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    g_clock.start();
    // The window measured here is never shown on the user's screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/tarvik-bench-XXXXXX"));
    if (!root.isValid()) {
        std::fprintf(stderr, "tarvik-bench: no temporary folder\n");
        return 1;
    }
    isolateEnvironment(root.path());

    QApplication app(argc, argv);
    try {
        return runBenchmark(app, root.path());
    } catch (const BenchFailure &failure) {
        std::fprintf(stderr, "tarvik-bench: %s\n", qPrintable(failure.reason));
        return 1;
    }
}
