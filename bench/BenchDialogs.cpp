#include "BenchDialogs.h"

#include "Measurement.h"

Dialogs::Answer BenchDialogs::message(const QString &text, Buttons, Icon)
{
    if (m_answers.isEmpty())
        Fail(QStringLiteral("unexpected message: ") + text);
    return m_answers.takeFirst();
}

QString BenchDialogs::chooseFile(FileMode, const QString &)
{
    if (m_files.isEmpty())
        Fail(QStringLiteral("unexpected file chooser"));
    return m_files.takeFirst();
}
