#include "main_window/StatusImages.h"

#include "main_window/PaintedIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// All status pictures are designed on a 16 by 16 grid.
constexpr qreal kStatusDesignSize = 16;

const QColor black(0, 0, 0);
const QColor white(255, 255, 255);
const QColor green(0, 150, 40);
const QColor red(215, 25, 25);
const QColor darkRed(128, 0, 0);
const QColor yellow(255, 208, 0);
const QColor yellowEdge(150, 110, 0);
const QColor grey(128, 128, 128);

QPen strokePen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void questionMark(QPainter &p, const QColor &color)
{
    QPainterPath hook;
    const QRectF bend(8 - 2.6, 5.6 - 2.6, 5.2, 5.2);
    hook.arcMoveTo(bend, 160);
    hook.arcTo(bend, 160, -230);
    hook.lineTo(8, 9.3);
    hook.lineTo(8, 10.1);
    p.setPen(strokePen(color, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(8, 12.7), 1.05, 1.05);
}

void framedBox(QPainter &p, const QColor &edge)
{
    p.setPen(QPen(edge, 1));
    p.setBrush(white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
}

void disc(QPainter &p)
{
    p.setPen(QPen(yellowEdge, 1));
    p.setBrush(yellow);
    p.drawEllipse(QPointF(8, 8), 7, 7);
}

void drawIncomplete(QPainter &p)
{
    p.setPen(QPen(black, 1));
    p.setBrush(white);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
}

void drawComplete(QPainter &p)
{
    p.setPen(strokePen(green, 2.6));
    const QPointF tick[] = {{3, 8.5}, {6.5, 12}, {13, 4}};
    p.drawPolyline(tick, 3);
}

void drawInvalid(QPainter &p)
{
    p.setPen(strokePen(red, 2.6));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void drawUnresolved(QPainter &p)
{
    framedBox(p, darkRed);
    questionMark(p, red);
}

void drawMoved(QPainter &p)
{
    framedBox(p, darkRed);
    p.setPen(strokePen(red, 2));
    p.drawLine(QPointF(4, 8), QPointF(9.5, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    const QPointF head[] = {{8.5, 4.5}, {12.5, 8}, {8.5, 11.5}};
    p.drawPolygon(head, 3);
}

void drawInformation(QPainter &p)
{
    p.setPen(strokePen(yellowEdge, 1));
    p.setBrush(yellow);
    const QPointF triangle[] = {{8, 1.5}, {15, 14.5}, {1, 14.5}};
    p.drawPolygon(triangle, 3);
    p.setPen(strokePen(black, 1.8));
    p.drawLine(QPointF(8, 6), QPointF(8, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(black);
    p.drawEllipse(QPointF(8, 12.5), 1, 1);
}

void drawQuestion(QPainter &p)
{
    disc(p);
    questionMark(p, black);
}

void drawRequest(QPainter &p)
{
    disc(p);
    p.setPen(Qt::NoPen);
    p.setBrush(black);
    p.drawEllipse(QPointF(5.6, 6.2), 1, 1.2);
    p.drawEllipse(QPointF(10.4, 6.2), 1, 1.2);
    QPainterPath smile;
    smile.moveTo(4.3, 9.3);
    smile.quadTo(8, 13.8, 11.7, 9.3);
    p.setPen(strokePen(black, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(smile);
}

// Says "no known status" without looking like any of the eight.
void drawNeutral(QPainter &p)
{
    p.setPen(QPen(grey, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 6, 6);
    p.setPen(strokePen(grey, 1.6));
    p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
}

} // namespace

StatusImages::StatusImages()
    : m_pictures{
        PaintedIcon(kStatusDesignSize, drawIncomplete),
        PaintedIcon(kStatusDesignSize, drawComplete),
        PaintedIcon(kStatusDesignSize, drawInvalid),
        PaintedIcon(kStatusDesignSize, drawUnresolved),
        PaintedIcon(kStatusDesignSize, drawMoved),
        PaintedIcon(kStatusDesignSize, drawInformation),
        PaintedIcon(kStatusDesignSize, drawQuestion),
        PaintedIcon(kStatusDesignSize, drawRequest),
    }
    , m_neutral(PaintedIcon(kStatusDesignSize, drawNeutral))
{
}

void DrawProgramIcon(QPainter &p)
{
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(white);
    p.drawRoundedRect(QRectF(5.5, 2.5, 21, 27), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 100, 180));
    p.drawRect(QRectF(6.1, 3.1, 19.8, 4.4));
    p.setPen(QPen(QColor(170, 170, 170), 1.2));
    for (qreal y : {12.0, 16.5, 21.0})
        p.drawLine(QPointF(9, y), QPointF(19, y));
    p.setPen(strokePen(green, 3.2));
    const QPointF tick[] = {{14, 22.5}, {18.5, 27}, {28.5, 14}};
    p.drawPolyline(tick, 3);
}

const QIcon &StatusImages::picture(double status) const
{
    for (int code = 1; code <= static_cast<int>(m_pictures.size()); ++code) {
        if (status == code)
            return m_pictures[code - 1];
    }
    return m_neutral;
}

QIcon ProgramIcon()
{
    return PaintedIcon(kProgramIconDesignSize, DrawProgramIcon);
}
