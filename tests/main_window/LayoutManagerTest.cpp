#include "main_window/LayoutManager.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(LayoutManager, MovesAndSizesByTheRegisteredShares)
{
    QWidget inner;
    inner.resize(400, 300);
    QWidget grows(&inner), anchored(&inner), fixed(&inner);
    QWidget frame(&inner);
    QWidget inFrame(&frame);
    grows.setGeometry(10, 20, 100, 50);
    anchored.setGeometry(300, 250, 80, 40);
    fixed.setGeometry(5, 5, 30, 30);
    frame.setGeometry(0, 200, 200, 90);
    inFrame.setGeometry(10, 15, 100, 20);

    LayoutManager layout(&inner);
    layout.RegisterControl(&grows, 0, 0, 1, 1);
    layout.RegisterControl(&anchored, 1, 1, 0, 0);
    layout.RegisterControl(&frame, 0, 1, 1, 0);
    layout.RegisterControl(&inFrame, 0, 0, 1, 0);

    inner.resize(440, 320);
    layout.ApplyLayout();
    EXPECT_EQ(grows.geometry(), QRect(10, 20, 140, 70));
    EXPECT_EQ(anchored.geometry(), QRect(340, 270, 80, 40));
    EXPECT_EQ(frame.geometry(), QRect(0, 220, 240, 90));
    EXPECT_EQ(inFrame.geometry(), QRect(10, 15, 140, 20));
    EXPECT_EQ(fixed.geometry(), QRect(5, 5, 30, 30));

    // Changes are measured from the registration, so applying again moves nothing further.
    layout.ApplyLayout();
    EXPECT_EQ(anchored.geometry(), QRect(340, 270, 80, 40));

    // Much smaller than at the start: sizes stop at zero.
    inner.resize(100, 100);
    layout.ApplyLayout();
    EXPECT_EQ(grows.geometry(), QRect(10, 20, 0, 0));
    EXPECT_EQ(frame.geometry(), QRect(0, 0, 0, 90));
    EXPECT_EQ(anchored.geometry(), QRect(0, 50, 80, 40));
}
