#include "support/ScriptedMenuPresenter.h"

#include <QAction>
#include <QMenu>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool matches(const QAction *action, const std::variant<int, QString> &choice)
{
    if (const int *commandId = std::get_if<int>(&choice))
        return MenuCommandId(action) == *commandId;
    return !action->isSeparator() && action->text() == std::get<QString>(choice);
}

QString describe(const std::variant<int, QString> &choice)
{
    if (const int *commandId = std::get_if<int>(&choice))
        return QStringLiteral("command ID %1").arg(*commandId);
    return QStringLiteral("item \"%1\"").arg(std::get<QString>(choice));
}

} // namespace

int ScriptedMenuPresenter::present(QMenu &menu, const QPoint &at)
{
    Showing showing{at, menu.windowHandle() ? menu.windowHandle()->transientParent() : nullptr, {}};
    const QList<QAction *> actions = menu.actions();
    for (const QAction *action : actions) {
        showing.items.append({MenuCommandId(action), action->text(), action->isSeparator(), action->isEnabled(),
                              action->isCheckable(), action->isChecked(), action->data(), action->icon()});
    }
    m_showings.append(showing);

    if (m_script.isEmpty()) {
        ADD_FAILURE() << "unscripted popup menu";
        return 0;
    }
    const std::variant<int, QString> choice = m_script.takeFirst();
    if (choice == std::variant<int, QString>(0))
        return 0;

    const auto chosen = std::find_if(actions.cbegin(), actions.cend(),
                                     [&choice](const QAction *action) { return matches(action, choice); });
    if (chosen == actions.cend() || (*chosen)->isSeparator() || !(*chosen)->isEnabled()) {
        ADD_FAILURE() << "the menu cannot yield " << describe(choice).toStdString();
        return 0;
    }
    (*chosen)->trigger();
    return MenuCommandId(*chosen);
}
