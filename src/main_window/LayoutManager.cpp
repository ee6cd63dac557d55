#include "main_window/LayoutManager.h"

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
        r.control->setGeometry(qRound(r.start.x() + r.a * dW), qRound(r.start.y() + r.b * dH),
                               qMax(0, qRound(r.start.width() + r.c * dW)),
                               qMax(0, qRound(r.start.height() + r.d * dH) - r.heightGivenUp));
    }
}

void LayoutManager::GiveUpHeight(QWidget *control, int pixels)
{
    for (Registration &r : m_registrations) {
        if (r.control == control)
            r.heightGivenUp = pixels;
    }
}
