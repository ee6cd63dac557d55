// The association as the desktop sees it. Every probe runs in a fresh process
// whose XDG folders all lie in this test's own temporary folder.

#include "association/DesktopExec.h"
#include "base/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Readable failures: texts and probe results as text.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QJsonArray &array, std::ostream *out)
{
    *out << QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString();
}

namespace {

const QString kQuestion =
    QStringLiteral("ToDo-files(*.tvk) are not associated with Tarvik!\nDo You want to associate them now?");
const QString kMade = QStringLiteral("The file association has been made!");
const QString kNotMade = QStringLiteral("The file association could not be made!\n");

// A stand-in for the program: it writes the words it was started with, each
// followed by a NUL, to the file that TARVIK_RECORD names.
const QByteArray kRecordingProgram = "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" > \"$TARVIK_RECORD\"\n";

class DesktopAssociation : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }

    QString path(const QString &relative) const { return m_root.filePath(relative); }

    QString makeProgram(const QString &relative) const
    {
        const QString made = path(relative);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(made).absolutePath()));
        QFile program(made);
        EXPECT_TRUE(program.open(QIODevice::WriteOnly));
        program.write(kRecordingProgram);
        program.close();
        program.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return made;
    }

    QString makeTaskFile() const
    {
        const QString made = path(QStringLiteral("files/list.tvk"));
        QDir().mkpath(path(QStringLiteral("files")));
        QFile file(made);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Status;Task;Added;Edited;User\r\n");
        return made;
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const char *folders[][2] = {
            {"HOME", "home"},
            {"XDG_DATA_HOME", "data"},
            {"XDG_CONFIG_HOME", "config"},
            {"XDG_DATA_DIRS", "system-data"},
            {"XDG_CONFIG_DIRS", "system-config"},
            {"XDG_CACHE_HOME", "cache"},
            {"XDG_RUNTIME_DIR", "runtime"},
        };
        for (const auto &folder : folders) {
            QDir().mkpath(path(QLatin1String(folder[1])));
            environment.insert(QLatin1String(folder[0]), path(QLatin1String(folder[1])));
        }
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("TARVIK_RECORD"), path(QStringLiteral("record")));
        return environment;
    }

    QByteArray contents(const QString &relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void write(const QString &relative, const QByteArray &data) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QJsonArray probe(const QStringList &steps, const QProcessEnvironment &environment) const
    {
        QDir().mkpath(path(QStringLiteral("work")));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(path(QStringLiteral("work")));
        process.start(QStringLiteral(TARVIK_ASSOCIATION_PROBE), steps);
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    }
    QJsonArray probe(const QStringList &steps) const { return probe(steps, environment()); }

    // The words the stand-in program was last started with.
    QStringList recorded() const
    {
        QFile record(path(QStringLiteral("record")));
        if (!record.open(QIODevice::ReadOnly))
            return {};
        QStringList words;
        for (const QByteArray &word : record.readAll().split('\0'))
            words.append(QFile::decodeName(word));
        words.removeLast();
        return words;
    }

    // The types that files named *.tvk have in the user's MIME database.
    QStringList typesForTaskFiles() const
    {
        QFile globs(path(QStringLiteral("data/mime/globs2")));
        if (!globs.open(QIODevice::ReadOnly))
            return {};
        QStringList types;
        for (const QByteArray &line : globs.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(':');
            if (fields.size() >= 3 && fields[2] == "*.tvk")
                types.append(QString::fromUtf8(fields[1]));
        }
        return types;
    }

    // The desktop entry and file type as installing them into a prefix whose
    // data folder is dataFolder writes them, the entry starting exec.
    void installEntryAndType(const QString &dataFolder, const QByteArray &exec) const
    {
        QFile entry(QStringLiteral(TARVIK_INSTALLED_DESKTOP_ENTRY));
        ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
        write(dataFolder + QStringLiteral("/applications/io.github.tarvik.Tarvik.desktop"),
              entry.readAll().replace("@exec@", exec).replace("@try_exec@", exec));
        QDir().mkpath(path(dataFolder + QStringLiteral("/mime/packages")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARVIK_INSTALLED_MIME_XML),
                                path(dataFolder + QStringLiteral("/mime/packages/io.github.tarvik.Tarvik.xml"))));
    }

