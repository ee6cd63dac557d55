#include "popup/clsPopup.h"

#include "support/ScriptedMenuPresenter.h"

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <limits>

namespace {

using Item = ScriptedMenuPresenter::ShownItem;

class PopupTest : public ::testing::Test
{
protected:
    PopupTest()
    {
        QObject::connect(&popup, &clsPopup::ItemClick, [this](const QString &key) { clicked.append(key); });
    }
    ~PopupTest() override { EXPECT_EQ(presenter.pendingChoices(), 0); }

    // The status menu as the main window fills it.
    QList<int> addStatusItems()
    {
        QList<int> ids;
        for (const char *name : {"Complete", "Incomplete", "Invalid", "Unresolved", "Moved"})
            ids.append(popup.AddItem(QString::fromLatin1(name), QString::fromLatin1(name), clsPopup::TypeText, 0, 0));
        ids.append(popup.AddItem(QStringLiteral("Divider1"), QString(), clsPopup::TypeDivider, 0, 0));
        for (const char *name : {"Information", "Question", "Request"})
            ids.append(popup.AddItem(QString::fromLatin1(name), QString::fromLatin1(name), clsPopup::TypeText, 0, 0));
        return ids;
    }

    const QList<Item> &lastShown() const { return presenter.showings().constLast().items; }

    static QPixmap filled(Qt::GlobalColor color)
    {
        QPixmap pixmap(16, 16);
        pixmap.fill(color);
        return pixmap;
    }

    static QColor centreColour(const QIcon &icon, QIcon::State state)
    {
        return icon.pixmap(QSize(16, 16), QIcon::Normal, state).toImage().pixelColor(8, 8);
    }

    ScriptedMenuPresenter presenter;
    clsPopup popup{&presenter};
    QStringList clicked;
};

QStringList texts(const QList<Item> &items)
{
    QStringList result;
    for (const Item &item : items)
        result.append(item.separator ? QStringLiteral("---") : item.text);
    return result;
}

QList<int> commandIds(const QList<Item> &items)
{
    QList<int> result;
    for (const Item &item : items)
        result.append(item.commandId);
    return result;
}

} // namespace

