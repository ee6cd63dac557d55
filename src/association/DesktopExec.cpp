#include "association/DesktopExec.h"

#include <QFile>
#include <QFileInfo>

#include <glib.h>

QString DesktopExecForFile(const QString &sExecutablePath)
{
    // Inside double quotes only these four need a backslash; "%" is the field
    // code character everywhere and is doubled. No shell ever sees this line.
    QString sQuoted = QStringLiteral("\"");
    for (const QChar c : sExecutablePath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            sQuoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            sQuoted += QLatin1Char('%');
        sQuoted += c;
    }
    return sQuoted + QStringLiteral("\" %f");
}

namespace {

// The desktop expands field codes before it splits the line into words; of
// them only "%%" can leave anything in the program's name.
QString WithoutFieldCodes(const QString &sExec)
{
    QString sExpanded;
    for (qsizetype i = 0; i < sExec.size(); ++i) {
        if (sExec[i] == QLatin1Char('%') && i + 1 < sExec.size()) {
            ++i;
            if (sExec[i] == QLatin1Char('%'))
                sExpanded += QLatin1Char('%');
        } else {
            sExpanded += sExec[i];
        }
    }
    return sExpanded;
}

} // namespace

QString ProgramOfDesktopExec(const QString &sExec)
{
    gint argc = 0;
    gchar **argv = nullptr;
    if (!g_shell_parse_argv(WithoutFieldCodes(sExec).toUtf8().constData(), &argc, &argv, nullptr))
        return {};
    g_auto(GStrv) words = argv;
    const QString sProgram = QFile::decodeName(words[0]);

    if (!sProgram.contains(QLatin1Char('/'))) {
        g_autofree gchar *found = g_find_program_in_path(words[0]);
        return found ? QFileInfo(QFile::decodeName(found)).absoluteFilePath() : QString();
    }
    return QFileInfo(sProgram).isAbsolute() ? sProgram : QString();
}
