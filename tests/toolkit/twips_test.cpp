#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

#include "toolkit/twips.h"

// Left, Top, Width and Height of a window are its outer frame's, also when they were given
// before the window had a frame (the offscreen platform frames a window when it shows).
TEST(WindowGeometry, OuterGeometryGivenBeforeTheFrameHoldsOnceFramed)
{
    QMainWindow w(nullptr, Qt::Tool);
    w.setFixedSize(w.size());
    int framed = 0;
    Move(&w, 1500, 1500, 3000, 4500);
    whenFramed(&w, [&] { ++framed; });
    EXPECT_EQ(framed, 0);

    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.frameGeometry(), QRect(100, 100, 200, 300));
    EXPECT_LT(w.width(), 200);
    EXPECT_EQ(w.minimumSize(), w.size()); // still of fixed size, the client's
    EXPECT_EQ(w.maximumSize(), w.size());
    EXPECT_EQ(QRectF(Left(&w), Top(&w), Width(&w), Height(&w)), QRectF(1500, 1500, 3000, 4500));
    EXPECT_EQ(framed, 1);

    // With its frame known a window takes new values at once, and nothing older comes back.
    setWidth(&w, 2250);
    setTop(&w, 3000);
    whenFramed(&w, [&] { ++framed; });
    EXPECT_EQ(framed, 2);
    QTest::qWait(20);
    EXPECT_EQ(w.frameGeometry(), QRect(100, 200, 150, 300));

    // A hidden window keeps its frame, and so its place.
    w.hide();
    setLeft(&w, 3000);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.frameGeometry(), QRect(200, 200, 150, 300));
}
