#pragma once

#include <QCoreApplication>

class QWidget;

// Gives the main window's controls the names and descriptions that screen
// readers announce, where a control's caption says too little or nothing: the
// task box has no label, the User label names the box beside it, and the
// status column is a picture under an empty header. The controls are found by
// their object names once the window's columns are set up.
class AssistiveTexts
{
    Q_DECLARE_TR_FUNCTIONS(AssistiveTexts)

public:
    static void describe(QWidget &window);
};
