#include "popup/clsPopup.h"

#include "popup/MenuPresenter.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>
#include <QWindow>

namespace {

// One icon for both looks of the item; an icon with only one picture shows it
// in both states.
QIcon itemIcon(const QPixmap &pctUnchecked, const QPixmap &pctChecked)
{
    QIcon icon;
    if (!pctUnchecked.isNull())
        icon.addPixmap(pctUnchecked, QIcon::Normal, QIcon::Off);
    if (!pctChecked.isNull())
        icon.addPixmap(pctChecked, QIcon::Normal, QIcon::On);
    return icon;
}

ExecMenuPresenter &RealMenuPresenter()
{
    static ExecMenuPresenter presenter;
    return presenter;
}

} // namespace

clsPopup::clsPopup(MenuPresenter *presenter, QObject *parent)
    : QObject(parent)
    , m_presenter(presenter ? presenter : &RealMenuPresenter())
    , m_menu(std::make_unique<QMenu>())
{
    m_menu->installEventFilter(this);
}

clsPopup::~clsPopup() = default;

int clsPopup::AddItem(const QString &sKey, const QString &sCaption, uint eType, uint eState, int lItemData,
                      const QPixmap &pctUnchecked, const QPixmap &pctChecked)
{
    const int commandId = NextCommandId(m_lastCommandId);
    if (commandId == 0)
        return 0;
    m_lastCommandId = commandId;

    QAction *item = nullptr;
    if (eType == TypeDivider) {
        item = m_menu->addSeparator();
        // Disabled, a click on the line leaves the menu open instead of closing it.
        item->setEnabled(false);
    } else if (eType == TypeText) {
        item = m_menu->addAction(sCaption);
        item->setEnabled((eState & StateDisabled) == 0);
        if (eState & StateChecked) {
            item->setCheckable(true);
            item->setChecked(true);
            // Choosing a checkable action toggles it; the mark is part of the
            // item as it was added and stays.
            connect(item, &QAction::toggled, item, [item] { item->setChecked(true); });
        }
        item->setIcon(itemIcon(pctUnchecked, pctChecked));
    } else {
        return commandId;
    }
    item->setData(lItemData);
    SetMenuCommandId(*item, commandId);
    m_itemKeys.insert(LookupText(commandId), sKey);
    return commandId;
}

void clsPopup::PopupMenu(QWidget *owner)
{
    m_openWithActiveItem = false;
    show(owner, QCursor::pos());
}

void clsPopup::PopupMenu(QWidget *owner, const QPoint &at)
{
    m_openWithActiveItem = true;
    show(owner, at);
}

void clsPopup::show(QWidget *owner, const QPoint &at)
{
    // Tied to the owner's window, the menu can be placed by window systems that
    // position popups relative to their parent.
    if (owner) {
        if (QWindow *ownerWindow = owner->window()->windowHandle()) {
            m_menu->winId();
            m_menu->windowHandle()->setTransientParent(ownerWindow);
        }
    }

    const int chosen = m_presenter->present(*m_menu, at);
    if (chosen == 0)
        return;
    if (const std::optional<QString> key = ItemKey(chosen))
        Q_EMIT ItemClick(*key);
}

std::optional<QString> clsPopup::ItemKey(int commandId) const
{
    const auto found = m_itemKeys.constFind(LookupText(commandId));
    if (found == m_itemKeys.cend())
        return std::nullopt;
    return *found;
}

bool clsPopup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_menu.get())
        return false;
    if (event->type() == QEvent::Show && m_openWithActiveItem) {
        // Once the menu is up: showing it starts it with no active item.
        QMetaObject::invokeMethod(this, &clsPopup::activateFirstItem, Qt::QueuedConnection);
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier)
            return chooseByLetter(key->text());
    }
    return false;
}

bool clsPopup::chooseByLetter(const QString &typed)
{
    if (typed.size() != 1 || !typed[0].isLetter())
        return false;
    QList<QAction *> matching;
    for (QAction *item : m_menu->actions()) {
        if (!item->isSeparator() && item->isEnabled() && item->text().startsWith(typed, Qt::CaseInsensitive))
            matching.append(item);
    }
    if (matching.isEmpty())
        return false;
    if (matching.size() > 1) {
        const qsizetype active = matching.indexOf(m_menu->activeAction());
        m_menu->setActiveAction(matching[(active + 1) % matching.size()]);
        return true;
    }
    // Chosen as Enter chooses the active item, so the menu closes with it.
    m_menu->setActiveAction(matching.first());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(m_menu.get(), &enter);
    return true;
}

void clsPopup::activateFirstItem()
{
    if (!m_menu->isVisible() || m_menu->activeAction())
        return;
    for (QAction *item : m_menu->actions()) {
        if (!item->isSeparator() && item->isEnabled()) {
            m_menu->setActiveAction(item);
            return;
        }
    }
}

QString clsPopup::LookupText(int commandId)
{
    return QLatin1Char('h') + QString::number(commandId);
}
