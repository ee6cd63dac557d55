#include "association/GioFileAssociations.h"
#include "association/modFileAssociations.h"
#include "base/AppInfo.h"
#include "cli/CommandLine.h"
#include "main_window/QtDialogs.h"
#include "main_window/TerminationSignals.h"
#include "main_window/frmMain.h"
#include "storage/FilePath.h"

#include <QApplication>
#include <QStringList>

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
    if (commandLine.action != CommandLine::Action::OpenWindow)
        return RunTerminalCommand(commandLine);

    // Qt takes its own options (-style, -platform, -reverse, ...) out of the
    // arguments (argc and argv included); the path is formed from the words
    // that remain.
    QApplication app(argc, argv);
    commandLine = ParseCommandLine(argumentsOf(argc, argv));
    if (commandLine.action != CommandLine::Action::OpenWindow)
        return RunTerminalCommand(commandLine);

    QApplication::setApplicationName(AppInfo::ProductName());
    QApplication::setDesktopFileName(AppInfo::ApplicationId());

    QtDialogs dialogs;
    GioFileAssociations associations;
    frmMain window(dialogs, commandLine.path,
                   [&] { modFileAssociations::CheckFileAssociation(associations, dialogs); });
    const TerminationSignals termination([&] { window.endWithoutAsking(); });
    window.show();
    return QApplication::exec();
}
