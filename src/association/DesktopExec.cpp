#include "association/DesktopExec.h"

#include <QFile>
#include <QFileInfo>

#include <glib.h>

QString DesktopExecForFile(const QString &executablePath)
{
    // Inside double quotes only these four need a backslash; "%" is the field
    // code character everywhere and is doubled. No shell ever sees this line.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executablePath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return quoted + QStringLiteral("\" %f");
}

namespace {

// The desktop expands field codes before it splits the line into words; of
// them only "%%" can leave anything in the program's name.
QString withoutFieldCodes(const QString &exec)
{
    QString expanded;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] == QLatin1Char('%') && i + 1 < exec.size()) {
            ++i;
            if (exec[i] == QLatin1Char('%'))
                expanded += QLatin1Char('%');
        } else {
            expanded += exec[i];
        }
    }
    return expanded;
}

} // namespace

QString ProgramOfDesktopExec(const QString &exec)
{
    gint argc = 0;
    gchar **argv = nullptr;
    if (!g_shell_parse_argv(withoutFieldCodes(exec).toUtf8().constData(), &argc, &argv, nullptr))
        return {};
    g_auto(GStrv) words = argv;
    const QString program = QFile::decodeName(words[0]);

    if (!program.contains(QLatin1Char('/'))) {
        g_autofree gchar *found = g_find_program_in_path(words[0]);
        return found ? QFileInfo(QFile::decodeName(found)).absoluteFilePath() : QString();
    }
    return QFileInfo(program).isAbsolute() ? program : QString();
}

QString ReadablePath(const QByteArray &path)
{
    QString readable;
    const char *rest = path.constData();
    const char *end = rest + path.size();
    while (rest < end) {
        const gchar *valid = nullptr;
        g_utf8_validate(rest, end - rest, &valid);
        readable += QString::fromUtf8(rest, valid - rest);
        if (valid < end) {
            readable += QStringLiteral("\\x")
                + QString::number(static_cast<uchar>(*valid), 16).rightJustified(2, QLatin1Char('0')).toUpper();
            ++valid;
        }
        rest = valid;
    }
    return readable;
}
