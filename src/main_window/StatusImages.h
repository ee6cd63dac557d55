#pragma once

#include <QIcon>

#include <array>

// The status pictures: one for each status code 1 to 8, and a neutral one for
// any other value a hand-edited file may bring.
class StatusImages
{
public:
    StatusImages();

    // The picture of a status code; the neutral one for any other value.
    const QIcon &picture(double status) const;

private:
    std::array<QIcon, 8> m_pictures;
    QIcon m_neutral;
};

class QPainter;

// The program's own icon: a note sheet with a check mark, designed on a 32 by 32
// grid. The window and the icon files installed for the desktop show this one
// drawing.
constexpr qreal kProgramIconDesignSize = 32;
void DrawProgramIcon(QPainter &painter);
QIcon ProgramIcon();
