#include "association/DesktopExec.h"
#include "association/DocumentType.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kAwkwardPaths[] = {
    QStringLiteral("/opt/My Tools/Tarvik"),
    QStringLiteral("/opt/\"quoted\" and 'single'/Tarvik"),
    QStringLiteral("/opt/$HOME and $(touch x)/Tarvik"),
    QStringLiteral("/opt/back`id`quote/Tarvik"),
    QStringLiteral("/opt/100% %f %%u/Tarvik"),
    QStringLiteral("/opt/back\\slash\\\\ \\\" \\/Tarvik\\"),
    QStringLiteral("/opt/; & | < > * ? # ( ) ~ =/Tarvik"),
};

// Sets PATH for one test and puts it back afterwards.
class ScopedPath
{
public:
    explicit ScopedPath(const QString &path)
        : m_old(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(path));
    }
    ~ScopedPath() { qputenv("PATH", m_old); }

private:
    QByteArray m_old;
};

} // namespace

TEST(DocumentType, FollowsTheExecutablesFileName)
{
    const DocumentType type = DocumentType::ForExecutable(QStringLiteral("/opt/Tarvik/Tarvik"));
    EXPECT_EQ(type.applicationName, QStringLiteral("Tarvik"));
    EXPECT_EQ(type.mimeType, QStringLiteral("application/x-tarvik-document"));
    EXPECT_EQ(type.description, QStringLiteral("Tarvik Data"));
    EXPECT_EQ(type.desktopFileName, QStringLiteral("tarvik-document.desktop"));
}

TEST(DocumentType, TheInstalledProgramRegistersTheInstalledType)
{
    // The package's file type and the one the start-up check registers agree.
    EXPECT_EQ(DocumentType::ForExecutable(QStringLiteral("/usr/bin/tarvik")).mimeType,
              QStringLiteral(TARVIK_MIME_TYPE));
}

TEST(DocumentType, KeepsOnlySafeCharactersInTheTypeName)
{
    const DocumentType type = DocumentType::ForExecutable(QStringLiteral("/opt/x y/My Tool_2.0+b\u00e9\U0001F600"));
    EXPECT_EQ(type.mimeType, QStringLiteral("application/x-my-tool-2.0+b---document"));
    EXPECT_EQ(type.desktopFileName, QStringLiteral("my-tool-2.0+b---document.desktop"));
    EXPECT_EQ(type.description, QStringLiteral("My Tool_2.0+b\u00e9\U0001F600 Data"));
}

TEST(DesktopExec, QuotesThePathByTheDesktopEntryRules)
{
    EXPECT_EQ(DesktopExecForFile(QStringLiteral("/opt/Tarvik/Tarvik")), QStringLiteral("\"/opt/Tarvik/Tarvik\" %f"));
    EXPECT_EQ(DesktopExecForFile(QStringLiteral("/a b/\"q\"/$v/`c`/50%/\\x/'s'")),
              QStringLiteral("\"/a b/\\\"q\\\"/\\$v/\\`c\\`/50%%/\\\\x/'s'\" %f"));
}

TEST(DesktopExec, AwkwardPathsComeBackUnchanged)
{
    for (const QString &path : kAwkwardPaths)
        EXPECT_EQ(ProgramOfDesktopExec(DesktopExecForFile(path)), path) << path.toStdString();
}

TEST(DesktopExec, ReadsTheProgramOfOtherEntries)
{
    // A quoted path with blanks stays whole.
    EXPECT_EQ(ProgramOfDesktopExec(QStringLiteral("\"/opt/My App/bin/app\" --open %U")),
              QStringLiteral("/opt/My App/bin/app"));
    EXPECT_EQ(ProgramOfDesktopExec(QStringLiteral("/opt/app/run%%1 %F")), QStringLiteral("/opt/app/run%1"));
    EXPECT_EQ(ProgramOfDesktopExec(QStringLiteral("/opt//app/./run %f")), QStringLiteral("/opt//app/./run"));
    EXPECT_EQ(ProgramOfDesktopExec(QStringLiteral("\"/opt/unbalanced %f")), QString());
    EXPECT_EQ(ProgramOfDesktopExec(QStringLiteral("bin/app %f")), QString());
    EXPECT_EQ(ProgramOfDesktopExec(QString()), QString());
}

TEST(DesktopExec, FindsABareProgramNameInPath)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    QFile program(bin.filePath(QStringLiteral("tool")));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    program.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const ScopedPath path(bin.path());
    EXPECT_EQ(ProgramOfDesktopExec(QStringLiteral("tool --new %f")), program.fileName());
    EXPECT_EQ(ProgramOfDesktopExec(QStringLiteral("missing-tool %f")), QString());
}
