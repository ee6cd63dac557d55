#pragma once

#include <QIcon>

#include <functional>

class QPainter;

// Draws a picture on a square canvas of the given design size. The painter is
// already scaled, so the drawing is in design units whatever size is asked for.
using IconDrawing = std::function<void(QPainter &painter)>;

// An icon drawn with vector operations at exactly the size it is shown, so it
// stays crisp at every scale factor.
QIcon PaintedIcon(qreal designSize, IconDrawing drawing);
