#include "PaintedIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace {

class PaintedIconEngine : public QIconEngine
{
public:
    PaintedIconEngine(qreal designSize, IconDrawing drawing)
        : m_designSize(designSize)
        , m_drawing(std::move(drawing))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        // Keep the picture square and centred in whatever rectangle it gets.
        const qreal side = qMin(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / m_designSize, side / m_designSize);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        m_drawing(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new PaintedIconEngine(m_designSize, m_drawing); }

private:
    qreal m_designSize;
    IconDrawing m_drawing;
};

} // namespace

QIcon PaintedIcon(qreal designSize, IconDrawing drawing)
{
    return QIcon(new PaintedIconEngine(designSize, std::move(drawing)));
}
