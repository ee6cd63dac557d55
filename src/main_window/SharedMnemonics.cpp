#include "main_window/SharedMnemonics.h"

#include "main_window/TabControl.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcutEvent>
#include <QTabBar>

#include <algorithm>

namespace {

bool reachedBy(const QString &caption, const QKeySequence &key)
{
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    return !mnemonic.isEmpty() && mnemonic == key;
}

} // namespace

SharedMnemonics::SharedMnemonics(QWidget &window, QList<Part> parts)
    : QObject(&window)
    , m_window(&window)
    , m_parts(std::move(parts))
{
    // Qt hands a shared mnemonic to one of its controls in turn; whichever
    // gets it passes it on here.
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        button->installEventFilter(this);
    for (QTabBar *tabs : window.findChildren<QTabBar *>())
        tabs->installEventFilter(this);
    for (QMenuBar *bar : window.findChildren<QMenuBar *>())
        bar->installEventFilter(this);
}

bool SharedMnemonics::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Shortcut)
        return false;
    const QList<Target> targets = targetsOf(static_cast<QShortcutEvent *>(event)->key());
    if (targets.size() < 2)
        return false;
    const int focusPart = partOf(QApplication::focusWidget());
    const auto inFocusPart =
        std::find_if(targets.begin(), targets.end(), [focusPart](const Target &t) { return t.part == focusPart; });
    if (inFocusPart != targets.end()) {
        activate(*inFocusPart);
    } else {
        activate(*std::min_element(targets.begin(), targets.end(),
                                   [](const Target &a, const Target &b) { return a.part < b.part; }));
    }
    return true;
}

QList<SharedMnemonics::Target> SharedMnemonics::targetsOf(const QKeySequence &key) const
{
    QList<Target> targets;
    if (!m_window)
        return targets;
    for (QAbstractButton *button : m_window->findChildren<QAbstractButton *>()) {
        if (button->isVisible() && button->isEnabled() && reachedBy(button->text(), key))
            targets.append({button, -1, partOf(button)});
    }
    for (QTabBar *tabs : m_window->findChildren<QTabBar *>()) {
        for (int tab = 0; tabs->isVisible() && tab < tabs->count(); ++tab) {
            if (tabs->isTabEnabled(tab) && tabs->isTabVisible(tab) && reachedBy(tabs->tabText(tab), key))
                targets.append({tabs, tab, partOf(tabs)});
        }
    }
    for (QMenuBar *bar : m_window->findChildren<QMenuBar *>()) {
        const QList<QAction *> items = bar->actions();
        for (int item = 0; bar->isVisible() && item < items.size(); ++item) {
            if (items[item]->isVisible() && items[item]->isEnabled() && reachedBy(items[item]->text(), key))
                targets.append({bar, item, partOf(bar)});
        }
    }
    return targets;
}

int SharedMnemonics::partOf(const QWidget *widget) const
{
    for (int part = 0; widget && part < m_parts.size(); ++part) {
        for (const QWidget *member : m_parts[part]) {
            if (member == widget || member->isAncestorOf(widget))
                return part;
        }
    }
    return static_cast<int>(m_parts.size());
}

// As the control's own mnemonic would: a button takes the focus and is
// pressed, a tab becomes current (and its page takes the focus), a menu-bar item opens its menu.
void SharedMnemonics::activate(const Target &target)
{
    if (auto *tabs = qobject_cast<QTabBar *>(target.widget)) {
        if (auto *control = qobject_cast<TabControl *>(tabs->parentWidget()))
            control->showTabByKey(target.index);
        else
            tabs->setCurrentIndex(target.index);
    } else if (auto *bar = qobject_cast<QMenuBar *>(target.widget)) {
        QAction *item = bar->actions().at(target.index);
        if (item->menu())
            bar->setActiveAction(item);
        else
            item->trigger();
    } else if (auto *button = qobject_cast<QAbstractButton *>(target.widget)) {
        button->setFocus(Qt::ShortcutFocusReason);
        button->click();
    }
}
