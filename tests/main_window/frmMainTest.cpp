#include "about/frmAbout.h"
#include "entries/Status.h"
#include "main_window/MainWindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

using Answer = Dialogs::Answer;

// The window's composition at start, in twips within each control's container.
const TwipsGeometry kStartGeometry[] = {
    {"tabMain", "", 0, 30, 6405, 2415},
    {"lvwTasks", "tabMain", 60, 360, 6285, 1965},
    {"lvwCompleted", "tabMain", 60, 360, 6285, 1965},
    {"lvwUnresolved", "tabMain", 60, 360, 6285, 1965},
    {"lvwInformation", "tabMain", 60, 360, 6285, 1965},
    {"lvwRequests", "tabMain", 60, 360, 6285, 1965},
    {"fraDetails", "", 0, 2520, 5205, 1965},
    {"txtTask", "fraDetails", 90, 240, 5025, 1185},
    {"lblUser", "fraDetails", 120, 1560, 465, 225},
    {"txtUser", "fraDetails", 540, 1560, 4575, 285},
    {"fraEdit", "", 5250, 2520, 1155, 1965},
    {"btnNew", "fraEdit", 90, 270, 975, 525},
    {"btnUpdate", "fraEdit", 90, 810, 975, 525},
    {"btnDelete", "fraEdit", 90, 1350, 975, 525},
    {"fraType", "", 0, 4530, 6405, 615},
};

// The radio buttons' geometry where their captions fit in it.
const TwipsGeometry kRadioGeometry[] = {
    {"optTask", "fraType", 120, 240, 1335, 285},
    {"optQuestion", "fraType", 1410, 240, 1035, 285},
};

} // namespace

TEST_F(MainWindowTest, Composition)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarvik"));
    EXPECT_FALSE(window->windowIcon().isNull());

    QTabBar *tabs = tabMain()->tabBar();
    const QStringList captions = {"&Tasks", "&Completed", "&Unresolved", "Information", "&Requests"};
    ASSERT_EQ(tabs->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tabs->tabText(i), captions[i]);
    EXPECT_EQ(tabMain()->currentIndex(), 0);

    EXPECT_EQ(control<QGroupBox>("fraDetails")->title(), QStringLiteral("Entry Details"));
    EXPECT_EQ(control<QGroupBox>("fraEdit")->title(), QStringLiteral("Entry Editing"));
    EXPECT_EQ(control<QGroupBox>("fraType")->title(), QStringLiteral("New Task Type"));
    EXPECT_EQ(control<QLabel>("lblUser")->text(), QStringLiteral("User"));
    EXPECT_EQ(control<QPushButton>("btnNew")->text(), QStringLiteral("&New"));
    EXPECT_EQ(control<QPushButton>("btnUpdate")->text(), QStringLiteral("&Update"));
    EXPECT_EQ(control<QPushButton>("btnDelete")->text(), QStringLiteral("&Delete"));
    EXPECT_EQ(control<QRadioButton>("optTask")->text(), QStringLiteral("Normal Task"));
    EXPECT_EQ(control<QRadioButton>("optQuestion")->text(), QStringLiteral("Question"));
    EXPECT_TRUE(control<QRadioButton>("optTask")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("optQuestion")->isChecked());
    EXPECT_TRUE(txtTask()->toPlainText().isEmpty());
    EXPECT_TRUE(txtUser()->text().isEmpty());

    // The menu bar: File with its five items, then About as a command of its own.
    const QList<QAction *> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(bar[1]->text(), QStringLiteral("A&bout"));
    EXPECT_EQ(bar[1]->objectName(), QStringLiteral("mnuAbout"));
    EXPECT_EQ(bar[1]->menu(), nullptr);
    ASSERT_NE(bar[0]->menu(), nullptr);
    EXPECT_EQ(bar[0]->menu()->objectName(), QStringLiteral("mnuFile"));
    const QList<QAction *> items = bar[0]->menu()->actions();
    const QStringList itemCaptions = {"&New", "&Open..", "&Save", "Save &As..", "&Exit"};
    const QStringList itemNames = {"mnuFile_New", "mnuFile_Open", "mnuFile_Save", "mnuFile_SaveAs", "mnuFile_Exit"};
    ASSERT_EQ(items.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(items[i]->text(), itemCaptions[i]);
        EXPECT_EQ(items[i]->objectName(), itemNames[i]);
        EXPECT_TRUE(items[i]->shortcut().isEmpty());
        EXPECT_FALSE(items[i]->isSeparator());
    }
}

