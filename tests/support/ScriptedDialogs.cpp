#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

Dialogs::Answer ScriptedDialogs::message(const QString &text, Buttons buttons, Icon icon, Default byDefault)
{
    m_messages.append({text, buttons, icon, byDefault});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    ADD_FAILURE() << "unscripted message box: " << text.toStdString();
    switch (buttons) {
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::YesNoOrLater:
        return Answer::Cancel;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

QString ScriptedDialogs::chooseFile(FileMode mode, const QString &filter)
{
    m_fileChoices.append({mode, filter});
    if (!m_files.isEmpty())
        return m_files.takeFirst();
    ADD_FAILURE() << "unscripted file chooser";
    return {};
}
