#include "BenchDialogs.h"

#include "Measurement.h"

void BenchDialogs::check() const
{
    if (!m_unplanned.isEmpty())
        Fail(m_unplanned);
}

Dialogs::Answer BenchDialogs::message(const QString &text, Buttons, Icon, Default)
{
    if (m_answers.isEmpty()) {
        m_unplanned = QStringLiteral("unexpected message: ") + text;
        return Answer::Cancel;
    }
    return m_answers.takeFirst();
}

QString BenchDialogs::chooseFile(FileMode, const QString &)
{
    if (m_files.isEmpty()) {
        m_unplanned = QStringLiteral("unexpected file chooser");
        return {};
    }
    return m_files.takeFirst();
}
