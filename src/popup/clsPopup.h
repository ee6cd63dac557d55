#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QString>

#include <limits>
#include <memory>
#include <optional>

class MenuPresenter;
class QMenu;
class QWidget;

// A popup menu of keyed items. The owner adds the items once, then shows the
// menu at the mouse pointer as often as it likes; a chosen item is reported by
// its key through ItemClick, before PopupMenu returns.
//
// Each AddItem call uses up the next command ID, 1, 2, 3, ..., whether the
// item is taken or refused, so an item's ID is its place among the calls.
class clsPopup : public QObject
{
    Q_OBJECT

public:
    // Item types: a text item or a divider line, which can never be chosen.
    // The menu refuses every other type.
    static constexpr uint TypeText = 0x0;
    static constexpr uint TypeDivider = 0x800;
    // Item state flags; either disabled bit makes the item unchoosable.
    static constexpr uint StateEnabled = 0x0;
    static constexpr uint StateDisabled = 0x3;
    static constexpr uint StateChecked = 0x8;

    // The menu is shown through the given presenter, which must outlive this
    // popup; without one it is shown as a real menu.
    explicit clsPopup(MenuPresenter *presenter = nullptr, QObject *parent = nullptr);
    ~clsPopup() override;

    // Appends an item at the bottom of the menu and returns the command ID the
    // call used up (0 once every ID is used). lItemData stays with the item as
    // its QAction::data(). pctUnchecked is the picture beside the item and
    // pctChecked the one shown while it is checked; when one is null the other
    // shows in both states, and a checked item with neither shows the style's
    // check mark.
    int AddItem(const QString &sKey, const QString &sCaption, uint eType, uint eState, int lItemData,
                const QPixmap &pctUnchecked = {}, const QPixmap &pctChecked = {});

    // Shows the menu at the mouse pointer over the owner's window and waits.
    // A choice raises ItemClick before this returns; a dismissal raises nothing.
    void PopupMenu(QWidget *owner);
    // The same with the menu's top-left corner at a screen point of the
    // caller's, for a menu opened from the keyboard: it opens with its first
    // item active, so that a screen reader names it at once.
    void PopupMenu(QWidget *owner, const QPoint &at);

    // The key of the item the menu took under this command ID; nothing for a
    // refused item or an ID not handed out.
    std::optional<QString> ItemKey(int commandId) const;

    // The ID after lastId, or 0 when lastId is the highest there is: the counter
    // stops there, since a repeated ID would make two items report one key.
    static constexpr int NextCommandId(int lastId) { return lastId < std::numeric_limits<int>::max() ? lastId + 1 : 0; }

Q_SIGNALS:
    void ItemClick(const QString &sItemKey);

protected:
    // The first letter of an item's caption chooses it; where several share
    // the letter, it makes the next of them active.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static QString LookupText(int commandId);
    void show(QWidget *owner, const QPoint &at);
    bool chooseByLetter(const QString &typed);
    void activateFirstItem();

    MenuPresenter *m_presenter;
    std::unique_ptr<QMenu> m_menu;
    QHash<QString, QString> m_itemKeys; // "h" and the command ID -> the caller's key
    int m_lastCommandId = 0;
    bool m_openWithActiveItem = false;
};
