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

// The program's own icon: a note sheet with a check mark.
QIcon ProgramIcon();
