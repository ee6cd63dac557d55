#include "cli/CommandLine.h"

#include "base/modFunctions.h"
#include "cli/Listing.h"
#include "entries/DateText.h"
#include "entries/Status.h"
#include "exchange/QuickAdd.h"
#include "storage/FilePath.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>

#include <csignal>

#include <unistd.h>

namespace {

QString helpText()
{
    return QCoreApplication::translate("CommandLine",
                                       "Usage: tarvik [FILE]\n"
                                       "  or:  tarvik --list [--format=FORMAT] FILE\n"
                                       "  or:  tarvik --add TEXT [--user NAME] [--question] FILE\n"
                                       "  or:  tarvik --import SOURCE [--format=FORMAT] [--user NAME] FILE\n"
                                       "  or:  tarvik --pdf OUT [--tab NAME] FILE\n"
                                       "  or:  tarvik --add-window [FILE]\n"
                                       "Keeps a to-do list in a task-list file (.tvk).\n"
                                       "\n"
                                       "  FILE           the task-list file to open; all arguments together,\n"
                                       "                 joined with blanks, are its path\n"
                                       "  --list FILE    print the entries of FILE, one line of TAB-separated\n"
                                       "                 fields each, under a heading for each list\n"
                                       "  --format=FORMAT  with --list: tsv (the default), csv, json, todotxt\n"
                                       "                 or markdown; with --import: todotxt, csv or text\n"
                                       "                 (guessed from SOURCE when not given)\n"
                                       "  --add TEXT     add TEXT to FILE as a new task, right below the header,\n"
                                       "                 changing nothing else; \\n in TEXT is a line break;\n"
                                       "                 TEXT - adds one entry per line of standard input\n"
                                       "  --user NAME    the user of the new entries (default: your full name\n"
                                       "                 or login)\n"
                                       "  --question     add a question instead of a task\n"
                                       "  --import SOURCE  add the entries of SOURCE to FILE: a todo.txt file,\n"
                                       "                 a CSV file as --format=csv writes it, or plain text\n"
                                       "                 with one task per line\n"
                                       "  --pdf OUT      write the Tasks list of FILE as a PDF file to OUT\n"
                                       "  --tab NAME     with --pdf: the list to print (Tasks, Completed,\n"
                                       "                 Unresolved, Information or Requests)\n"
                                       "  --add-window   open a small window that adds one entry to FILE\n"
                                       "                 (asking for the file when none is given)\n"
                                       "  --help         show this help\n"
                                       "  --version      show the version\n"
                                       "\n"
                                       "Keys in the window, besides the menus' Alt keys:\n"
                                       "  Ctrl+S        save\n"
                                       "  Ctrl+Shift+S  save under another name\n"
                                       "  Ctrl+O        open a task-list file\n"
                                       "  Ctrl+P        print the list on the current tab\n"
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
                                       "stopped at a failure, 2 for a usage error, 3 when the output failed.\n"
                                       "--add, --import and --pdf: 0 when done, 1 when refused or failed (the\n"
                                       "reason goes to standard error and nothing is written), 2 for a usage\n"
                                       "error.\n");
}

bool write(QIODevice &device, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

// The translation context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

CommandLine commandFor(CommandLine::Action action)
{
    CommandLine commandLine;
    commandLine.action = action;
    return commandLine;
}

CommandLine usageError(const QString &why)
{
    CommandLine commandLine = commandFor(CommandLine::Action::UsageError);
    commandLine.usageError = why;
    return commandLine;
}

// The options after an action and its own argument, and the one FILE: false
// with the reason in why for anything else.
class OptionReader
{
public:
    OptionReader(const QStringList &words, CommandLine &commandLine)
        : m_words(words)
        , m_commandLine(commandLine)
    {
    }

    // Takes the value of a "--name VALUE" or "--name=VALUE" at m_at.
    bool value(const QString &name, QString &value)
    {
        const QString &word = m_words[m_at];
        if (word == name) {
            if (m_at + 1 >= m_words.size())
                return fail(Texts::tr("%1 needs a value").arg(name));
            value = m_words[++m_at];
            ++m_at;
            return true;
        }
        if (word.startsWith(name + u'=')) {
            value = word.mid(name.size() + 1);
            ++m_at;
            return true;
        }
        return false;
    }

    bool fail(const QString &why)
    {
        m_why = why;
        return false;
    }

    const QStringList &m_words;
    CommandLine &m_commandLine;
    qsizetype m_at = 0;
    QString m_why;
};

// Reads the words after the action's own ones: the options it allows and
// exactly one FILE, or none when the file is optional.
CommandLine parseOptions(const QString &option, CommandLine commandLine, const QStringList &words,
                         bool fileOptional = false)
{
    using Action = CommandLine::Action;
    const Action action = commandLine.action;
    OptionReader reader(words, commandLine);
    std::optional<QString> file;
    while (reader.m_at < words.size()) {
        QString value;
        const QString &word = words[reader.m_at];
        if ((action == Action::ListFile || action == Action::ImportFile)
            && reader.value(QStringLiteral("--format"), value)) {
            if (action == Action::ListFile) {
                const std::optional<ExportFormat> format = ExportFormatNamed(value);
                if (!format)
                    return usageError(Texts::tr("unknown --list format '%1'").arg(value));
                commandLine.exportFormat = *format;
            } else {
                commandLine.importFormat = ImportFormatNamed(value);
                if (!commandLine.importFormat)
                    return usageError(Texts::tr("unknown --import format '%1'").arg(value));
            }
        } else if ((action == Action::AddEntry || action == Action::ImportFile)
                   && reader.value(QStringLiteral("--user"), value)) {
            commandLine.user = value;
        } else if (action == Action::PrintPdf && reader.value(QStringLiteral("--tab"), value)) {
            commandLine.tab = value;
        } else if (action == Action::AddEntry && word == QLatin1String("--question")) {
            commandLine.question = true;
            ++reader.m_at;
        } else if (!reader.m_why.isEmpty()) {
            return usageError(reader.m_why);
        } else if (file) {
            return usageError(Texts::tr("%1: only one FILE may be given").arg(option));
        } else {
            file = word;
            ++reader.m_at;
        }
        if (!reader.m_why.isEmpty())
            return usageError(reader.m_why);
    }
    if (!file && !fileOptional)
        return usageError(Texts::tr("%1: FILE is missing").arg(option));
    commandLine.path = file.value_or(QString());
    return commandLine;
}

// The task list a --pdf prints, by its untranslated name in any letter case.
std::optional<Category> categoryNamed(const QString &name)
{
    static const char *const kNames[] = {"Tasks", "Completed", "Unresolved", "Information", "Requests"};
    for (int category = 0; category < CategoryCount; ++category) {
        if (name.compare(QLatin1String(kNames[category]), Qt::CaseInsensitive) == 0)
            return static_cast<Category>(category);
    }
    return std::nullopt;
}

QString userOf(const CommandLine &commandLine)
{
    return commandLine.user ? *commandLine.user : LoginUserName();
}

int reportRefusal(QIODevice &err, const QString &path, const Result &result)
{
    write(err, Texts::tr("tarvik: %1: nothing written: %2\n").arg(ReadablePath(path), result.reason()));
    return ExitStatus::ReadingFailed;
}

int runAdd(const CommandLine &commandLine, QIODevice &in, QIODevice &err)
{
    const QString user = userOf(commandLine);
    NewEntries entries;
    if (commandLine.text == QLatin1String("-")) {
        const QByteArray input = in.readAll();
        for (const QByteArray &line : input.split('\n')) {
            QString text = QString::fromUtf8(line);
            if (text.endsWith(u'\r'))
                text.chop(1);
            if (!text.isEmpty())
                entries.push_back(NewTaskEntry(StoredTaskText(text), user, commandLine.question));
        }
        if (entries.empty()) {
            write(err, Texts::tr("tarvik: no entry on standard input; nothing written\n"));
            return ExitStatus::ReadingFailed;
        }
    } else {
        entries.push_back(NewTaskEntry(StoredTaskText(commandLine.text), user, commandLine.question));
    }
    if (const Result added = AddEntriesToFile(commandLine.path, std::move(entries)); added.failed())
        return reportRefusal(err, commandLine.path, added);
    return ExitStatus::Success;
}

int runImport(const CommandLine &commandLine, QIODevice &out, QIODevice &err)
{
    QFile source(commandLine.source);
    if (!source.open(QIODevice::ReadOnly))
        return reportRefusal(
            err, commandLine.path,
            Result::failure(
                Texts::tr("%1 cannot be read: %2").arg(ReadablePath(commandLine.source), source.errorString())));
    const QByteArray bytes = source.readAll();
    const ImportFormat format = commandLine.importFormat.value_or(GuessImportFormat(commandLine.source, bytes));
    ImportedEntries imported = ParseImport(format, bytes, userOf(commandLine), CurrentDateText());
    for (const QString &skipped : std::as_const(imported.skipped))
        write(err, Texts::tr("tarvik: %1: %2 Skipped.\n").arg(ReadablePath(commandLine.source), skipped));
    if (imported.entries.empty())
        return reportRefusal(err, commandLine.path,
                             Result::failure(Texts::tr("%1 holds no entry.").arg(ReadablePath(commandLine.source))));
    const qsizetype count = imported.entries.size();
    if (const Result added = AddEntriesToFile(commandLine.path, std::move(imported.entries)); added.failed())
        return reportRefusal(err, commandLine.path, added);
    write(out, count == 1 ? Texts::tr("Added 1 entry.\n") : Texts::tr("Added %1 entries.\n").arg(count));
    return ExitStatus::Success;
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    using Action = CommandLine::Action;
    const QStringList given = arguments.mid(1);
    if (given == QStringList{QStringLiteral("--help")})
        return commandFor(Action::ShowHelp);
    if (given == QStringList{QStringLiteral("--version")})
        return commandFor(Action::ShowVersion);
    const QString first = given.value(0);
    if (first == QLatin1String("--list"))
        return parseOptions(first, commandFor(Action::ListFile), given.mid(1));
    if (first == QLatin1String("--add-window"))
        return parseOptions(first, commandFor(Action::AddWindow), given.mid(1), true);
    if (first == QLatin1String("--add") || first == QLatin1String("--import") || first == QLatin1String("--pdf")) {
        if (given.size() < 2)
            return usageError(Texts::tr("%1 needs a value").arg(first));
        CommandLine commandLine;
        if (first == QLatin1String("--add")) {
            commandLine.action = Action::AddEntry;
            commandLine.text = given[1];
        } else {
            commandLine.action = first == QLatin1String("--pdf") ? Action::PrintPdf : Action::ImportFile;
            commandLine.source = given[1];
        }
        commandLine = parseOptions(first, commandLine, given.mid(2));
        if (commandLine.action == Action::PrintPdf && !categoryNamed(commandLine.tab))
            return usageError(Texts::tr("unknown --tab list '%1'").arg(commandLine.tab));
        return commandLine;
    }
    CommandLine commandLine = commandFor(Action::OpenWindow);
    commandLine.path = given.join(u' ');
    return commandLine;
}

std::optional<Category> PdfCategory(const CommandLine &commandLine)
{
    return categoryNamed(commandLine.tab);
}

int RunTerminalCommand(const CommandLine &commandLine, QIODevice &in, QIODevice &out, QIODevice &err)
{
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
        return write(out, helpText()) ? ExitStatus::Success : ExitStatus::OutputFailed;
    case CommandLine::Action::ShowVersion:
        return write(out, modFunctions::GetVersionString() + u'\n') ? ExitStatus::Success : ExitStatus::OutputFailed;
    case CommandLine::Action::ListFile:
        return RunListing(commandLine.path, commandLine.exportFormat, out, err);
    case CommandLine::Action::AddEntry:
        return runAdd(commandLine, in, err);
    case CommandLine::Action::ImportFile:
        return runImport(commandLine, out, err);
    case CommandLine::Action::UsageError:
        write(err, Texts::tr("tarvik: %1\nTry 'tarvik --help' for more information.\n").arg(commandLine.usageError));
        return ExitStatus::UsageError;
    case CommandLine::Action::PrintPdf:
    case CommandLine::Action::AddWindow:
    case CommandLine::Action::OpenWindow:
        break; // these need an application object
    }
    return ExitStatus::UsageError;
}

int RunTerminalCommand(const CommandLine &commandLine, QIODevice &out, QIODevice &err)
{
    QBuffer nothing;
    nothing.open(QIODevice::ReadOnly);
    return RunTerminalCommand(commandLine, nothing, out, err);
}

int RunTerminalCommand(const CommandLine &commandLine)
{
    // A reader that goes away (`tarvik --list FILE | head`) ends the output
    // with EPIPE, which the commands handle, rather than killing the program.
    ::signal(SIGPIPE, SIG_IGN);
    // Unbuffered: the commands buffer their output themselves, and a failed
    // write must show at once.
    QFile in;
    QFile out;
    QFile err;
    in.open(STDIN_FILENO, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    return RunTerminalCommand(commandLine, in, out, err);
}
