#include "main_window/PaintedIcon.h"

#include <QHash>
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

    // Lists paint the same few pictures for every visible row: each size is
    // drawn once, at the device's own pixel size so that it stays crisp.
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const int side = qMin(rect.width(), rect.height());
        if (side <= 0)
            return;
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap picture = drawn(qRound(side * ratio), mode, ratio);
        painter->drawPixmap(
            QRect(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side), picture);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        QPixmap square = drawn(qMin(size.width(), size.height()), mode, 1.0);
        if (square.size() == size)
            return square;
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.drawPixmap((size.width() - square.width()) / 2, (size.height() - square.height()) / 2, square);
        return pixmap;
    }

    QIconEngine *clone() const override { return new PaintedIconEngine(m_designSize, m_drawing); }

private:
    QPixmap drawn(int pixels, QIcon::Mode mode, qreal ratio)
    {
        const QString key = QStringLiteral("%1-%2-%3").arg(pixels).arg(int(mode)).arg(ratio);
        auto cached = m_drawn.constFind(key);
        if (cached != m_drawn.constEnd())
            return *cached;
        QPixmap picture(pixels, pixels);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(pixels / m_designSize, pixels / m_designSize);
            if (mode == QIcon::Disabled)
                painter.setOpacity(0.4);
            m_drawing(painter);
        }
        picture.setDevicePixelRatio(ratio);
        m_drawn.insert(key, picture);
        return picture;
    }

    qreal m_designSize;
    IconDrawing m_drawing;
    QHash<QString, QPixmap> m_drawn;
};

} // namespace

QIcon PaintedIcon(qreal designSize, IconDrawing drawing)
{
    return QIcon(new PaintedIconEngine(designSize, std::move(drawing)));
}