private:
    QTemporaryDir m_root;
};

// Runs a desktop tool; its notes about the search path are of no interest here.
int runTool(const QString &program, const QString &folder)
{
    QProcess process;
    process.start(program, {folder});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

void expectMessage(const QJsonValue &message, const QString &text, Dialogs::Buttons buttons, Dialogs::Icon icon)
{
    EXPECT_EQ(message[QStringLiteral("text")].toString(), text);
    EXPECT_EQ(message[QStringLiteral("buttons")].toInt(), static_cast<int>(buttons));
    EXPECT_EQ(message[QStringLiteral("icon")].toInt(), static_cast<int>(icon));
}

} // namespace

TEST_F(DesktopAssociation, IsFoundByTheNextStart)
{
    const QString program = makeProgram(QStringLiteral("opt/Tarvik/Tarvik"));

    EXPECT_EQ(probe({QStringLiteral("lookup"), QStringLiteral("associate"), program}),
              (QJsonArray{QString(), QStringLiteral("ok")}));
    EXPECT_EQ(probe({QStringLiteral("lookup")}), QJsonArray{program});

    // Written where every freedesktop.org desktop looks, for this user only.
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("data/mime/packages/tvk-file.xml"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("data/applications/tarvik-document.desktop"))));
    QFile defaults(path(QStringLiteral("config/mimeapps.list")));
    ASSERT_TRUE(defaults.open(QIODevice::ReadOnly));
    EXPECT_TRUE(defaults.readAll().contains("application/x-tarvik-document=tarvik-document.desktop"));
    EXPECT_EQ(typesForTaskFiles(), QStringList{QStringLiteral("application/x-tarvik-document")});
}

