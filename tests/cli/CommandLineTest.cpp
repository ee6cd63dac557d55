#include "cli/CommandLine.h"

#include "cli/Listing.h"
#include "support/TaskFileTesting.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Standard output on a full disk or a closed pipe: every write fails.
class RefusingOutput : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

CommandLine parse(const QStringList &arguments)
{
    return ParseCommandLine(QStringList{"tarvik"} + arguments);
}

struct Outcome {
    int status;
    QByteArray out;
    QByteArray err;
};

Outcome run(const QStringList &arguments)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int status = RunTerminalCommand(parse(arguments), out, err);
    return {status, out.data(), err.data()};
}

const QByteArray kEmptyListing = "# Tasks\n# Completed\n# Unresolved\n# Information\n# Requests\n";

} // namespace

TEST(CommandLine, OptionsAndThePathToOpen)
{
    EXPECT_EQ(parse({}).action, CommandLine::Action::OpenWindow);
    EXPECT_EQ(parse({}).path, "");
    const CommandLine spaced = parse({"/home/anna/My", "Lists/work.tvk"});
    EXPECT_EQ(spaced.action, CommandLine::Action::OpenWindow);
    EXPECT_EQ(spaced.path, "/home/anna/My Lists/work.tvk");

    EXPECT_EQ(parse({"--help"}).action, CommandLine::Action::ShowHelp);
    EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::ShowVersion);
    const CommandLine list = parse({"--list", "a b.tvk"});
    EXPECT_EQ(list.action, CommandLine::Action::ListFile);
    EXPECT_EQ(list.path, "a b.tvk");
    EXPECT_EQ(parse({"--list"}).action, CommandLine::Action::UsageError);
    EXPECT_EQ(parse({"--list", "a", "b"}).action, CommandLine::Action::UsageError);

    // Options count only where they are meant; anything else is a path.
    EXPECT_EQ(parse({"notes", "--list", "x"}).path, "notes --list x");
    EXPECT_EQ(parse({"--help", "me.tvk"}).path, "--help me.tvk");
}

TEST(CommandLine, HelpVersionAndUsageErrors)
{
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, ExitStatus::Success);
    EXPECT_EQ(version.out, "Tarvik 1.0.0\n");
    EXPECT_TRUE(version.err.isEmpty());

    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, ExitStatus::Success);
    EXPECT_TRUE(help.out.contains("--list FILE"));

    const Outcome usage = run({"--list", "a", "b"});
    EXPECT_EQ(usage.status, ExitStatus::UsageError);
    EXPECT_TRUE(usage.out.isEmpty());
    EXPECT_TRUE(usage.err.contains("--list"));
}

TEST(Listing, PrintsEveryListWithEscapedFields)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.tvk");
    // The extended form, to carry every kind of character through the reader.
    writeBytes(
        path,
        "\xEF\xBB\xBFStatus;Task;Added;Edited;User\r\n"
        "7;question;a;;u\r\n"
        "1;tab\there | cr\\rlf\\n\\\\ \x01\x1f\x7f \xC2\x81 \xE2\x82\xAC \xE2\x80\xA8\xE2\x80\xA9"
        "\xE2\x80\xAE\xE2\x81\xA6\xD8\x9C\xE2\x80\x8F \xC2\xA0\xEF\xBB\xBF;12/8/2026 2:05:31 PM;;J\xC3\xBCrgen\r\n"
        "2;done;a;e;\r\n"
        "1.5;odd;;;\r\n"
        "8;;;;\r\n");
    const Outcome listing = run({"--list", path});
    EXPECT_EQ(listing.status, ExitStatus::Success);
    EXPECT_EQ(listing.out,
              "# Tasks\n"
              "1\ttab\\there | cr\\rlf\\n\\\\ \\x01\\x1f\\x7f \\x81 \xE2\x82\xAC \\u{2028}\\u{2029}\\u{202e}"
              "\\u{2066}\\u{061c}\\u{200f} \xC2\xA0\\u{feff}\t12/8/2026 2:05:31 PM\t\tJ\xC3\xBCrgen\n"
              "7\tquestion\ta\t\tu\n"
              "# Completed\n"
              "2\tdone\ta\te\t\n"
              "# Unresolved\n"
              "1.5\todd\t\t\t\n"
              "# Information\n"
              "# Requests\n"
              "8\t\t\t\t\n");
    EXPECT_TRUE(listing.err.isEmpty());
}

