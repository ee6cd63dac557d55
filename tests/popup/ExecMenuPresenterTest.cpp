#include "popup/clsPopup.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// The real menu, driven by the keyboard and the mouse once it is open.

namespace {

class ExecMenuTest : public ::testing::Test
{
protected:
    ExecMenuTest()
    {
        QObject::connect(&popup, &clsPopup::ItemClick, [this](const QString &key) { clicked.append(key); });
        for (const char *name : {"Complete", "Incomplete"})
            popup.AddItem(QString::fromLatin1(name), QString::fromLatin1(name), clsPopup::TypeText, 0, 0);
        popup.AddItem(QStringLiteral("Divider1"), QString(), clsPopup::TypeDivider, 0, 0);
        popup.AddItem(QStringLiteral("Locked"), QStringLiteral("Locked"), clsPopup::TypeText, clsPopup::StateDisabled,
                      0);
        popup.AddItem(QStringLiteral("Request"), QStringLiteral("Request"), clsPopup::TypeText, 0, 0);
    }

    // Shows the popup and lets `user` act on the open menu. A menu the user
    // leaves open is closed, so that a fault cannot hang the test.
    void showAnd(const std::function<void(QMenu &)> &user, bool fromKeyboard = false)
    {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            acted = true;
            user(*menu);
            if (menu->isVisible()) {
                ADD_FAILURE() << "the menu was left open";
                menu->close();
            }
        });
        if (fromKeyboard)
            popup.PopupMenu(nullptr, QPoint(0, 0));
        else
            popup.PopupMenu(nullptr);
        EXPECT_TRUE(acted) << "the menu did not open";
    }

    static QAction *item(QMenu &menu, int position) { return menu.actions().at(position); }

    static void click(QMenu &menu, int position)
    {
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item(menu, position)).center());
    }

    clsPopup popup;
    QStringList clicked;
};

} // namespace

TEST_F(ExecMenuTest, ReportsTheItemClicked)
{
    showAnd([](QMenu &menu) { click(menu, 4); });
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Request")}));
}

TEST_F(ExecMenuTest, KeyboardSkipsTheDividerAndDisabledItems)
{
    showAnd([](QMenu &menu) {
        for (int press = 0; press < 3; ++press)
            QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    // Down from nothing selected: Complete, Incomplete, then past the line and
    // the disabled item.
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Request")}));
}

TEST_F(ExecMenuTest, DividerAndDisabledItemIgnoreClicksAndEscapeDismisses)
{
    showAnd([](QMenu &menu) {
        click(menu, 2);
        click(menu, 3);
        EXPECT_TRUE(menu.isVisible());
        QTest::keyClick(&menu, Qt::Key_Escape);
    });
    EXPECT_TRUE(clicked.isEmpty());
}

// Opened from the keyboard the menu starts on its first item, which a screen
// reader then names; a letter chooses the item it begins, or, shared by
// several, makes the next of them active. Opened by the mouse, no item is.
TEST_F(ExecMenuTest, OpensOnItsFirstItemFromTheKeyboardAndLettersChoose)
{
    popup.AddItem(QStringLiteral("Reopen"), QStringLiteral("Reopen"), clsPopup::TypeText, 0, 0);
    showAnd(
        [](QMenu &menu) {
            // The first item becomes active once the menu is up.
            for (int turn = 0; turn < 200 && !menu.activeAction(); ++turn)
                QTest::qWait(10);
            EXPECT_EQ(menu.activeAction(), item(menu, 0));
            QTest::keyClick(&menu, Qt::Key_R);
            EXPECT_EQ(menu.activeAction(), item(menu, 4));
            QTest::keyClick(&menu, Qt::Key_R);
            EXPECT_EQ(menu.activeAction(), item(menu, 5));
            QTest::keyClick(&menu, Qt::Key_Return);
        },
        true);
    showAnd([](QMenu &menu) {
        QTest::qWait(20);
        EXPECT_EQ(menu.activeAction(), nullptr);
        QTest::keyClick(&menu, Qt::Key_I);
    });
    EXPECT_EQ(clicked, QStringList({QStringLiteral("Reopen"), QStringLiteral("Incomplete")}));
}
