#pragma once

#include "popup/MenuPresenter.h"

#include <QIcon>
#include <QList>
#include <QPoint>
#include <QString>
#include <QVariant>

#include <variant>

class QWindow;

// Chooses from popup menus by a script, in order, and records every menu it
// was asked to show. A choice is made as a real menu makes it: the chosen
// action is triggered before the command ID is returned. A showing with no
// scripted answer left, or a choice the menu could not yield (an item that is
// missing, a divider or disabled), fails the running test and is a dismissal.
class ScriptedMenuPresenter : public MenuPresenter
{
public:
    struct ShownItem {
        int commandId;
        QString text;
        bool separator;
        bool enabled;
        bool checkable;
        bool checked;
        QVariant data;
        QIcon icon;
    };
    struct Showing {
        QPoint at;
        QWindow *transientParent;
        QList<ShownItem> items;
    };

    void chooseId(int commandId) { m_script.append(commandId); }
    void choose(const QString &caption) { m_script.append(caption); }
    void dismiss() { m_script.append(0); }

    int present(QMenu &menu, const QPoint &at) override;

    const QList<Showing> &showings() const { return m_showings; }
    // The unused part of the script; tests expect it to be used up.
    int pendingChoices() const { return static_cast<int>(m_script.size()); }

private:
    QList<std::variant<int, QString>> m_script;
    QList<Showing> m_showings;
};