// In a font whose captions fit the design's room, as DejaVu Sans at 9 pt.
TEST_F(MainWindowTest, kStartGeometry)
{
    const ApplicationFont designFont(QStringLiteral("DejaVu Sans"), 9);
    open();
    EXPECT_EQ(window->centralWidget()->size(), QSize(pxX(6450), pxY(5175)));
    for (const TwipsGeometry &g : kStartGeometry) {
        QWidget *c = control(g.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->geometry(), px(g)) << g.name;
        const QString container = *g.container ? QString::fromLatin1(g.container) : QString();
        if (!container.isEmpty())
            EXPECT_EQ(c->parentWidget()->objectName(), container) << g.name;
        else
            EXPECT_EQ(c->parentWidget(), window->centralWidget()) << g.name;
    }

    for (const TwipsGeometry &g : kRadioGeometry) {
        QWidget *button = control(g.name);
        EXPECT_EQ(button->parentWidget()->objectName(), QStringLiteral("fraType"));
        EXPECT_EQ(button->pos().y(), px(g).y()) << g.name;
    }

    // Only the current tab's list shows, and the tab strip sits above it.
    for (int tab = 0; tab < 5; ++tab)
        EXPECT_EQ(view(tab)->isVisible(), tab == 0);
    EXPECT_TRUE(tabMain()->tabBar()->isVisible());
    EXPECT_EQ(tabMain()->tabBar()->geometry().top(), 0);
}

// At the desktops' usual font sizes each radio caption fits its button, and
// the buttons stay side by side inside their frame, in their order.
TEST_F(MainWindowTest, RadioCaptionsFitAtUsualFontSizes)
{
    const QFont original = QApplication::font();
    for (const int points : {9, 10, 11, 12}) {
        QFont font = original;
        font.setPointSize(points);
        QApplication::setFont(font);
        open();
        auto *optTask = control<QRadioButton>("optTask");
        auto *optQuestion = control<QRadioButton>("optQuestion");
        for (QRadioButton *button : {optTask, optQuestion}) {
            const QSize needed = button->sizeHint();
            EXPECT_GE(button->width(), needed.width()) << points << "pt " << button->objectName().toStdString();
            EXPECT_GE(button->height(), needed.height()) << points << "pt " << button->objectName().toStdString();
        }
        EXPECT_GE(optQuestion->x(), optTask->geometry().right() + 1) << points << "pt";
        EXPECT_LE(optQuestion->geometry().right(), control("fraType")->width()) << points << "pt";
    }
    QApplication::setFont(original);
}

