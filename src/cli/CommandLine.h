#pragma once

#include "entries/Status.h"
#include "exchange/Export.h"
#include "exchange/Import.h"

#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Action {
        OpenWindow, // the usual start: the window, with path opened when not empty
        ShowHelp, // --help
        ShowVersion, // --version
        ListFile, // --list [--format=FORMAT] FILE: print the entries of path
        AddEntry, // --add TEXT [--user NAME] [--question] FILE
        ImportFile, // --import SOURCE [--format=FORMAT] [--user NAME] FILE
        PrintPdf, // --pdf OUT [--tab NAME] FILE: needs a GUI application
        AddWindow, // --add-window [FILE]: the small window that adds one entry
        UsageError, // an option without what it needs
    };

    Action action = Action::OpenWindow;
    QString path;
    ExportFormat exportFormat = ExportFormat::Tsv;
    std::optional<ImportFormat> importFormat; // guessed from the source when not given
    QString text; // --add's TEXT, "-" for one entry per line of standard input
    std::optional<QString> user; // the login's name when not given
    bool question = false;
    QString source; // --import's SOURCE, --pdf's OUT
    QString tab = QStringLiteral("Tasks"); // --pdf's list
    QString usageError; // what was wrong, for UsageError
};

// Exit statuses of the commands that run without a window.
namespace ExitStatus {
constexpr int Success = 0;
constexpr int ReadingFailed = 1;
constexpr int UsageError = 2;
constexpr int OutputFailed = 3;
} // namespace ExitStatus

// The arguments as QCoreApplication::arguments() gives them, the program's
// own name first. "--help" and "--version" count only on their own; "--list",
// "--add", "--import", "--pdf" and "--add-window" only as the first argument,
// followed by their options and the one FILE. Any other command line names the
// file to open: all the arguments joined with single blanks, so that a path
// with blanks passed unquoted still works.
CommandLine ParseCommandLine(const QStringList &arguments);

// Carries out any action but OpenWindow, PrintPdf and AddWindow on the given
// devices and returns the exit status. Needs no display and no application
// object.
int RunTerminalCommand(const CommandLine &commandLine, QIODevice &in, QIODevice &out, QIODevice &err);
// The same with nothing on standard input.
int RunTerminalCommand(const CommandLine &commandLine, QIODevice &out, QIODevice &err);

// The same on the process's standard input, output and error.
int RunTerminalCommand(const CommandLine &commandLine);

// The list that --pdf prints.
std::optional<Category> PdfCategory(const CommandLine &commandLine);
