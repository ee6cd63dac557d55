#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Action {
        OpenWindow, // the usual start: the window, with path opened when not empty
        ShowHelp, // --help
        ShowVersion, // --version
        ListFile, // --list FILE: print the entries of path
        UsageError, // --list without exactly one FILE
    };

    Action action = Action::OpenWindow;
    QString path;
};

// Exit statuses of the commands that run without a window.
namespace ExitStatus {
constexpr int Success = 0;
constexpr int ReadingFailed = 1;
constexpr int UsageError = 2;
constexpr int OutputFailed = 3;
} // namespace ExitStatus

// The arguments as QCoreApplication::arguments() gives them, the program's
// own name first. "--help" and "--version" count only on their own; "--list"
// only as the first argument. Any other command line names the file to open:
// all the arguments joined with single blanks, so that a path with blanks
// passed unquoted still works.
CommandLine ParseCommandLine(const QStringList &arguments);

// Carries out any action but OpenWindow on the given output and error
// devices and returns the exit status. Needs no display and no application
// object.
int RunTerminalCommand(const CommandLine &commandLine, QIODevice &out, QIODevice &err);

// The same on the process's standard output and standard error.
int RunTerminalCommand(const CommandLine &commandLine);
