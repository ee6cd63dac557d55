#include "main_window/StatusImages.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <functional>

namespace {

QImage render(const QIcon &icon, int size = 16)
{
    return icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

int countPixels(const QImage &image, const std::function<bool(const QColor &)> &matches)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && matches(c))
                ++count;
        }
    }
    return count;
}

bool green(const QColor &c)
{
    return c.green() > c.red() + 60 && c.green() > c.blue() + 60;
}
bool red(const QColor &c)
{
    return c.red() > c.green() + 100 && c.red() > c.blue() + 100;
}
bool yellow(const QColor &c)
{
    return c.red() > 200 && c.green() > 150 && c.blue() < 80;
}
bool white(const QColor &c)
{
    return c.red() > 240 && c.green() > 240 && c.blue() > 240;
}
bool dark(const QColor &c)
{
    return c.red() < 60 && c.green() < 60 && c.blue() < 60;
}

QIcon picture(int code)
{
    return StatusImages().picture(code);
}

} // namespace

TEST(StatusImages, EightDistinctPicturesAndANeutralOne)
{
    const StatusImages images;
    // Codes 1 to 8, then values that name no status.
    QList<QIcon> all;
    for (int code = 1; code <= 8; ++code)
        all.append(images.picture(code));
    all.append(images.picture(0));
    ASSERT_EQ(all.size(), 9);
    for (const double other : {1.5, -2.0, 9.0})
        EXPECT_EQ(render(images.picture(other)), render(all.last())) << other;
    for (int i = 0; i < all.size(); ++i) {
        const QImage drawn = render(all[i]);
        EXPECT_EQ(drawn.size(), QSize(16, 16));
        EXPECT_GT(countPixels(drawn, [](const QColor &) { return true; }), 10) << i;
        for (int j = 0; j < i; ++j)
            EXPECT_NE(drawn, render(all[j])) << i << " " << j;
    }
}

TEST(StatusImages, ColoursFollowTheirMeaning)
{
    EXPECT_GT(countPixels(render(picture(1)), white), 50);
    EXPECT_GT(countPixels(render(picture(1)), dark), 20);
    EXPECT_GT(countPixels(render(picture(2)), green), 15);
    EXPECT_GT(countPixels(render(picture(3)), red), 15);
    EXPECT_GT(countPixels(render(picture(4)), red), 8);
    EXPECT_GT(countPixels(render(picture(4)), white), 30);
    EXPECT_GT(countPixels(render(picture(5)), red), 10);
    EXPECT_GT(countPixels(render(picture(6)), yellow), 30);
    EXPECT_GT(countPixels(render(picture(6)), dark), 4);
    EXPECT_GT(countPixels(render(picture(7)), yellow), 50);
    EXPECT_GT(countPixels(render(picture(7)), dark), 6);
    EXPECT_GT(countPixels(render(picture(8)), yellow), 50);
    for (int code = 1; code <= 8; ++code) {
        EXPECT_EQ(countPixels(render(picture(code)), green) > 15, code == 2) << code;
        EXPECT_EQ(countPixels(render(picture(code)), yellow) > 30, code >= 6 && code <= 8) << code;
    }
}

TEST(StatusImages, DrawnAtFullResolutionOnHighDensityScreens)
{
    for (qreal ratio : {1.5, 2.0, 3.0}) {
        const QPixmap pixmap = picture(2).pixmap(QSize(16, 16), ratio);
        EXPECT_EQ(pixmap.size(), QSize(qRound(16 * ratio), qRound(16 * ratio)));
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), ratio);
    }
    // Drawn afresh, not scaled up: the large picture has far more solid pixels.
    const int small = countPixels(render(picture(3), 16), red);
    const int large = countPixels(render(picture(3), 64), red);
    EXPECT_GT(large, small * 10);
}

TEST(StatusImages, ProgramIcon)
{
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 64}) {
        const QImage drawn = render(icon, size);
        EXPECT_GT(countPixels(drawn, white), size * size / 8) << size;
        EXPECT_GT(countPixels(drawn, green), size / 2) << size;
    }
}
