// Reals written to description files read back bit-identical.
#include "formatReal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>

namespace {

double readBack(const std::string& text)
{
    std::istringstream in(text);
    double value = 0.0;
    in >> value;
    EXPECT_FALSE(in.fail()) << text;
    return value;
}

} // namespace

TEST(FormatReal, MapCoordinatesKeepEveryDigit)
{
    EXPECT_EQ(formatReal(6543210.57), "6543210.57");
    EXPECT_EQ(formatReal(512345.25), "512345.25");
    EXPECT_EQ(formatReal(45.0), "45");
    EXPECT_EQ(formatReal(-0.5), "-0.5");
    EXPECT_EQ(formatReal(0.1), "0.1");
}

TEST(FormatReal, EveryDoubleReadsBackBitIdenticalThroughAStream)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
    std::uniform_int_distribution<uint64_t> bits;
    for (int i = 0; i < 20000; ++i) {
        double v = coordinate(random);
        if (i % 2) {
            const uint64_t b = bits(random);
            std::memcpy(&v, &b, sizeof v);
            if (!std::isfinite(v) || std::fpclassify(v) == FP_SUBNORMAL)
                continue;
        }
        const double back = readBack(formatReal(v));
        EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << formatReal(v);
    }
}
