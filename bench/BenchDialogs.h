#pragma once

#include "base/Dialogs.h"

#include <QList>
#include <QString>

// Answers the window's dialogs as the benchmark planned them. A question or
// message nobody planned for (a reading error, say) is answered with Cancel
// and stops the benchmark at the next check, so that it never times a path
// the user would not take.
class BenchDialogs : public Dialogs
{
public:
    void answer(Answer answer) { m_answers.append(answer); }
    void choose(const QString &path) { m_files.append(path); }
    // Fails when a dialog came that nobody planned for.
    void check() const;

    Answer message(const QString &text, Buttons buttons, Icon icon, Default byDefault) override;
    QString chooseFile(FileMode mode, const QString &filter) override;

private:
    QList<Answer> m_answers;
    QList<QString> m_files;
    QString m_unplanned;
};
