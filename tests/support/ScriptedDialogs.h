#pragma once

#include "base/Dialogs.h"

#include <QList>
#include <QString>

// Answers the program's dialogs from a script, in order, and records what was
// asked. A dialog with no scripted answer left fails the running test and is
// answered with Cancel (or No, or OK, whichever the box has) or no file.
class ScriptedDialogs : public Dialogs
{
public:
    struct Message {
        QString text;
        Buttons buttons;
        Icon icon;
        Default byDefault;
    };
    struct FileChoice {
        FileMode mode;
        QString filter;
    };

    void answer(Answer answer) { m_answers.append(answer); }
    void choose(const QString &path) { m_files.append(path); }

    Answer message(const QString &text, Buttons buttons, Icon icon, Default byDefault) override;
    QString chooseFile(FileMode mode, const QString &filter) override;

    const QList<Message> &messages() const { return m_messages; }
    const QList<FileChoice> &fileChoices() const { return m_fileChoices; }
    // The unused part of the script; tests expect it to be used up.
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }
    int pendingFiles() const { return static_cast<int>(m_files.size()); }

private:
    QList<Answer> m_answers;
    QList<QString> m_files;
    QList<Message> m_messages;
    QList<FileChoice> m_fileChoices;
};
