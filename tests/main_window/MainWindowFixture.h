#pragma once

// The main window as the user drives it: shown offscreen, with scripted
// dialogs and popup menus.

#include "base/Twips.h"
#include "main_window/CategoryListView.h"
#include "main_window/TabControl.h"
#include "main_window/frmMain.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMenuPresenter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Lets test failures print texts as texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Scripted popup menus that also let a test look at the window while a menu
// is open.
class WatchedMenus : public ScriptedMenuPresenter
{
public:
    std::function<void()> whileShown;

    int present(QMenu &menu, const QPoint &at) override
    {
        if (whileShown)
            whileShown();
        return ScriptedMenuPresenter::present(menu, at);
    }
};

// The application's font for as long as the object lives.
class ApplicationFont
{
public:
    ApplicationFont(const QString &family, int points)
        : m_original(QApplication::font())
    {
        QApplication::setFont(QFont(family, points));
    }
    ~ApplicationFont() { QApplication::setFont(m_original); }

private:
    const QFont m_original;
};

struct TwipsGeometry {
    const char *name;
    const char *container;
    double left, top, width, height;
};

// The lists in tab order.
const char *const ListNames[] = {"lvwTasks", "lvwCompleted", "lvwUnresolved", "lvwInformation", "lvwRequests"};

class MainWindowTest : public ::testing::Test
{
protected:
    void open(const QString &commandLine = QString(), frmMain::StartupCheck check = {})
    {
        window = std::make_unique<frmMain>(dialogs, commandLine, std::move(check), &menus);
        window->show();
        QCoreApplication::processEvents();
    }

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    CategoryListView *view(int tab) const { return control<CategoryListView>(ListNames[tab]); }
    CategoryList &list(int tab) const { return view(tab)->list(); }
    TabControl *tabMain() const { return control<TabControl>("tabMain"); }
    QPlainTextEdit *txtTask() const { return control<QPlainTextEdit>("txtTask"); }
    QLineEdit *txtUser() const { return control<QLineEdit>("txtUser"); }

    int pxX(double twips) const { return TwipsToPixels(twips, window->logicalDpiX()); }
    int pxY(double twips) const { return TwipsToPixels(twips, window->logicalDpiY()); }
    QRect px(const TwipsGeometry &g) const { return QRect(pxX(g.left), pxY(g.top), pxX(g.width), pxY(g.height)); }

    void select(int tab, int position) const
    {
        CategoryList &l = list(tab);
        l.selectionModel()->select(l.index(position - 1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    Row addRow(int tab, int status, const QString &task, const QString &user = QStringLiteral("u"))
    {
        return list(tab).append(Entry::create(status, task, u"added once", u"", user));
    }

    // A point in the row's task cell, in the list's viewport.
    QPoint rowPoint(int tab, int position) const
    {
        CategoryListView *v = view(tab);
        return v->visualRect(v->model()->index(position - 1, 1)).center();
    }

    // Clicks a row the way the user does: press and release over it.
    void clickRow(int tab, int position, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(view(tab)->viewport(), button, {}, rowPoint(tab, position));
    }

    void TearDown() override
    {
        EXPECT_EQ(dialogs.pendingAnswers(), 0);
        EXPECT_EQ(dialogs.pendingFiles(), 0);
        EXPECT_EQ(menus.pendingChoices(), 0);
    }

    ScriptedDialogs dialogs;
    WatchedMenus menus;
    std::unique_ptr<frmMain> window;
};
