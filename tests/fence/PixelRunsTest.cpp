// The record of which picture pixels are drawn answers as the panels' alpha
// test does, for rows of long runs and for noisy rows alike.
#include "CFencePixelRuns.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PixelRuns, AnswersAsTheAlphaTest)
{
    // Row 0: 300 pixels of paper (code 1), a transparent one, 200 of near
    // white (code 6), 99 of ink (code 200); row 1 changes code at every
    // pixel; row 2 never arrives.
    const int width = 600;
    std::vector<unsigned char> runs(width, 200), noisy(width);
    std::fill(runs.begin(), runs.begin() + 300, 1);
    runs[300] = 0;
    std::fill(runs.begin() + 301, runs.begin() + 501, 6);
    for (int x = 0; x < width; ++x)
        noisy[x] = static_cast<unsigned char>(x % 2 == 0 ? 1 : 70 + x % 100);
    CFencePixelRuns record(width, 3);
    record.setRow(1, noisy.data());
    record.setRow(0, runs.data());
    record.compact();
    EXPECT_LT(record.getByteCount(), sizeof record + 3 * 4 + 20 + width + 1 + 64);

    const struct {
        int column, row;
        bool removeWhite;
        int tolerance;
        bool drawn;
    } cases[] = {
        {0, 0, true, 0, false},    {299, 0, false, 0, true}, {300, 0, false, 0, false}, {301, 0, true, 4, true},
        {500, 0, true, 5, false},  {501, 0, true, 64, true}, {599, 0, true, 1000, true}, {600, 0, false, 0, false},
        {-1, 0, false, 0, false},  {0, 1, true, 0, false},   {1, 1, true, 64, true},     {0, 1, false, 0, true},
        {598, 1, true, 0, false},  {599, 1, true, 64, true}, {10, 2, true, 64, true},    {0, 3, false, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(record.isDrawn(c.column, c.row, c.removeWhite, c.tolerance), c.drawn)
            << c.column << "," << c.row << " remove " << c.removeWhite << " tolerance " << c.tolerance;
}