TEST(Listing, ReadingFailuresAndOutputFailures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.tvk");
    writeBytes(path, "Status;Task;Added;Edited;User\r\n7;question;a;;u\r\n1;short\r\n1;never read;a;;u\r\n");
    const Outcome failed = run({"--list", path});
    EXPECT_EQ(failed.status, ExitStatus::ReadingFailed);
    EXPECT_EQ(failed.out,
              "# Tasks\n7\tquestion\ta\t\tu\n1\tshort\t\t\t\n# Completed\n# Unresolved\n# Information\n"
              "# Requests\n");
    EXPECT_EQ(failed.err, "Error opening file!\nLine 3 has fewer than five fields.\n");

    // A read that would lose text is a failed read too, though every row is printed.
    writeBytes(path, "Status;Task;Added;Edited;User\r\n7abc;question;a;;u\r\n");
    const Outcome lossy = run({"--list", path});
    EXPECT_EQ(lossy.status, ExitStatus::ReadingFailed);
    EXPECT_EQ(lossy.out, "# Tasks\n7\tquestion\ta\t\tu\n# Completed\n# Unresolved\n# Information\n# Requests\n");
    EXPECT_EQ(lossy.err, "Error opening file!\nLine 2: the status holds text that is not part of a number.\n");

    const Outcome missing = run({"--list", dir.filePath("missing.tvk")});
    EXPECT_EQ(missing.status, ExitStatus::ReadingFailed);
    EXPECT_EQ(missing.out, kEmptyListing);
    EXPECT_EQ(missing.err, "Error opening file!\nNo such file or directory\n");

    // An output that refuses every write.
    RefusingOutput closed;
    closed.open(QIODevice::WriteOnly);
    QBuffer err;
    err.open(QIODevice::WriteOnly);
    EXPECT_EQ(RunListing(path, ExportFormat::Tsv, closed, err), ExitStatus::OutputFailed);
    EXPECT_EQ(err.data(), "Error opening file!\nLine 2: the status holds text that is not part of a number.\n");
}

TEST(Listing, AReaderThatWentAwayEndsTheListingQuietly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list.tvk");
    QByteArray file = "Status;Task;Added;Edited;User\r\n";
    for (int i = 0; i < 20000; ++i)
        file += "1;an entry long enough to fill a pipe's buffer many times over;a;;u\r\n";
    writeBytes(path, file);

    // The listing's standard output goes to a pipe whose reader has gone, as
    // with `tarvik --list FILE | head`, or to a full disk.
    const auto statusWithOutput = [&](int output) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(output, STDOUT_FILENO);
            ::_exit(RunTerminalCommand(ParseCommandLine({"tarvik", "--list", path})));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    };
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    EXPECT_EQ(statusWithOutput(ends[1]), ExitStatus::Success);
    ::close(ends[1]);

    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    EXPECT_EQ(statusWithOutput(full), ExitStatus::OutputFailed);
    ::close(full);
}

TEST(CommandLine, AddImportAndPdfOptions)
{
    const CommandLine add = parse({"--add", "milk\\nbread", "--user=Ann Lee", "--question", "my list.tvk"});
    EXPECT_EQ(add.action, CommandLine::Action::AddEntry);
    EXPECT_EQ(add.text, "milk\\nbread");
    EXPECT_EQ(add.user, "Ann Lee");
    EXPECT_TRUE(add.question);
    EXPECT_EQ(add.path, "my list.tvk");

    const CommandLine import = parse({"--import", "todo.txt", "--format", "csv", "l.tvk"});
    EXPECT_EQ(import.source, "todo.txt");
    EXPECT_EQ(import.importFormat, ImportFormat::Csv);
    EXPECT_EQ(parse({"--list", "--format=json", "l.tvk"}).exportFormat, ExportFormat::Json);
    EXPECT_EQ(PdfCategory(parse({"--pdf", "o.pdf", "--tab", "completed", "l.tvk"})), Category::Completed);

    for (const QStringList &wrong : {QStringList{"--add", "x"},
                                     {"--add", "x", "a", "b"},
                                     {"--list", "--format=xls", "l"},
                                     {"--pdf", "o.pdf", "--tab", "Done", "l"},
                                     {"--import", "s", "--question", "l"}}) {
        const Outcome usage = run(wrong);
        EXPECT_EQ(usage.status, ExitStatus::UsageError) << wrong.join(u' ').toStdString();
        EXPECT_TRUE(usage.err.contains("tarvik --help"));
    }
}
