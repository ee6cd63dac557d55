#include "popup/MenuPresenter.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr char CommandIdProperty[] = "tarvikCommandId";

} // namespace

int ExecMenuPresenter::present(QMenu &menu, const QPoint &at)
{
    return MenuCommandId(menu.exec(at));
}

void SetMenuCommandId(QAction &action, int commandId)
{
    action.setProperty(CommandIdProperty, commandId);
}

int MenuCommandId(const QAction *action)
{
    return action ? action->property(CommandIdProperty).toInt() : 0;
}
