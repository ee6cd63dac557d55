#pragma once

#include <QString>

class QPrinter;

// The modal questions, messages and file choosers the program shows. The
// program answers them with real dialogs; tests answer them from a script.
class Dialogs
{
public:
    // YesNoOrLater shows Yes and No; Escape and the close box answer Cancel,
    // for a question that is asked again another time.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoOrLater };
    enum class Icon { None, Question, Exclamation };
    enum class Answer { Ok, Cancel, Yes, No };
    enum class FileMode { Open, Save };
    // The answer that Enter gives: the first button (Yes or OK), or, for a
    // question whose Yes destroys something, the cautious one that Escape
    // gives too (No or Cancel).
    enum class Default { First, Cautious };

    virtual ~Dialogs() = default;

    // Shows a message box; line breaks in the text are "\n".
    virtual Answer message(const QString &text, Buttons buttons, Icon icon, Default byDefault = Default::First) = 0;
    // Lets the user choose a file through the given filter ("Name (*.ext);;...");
    // empty when nothing was chosen.
    virtual QString chooseFile(FileMode mode, const QString &filter) = 0;
    // Lets the user choose a printer or a PDF file and set the printer up;
    // false when nothing was chosen. Dialogs that cannot print choose nothing.
    virtual bool choosePrinter(QPrinter &printer)
    {
        Q_UNUSED(printer);
        return false;
    }
};

// The filter every task-list file chooser offers.
inline QString TaskFileFilter()
{
    return QStringLiteral("ToDo-list (*.tvk);;All files (*)");
}
