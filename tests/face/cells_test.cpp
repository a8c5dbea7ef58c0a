#include <array>
#include <gtest/gtest.h>
#include <tuple>

#include "face/cells.h"

TEST(CellMapping, RoundsHalfToEvenThenTruncatesForCellsBandsPencilsAndCaptures)
{
    // 75.5 rounds to 76 and 149.5 to 150; -100 truncates toward zero; 1e9 saturates.
    const std::pair<double, int> cells[] = {
        {74.5, 0}, {75.5, 0},  {149.4, 0},   {149.5, 1},
        {-100, 0}, {-150, -1}, {4799.6, 32}, {1e9, 32767 / CellTwips}};
    for (const auto &[twips, cell] : cells)
        EXPECT_EQ(cellOf(twips), cell) << twips;
    EXPECT_EQ(coordinatesText(-1, 132), QStringLiteral("X: -1  Y: 32"));

    // A band's radius rounds half to even too, and saturates.
    EXPECT_EQ(bandRadius(0, 0, 300, 400), 500);
    EXPECT_EQ(bandRadius(0, 0, 0.5, 0), 0);
    EXPECT_EQ(bandRadius(0, 0, 1.5, 0), 2);
    EXPECT_LE(2 * bandRadius(-32768, -32768, 1e9, 1e9), 32767);

    // A pencil pressed at cell (5, 3), now over (9, 9): mostly vertical keeps the pressed column,
    // an exact diagonal too, mostly horizontal keeps the pressed row, no modifier keeps both.
    const std::tuple<int, double, double, int, int> pencils[] = {
        {1, 750, 1500, 5, 9}, {2, 1350, 1050, 5, 9}, {4, 1500, 600, 9, 3}, {0, 1500, 600, 9, 9}};
    for (auto [shift, x, y, wantCol, wantRow] : pencils) {
        int16_t col = 9, row = 9;
        constrainPencil(shift, x, y, 750, 450, col, row);
        EXPECT_EQ(std::pair(int(col), int(row)), std::pair(wantCol, wantRow)) << shift;
    }

    // A capture region rounds first and takes the cell on a boundary. Corner and size in twips,
    // and the cells from (x1, y1) to (x2, y2) taken.
    const std::pair<std::array<double, 4>, std::array<int, 4>> regions[] = {
        {{0, 0, 300, 0}, {0, 0, 2, 0}},
        {{160, 470, 100, 100}, {1, 3, 1, 3}},
        // 149.4 + 0.4 sums to 149.8 before rounding: the next cell is taken in.
        {{0, 149.4, 0, 0.4}, {0, 0, 0, 1}},
        // Ties go to the even 150, and to the even 148.
        {{149.5, 0, 0, 0}, {1, 0, 1, 0}},
        {{148.5, 0, 0, 0}, {0, 0, 0, 0}}};
    for (const auto &[twips, taken] : regions) {
        const CellRegion r = captureRegion(twips[0], twips[1], twips[2], twips[3]);
        EXPECT_EQ((std::array<int, 4>{r.x1, r.y1, r.x2, r.y2}), taken)
            << twips[0] << "," << twips[1];
    }
}

TEST(Spectrum, ColumnsRunFromBlackToWhiteWithDoubledStops)
{
    const std::vector<ColorValue> columns = spectrumColumns();
    ASSERT_EQ(columns.size(), 361u);
    // Red rises, then green, red falls, blue rises, green falls, red rises and green rises to
    // white, one channel by 5 a column between the turns; three stops are doubled.
    const int turns[][4] = {{0, 0, 0, 0},       {51, 255, 0, 0},     {102, 255, 255, 0},
                            {103, 255, 255, 0}, {154, 0, 255, 0},    {205, 0, 255, 255},
                            {206, 0, 255, 255}, {257, 0, 0, 255},    {258, 0, 0, 255},
                            {309, 255, 0, 255}, {360, 255, 255, 255}};
    for (const auto &t : turns)
        EXPECT_EQ(columns[size_t(t[0])], RGB(t[1], t[2], t[3])) << "column " << t[0];
}
