#pragma once

#include <QHash>
#include <QList>
#include <QRect>
#include <QSize>
#include <QWidget>

// Keeps registered controls anchored and sized as the window's inner area
// changes size. Each control moves and grows by fixed shares of the change in
// width and height since it was registered. The controls must live as long as
// the manager.
class LayoutManager
{
public:
    // The area whose size changes drive the layout: the window below its menu bar.
    explicit LayoutManager(QWidget *innerArea);

    // a, b: shares of the width and height change added to left and top;
    // c, d: shares added to width and height.
    void RegisterControl(QWidget *control, double a, double b, double c, double d);
    // Places every registered control for the inner area's current size. In
    // a right-to-left layout every control that the window places itself,
    // the inner area's and those inside its frames, is placed as in a mirror.
    void ApplyLayout();
    // Makes a registered control that many pixels lower than its anchoring
    // gives, from its bottom, until told 0; for a strip shown below it.
    void GiveUpHeight(QWidget *control, int pixels);

private:
    void mirrorForRightToLeft();

    struct Registration {
        QWidget *control;
        double a, b, c, d;
        QRect start;
        int heightGivenUp;
        QSize innerAtStart;
    };

    QWidget *m_innerArea;
    QList<Registration> m_registrations;
    // Where each control lies in a left-to-right layout.
    QHash<QWidget *, QRect> m_leftToRight;
};
