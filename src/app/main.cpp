#include "app/Translations.h"
#include "association/GioFileAssociations.h"
#include "association/modFileAssociations.h"
#include "base/AppInfo.h"
#include "cli/CommandLine.h"
#include "cli/Listing.h"
#include "main_window/QtDialogs.h"
#include "main_window/QuickAddWindow.h"
#include "main_window/TerminationSignals.h"
#include "main_window/frmMain.h"
#include "storage/FilePath.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>

#include <unistd.h>

namespace {

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    arguments.reserve(argc);
    // A file name need not be UTF-8; its bytes are kept as they came.
    for (int i = 0; i < argc; ++i)
        arguments.append(FilePathFromBytes(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char **argv)
{
    // --list, --help and --version run in a terminal, without a display.
    CommandLine commandLine = ParseCommandLine(argumentsOf(argc, argv));
    if (commandLine.action == CommandLine::Action::PrintPdf) {
        // The fonts need a GUI application; a display they do not.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        const Translations translations(Translations::UserLanguages());
        QFile err;
        err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
        return RunPdfExport(commandLine.path, *PdfCategory(commandLine), commandLine.source, err);
    }
    if (commandLine.action != CommandLine::Action::OpenWindow && commandLine.action != CommandLine::Action::AddWindow) {
        const QCoreApplication terminal(argc, argv);
        const Translations translations(Translations::UserLanguages());
        return RunTerminalCommand(commandLine);
    }

    // Qt takes its own options (-style, -platform, -reverse, ...) out of the
    // arguments (argc and argv included); the path is formed from the words
    // that remain.
    QApplication app(argc, argv);
    const Translations translations(Translations::UserLanguages());
    commandLine = ParseCommandLine(argumentsOf(argc, argv));
    if (commandLine.action != CommandLine::Action::OpenWindow && commandLine.action != CommandLine::Action::AddWindow)
        return RunTerminalCommand(commandLine);

    QApplication::setApplicationName(AppInfo::ProductName());
    QApplication::setDesktopFileName(AppInfo::ApplicationId());

    QtDialogs dialogs;
    if (commandLine.action == CommandLine::Action::AddWindow) {
        const QString path = commandLine.path.isEmpty() ? dialogs.chooseFile(Dialogs::FileMode::Open, TaskFileFilter())
                                                        : commandLine.path;
        if (path.isEmpty())
            return ExitStatus::ReadingFailed;
        QuickAddWindow window(dialogs, path);
        return window.exec() == QDialog::Accepted ? ExitStatus::Success : ExitStatus::ReadingFailed;
    }
    GioFileAssociations associations;
    frmMain window(dialogs, commandLine.path,
                   [&] { modFileAssociations::CheckFileAssociation(associations, dialogs); });
    const TerminationSignals termination([&] { window.endWithoutAsking(); });
    window.show();
    return QApplication::exec();
}
