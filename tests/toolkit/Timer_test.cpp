#include <QTest>
#include <gtest/gtest.h>

#include "toolkit/Timer.h"

TEST(Timer, TicksOnlyWhileEnabledWithAnInterval)
{
    Timer t;
    int ticks = 0;
    t.onTimer = [&ticks] { ++ticks; };
    t.setInterval(5);
    QTest::qWait(30);
    EXPECT_EQ(ticks, 0);

    t.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&ticks] { return ticks >= 3; }, 2000));
    t.setInterval(0);
    const int stopped = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, stopped);

    // A tick may switch its own timer off.
    t.onTimer = [&] {
        ++ticks;
        t.setEnabled(false);
    };
    t.setInterval(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > stopped; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(ticks, stopped + 1);
}
