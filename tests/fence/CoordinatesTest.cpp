// Map and scene coordinates: exaggerations that cannot stretch are refused;
// camera axes come back bit for bit without exaggeration.
#include "CFenceCoordinates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(Coordinates, OnlyAPositiveExaggerationStretchesAndCameraAxesComeBackBitForBit)
{
    CFenceCoordinates c;
    c.setOrigin(CZelVec3d(500000, 100, -6500000));
    c.setBase(-6000);
    for (const double factor : {0.0, -2.0, static_cast<double>(NAN)}) {
        c.setExaggeration(3);
        c.setExaggeration(factor);
        EXPECT_EQ(c.getExaggeration(), 1.0);
    }
    for (const double v : {0.1, -0.0, 6543210.123456789, 1e-300}) {
        const CZelVec3d back = c.toCameraAxes(c.fromCameraAxes(CZelVec3d(v, 1.0 / 3.0, v)));
        EXPECT_EQ(std::memcmp(back.getArray(), CZelVec3d(v, 1.0 / 3.0, v).getArray(), 3 * sizeof(double)), 0) << v;
    }
}
