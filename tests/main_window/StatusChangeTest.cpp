#include "entries/Status.h"
#include "main_window/MainWindowFixture.h"

#include <QCursor>
#include <QItemSelectionModel>
#include <QTabBar>

namespace {

using Answer = Dialogs::Answer;

class StatusChangeTest : public MainWindowTest
{
protected:
    // Every row of every list, as "list: status|main|task|added|edited|user".
    QStringList allRows() const
    {
        QStringList rows;
        for (int tab = 0; tab < 5; ++tab) {
            CategoryList &l = list(tab);
            for (int position = 1; position <= l.count(); ++position) {
                const Row row = l.rowAt(position);
                QStringList fields = {FormatStatus(l.status(row)), l.text(row, Entry::MainText)};
                for (int sub = Entry::Task; sub <= Entry::User; ++sub)
                    fields.append(l.text(row, sub));
                rows.append(QLatin1String(ListNames[tab]) + QStringLiteral(": ") + fields.join(u'|'));
            }
        }
        return rows;
    }

    // Starts over with empty lists and the edited flag cleared.
    void startOver()
    {
        if (window->document().isDirty())
            dialogs.answer(Answer::No);
        window->mnuFile_New_Click();
        ASSERT_FALSE(window->document().isDirty());
    }
};

} // namespace

TEST_F(StatusChangeTest, PressReleaseRowClickPopupAndStatusChangeInOrder)
{
    open();
    struct Case {
        Qt::MouseButton button;
        int code;
        bool popup;
    };
    // The right button last: until then nothing may set the edited flag.
    for (const Case &c :
         {Case{Qt::LeftButton, 1, false}, Case{Qt::MiddleButton, 4, false}, Case{Qt::RightButton, 2, true}}) {
        startOver();
        addRow(0, Status_Incomplete, QStringLiteral("other"));
        addRow(0, Status_Incomplete, QStringLiteral("chain"), QStringLiteral("me"));
        QStringList log;
        QObject watcher;
        auto pressWatcher = std::make_unique<QObject>();
        QObject::connect(view(0), &CategoryListView::MouseDown, &watcher,
                         [&](int button) { log.append(QStringLiteral("down %1").arg(button)); });
        QObject::connect(list(0).selectionModel(), &QItemSelectionModel::selectionChanged, pressWatcher.get(),
                         [&] { log.append(QStringLiteral("select")); });
        QObject::connect(&list(1), &CategoryList::rowsInserted, &watcher, [&] { log.append(QStringLiteral("added")); });
        QObject::connect(&list(0), &CategoryList::rowsRemoved, &watcher,
                         [&] { log.append(QStringLiteral("removed")); });
        // While the menu is open the row has been shown and is still a task.
        menus.whileShown = [&] {
            log.append(
                QStringLiteral("popup showing \"%1\", %2 tasks").arg(txtTask()->toPlainText()).arg(list(0).count()));
        };

        const int position = list(0).count();
        const QPoint at = rowPoint(0, position);
        const QPoint pointer = view(0)->viewport()->mapToGlobal(at);
        QCursor::setPos(pointer);
        if (c.popup)
            menus.choose(QStringLiteral("Complete"));
        QTest::mousePress(view(0)->viewport(), c.button, {}, at);
        EXPECT_EQ(log, QStringList({QStringLiteral("down %1").arg(c.code), QStringLiteral("select")}));
        pressWatcher.reset();
        QTest::mouseRelease(view(0)->viewport(), c.button, {}, at);
        menus.whileShown = nullptr;

        QStringList expected = {QStringLiteral("down %1").arg(c.code), QStringLiteral("select")};
        if (c.popup)
            expected << QStringLiteral("popup showing \"chain\", %1 tasks").arg(position) << QStringLiteral("added")
                     << QStringLiteral("removed");
        EXPECT_EQ(log, expected);
        EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("chain"));
        EXPECT_EQ(window->document().isDirty(), c.popup);
        if (!c.popup) {
            EXPECT_EQ(list(0).count(), position);
            continue;
        }
        EXPECT_EQ(list(0).count(), position - 1);
        ASSERT_EQ(list(1).count(), 1);
        EXPECT_EQ(list(1).text(list(1).rowAt(1), Entry::Task), QStringLiteral("chain"));

        // The menu: the status names with a divider, at the pointer, over the window.
        ASSERT_EQ(menus.showings().size(), 1);
        const ScriptedMenuPresenter::Showing &shown = menus.showings()[0];
        EXPECT_EQ(shown.at, pointer);
        EXPECT_EQ(shown.transientParent, window->windowHandle());
        const QStringList captions = {"Complete", "Incomplete",  "Invalid",  "Unresolved", "Moved",
                                      "",         "Information", "Question", "Request"};
        ASSERT_EQ(shown.items.size(), captions.size());
        for (int i = 0; i < captions.size(); ++i) {
            const ScriptedMenuPresenter::ShownItem &item = shown.items[i];
            EXPECT_EQ(item.commandId, i + 1);
            EXPECT_EQ(item.text, captions[i]);
            EXPECT_EQ(item.separator, i == 5);
            EXPECT_EQ(item.enabled, i != 5);
            EXPECT_FALSE(item.checked);
            EXPECT_TRUE(item.icon.isNull());
        }
    }
}