// From the start size, which a large font makes larger than the design's.
TEST_F(MainWindowTest, GrowingTheWindowMovesAndSizesTheRegisteredControls)
{
    const ApplicationFont largeFont(QStringLiteral("DejaVu Sans"), 12);
    open();
    const QSize innerAtStart = window->centralWidget()->size();
    ASSERT_GT(innerAtStart.width(), pxX(6450));
    QHash<QString, QRect> start;
    for (const TwipsGeometry &g : kStartGeometry)
        start.insert(QLatin1String(g.name), control(g.name)->geometry());
    for (const TwipsGeometry &g : kRadioGeometry)
        start.insert(QLatin1String(g.name), control(g.name)->geometry());
    const int dW = pxX(600);
    const int dH = pxY(300);
    window->resize(window->size() + QSize(dW, dH));
    QCoreApplication::processEvents();
    ASSERT_EQ(window->centralWidget()->size(), innerAtStart + QSize(dW, dH));

    struct Factors {
        const char *name;
        int a, b, c, d;
    };
    const Factors registered[] = {
        {"lvwTasks", 0, 0, 1, 1},       {"lvwCompleted", 0, 0, 1, 1}, {"lvwUnresolved", 0, 0, 1, 1},
        {"lvwInformation", 0, 0, 1, 1}, {"lvwRequests", 0, 0, 1, 1},  {"txtTask", 0, 0, 1, 0},
        {"txtUser", 0, 0, 1, 0},        {"tabMain", 0, 0, 1, 1},      {"fraDetails", 0, 1, 1, 0},
        {"fraEdit", 1, 1, 0, 0},        {"fraType", 0, 1, 1, 0},
    };
    for (auto it = start.cbegin(); it != start.cend(); ++it) {
        QRect expected = it.value();
        for (const Factors &f : registered) {
            if (it.key() == QLatin1String(f.name))
                expected = QRect(expected.x() + f.a * dW, expected.y() + f.b * dH, expected.width() + f.c * dW,
                                 expected.height() + f.d * dH);
        }
        EXPECT_EQ(window->findChild<QWidget *>(it.key())->geometry(), expected) << it.key().toStdString();
    }
    for (int tab = 0; tab < 5; ++tab)
        EXPECT_EQ(view(tab)->header()->sectionSize(1), qRound(0.7 * (start.value("lvwTasks").width() + dW)))
            << ListNames[tab];
}

TEST_F(MainWindowTest, ShrinkingBelowStartSizeNeverGivesNegativeSizes)
{
    open();
    window->resize(40, 40);
    QCoreApplication::processEvents();
    for (const TwipsGeometry &g : kStartGeometry) {
        EXPECT_GE(control(g.name)->width(), 0) << g.name;
        EXPECT_GE(control(g.name)->height(), 0) << g.name;
    }
}

TEST_F(MainWindowTest, ListColumns)
{
    open();
    const QStringList captions = {"", "Task", "Added", "Edited", "User", ""};
    for (int tab = 0; tab < 5; ++tab) {
        CategoryListView *v = view(tab);
        ASSERT_EQ(v->model()->columnCount(), 6);
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(v->model()->headerData(c, Qt::Horizontal).toString(), captions[c]);
        EXPECT_EQ(v->columnPosition(QStringLiteral("Status_Hidden")), 6);
        QHeaderView *h = v->header();
        EXPECT_EQ(h->sectionSize(0), pxX(300));
        EXPECT_EQ(h->sectionSize(1), qRound(0.7 * v->width()));
        EXPECT_EQ(h->sectionSize(2), pxX(1700));
        EXPECT_EQ(h->sectionSize(3), pxX(1700));
        EXPECT_EQ(h->sectionSize(4), pxX(1000));
        EXPECT_EQ(h->sectionSize(5), 0);
        // Hidden as well, so that screen readers do not read it out.
        EXPECT_TRUE(h->isSectionHidden(5));
        EXPECT_FALSE(h->stretchLastSection());
        EXPECT_FALSE(v->isSortingEnabled());
        EXPECT_TRUE(h->sectionsClickable());
        EXPECT_TRUE(v->verticalHeader()->isHidden());
        EXPECT_FALSE(v->showGrid());
    }

    // Setting the columns up again replaces them.
    window->SetupListColumns(*view(2));
    EXPECT_EQ(view(2)->model()->columnCount(), 6);
    EXPECT_EQ(view(2)->header()->count(), 6);
}

