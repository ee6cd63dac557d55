#pragma once

#include <QPoint>

class QAction;
class QMenu;

// Shows a popup menu and tells which item the user chose. The program shows
// real menus; tests choose from a script.
class MenuPresenter
{
public:
    virtual ~MenuPresenter() = default;

    // Shows the menu with its top-left corner at the given screen point and
    // waits until the user chooses an item or dismisses the menu. Returns the
    // chosen item's command ID, or 0 when nothing was chosen.
    virtual int present(QMenu &menu, const QPoint &at) = 0;
};

// The real menu, run modally by Qt.
class ExecMenuPresenter : public MenuPresenter
{
public:
    int present(QMenu &menu, const QPoint &at) override;
};

// Every item of a popup carries its command ID, which is how a presenter
// reports the choice. An action without one reads as 0.
void SetMenuCommandId(QAction &action, int commandId);
int MenuCommandId(const QAction *action);