TEST_F(DesktopAssociation, StartUpCheckAsksUntilAssociated)
{
    const QString program = makeProgram(QStringLiteral("opt/Tarvik/Tarvik"));

    const QJsonArray first = probe({QStringLiteral("check"), program});
    ASSERT_EQ(first.size(), 1);
    ASSERT_EQ(first[0].toArray().size(), 2);
    expectMessage(first[0][0], kQuestion, Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    expectMessage(first[0][1], kMade, Dialogs::Buttons::Ok, Dialogs::Icon::None);

    EXPECT_EQ(probe({QStringLiteral("check"), program}), QJsonArray{QJsonArray()});
}

TEST_F(DesktopAssociation, MovedOrRenamedExecutableIsNotAssociated)
{
    const QString program = makeProgram(QStringLiteral("opt/Tarvik/Tarvik"));
    ASSERT_EQ(probe({QStringLiteral("associate"), program}), QJsonArray{QStringLiteral("ok")});

    ASSERT_TRUE(QDir().rename(path(QStringLiteral("opt/Tarvik")), path(QStringLiteral("opt/Moved"))));
    const QString moved = path(QStringLiteral("opt/Moved/Tarvik"));
    EXPECT_EQ(probe({QStringLiteral("lookup")}), QJsonArray{QString()});

    const QString renamed = path(QStringLiteral("opt/Moved/Other"));
    ASSERT_TRUE(QFile::rename(moved, renamed));
    const QJsonArray asked = probe({QStringLiteral("check"), renamed});
    ASSERT_EQ(asked.size(), 1);
    ASSERT_EQ(asked[0].toArray().size(), 2);
    expectMessage(asked[0][0], kQuestion, Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    expectMessage(asked[0][1], kMade, Dialogs::Buttons::Ok, Dialogs::Icon::None);

    // The renamed executable's type replaces the old one instead of joining it.
    EXPECT_EQ(typesForTaskFiles(), QStringList{QStringLiteral("application/x-other-document")});
    EXPECT_EQ(probe({QStringLiteral("lookup")}), QJsonArray{renamed});
}

TEST_F(DesktopAssociation, AwkwardProgramFoldersStartThatProgramAndNothingElse)
{
    const QString folders[] = {
        QStringLiteral("with  blanks "),
        QStringLiteral("\"double\" and 'single' quotes"),
        QStringLiteral("dollar $HOME ${HOME} $(touch injected)"),
        QStringLiteral("back`touch injected`quotes"),
        QStringLiteral("back\\slash \\\" \\\\ \\"),
        QStringLiteral("all; & | < > * ? # ( ) ~ = \" ' $ ` \\ \u00fc\u00df"),
        QStringLiteral("tab\tand\nline break"),
    };
    const QString taskFile = makeTaskFile();
    for (const QString &folder : folders) {
        SCOPED_TRACE(folder.toStdString());
        const QString program = makeProgram(QStringLiteral("opt/%1/Tarvik").arg(folder));
        QFile::remove(path(QStringLiteral("record")));

        EXPECT_EQ(probe({QStringLiteral("associate"), program}), QJsonArray{QStringLiteral("ok")});
        EXPECT_EQ(probe({QStringLiteral("lookup"), QStringLiteral("open"), taskFile}), (QJsonArray{program, 0}));
        EXPECT_EQ(recorded(), (QStringList{program, taskFile}));
    }
    EXPECT_EQ(QDir(path(QStringLiteral("work"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

// GIO looks for the program of an entry before it undoes the "%%" escaping, so
// it can start no program whose path holds a "%". Such a registration is
// refused before anything is written.
TEST_F(DesktopAssociation, APercentSignInTheProgramPathIsRefusedAndChangesNothing)
{
    const QString program = makeProgram(QStringLiteral("opt/Tarvik/Tarvik"));
    const QString percent = makeProgram(QStringLiteral("opt/100% %f/Tarvik"));
    const QString taskFile = makeTaskFile();
    ASSERT_EQ(probe({QStringLiteral("associate"), program}), QJsonArray{QStringLiteral("ok")});

    const QJsonArray result = probe({QStringLiteral("associate"), percent});
    ASSERT_EQ(result.size(), 1);
    EXPECT_TRUE(result[0].toString().startsWith(QStringLiteral("The desktop does not accept")))
        << result[0].toString().toStdString();

    EXPECT_EQ(probe({QStringLiteral("lookup"), QStringLiteral("open"), taskFile}), (QJsonArray{program, 0}));
    EXPECT_EQ(recorded(), (QStringList{program, taskFile}));
}

TEST_F(DesktopAssociation, AFailingStepIsReportedNotConfirmed)
{
    const QString program = makeProgram(QStringLiteral("opt/Tarvik/Tarvik"));
    // A file where the desktop entries belong.
    QDir().mkpath(path(QStringLiteral("data")));
    QFile blocker(path(QStringLiteral("data/applications")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const QJsonArray shown = probe({QStringLiteral("check"), program, QStringLiteral("lookup")});
    ASSERT_EQ(shown.size(), 2);
    ASSERT_EQ(shown[0].toArray().size(), 2);
    const QString text = shown[0][1][QStringLiteral("text")].toString();
    EXPECT_TRUE(text.startsWith(kNotMade)) << text.toStdString();
    EXPECT_TRUE(text.contains(path(QStringLiteral("data/applications")))) << text.toStdString();
    EXPECT_EQ(shown[0][1][QStringLiteral("icon")].toInt(), static_cast<int>(Dialogs::Icon::Exclamation));
    EXPECT_EQ(shown[1], QString());
}

TEST_F(DesktopAssociation, TheMimeDatabaseToolsFailureIsReported)
{
    const QString program = makeProgram(QStringLiteral("opt/Tarvik/Tarvik"));
    const QString bin = path(QStringLiteral("bin"));
    QDir().mkpath(bin);
    QProcessEnvironment withOwnTools = environment();
    withOwnTools.insert(QStringLiteral("PATH"), bin);

    QJsonArray result = probe({QStringLiteral("associate"), program}, withOwnTools);
    ASSERT_EQ(result.size(), 1);
    EXPECT_TRUE(result[0].toString().startsWith(QStringLiteral("Cannot start update-mime-database")))
        << result[0].toString().toStdString();

    QFile tool(bin + QStringLiteral("/update-mime-database"));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\necho 'the database is broken' >&2\nexit 1\n");
    tool.close();
    tool.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    result = probe({QStringLiteral("associate"), program}, withOwnTools);
    ASSERT_EQ(result.size(), 1);
    EXPECT_EQ(result[0].toString(), QStringLiteral("update-mime-database failed: the database is broken"));
}

// Installed from the package, the program's own desktop entry and file type lie
// in a system data folder and the program is found through PATH.
TEST_F(DesktopAssociation, TheInstalledEntryIsFoundAndBecomesTheDefaultWithoutACopy)
{
    const QString program = makeProgram(QStringLiteral("usr/bin/tarvik"));
    const QString other = makeProgram(QStringLiteral("usr/bin/other"));
    installEntryAndType(QStringLiteral("system-data"), "tarvik");
    // As the package's triggers do.
    ASSERT_EQ(runTool(QStringLiteral("update-mime-database"), path(QStringLiteral("system-data/mime"))), 0);
    ASSERT_EQ(runTool(QStringLiteral("update-desktop-database"), path(QStringLiteral("system-data/applications"))), 0);
    QProcessEnvironment installed = environment();
    installed.insert(QStringLiteral("PATH"),
                     path(QStringLiteral("usr/bin")) + QLatin1Char(':') + installed.value(QStringLiteral("PATH")));

    // Nothing else opens the type: the check asks nothing and writes nothing.
    EXPECT_EQ(probe({QStringLiteral("lookup"), QStringLiteral("check"), program}, installed),
              (QJsonArray{program, QJsonArray()}));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("config/mimeapps.list"))));

    // The user chose another program for the type.
    write(QStringLiteral("data/applications/other.desktop"),
          "[Desktop Entry]\nType=Application\nName=Other\nExec=" + DesktopExecForFile(other).toUtf8()
              + "\nMimeType=application/x-tarvik-document;\n");
    write(QStringLiteral("config/mimeapps.list"),
          "# mine\n[Default Applications]\napplication/x-tarvik-document=other.desktop\n");
    EXPECT_EQ(probe({QStringLiteral("lookup")}, installed), QJsonArray{other});

    const QJsonArray asked = probe({QStringLiteral("check"), program}, installed);
    ASSERT_EQ(asked.size(), 1);
    ASSERT_EQ(asked[0].toArray().size(), 2);
    expectMessage(asked[0][0], kQuestion, Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    expectMessage(asked[0][1], kMade, Dialogs::Buttons::Ok, Dialogs::Icon::None);
    EXPECT_EQ(probe({QStringLiteral("lookup"), QStringLiteral("check"), program}, installed),
              (QJsonArray{program, QJsonArray()}));

    const QByteArray defaults = contents(QStringLiteral("config/mimeapps.list"));
    EXPECT_TRUE(defaults.startsWith("# mine\n")) << defaults.toStdString();
    EXPECT_TRUE(defaults.contains("application/x-tarvik-document=io.github.tarvik.Tarvik.desktop\n"))
        << defaults.toStdString();
    // No private copy of the entry or the type.
    EXPECT_EQ(QDir(path(QStringLiteral("data/applications"))).entryList(QDir::Files),
              QStringList{QStringLiteral("other.desktop")});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("data/mime"))));
}

TEST_F(DesktopAssociation, ADefaultsListThatCannotBeReadIsReportedAndNothingIsWritten)
{
    const QString program = makeProgram(QStringLiteral("opt/Tarvik/Tarvik"));
    const QByteArray unparsable = "[Default Applications]\ntext/plain=editor.desktop\nnot a key\n";
    write(QStringLiteral("config/mimeapps.list"), unparsable);

    const QJsonArray shown = probe({QStringLiteral("check"), program});
    ASSERT_EQ(shown.size(), 1);
    ASSERT_EQ(shown[0].toArray().size(), 2);
    const QString text = shown[0][1][QStringLiteral("text")].toString();
    EXPECT_TRUE(text.startsWith(kNotMade + path(QStringLiteral("config/mimeapps.list"))
                                + QStringLiteral(" cannot be read, so it was left as it is: ")))
        << text.toStdString();
    EXPECT_EQ(shown[0][1][QStringLiteral("icon")].toInt(), static_cast<int>(Dialogs::Icon::Exclamation));

    EXPECT_EQ(contents(QStringLiteral("config/mimeapps.list")), unparsable);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("data/applications"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("data/mime"))));
}

// A per-user install (to ~/.local) before ~/.local/bin is on PATH, under a
// desktop whose own list of defaults names the type.
TEST_F(DesktopAssociation, APerUserInstallIsFoundWithoutPathAndTheDesktopsOwnListIsWritten)
{
    const QString program = makeProgram(QStringLiteral("bin/tarvik"));
    const QString other = makeProgram(QStringLiteral("usr/bin/other"));
    installEntryAndType(QStringLiteral("data"), program.toUtf8());
    ASSERT_EQ(runTool(QStringLiteral("update-mime-database"), path(QStringLiteral("data/mime"))), 0);
    write(QStringLiteral("data/applications/other.desktop"),
          "[Desktop Entry]\nType=Application\nName=Other\nExec=" + DesktopExecForFile(other).toUtf8()
              + "\nMimeType=application/x-tarvik-document;\n");
    const QByteArray plain = "[Default Applications]\napplication/x-tarvik-document = other.desktop\n";
    write(QStringLiteral("config/mimeapps.list"), plain);
    write(QStringLiteral("config/gnome-mimeapps.list"), plain);
    QProcessEnvironment gnome = environment();
    gnome.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("ubuntu:GNOME"));

    const QJsonArray asked = probe({QStringLiteral("check"), program}, gnome);
    ASSERT_EQ(asked.size(), 1);
    ASSERT_EQ(asked[0].toArray().size(), 2);
    expectMessage(asked[0][1], kMade, Dialogs::Buttons::Ok, Dialogs::Icon::None);
    EXPECT_EQ(probe({QStringLiteral("lookup")}, gnome), QJsonArray{program});

    // The list the desktop reads first changed, mimeapps.list did not, and
    // no second definition of the type or copy of the entry was written.
    EXPECT_TRUE(contents(QStringLiteral("config/gnome-mimeapps.list"))
                    .contains("application/x-tarvik-document=io.github.tarvik.Tarvik.desktop\n"));
    EXPECT_EQ(contents(QStringLiteral("config/mimeapps.list")), plain);
    EXPECT_EQ(QDir(path(QStringLiteral("data/mime/packages"))).entryList(QDir::Files),
              QStringList{QStringLiteral("io.github.tarvik.Tarvik.xml")});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("data/applications/tarvik-document.desktop"))));

    // Should the desktop still give another program (here it refuses the
    // entry, whose TryExec names no program), the user is told so.
    const QString entry = QStringLiteral("data/applications/io.github.tarvik.Tarvik.desktop");
    write(entry, contents(entry).replace("TryExec=" + program.toUtf8(), "TryExec=/nowhere/tarvik"));
    const QJsonArray overruled = probe({QStringLiteral("check"), program}, gnome);
    ASSERT_EQ(overruled.size(), 1);
    ASSERT_EQ(overruled[0].toArray().size(), 2);
    expectMessage(overruled[0][1], kNotMade + QStringLiteral("The desktop still opens .tvk files with other.desktop."),
                  Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}
