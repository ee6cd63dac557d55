#pragma once

#include <QList>
#include <QWidget>

class QTabBar;

// A tab control whose pages are placed by its owner in the control's own
// coordinates, the tab strip included: the strip runs along the top and only
// the current tab's page is visible.
class TabControl : public QWidget
{
    Q_OBJECT

public:
    explicit TabControl(QWidget *parent = nullptr);

    // Adds a tab; the page becomes a child of this control and keeps the
    // geometry its owner gives it.
    void addTab(const QString &caption, QWidget *page);
    int currentIndex() const;
    QTabBar *tabBar() const { return m_bar; }
    // Makes a tab current from the keyboard: its page takes the focus, so
    // that the next key acts on the page and not where the focus fell when
    // the page that had it was hidden.
    void showTabByKey(int index);

Q_SIGNALS:
    // Another tab became current; carries the index of the tab that was left.
    void Click(int previousTab);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showCurrentPage(int index);

    QTabBar *m_bar;
    QList<QWidget *> m_pages;
    int m_current = -1;
};