TEST_F(StatusChangeTest, TheRightButtonFlagBelongsToTheLastPress)
{
    open();
    addRow(0, Status_Incomplete, QStringLiteral("a"));
    addRow(0, Status_Incomplete, QStringLiteral("b"));
    const auto popups = [this] { return menus.showings().size(); };

    // The flag outlives the popup: a row click that comes without a press opens it again.
    menus.dismiss();
    clickRow(0, 1, Qt::RightButton);
    menus.dismiss();
    window->lvwTasks_ItemClick(list(0).rowAt(1));
    EXPECT_EQ(popups(), 2);

    // A left click after it only shows the entry.
    clickRow(0, 2);
    EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("b"));
    window->lvwTasks_ItemClick(list(0).rowAt(2));
    EXPECT_EQ(popups(), 2);

    // A right press on the empty area sets the flag without clicking an entry.
    const QPoint below(10, view(0)->viewport()->height() - 2);
    ASSERT_FALSE(view(0)->indexAt(below).isValid());
    QTest::mouseClick(view(0)->viewport(), Qt::RightButton, {}, below);
    EXPECT_EQ(popups(), 2);
    select(0, 2);
    menus.dismiss();
    window->lvwTasks_ItemClick(list(0).rowAt(2));
    EXPECT_EQ(popups(), 3);
    EXPECT_FALSE(window->document().isDirty());
}

TEST_F(StatusChangeTest, EveryStatusFromEveryTab)
{
    open();
    struct Choice {
        const char *name;
        int code;
        int tab;
    };
    const Choice choices[] = {{"Complete", 2, 1}, {"Incomplete", 1, 0},  {"Invalid", 3, 2},  {"Unresolved", 4, 2},
                              {"Moved", 5, 2},    {"Information", 6, 3}, {"Question", 7, 0}, {"Request", 8, 4}};
    const int heldOnTab[] = {Status_Incomplete, Status_Complete, Status_Invalid, Status_Information, Status_Request};

    for (int tab = 0; tab < 5; ++tab) {
        for (const Choice &choice : choices) {
            const std::string where = std::string(ListNames[tab]) + " -> " + choice.name;
            startOver();
            tabMain()->tabBar()->setCurrentIndex(tab);
            addRow(tab, heldOnTab[tab], QStringLiteral("first"));
            const Row changing = addRow(tab, heldOnTab[tab], QStringLiteral("changing"), QStringLiteral("owner"));
            addRow(tab, heldOnTab[tab], QStringLiteral("last"));

            menus.choose(QLatin1String(choice.name));
            clickRow(tab, 2, Qt::RightButton);

            EXPECT_TRUE(window->document().isDirty()) << where;
            CategoryList &target = list(choice.tab);
            const bool inPlace = choice.tab == tab;
            for (int other = 0; other < 5; ++other) {
                const int expected = other == tab ? (inPlace ? 3 : 2) : (other == choice.tab ? 1 : 0);
                EXPECT_EQ(list(other).count(), expected) << where << " in " << ListNames[other];
            }
            QStringList left;
            for (int position = 1; position <= list(tab).count(); ++position)
                left.append(list(tab).text(list(tab).rowAt(position), Entry::Task));
            EXPECT_EQ(left, inPlace ? QStringList({"first", "changing", "last"}) : QStringList({"first", "last"}))
                << where;
            const Row row = inPlace ? target.rowAt(2) : target.rowAt(1);
            ASSERT_NE(row, nullptr) << where;
            if (inPlace) {
                EXPECT_EQ(row, changing) << where;
            }
            const QString digits = QString::number(choice.code);
            EXPECT_EQ(target.status(row), choice.code) << where;
            EXPECT_EQ(target.text(row, Entry::MainText), digits) << where;
            EXPECT_EQ(target.text(row, Entry::StatusText), digits) << where;
            EXPECT_EQ(target.text(row, Entry::Task), QStringLiteral("changing")) << where;
            EXPECT_EQ(target.text(row, Entry::Added), QStringLiteral("added once")) << where;
            EXPECT_EQ(target.text(row, Entry::User), QStringLiteral("owner")) << where;
            EXPECT_FALSE(target.text(row, Entry::Edited).isEmpty()) << where;
        }
    }
}

