#include "cli/CommandLine.h"

#include "base/modFunctions.h"
#include "cli/Listing.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>

#include <unistd.h>

namespace {

QString helpText()
{
    return QCoreApplication::translate("CommandLine",
                                       "Usage: tarvik [FILE]\n"
                                       "  or:  tarvik --list FILE\n"
                                       "Keeps a to-do list in a task-list file (.tvk).\n"
                                       "\n"
                                       "  FILE         the task-list file to open; all arguments together,\n"
                                       "               joined with blanks, are its path\n"
                                       "  --list FILE  print the entries of FILE, one line of TAB-separated\n"
                                       "               fields each, under a heading for each list\n"
                                       "  --help       show this help\n"
                                       "  --version    show the version\n"
                                       "\n"
                                       "Keys in the window, besides the menus' Alt keys:\n"
                                       "  Ctrl+S        save\n"
                                       "  Ctrl+Shift+S  save under another name\n"
                                       "  Ctrl+O        open a task-list file\n"
                                       "  Ctrl+Q        close the window; so does Ctrl+W\n"
                                       "  Delete        delete the selected entry (in a list)\n"
                                       "  Ctrl+Return   add the typed task as a new entry (in the task box)\n"
                                       "  Alt+U         Update while working in the editing pane,\n"
                                       "                the Unresolved tab elsewhere\n"
                                       "  Ctrl+Z        undo the last change of an entry\n"
                                       "  Ctrl+Y        redo it; so does Ctrl+Shift+Z\n"
                                       "  Ctrl+F        find: show only the entries that contain a text;\n"
                                       "                Enter and Shift+Enter go to the next and the\n"
                                       "                previous one, Escape shows all again\n"
                                       "  F5            read the file again\n"
                                       "  Ctrl+Tab      the next tab; so does Ctrl+Page Down\n"
                                       "  Ctrl+Shift+Tab\n"
                                       "                the previous tab; so does Ctrl+Page Up\n"
                                       "  Alt+1 to 5    the first to the fifth tab; a tab shown by a key\n"
                                       "                gives its list the focus\n"
                                       "  Home, End     the first and the last tab (in the tab strip)\n"
                                       "  Ctrl+Shift+1 to 5\n"
                                       "                sort the current list by its first to fifth column,\n"
                                       "                as a click on its header does\n"
                                       "  A letter      in the status menu: the status it begins, or the\n"
                                       "                next of those that share it\n"
                                       "A .tvk file dropped on the window opens as with File Open.\n"
                                       "\n"
                                       "Qt's own options, such as -style NAME, -platform NAME or -reverse, go to\n"
                                       "Qt; the words that remain form the path.\n"
                                       "\n"
                                       "Exit status of --list: 0 when the whole file was read, 1 when reading\n"
                                       "stopped at a failure, 2 for a usage error, 3 when the output failed.\n");
}

QString usageErrorText()
{
    return QCoreApplication::translate("CommandLine",
                                       "tarvik: --list needs exactly one FILE\n"
                                       "Try 'tarvik --help' for more information.\n");
}

bool write(QIODevice &device, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    const QStringList given = arguments.mid(1);
    if (given == QStringList{QStringLiteral("--help")})
        return {CommandLine::Action::ShowHelp, {}};
    if (given == QStringList{QStringLiteral("--version")})
        return {CommandLine::Action::ShowVersion, {}};
    if (!given.isEmpty() && given.first() == QLatin1String("--list")) {
        if (given.size() != 2)
            return {CommandLine::Action::UsageError, {}};
        return {CommandLine::Action::ListFile, given[1]};
    }
    return {CommandLine::Action::OpenWindow, given.join(u' ')};
}

int RunTerminalCommand(const CommandLine &commandLine, QIODevice &out, QIODevice &err)
{
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
        return write(out, helpText()) ? ExitStatus::Success : ExitStatus::OutputFailed;
    case CommandLine::Action::ShowVersion:
        return write(out, modFunctions::GetVersionString() + u'\n') ? ExitStatus::Success : ExitStatus::OutputFailed;
    case CommandLine::Action::ListFile:
        return RunListing(commandLine.path, out, err);
    case CommandLine::Action::UsageError:
        write(err, usageErrorText());
        return ExitStatus::UsageError;
    case CommandLine::Action::OpenWindow:
        break; // the window is no terminal command
    }
    return ExitStatus::UsageError;
}

int RunTerminalCommand(const CommandLine &commandLine)
{
    // A reader that goes away (`tarvik --list FILE | head`) ends the output
    // with EPIPE, which the commands handle, rather than killing the program.
    ::signal(SIGPIPE, SIG_IGN);
    // Unbuffered: the commands buffer their output themselves, and a failed
    // write must show at once.
    QFile out;
    QFile err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    return RunTerminalCommand(commandLine, out, err);
}