TEST_F(MainWindowTest, RowsShowTheirStatusPicture)
{
    open();
    Row invalid = addRow(2, Status_Invalid, QStringLiteral("x"));
    Row moved = addRow(2, Status_Moved, QStringLiteral("y"));
    Row odd = addRow(2, 0, QStringLiteral("z"));
    // The status cell as the view paints it.
    const auto picture = [this](Row row) {
        CategoryListView *shown = view(2);
        const QModelIndex at = list(2).index(list(2).positionOf(row) - 1, 0);
        shown->scrollTo(at);
        return shown->viewport()->grab(shown->visualRect(at)).toImage();
    };
    EXPECT_FALSE(picture(invalid).isNull());
    EXPECT_NE(picture(invalid), picture(moved));
    EXPECT_NE(picture(odd), picture(invalid));
    EXPECT_NE(picture(odd), picture(moved));
}

TEST_F(MainWindowTest, StartUpRunsTheCheckFirstAndOpensTheCommandLineLast)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("start list.tvk"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("Status;Task;Added;Edited;User\r\n7;why;a;;u\r\n1;do;a;;u\r\n");
    out.close();

    int checks = 0;
    int columnsAtCheck = -1;
    int rowsAtCheck = -1;
    open(file, [&] {
        ++checks;
        columnsAtCheck = 0;
        rowsAtCheck = 0;
        for (QWidget *w : QApplication::allWidgets()) {
            if (auto *v = qobject_cast<CategoryListView *>(w)) {
                columnsAtCheck += v->columnPosition(QStringLiteral("Status_Hidden"));
                rowsAtCheck += v->model()->rowCount();
            }
        }
    });
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(columnsAtCheck, 0);
    EXPECT_EQ(rowsAtCheck, 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarvik 1.0.0 (%1)").arg(file));
    ASSERT_EQ(list(0).count(), 2);
    EXPECT_EQ(list(0).text(list(0).rowAt(1), Entry::Task), QStringLiteral("do"));
    EXPECT_FALSE(window->document().isDirty());
}

TEST_F(MainWindowTest, TabChangeEmptiesOnlyTheTaskText)
{
    open();
    addRow(0, 1, QStringLiteral("a"));
    addRow(1, 2, QStringLiteral("b"));
    select(0, 1);
    select(1, 1);
    txtTask()->setPlainText(QStringLiteral("typed"));
    txtUser()->setText(QStringLiteral("me"));
    tabMain()->tabBar()->setCurrentIndex(1);
    EXPECT_TRUE(txtTask()->toPlainText().isEmpty());
    EXPECT_EQ(txtUser()->text(), QStringLiteral("me"));
    EXPECT_EQ(list(0).selectedRow(), list(0).rowAt(1));
    EXPECT_EQ(list(1).selectedRow(), list(1).rowAt(1));
    EXPECT_TRUE(view(1)->isVisible());
    EXPECT_FALSE(view(0)->isVisible());
}

TEST_F(MainWindowTest, NewOnEveryTabWithEitherKind)
{
    open();
    const int plain[] = {Status_Incomplete, Status_Complete, Status_Unresolved, Status_Information, Status_Request};
    const int question[] = {Status_Question, Status_Complete, Status_Unresolved, Status_Information, Status_Request};
    for (int tab = 0; tab < 5; ++tab) {
        for (bool asQuestion : {false, true}) {
            tabMain()->tabBar()->setCurrentIndex(tab);
            control<QRadioButton>(asQuestion ? "optQuestion" : "optTask")->setChecked(true);
            addRow(tab, plain[tab], QStringLiteral("older"));
            select(tab, list(tab).count());
            txtTask()->setPlainText(QStringLiteral("new entry"));
            txtUser()->setText(QStringLiteral("owner"));
            int countsBefore[5];
            for (int other = 0; other < 5; ++other)
                countsBefore[other] = list(other).count();
            window->btnNew_Click();

            const int expected = asQuestion ? question[tab] : plain[tab];
            CategoryList &l = list(tab);
            const Row row = l.rowAt(1);
            EXPECT_EQ(l.status(row), expected) << tab;
            EXPECT_EQ(l.text(row, Entry::MainText), QString());
            EXPECT_EQ(l.text(row, Entry::Task), QStringLiteral("new entry"));
            EXPECT_FALSE(l.text(row, Entry::Added).isEmpty());
            EXPECT_TRUE(l.text(row, Entry::Edited).isEmpty());
            EXPECT_EQ(l.text(row, Entry::User), QStringLiteral("owner"));
            EXPECT_EQ(l.text(row, Entry::StatusText), QString::number(expected));
            // The selection stays on the row it was on.
            EXPECT_EQ(l.selectedRow(), l.rowAt(l.count()));
            EXPECT_TRUE(txtTask()->toPlainText().isEmpty());
            EXPECT_EQ(txtUser()->text(), QStringLiteral("owner"));
            for (int other = 0; other < 5; ++other)
                EXPECT_EQ(list(other).count(), countsBefore[other] + (other == tab ? 1 : 0));
            EXPECT_TRUE(window->document().isDirty());
        }
    }
}

TEST_F(MainWindowTest, NewWithEmptyTaskTextAndInSortedList)
{
    open();
    list(0).setSorting(Entry::Task, CategoryList::Ascending, true);
    addRow(0, 1, QStringLiteral("b"));
    addRow(0, 1, QStringLiteral("d"));
    txtTask()->setPlainText(QStringLiteral("c"));
    window->btnNew_Click();
    EXPECT_EQ(list(0).text(list(0).rowAt(2), Entry::Task), QStringLiteral("c"));
    window->btnNew_Click();
    EXPECT_EQ(list(0).text(list(0).rowAt(1), Entry::Task), QString());
    EXPECT_EQ(list(0).count(), 4);
}

TEST_F(MainWindowTest, UpdateOnEveryTab)
{
    open();
    const int statuses[] = {Status_Question, Status_Complete, Status_Moved, Status_Information, Status_Request};
    for (int tab = 0; tab < 5; ++tab) {
        tabMain()->tabBar()->setCurrentIndex(tab);
        const Row row = addRow(tab, statuses[tab], QStringLiteral("before"), QStringLiteral("old"));

        // Without a selection nothing changes, and the typed text stays.
        txtTask()->setPlainText(QStringLiteral("after"));
        txtUser()->setText(QStringLiteral("new"));
        window->btnUpdate_Click();
        EXPECT_EQ(list(tab).text(row, Entry::Task), QStringLiteral("before"));
        EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("after"));
        EXPECT_FALSE(window->document().isDirty());

        select(tab, 1);
        window->btnUpdate_Click();
        CategoryList &l = list(tab);
        EXPECT_EQ(l.text(row, Entry::Task), QStringLiteral("after"));
        EXPECT_EQ(l.text(row, Entry::User), QStringLiteral("new"));
        EXPECT_FALSE(l.text(row, Entry::Edited).isEmpty());
        EXPECT_EQ(l.text(row, Entry::Added), QStringLiteral("added once"));
        EXPECT_EQ(l.status(row), statuses[tab]);
        EXPECT_EQ(l.text(row, Entry::StatusText), QString::number(statuses[tab]));
        EXPECT_EQ(l.text(row, Entry::MainText), QString());
        EXPECT_EQ(l.count(), 1);
        EXPECT_TRUE(txtTask()->toPlainText().isEmpty());
        EXPECT_EQ(txtUser()->text(), QStringLiteral("new"));
        EXPECT_TRUE(window->document().isDirty());

        // Set the flag back through a save for the next tab.
        QTemporaryDir dir;
        dialogs.choose(dir.filePath(QStringLiteral("t.tvk")));
        window->mnuFile_SaveAs_Click();
        ASSERT_FALSE(window->document().isDirty());
    }
}

