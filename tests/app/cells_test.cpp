#include <gtest/gtest.h>

#include "app/cells.h"

namespace {

// Column k of the default palette: red rises, then green, red falls, blue rises, green falls,
// red rises and green rises to white, in steps of 5 with the stops at the turns doubled.
ColorValue expectedColumn(int k)
{
    if (k <= 51)
        return RGB(5 * k, 0, 0);
    if (k <= 102)
        return RGB(255, 5 * (k - 51), 0);
    if (k == 103)
        return RGB(255, 255, 0);
    if (k <= 154)
        return RGB(255 - 5 * (k - 103), 255, 0);
    if (k <= 205)
        return RGB(0, 255, 5 * (k - 154));
    if (k == 206)
        return RGB(0, 255, 255);
    if (k <= 257)
        return RGB(0, 255 - 5 * (k - 206), 255);
    if (k == 258)
        return RGB(0, 0, 255);
    if (k <= 309)
        return RGB(5 * (k - 258), 0, 255);
    return RGB(255, 5 * (k - 309), 255);
}

} // namespace

TEST(CellMapping, RoundsHalfToEvenThenTruncates)
{
    EXPECT_EQ(cellOf(74.5), 0);
    EXPECT_EQ(cellOf(75.5), 0);
    EXPECT_EQ(cellOf(149.4), 0);
    EXPECT_EQ(cellOf(149.5), 1); // rounds to 150
    EXPECT_EQ(cellOf(-100), 0);  // truncation toward zero
    EXPECT_EQ(cellOf(-150), -1);
    EXPECT_EQ(cellOf(4799.6), 32);
    EXPECT_EQ(cellOf(1e9), 32767 / CellTwips); // saturates instead of overflowing
}

TEST(CellMapping, CoordinatesLabelKeepsTheLastTwoCharacters)
{
    EXPECT_EQ(coordinatesText(5, 31), QStringLiteral("X: 05  Y: 31"));
    EXPECT_EQ(coordinatesText(0, 0), QStringLiteral("X: 00  Y: 00"));
    EXPECT_EQ(coordinatesText(-1, 32), QStringLiteral("X: -1  Y: 32"));
}

TEST(PencilRule, ModifierKeepsColumnOrRow)
{
    int16_t col = 9, row = 9;
    constrainPencil(1, 750, 1500, 750, 750, col, row); // mostly vertical: pressed column
    EXPECT_EQ(col, 5);
    EXPECT_EQ(row, 9);
    col = row = 9;
    constrainPencil(2, 1500, 1500, 750, 750, col, row); // exact diagonal keeps the column
    EXPECT_EQ(col, 5);
    col = row = 9;
    constrainPencil(4, 1500, 900, 750, 750, col, row); // mostly horizontal: pressed row
    EXPECT_EQ(col, 9);
    EXPECT_EQ(row, 5);
    col = row = 9;
    constrainPencil(0, 1500, 900, 750, 750, col, row);
    EXPECT_EQ(col, 9);
    EXPECT_EQ(row, 9);
}

TEST(BandRule, RadiusRoundsAndSaturates)
{
    EXPECT_EQ(bandRadius(0, 0, 300, 400), 500);
    EXPECT_EQ(bandRadius(0, 0, 0.5, 0), 0);
    EXPECT_EQ(bandRadius(0, 0, 1.5, 0), 2);
    EXPECT_LE(2 * bandRadius(-32768, -32768, 1e9, 1e9), 32767);
}

TEST(CaptureRegion, RoundsFirstAndTakesTheCellOnABoundary)
{
    const CellRegion twoCellsWide = captureRegion(0, 0, 300, 0);
    EXPECT_EQ(twoCellsWide.x1, 0);
    EXPECT_EQ(twoCellsWide.x2, 2);
    EXPECT_EQ(twoCellsWide.y2, 0);
    const CellRegion inside = captureRegion(160, 170, 100, 100);
    EXPECT_EQ(inside.x1, 1);
    EXPECT_EQ(inside.x2, 1);
    EXPECT_EQ(inside.y2, 1);
    // 149.6 + 0.4 sums to 150 before rounding: the next cell is taken in.
    EXPECT_EQ(captureRegion(149.6, 0, 0.4, 0).x2, 1);
    EXPECT_EQ(captureRegion(149.5, 0, 0, 0).x1, 1); // ties go to the even 150
    EXPECT_EQ(captureRegion(148.5, 0, 0, 0).x1, 0); // and to the even 148
}

TEST(Spectrum, ColumnsRunFromBlackToWhiteWithDoubledStops)
{
    const std::vector<ColorValue> columns = spectrumColumns();
    ASSERT_EQ(columns.size(), 361u);
    for (int k = 0; k < 361; ++k)
        ASSERT_EQ(columns[k], expectedColumn(k)) << "column " << k;
    EXPECT_EQ(columns[0], vbBlack);
    EXPECT_EQ(columns[102], columns[103]);
    EXPECT_EQ(columns[205], columns[206]);
    EXPECT_EQ(columns[257], columns[258]);
    EXPECT_EQ(columns[360], vbWhite);
}
