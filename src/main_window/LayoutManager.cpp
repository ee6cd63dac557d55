#include "main_window/LayoutManager.h"

#include <QAbstractScrollArea>
#include <QTabBar>
#include <QtMath>

LayoutManager::LayoutManager(QWidget *innerArea)
    : m_innerArea(innerArea)
{
}

void LayoutManager::RegisterControl(QWidget *control, double a, double b, double c, double d)
{
    m_registrations.append({control, a, b, c, d, control->geometry(), 0, m_innerArea->size()});
}

void LayoutManager::ApplyLayout()
{
    const QSize inner = m_innerArea->size();
    for (const Registration &r : std::as_const(m_registrations)) {
        const double dW = inner.width() - r.innerAtStart.width();
        const double dH = inner.height() - r.innerAtStart.height();
        // Below the start size a control shrinks to nothing, never past it.
        const QRect placed(qRound(r.start.x() + r.a * dW), qRound(r.start.y() + r.b * dH),
                           qMax(0, qRound(r.start.width() + r.c * dW)),
                           qMax(0, qRound(r.start.height() + r.d * dH) - r.heightGivenUp));
        r.control->setGeometry(placed);
        m_leftToRight.insert(r.control, placed);
    }
    mirrorForRightToLeft();
}

void LayoutManager::mirrorForRightToLeft()
{
    if (!m_innerArea->isRightToLeft())
        return;
    QList<QWidget *> placed;
    for (QWidget *child : m_innerArea->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        placed.append(child);
        // What a Qt layout or a scroll area places mirrors itself.
        if (child->layout() || qobject_cast<QAbstractScrollArea *>(child))
            continue;
        for (QWidget *inner : child->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            // A tab strip spans its control and follows its width.
            if (!qobject_cast<QTabBar *>(inner))
                placed.append(inner);
        }
    }
    for (QWidget *control : std::as_const(placed)) {
        // Controls that are not registered keep the place they had first.
        const QRect leftToRight = m_leftToRight.value(control, control->geometry());
        m_leftToRight.insert(control, leftToRight);
        const int containerWidth = control->parentWidget()->width();
        control->setGeometry(containerWidth - leftToRight.x() - leftToRight.width(), leftToRight.y(),
                             leftToRight.width(), leftToRight.height());
    }
}

void LayoutManager::GiveUpHeight(QWidget *control, int pixels)
{
    for (Registration &r : m_registrations) {
        if (r.control == control)
            r.heightGivenUp = pixels;
    }
}
