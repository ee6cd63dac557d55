#include "main_window/ListFinder.h"

#include "main_window/CategoryListView.h"
#include "main_window/FindBar.h"
#include "main_window/LayoutManager.h"
#include "main_window/TabControl.h"

#include <QApplication>

ListFinder::ListFinder(LayoutManager &layout, TabControl &tabs, const QList<CategoryListView *> &views, QWidget &above,
                       QObject *parent)
    : QObject(parent)
    , m_layout(layout)
    , m_tabs(tabs)
    , m_views(views)
    , m_bar(new FindBar(tabs.parentWidget()))
{
    for (CategoryListView *view : views) {
        m_filters.push_back(std::make_unique<FilteredList>(view->list()));
        const FilteredList *filter = m_filters.back().get();
        for (const auto change : {&FilteredList::rowsInserted, &FilteredList::rowsRemoved}) {
            connect(filter, change, this, &ListFinder::showWhetherAnyMatch);
        }
        connect(filter, &FilteredList::modelReset, this, &ListFinder::showWhetherAnyMatch);
        connect(filter, &FilteredList::searchFinished, this, &ListFinder::showWhetherAnyMatch);
    }
    const int height = m_bar->sizeHint().height();
    m_bar->setGeometry(tabs.x(), above.y() - height, tabs.width(), height);
    m_bar->hide();
    // Keeps to the bottom with the editing pane and widens with the window.
    m_layout.RegisterControl(m_bar, 0, 1, 1, 0);
    // Tab reaches the bar where it sits: after the lists, before the pane below.
    if (!views.isEmpty()) {
        QWidget::setTabOrder(views.last(), m_bar->textField());
        QWidget::setTabOrder(m_bar->textField(), m_bar->closeButton());
    }
    connect(m_bar, &FindBar::textChanged, this, &ListFinder::setText);
    connect(m_bar, &FindBar::nextMatch, this, &ListFinder::selectNext);
    connect(m_bar, &FindBar::closed, this, &ListFinder::close);
}

ListFinder::~ListFinder()
{
    // The views may outlive the filters by a moment while the window goes.
    for (CategoryListView *view : std::as_const(m_views))
        view->showFiltered(nullptr);
}

void ListFinder::open()
{
    if (m_bar->isHidden()) {
        giveUpHeight(m_bar->height());
        // Done now, the first letter typed finds its rows without reading an
        // entry; after the first time, only when the list was sorted or read
        // anew since.
        for (const std::unique_ptr<FilteredList> &filter : m_filters)
            filter->readLetters();
    }
    m_bar->open();
}

void ListFinder::close()
{
    if (m_bar->isHidden())
        return;
    const bool hadFocus = m_bar->isAncestorOf(QApplication::focusWidget());
    m_bar->clear();
    m_bar->hide();
    // Kept, so that the bar opens again at once (find-memory says what they cost).
    for (const std::unique_ptr<FilteredList> &filter : m_filters)
        filter->stopReadingAhead();
    giveUpHeight(0);
    for (CategoryListView *view : std::as_const(m_views))
        view->scrollToSelected();
    if (hadFocus)
        m_views.at(m_tabs.currentIndex())->setFocus(Qt::OtherFocusReason);
}

void ListFinder::setText(const QString &text)
{
    for (qsizetype tab = 0; tab < m_views.size(); ++tab) {
        FilteredList &filter = *m_filters[tab];
        filter.setFilterText(text);
        m_views[tab]->showFiltered(filter.isActive() ? &filter : nullptr);
        m_views[tab]->scrollToSelected();
    }
    showWhetherAnyMatch();
}

void ListFinder::showWhetherAnyMatch()
{
    bool active = false;
    for (const std::unique_ptr<FilteredList> &filter : m_filters) {
        if (filter->isSearching() || (filter->isActive() && filter->rowCount() > 0))
            return m_bar->showNoMatch(false);
        active = active || filter->isActive();
    }
    m_bar->showNoMatch(active);
}

void ListFinder::refilter()
{
    for (const std::unique_ptr<FilteredList> &filter : m_filters)
        filter->refilter();
}

void ListFinder::selectNext(bool forward)
{
    const int tab = m_tabs.currentIndex();
    FilteredList &filter = *m_filters[tab];
    if (!filter.isActive())
        return;
    const int row = filter.nextMatch(forward);
    if (row < 0)
        return;
    filter.selectionModel()->setCurrentIndex(filter.index(row, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_views[tab]->scrollToSelected();
    Q_EMIT entryChosen(filter.list());
}

void ListFinder::giveUpHeight(int pixels)
{
    m_layout.GiveUpHeight(&m_tabs, pixels);
    for (CategoryListView *view : std::as_const(m_views))
        m_layout.GiveUpHeight(view, pixels);
    m_layout.ApplyLayout();
}