TEST_F(StatusChangeTest, NoChoiceNoStatusNameOrNoSelectionChangesNothing)
{
    open();
    addRow(0, Status_Incomplete, QStringLiteral("a"));
    addRow(0, Status_Question, QStringLiteral("b"));
    addRow(1, Status_Complete, QStringLiteral("done"));
    const QStringList before = allRows();

    menus.dismiss();
    clickRow(0, 2, Qt::RightButton);
    EXPECT_EQ(menus.showings().size(), 1);
    EXPECT_EQ(allRows(), before);

    for (const char *key : {"Divider1", "complete", "COMPLETE", " Complete", "Completed", "2", ""})
        window->objRightClickPopup_ItemClick(QLatin1String(key));
    EXPECT_EQ(allRows(), before);

    // Without a selection on the current tab, even the row selected on another tab stays.
    list(0).selectionModel()->clearSelection();
    select(1, 1);
    for (const char *name :
         {"Complete", "Incomplete", "Invalid", "Unresolved", "Moved", "Information", "Question", "Request"})
        window->objRightClickPopup_ItemClick(QLatin1String(name));
    EXPECT_EQ(allRows(), before);
    EXPECT_FALSE(window->document().isDirty());
}

TEST_F(StatusChangeTest, MenuKeyAndShiftF10OpenTheSelectedEntrysMenuAtIt)
{
    open();
    addRow(0, Status_Incomplete, QStringLiteral("a"));
    addRow(0, Status_Incomplete, QStringLiteral("b"), QStringLiteral("who"));
    clickRow(0, 2);
    view(0)->setFocus();
    QCursor::setPos(0, 0);

    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Menu, Qt::NoModifier},
                                                              {Qt::Key_F10, Qt::ShiftModifier}};
    for (const auto &[key, modifiers] : keys) {
        txtTask()->clear();
        txtUser()->clear();
        const qsizetype shown = menus.showings().size();
        menus.dismiss();
        QTest::keyClick(view(0), key, modifiers);
        ASSERT_EQ(menus.showings().size(), shown + 1);
        EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("b"));
        EXPECT_EQ(txtUser()->text(), QStringLiteral("who"));
        // Just below the selected row, within the list.
        QWidget *viewport = view(0)->viewport();
        const QRect row = view(0)->visualRect(list(0).index(1, 0));
        const QPoint at = viewport->mapFromGlobal(menus.showings().constLast().at);
        EXPECT_EQ(at.y(), row.bottom() + 1);
        EXPECT_TRUE(viewport->rect().contains(QPoint(at.x(), row.center().y())));

        // The key leaves the left press's flag alone: a row click still shows no menu.
        window->lvwTasks_ItemClick(list(0).rowAt(2));
        EXPECT_EQ(menus.showings().size(), shown + 1);
    }

    // Nor does it clear a right press's flag.
    menus.dismiss();
    clickRow(0, 1, Qt::RightButton);
    menus.dismiss();
    QTest::keyClick(view(0), Qt::Key_Menu);
    menus.dismiss();
    window->lvwTasks_ItemClick(list(0).rowAt(1));
    EXPECT_EQ(menus.showings().size(), 5);

    // A choice made from the keyboard's menu changes the status.
    menus.choose(QStringLiteral("Complete"));
    QTest::keyClick(view(0), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(list(0).count(), 1);
    EXPECT_EQ(list(1).count(), 1);

    // Without a selected entry, and with F10 alone, nothing opens.
    list(0).selectionModel()->clearSelection();
    QTest::keyClick(view(0), Qt::Key_Menu);
    select(0, 1);
    QTest::keyClick(view(0), Qt::Key_F10);
    EXPECT_EQ(menus.showings().size(), 6);
}