TEST_F(PopupTest, NumbersItemsInCallOrderAndReportsTheChosenKey)
{
    EXPECT_EQ(addStatusItems(), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(popup.ItemKey(1), QStringLiteral("Complete"));
    EXPECT_EQ(popup.ItemKey(6), QStringLiteral("Divider1"));
    EXPECT_EQ(popup.ItemKey(9), QStringLiteral("Request"));
    EXPECT_EQ(popup.ItemKey(0), std::nullopt);
    EXPECT_EQ(popup.ItemKey(10), std::nullopt);

    presenter.chooseId(9);
    popup.PopupMenu(nullptr);
    // Reported while PopupMenu ran, not queued for later.
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Request")}));

    ASSERT_EQ(presenter.showings().size(), 1);
    EXPECT_EQ(texts(lastShown()),
              QStringList({"Complete", "Incomplete", "Invalid", "Unresolved", "Moved", "---", "Information", "Question",
                           "Request"}));
    EXPECT_EQ(commandIds(lastShown()), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // The divider is a line that cannot be chosen.
    EXPECT_TRUE(lastShown()[5].separator);
    EXPECT_FALSE(lastShown()[5].enabled);
}

TEST_F(PopupTest, RefusedItemsAreMissingButUseUpTheirIds)
{
    EXPECT_EQ(popup.AddItem(QStringLiteral("a"), QStringLiteral("A"), clsPopup::TypeText, 0, 0), 1);
    EXPECT_EQ(popup.AddItem(QStringLiteral("bitmap"), QStringLiteral("B"), 0x4, 0, 0), 2);
    EXPECT_EQ(popup.AddItem(QStringLiteral("odd divider"), QString(), clsPopup::TypeDivider | 0x100, 0, 0), 3);
    EXPECT_EQ(popup.AddItem(QStringLiteral("c"), QStringLiteral("C"), clsPopup::TypeText, 0, 0), 4);

    EXPECT_EQ(popup.ItemKey(2), std::nullopt);
    EXPECT_EQ(popup.ItemKey(3), std::nullopt);
    EXPECT_EQ(popup.ItemKey(4), QStringLiteral("c"));

    presenter.chooseId(4);
    popup.PopupMenu(nullptr);
    EXPECT_EQ(texts(lastShown()), QStringList({"A", "C"}));
    EXPECT_EQ(commandIds(lastShown()), QList<int>({1, 4}));
    EXPECT_EQ(clicked, QStringList({QStringLiteral("c")}));
}

TEST_F(PopupTest, ItemsSharingAKeyAreBothShownAndReportIt)
{
    popup.AddItem(QStringLiteral("Same"), QStringLiteral("First"), clsPopup::TypeText, 0, 0);
    popup.AddItem(QStringLiteral("Same"), QStringLiteral("Second"), clsPopup::TypeText, 0, 0);
    presenter.choose(QStringLiteral("Second"));
    presenter.choose(QStringLiteral("First"));
    popup.PopupMenu(nullptr);
    popup.PopupMenu(nullptr);
    EXPECT_EQ(texts(lastShown()), QStringList({"First", "Second"}));
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Same"), QStringLiteral("Same")}));
}

TEST_F(PopupTest, KeepsStatesItemDataAndPictures)
{
    popup.AddItem(QStringLiteral("plain"), QStringLiteral("Plain"), clsPopup::TypeText, clsPopup::StateEnabled, 0);
    popup.AddItem(QStringLiteral("grayed"), QStringLiteral("Grayed"), clsPopup::TypeText, 0x1, 0);
    popup.AddItem(QStringLiteral("disabled"), QStringLiteral("Disabled"), clsPopup::TypeText, 0x2, 0);
    popup.AddItem(QStringLiteral("checked"), QStringLiteral("Checked"), clsPopup::TypeText, clsPopup::StateChecked,
                  -123456, filled(Qt::red), filled(Qt::blue));
    popup.AddItem(QStringLiteral("pictured"), QStringLiteral("Pictured"), clsPopup::TypeText, 0, 42, filled(Qt::green));

    presenter.choose(QStringLiteral("Checked"));
    presenter.dismiss();
    popup.PopupMenu(nullptr);
    popup.PopupMenu(nullptr);
    EXPECT_EQ(clicked, QStringList({QStringLiteral("checked")}));

    // The second showing: choosing the checked item left it as it was added.
    const QList<Item> &items = lastShown();
    ASSERT_EQ(items.size(), 5);
    EXPECT_TRUE(items[0].enabled);
    EXPECT_FALSE(items[0].checkable);
    EXPECT_TRUE(items[0].icon.isNull());
    EXPECT_FALSE(items[1].enabled);
    EXPECT_FALSE(items[2].enabled);
    EXPECT_TRUE(items[3].enabled);
    EXPECT_TRUE(items[3].checked);
    EXPECT_EQ(items[3].data, QVariant(-123456));
    EXPECT_EQ(centreColour(items[3].icon, QIcon::Off), QColor(Qt::red));
    EXPECT_EQ(centreColour(items[3].icon, QIcon::On), QColor(Qt::blue));
    EXPECT_FALSE(items[4].checked);
    EXPECT_EQ(items[4].data, QVariant(42));
    EXPECT_EQ(centreColour(items[4].icon, QIcon::Off), QColor(Qt::green));
}

TEST_F(PopupTest, DismissalReportsNothingAndTheMenuStaysTheSame)
{
    addStatusItems();
    presenter.chooseId(1);
    presenter.dismiss();
    presenter.choose(QStringLiteral("Moved"));
    popup.PopupMenu(nullptr);
    popup.PopupMenu(nullptr);
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Complete")}));
    popup.PopupMenu(nullptr);
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Complete"), QStringLiteral("Moved")}));

    const QList<ScriptedMenuPresenter::Showing> &showings = presenter.showings();
    ASSERT_EQ(showings.size(), 3);
    for (const ScriptedMenuPresenter::Showing &showing : showings) {
        EXPECT_EQ(texts(showing.items), texts(showings[0].items));
        EXPECT_EQ(commandIds(showing.items), commandIds(showings[0].items));
    }
}

TEST_F(PopupTest, OpensAtThePointerOrAGivenPointOverItsOwner)
{
    addStatusItems();
    QWidget owner;
    owner.show();
    QCursor::setPos(140, 70);
    presenter.dismiss();
    popup.PopupMenu(&owner);
    EXPECT_EQ(presenter.showings().constLast().at, QPoint(140, 70));
    EXPECT_EQ(presenter.showings().constLast().transientParent, owner.windowHandle());

    presenter.choose(QStringLiteral("Question"));
    popup.PopupMenu(&owner, QPoint(30, 45));
    EXPECT_EQ(presenter.showings().constLast().at, QPoint(30, 45));
    EXPECT_EQ(presenter.showings().constLast().transientParent, owner.windowHandle());
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Question")}));
}

TEST(PopupCommandIds, CounterStopsAtTheHighestId)
{
    constexpr int highest = std::numeric_limits<int>::max();
    EXPECT_EQ(clsPopup::NextCommandId(0), 1);
    EXPECT_EQ(clsPopup::NextCommandId(8), 9);
    EXPECT_EQ(clsPopup::NextCommandId(highest - 1), highest);
    EXPECT_EQ(clsPopup::NextCommandId(highest), 0);
}
