#include "association/GioFileAssociations.h"
#include "association/modFileAssociations.h"
#include "document/AppInfo.h"
#include "document/CommandLine.h"
#include "document/FilePath.h"
#include "main_window/QtDialogs.h"
#include "main_window/frmMain.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char **argv)
{
    QStringList arguments;
    arguments.reserve(argc);
    // A file name need not be UTF-8; its bytes are kept as they came.
    for (int i = 0; i < argc; ++i)
        arguments.append(FilePathFromBytes(argv[i]));

    // --list, --help and --version run in a terminal, without a display.
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.action != CommandLine::Action::OpenWindow)
        return RunTerminalCommand(commandLine);

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::ProductName());
    QApplication::setDesktopFileName(QStringLiteral("tarvik"));

    QtDialogs dialogs;
    GioFileAssociations associations;
    frmMain window(dialogs, commandLine.path,
                   [&] { modFileAssociations::CheckFileAssociation(associations, dialogs); });
    window.show();
    return QApplication::exec();
}
