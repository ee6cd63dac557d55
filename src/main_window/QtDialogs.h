#pragma once

#include "base/Dialogs.h"

// The program's dialogs shown with Qt's own message boxes and file dialogs,
// modal over the window the user is working in.
class QtDialogs : public Dialogs
{
public:
    Answer message(const QString &text, Buttons buttons, Icon icon, Default byDefault = Default::First) override;
    QString chooseFile(FileMode mode, const QString &filter) override;
    bool choosePrinter(QPrinter &printer) override;
};
