#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "formats/Color.h"

TEST(Color, RoundsTiesToEvenSaturatesInt16AndResolvesSystemColours)
{
    EXPECT_EQ(vbRound(74.5), 74);
    EXPECT_EQ(vbRound(75.5), 76);
    EXPECT_EQ(vbRound(-0.5), 0);
    EXPECT_EQ(vbRound(-1.5), -2);
    EXPECT_EQ(toInt16(32768.0), 32767);
    EXPECT_EQ(toInt16(-40000.0), -32768);
    EXPECT_EQ(toInt16(1e300), 32767);
    // System colours resolve through the palette.
    const QColor base = QGuiApplication::palette().color(QPalette::Base);
    EXPECT_EQ(resolveColor(vbWindowBackground), fromQColor(base));
    EXPECT_EQ(toQRgb(vbWindowBackground), base.rgb());
    EXPECT_EQ(resolveColor(0x01123456), 0x123456u);
}
