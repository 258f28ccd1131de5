// Measuring between two clicked points and the texts of picks: Copy
// coordinates, the readout and morvex-render's pick lines.
#include "CMorMeasurement.h"
#include "pickText.h"

#include <gtest/gtest.h>

namespace {

CMorMeasurement measure(CMorMeasurement::Point a, CMorMeasurement::Point b)
{
    CMorMeasurement m;
    EXPECT_EQ(m.click(a), 0);
    EXPECT_EQ(m.click(b), 1);
    return m;
}

} // namespace

TEST(Measurement, DistancesAndAnglesFromAToB)
{
    const struct {
        CMorMeasurement::Point a, b;
        const char* text;
    } cases[] = {
        {{512140.25, 6541210.5, 343.59}, {513380.75, 6541405.25, 364.76},
         "A 512140.250 6541210.500 343.590\nB 513380.750 6541405.250 364.760\n"
         "distance 1255.873 horizontal 1255.694 vertical 21.170 azimuth 81.08 dip -0.97"},
        // Due west and down 45 degrees; north a hair west rounds to 0, not 360.
        {{100, 200, 50}, {0, 200, -50},
         "A 100.000 200.000 50.000\nB 0.000 200.000 -50.000\n"
         "distance 141.421 horizontal 100.000 vertical -100.000 azimuth 270.00 dip 45.00"},
        {{0, 0, 0}, {-1e-9, 1000, 0}, "A 0.000 0.000 0.000\nB 0.000 1000.000 0.000\n"
                                      "distance 1000.000 horizontal 1000.000 vertical 0.000 azimuth 0.00 dip 0.00"},
        // Straight up, and the same point twice: no azimuth to speak of.
        {{32387777.62, 5806756.3, -2750}, {32387777.62, 5806756.3, -2000},
         "A 32387777.620 5806756.300 -2750.000\nB 32387777.620 5806756.300 -2000.000\n"
         "distance 750.000 horizontal 0.000 vertical 750.000 azimuth 0.00 dip -90.00"},
        {{5, 5, -0.0001}, {5, 5, -0.0001}, "A 5.000 5.000 0.000\nB 5.000 5.000 0.000\n"
                                           "distance 0.000 horizontal 0.000 vertical 0.000 azimuth 0.00 dip 0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(coordinatesText(measure(c.a, c.b), CMorPick()), c.text);
}

TEST(Measurement, ClicksTextsAndReadout)
{
    CMorPick pointer;
    pointer.hit = true;
    pointer.fence = 2;
    pointer.east = 512140.25;
    pointer.north = 6541210.5;
    pointer.elevation = -0.0004;
    pointer.hasPixel = true;
    pointer.column = 150;
    pointer.row = 100;
    CMorMeasurement m;
    EXPECT_EQ(coordinatesText(m, CMorPick()), "");
    EXPECT_EQ(coordinatesText(m, pointer), "X 512140.250 Y 6541210.500 Z 0.000");
    EXPECT_EQ(pointerReadout(CMorPick(), "A-A'"), "-");
    EXPECT_EQ(pointerReadout(pointer, "A-A'"), "X 512140.250  Y 6541210.500  Z 0.000  A-A'  pixel 150,100");
    EXPECT_EQ(measurementReadout(m), "");
    // A third click starts again: only A then.
    m.click({1, 2, 3});
    m.click({4, 5, 6});
    m.click({7, 8, 9});
    EXPECT_TRUE(m.hasA());
    EXPECT_FALSE(m.hasB());
    EXPECT_EQ(coordinatesText(m, pointer), "A 7.000 8.000 9.000");
    EXPECT_EQ(measurementReadout(m), "A 7.000 8.000 9.000  (click B)");
    m.clear();
    EXPECT_FALSE(m.hasA());

    EXPECT_EQ(pickLine(640, 480, pointer, "Gr\"on\\au"),
              "pick 640,480: 512140.250 6541210.500 0.000 fence 2 \"Gr\\\"on\\\\au\" pixel 150,100");
}
