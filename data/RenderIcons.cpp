// Writes the program's icon for the desktop's icon theme, from the same drawing
// the window shows: a scalable SVG and a PNG for each fixed size.
//
// usage: tarvik-icons FOLDER NAME SIZE...
//   FOLDER/scalable/apps/NAME.svg and FOLDER/SIZExSIZE/apps/NAME.png

#include "main_window/StatusImages.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

bool writeSvg(const QString &path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kProgramIconDesignSize, kProgramIconDesignSize));
    svg.setViewBox(QRectF(0, 0, kProgramIconDesignSize, kProgramIconDesignSize));
    svg.setTitle(QStringLiteral("Tarvik"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    DrawProgramIcon(painter);
    return painter.end();
}

bool writePng(const QString &path, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(pixels / kProgramIconDesignSize, pixels / kProgramIconDesignSize);
        DrawProgramIcon(painter);
    }
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fputs("usage: tarvik-icons FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);

    const QString scalable = folder + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(scalable) || !writeSvg(scalable + QLatin1Char('/') + name + QStringLiteral(".svg"))) {
        std::fprintf(stderr, "tarvik-icons: cannot write the SVG icon in %s\n", qPrintable(scalable));
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int pixels = QString::fromLatin1(argv[i]).toInt();
        const QString sized = folder + QStringLiteral("/%1x%1/apps").arg(pixels);
        if (pixels <= 0 || !QDir().mkpath(sized)
            || !writePng(sized + QLatin1Char('/') + name + QStringLiteral(".png"), pixels)) {
            std::fprintf(stderr, "tarvik-icons: cannot write the %s px icon in %s\n", argv[i], qPrintable(sized));
            return 1;
        }
    }
    return 0;
}
