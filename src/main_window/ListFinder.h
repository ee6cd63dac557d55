#pragma once

#include "find/FilteredList.h"

#include <QList>
#include <QObject>

#include <memory>
#include <vector>

class CategoryListView;
class FindBar;
class LayoutManager;
class TabControl;

// Find in the main window: the find bar just above the editing pane, whose
// text narrows every list to the entries that contain it. The tab control
// gives up the bar's height while the bar is shown. A view shows its list
// directly while no text is typed, so that nothing stands between the two for
// anyone who never finds.
class ListFinder : public QObject
{
    Q_OBJECT

public:
    // above: the control the bar sits directly above; the bar takes the tab
    // control's left and width. Call while the window has its start size.
    ListFinder(LayoutManager &layout, TabControl &tabs, const QList<CategoryListView *> &views, QWidget &above,
               QObject *parent = nullptr);
    ~ListFinder() override;

    void open();
    // Hides the bar and shows every row again, the selected ones in view.
    void close();
    FilteredList &filter(int tab) { return *m_filters[tab]; }
    // The lists changed from outside the window: what they show is found anew.
    void refilter();

Q_SIGNALS:
    // Enter in the bar selected another entry of the list, to be shown.
    void entryChosen(CategoryList &list);

private:
    void setText(const QString &text);
    void selectNext(bool forward);
    void giveUpHeight(int pixels);
    // Tells in the bar when a finished search found no entry in any list.
    void showWhetherAnyMatch();

    LayoutManager &m_layout;
    TabControl &m_tabs;
    QList<CategoryListView *> m_views;
    std::vector<std::unique_ptr<FilteredList>> m_filters;
    FindBar *m_bar;
};
