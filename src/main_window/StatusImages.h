#pragma once

#include <QIcon>
#include <QList>
#include <QVariant>

#include <array>

// The status pictures: one for each status code 1 to 8, and a neutral one for
// any other value a hand-edited file may bring.
class StatusImages
{
public:
    StatusImages();

    // The eight pictures in code order, as the category lists take them.
    QList<QVariant> listImages() const;
    QVariant otherImage() const { return QVariant::fromValue(m_neutral); }

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
