#include "popup/MenuPresenter.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr char kCommandIdProperty[] = "tarvikCommandId";

} // namespace

int ExecMenuPresenter::present(QMenu &menu, const QPoint &at)
{
    return MenuCommandId(menu.exec(at));
}

void SetMenuCommandId(QAction &action, int commandId)
{
    action.setProperty(kCommandIdProperty, commandId);
}

int MenuCommandId(const QAction *action)
{
    return action ? action->property(kCommandIdProperty).toInt() : 0;
}