TEST_F(MainWindowTest, DeleteOnEveryTab)
{
    open();
    const int statuses[] = {Status_Incomplete, Status_Complete, Status_Invalid, Status_Information, Status_Request};
    for (int tab = 0; tab < 5; ++tab) {
        tabMain()->tabBar()->setCurrentIndex(tab);
        addRow(tab, statuses[tab], QStringLiteral("one"));
        const Row two = addRow(tab, statuses[tab], QStringLiteral("two"));
        addRow(tab, statuses[tab], QStringLiteral("three"));
        const int asked = static_cast<int>(dialogs.messages().size());

        window->btnDelete_Click();
        EXPECT_EQ(dialogs.messages().size(), asked);

        select(tab, 2);
        txtTask()->setPlainText(QStringLiteral("shown"));
        dialogs.answer(Answer::No);
        window->btnDelete_Click();
        ASSERT_EQ(dialogs.messages().size(), asked + 1);
        const ScriptedDialogs::Message &m = dialogs.messages().last();
        EXPECT_EQ(m.text, QStringLiteral("Remove selected entry?"));
        EXPECT_EQ(m.buttons, Dialogs::Buttons::YesNo);
        EXPECT_EQ(m.icon, Dialogs::Icon::Question);
        EXPECT_EQ(list(tab).count(), 3);
        EXPECT_FALSE(window->document().isDirty());

        dialogs.answer(Answer::Yes);
        window->btnDelete_Click();
        EXPECT_EQ(list(tab).count(), 2);
        EXPECT_EQ(list(tab).positionOf(two), 0);
        EXPECT_EQ(list(tab).text(list(tab).rowAt(2), Entry::Task), QStringLiteral("three"));
        EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("shown"));
        EXPECT_TRUE(window->document().isDirty());

        dialogs.answer(Answer::No);
        window->mnuFile_New_Click();
        ASSERT_FALSE(window->document().isDirty());
    }
}

