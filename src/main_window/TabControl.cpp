#include "main_window/TabControl.h"

#include <QKeyEvent>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include <utility>

namespace {

// "&Tasks" reads "Tasks"; "&&" stands for one ampersand.
QString withoutMnemonic(const QString &caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

} // namespace

TabControl::TabControl(QWidget *parent)
    : QWidget(parent)
    , m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    connect(m_bar, &QTabBar::currentChanged, this, &TabControl::showCurrentPage);
    m_bar->installEventFilter(this);
}

void TabControl::addTab(const QString &caption, QWidget *page)
{
    page->setParent(this);
    page->setVisible(m_pages.isEmpty());
    m_pages.append(page);
    // A page is read out by its tab's caption, as the eye finds it.
    if (page->accessibleName().isEmpty())
        page->setAccessibleName(withoutMnemonic(caption));
    // The strip stays above the pages wherever they reach.
    m_bar->raise();
    m_bar->addTab(caption);
}

int TabControl::currentIndex() const
{
    return m_bar->currentIndex();
}

void TabControl::showTabByKey(int index)
{
    if (index < 0 || index >= m_pages.size())
        return;
    m_bar->setCurrentIndex(index);
    m_pages[index]->setFocus(Qt::ShortcutFocusReason);
}

// A tab's mnemonic shows its page as the other tab keys do; Home and End in
// the strip go to the first and the last tab.
bool TabControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_bar)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Shortcut) {
        const int before = m_bar->currentIndex();
        // The strip finds the tab by the shortcut's ID, as it always does.
        const bool handled = static_cast<QObject *>(m_bar)->event(event);
        if (handled && m_bar->currentIndex() != before)
            showTabByKey(m_bar->currentIndex());
        return handled;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End)) {
            m_bar->setCurrentIndex(key->key() == Qt::Key_Home ? 0 : m_bar->count() - 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TabControl::showCurrentPage(int index)
{
    const int previous = std::exchange(m_current, index);
    for (int i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setVisible(i == index);
    if (previous >= 0)
        Q_EMIT Click(previous);
}

void TabControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
}

// The frame of the page area, joined to the strip as a tab widget draws it.
void TabControl::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int stripHeight = m_bar->sizeHint().height();
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    frame.rect = rect().adjusted(0, stripHeight - overlap, 0, 0);
    frame.shape = m_bar->shape();
    frame.tabBarSize = m_bar->sizeHint();
    frame.tabBarRect = QRect(0, 0, m_bar->sizeHint().width(), stripHeight);
    frame.selectedTabRect = m_bar->tabRect(m_bar->currentIndex());
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}