TEST_F(MainWindowTest, LineBreaksRoundTripThroughThePane)
{
    open();
    txtTask()->setFocus();
    QTest::keyClicks(txtTask(), QStringLiteral("a"));
    QTest::keyClick(txtTask(), Qt::Key_Return);
    QTest::keyClicks(txtTask(), QStringLiteral("b"));
    QTest::keyClick(txtTask(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(txtTask(), QStringLiteral("c\u00a0d"));
    window->btnNew_Click();
    const Row row = list(0).rowAt(1);
    EXPECT_EQ(list(0).text(row, Entry::Task), QStringLiteral("a | b | c\u00a0d"));

    txtUser()->clear();
    clickRow(0, 1);
    EXPECT_EQ(txtTask()->document()->blockCount(), 3);
    EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("a\nb\nc d"));
    EXPECT_EQ(txtUser()->text(), QStringLiteral(""));
    window->btnUpdate_Click();
    EXPECT_EQ(list(0).text(row, Entry::Task), QStringLiteral("a | b | c\u00a0d"));
}

TEST_F(MainWindowTest, ALongTaskShowsItsBeginningAndUpdateKeepsItWhole)
{
    open();
    // Longer than the box shows whole, with encoded line breaks near its start.
    const QString task = QStringLiteral("first | second | ") + QString(300 * 1000, u'x');
    const Row row = addRow(0, Status_Incomplete, task);
    clickRow(0, 1);
    EXPECT_TRUE(txtTask()->isReadOnly());
    EXPECT_TRUE(txtTask()->toPlainText().startsWith(QStringLiteral("first\nsecond\nxxx")));
    EXPECT_LT(txtTask()->toPlainText().size(), task.size() / 10);
    auto *showAll = control<QPushButton>("btnShowAll");
    ASSERT_TRUE(showAll->isVisible());

    // Update writes the whole task, never the beginning shown.
    txtUser()->setText(QStringLiteral("new user"));
    window->btnUpdate_Click();
    EXPECT_EQ(list(0).text(row, Entry::Task), task);
    EXPECT_EQ(list(0).text(row, Entry::User), QStringLiteral("new user"));
    EXPECT_FALSE(txtTask()->isReadOnly());
    EXPECT_FALSE(showAll->isVisible());

    // Show all puts the whole text in, to be edited as any other.
    clickRow(0, 1);
    QTest::mouseClick(showAll, Qt::LeftButton);
    EXPECT_FALSE(showAll->isVisible());
    EXPECT_FALSE(txtTask()->isReadOnly());
    EXPECT_EQ(txtTask()->document()->blockCount(), 3);
    QTest::keyClick(txtTask(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(txtTask(), QStringLiteral("!"));
    window->btnUpdate_Click();
    EXPECT_EQ(list(0).text(row, Entry::Task), task + u'!');
}

TEST_F(MainWindowTest, RowClicksShowTheEntryOnEveryTab)
{
    open();
    for (int tab = 0; tab < 5; ++tab) {
        tabMain()->tabBar()->setCurrentIndex(tab);
        addRow(tab, Status_Moved, QStringLiteral("first"), QStringLiteral("u1"));
        addRow(tab, Status_Moved, QStringLiteral("line 1 | line 2"), QStringLiteral("u2"));
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            txtTask()->clear();
            txtUser()->clear();
            if (button == Qt::RightButton)
                menus.dismiss();
            clickRow(tab, 2, button);
            EXPECT_EQ(list(tab).selectedRow(), list(tab).rowAt(2)) << tab;
            EXPECT_EQ(txtTask()->toPlainText(), QStringLiteral("line 1\nline 2")) << tab;
            EXPECT_EQ(txtUser()->text(), QStringLiteral("u2")) << tab;
        }
        EXPECT_FALSE(window->document().isDirty());
    }
}

TEST_F(MainWindowTest, NewCommandEmptiesBothTextsAndTheCaption)
{
    open();
    addRow(0, 1, QStringLiteral("a"));
    txtTask()->setPlainText(QStringLiteral("t"));
    txtUser()->setText(QStringLiteral("u"));
    window->mnuFile_New_Click();
    EXPECT_EQ(list(0).count(), 0);
    EXPECT_TRUE(txtTask()->toPlainText().isEmpty());
    EXPECT_TRUE(txtUser()->text().isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarvik"));
}

TEST_F(MainWindowTest, CloseRequestAsksWhenEdited)
{
    open();
    window->btnNew_Click();
    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("ToDo-list has been edited! Save changes?"));
    EXPECT_EQ(list(0).count(), 1);

    // Exit goes through the same question.
    dialogs.answer(Answer::No);
    window->mnuFile_Exit_Click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST_F(MainWindowTest, MenuItemsReachTheFileCommands)
{
    open();
    window->btnNew_Click();
    QMenu *file = window->menuBar()->actions()[0]->menu();
    dialogs.answer(Answer::Cancel);
    file->actions()[0]->trigger();
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("ToDo-list has been edited! Save Changes?"));
    dialogs.answer(Answer::Cancel);
    file->actions()[1]->trigger();
    EXPECT_EQ(dialogs.messages().size(), 2);
    dialogs.answer(Answer::Cancel);
    file->actions()[2]->trigger();
    EXPECT_TRUE(dialogs.messages().last().text.startsWith(QStringLiteral("No file specified to save to!")));
    dialogs.choose(QString());
    file->actions()[3]->trigger();
    EXPECT_EQ(dialogs.fileChoices().size(), 1);
    EXPECT_EQ(list(0).count(), 1);
    dialogs.answer(Answer::No);
    file->actions()[4]->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, AboutShowsTheModalAboutBoxWithTheWindowsIcon)
{
    open();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto *about = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        shown = true;
        EXPECT_EQ(about->parentWidget(), window.get());
        EXPECT_EQ(about->windowIcon().cacheKey(), window->windowIcon().cacheKey());
        const QList<QLabel *> labels = about->findChildren<QLabel *>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                                [](QLabel *label) { return label->text() == QStringLiteral("A simple ToDo tool"); }));
        EXPECT_TRUE(about->accessibleDescription().contains(QStringLiteral("A simple ToDo tool")));
        EXPECT_TRUE(about->accessibleDescription().contains(QStringLiteral("Version")));
        about->btnOK_Click();
    });
    window->menuBar()->actions()[1]->trigger();
    EXPECT_TRUE(shown);
}
