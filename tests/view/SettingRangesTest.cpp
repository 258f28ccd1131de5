// The table of allowed values: each range's ends, values that are no numbers,
// the limits that follow from GL and from the other clipping plane, and the
// messages that name the range.
#include "CMorSettingRanges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using Ranges = CMorSettingRanges;
const double INF = std::numeric_limits<double>::infinity();

} // namespace

TEST(SettingRanges, EachRangeTakesItsEndsAsListed)
{
    const struct {
        Ranges::Range range;
        double value;
        bool taken;
    } cases[] = {
        {Ranges::get(Ranges::RELATIVE_TEXT_SIZE), 0.0, false},  {Ranges::get(Ranges::RELATIVE_TEXT_SIZE), 1.0, true},
        {Ranges::get(Ranges::RELATIVE_TEXT_SIZE), -5.0, false}, {Ranges::get(Ranges::RELATIVE_MARGIN), NAN, false},
        {Ranges::get(Ranges::RELATIVE_MARGIN), 0.0, true},      {Ranges::get(Ranges::RELATIVE_MARGIN), 1.01, false},
        {Ranges::get(Ranges::LEGEND_SIZE), 0.0, false},         {Ranges::get(Ranges::LEGEND_SIZE), 1.0, true},
        {Ranges::get(Ranges::LEGEND_MARGIN), 0.0, true},        {Ranges::get(Ranges::LEGEND_MARGIN), 10000.0, true},
        {Ranges::get(Ranges::LEGEND_MARGIN), 10001.0, false},   {Ranges::get(Ranges::LINE_WIDTH), 1.0, true},
        {Ranges::get(Ranges::LINE_WIDTH), 33.0, false},         {Ranges::get(Ranges::LABEL_INTERVAL), 0.0, false},
        {Ranges::get(Ranges::LABEL_INTERVAL), 1000.0, true},    {Ranges::get(Ranges::WHITE_TOLERANCE), 64.0, true},
        {Ranges::get(Ranges::WHITE_TOLERANCE), 65.0, false},    {Ranges::get(Ranges::FIELD_OF_VIEW), 0.0, false},
        {Ranges::get(Ranges::FIELD_OF_VIEW), 180.0, false},     {Ranges::get(Ranges::FIELD_OF_VIEW), 200.0, false},
        {Ranges::get(Ranges::CAMERA_COORDINATE), INF, false},   {Ranges::get(Ranges::CAMERA_COORDINATE), NAN, false},
        // The near plane lies before the far one, the far one beyond the near one.
        {Ranges::nearPlane(100.0), 0.0, false},                 {Ranges::nearPlane(100.0), 99.0, true},
        {Ranges::nearPlane(100.0), 100.0, false},               {Ranges::farPlane(0.5), 0.5, false},
        {Ranges::farPlane(0.5), 1e9, true},                     {Ranges::farPlane(-3.0), 0.0, false},
        // GL's widest line narrows the range, never below one pixel; unknown leaves it.
        {Ranges::lineWidth(10.0), 10.0, true},                  {Ranges::lineWidth(10.0), 11.0, false},
        {Ranges::lineWidth(0.5), 1.0, true},                    {Ranges::lineWidth(0.0), 32.0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.range.contains(c.value), c.taken) << c.range.name << " " << c.value;
}

TEST(SettingRanges, MessagesNameTheRange)
{
    const struct {
        Ranges::Range range;
        std::string refusal, description;
    } cases[] = {
        {Ranges::get(Ranges::RELATIVE_TEXT_SIZE), "Relative text size must be above 0 and at most 1.",
         "a number above 0 and at most 1"},
        {Ranges::get(Ranges::LINE_WIDTH), "Line width must be a whole number from 1 to 32 pixels.",
         "a whole number from 1 to 32 pixels"},
        {Ranges::get(Ranges::FIELD_OF_VIEW), "Field of view must be above 0 and below 180 degrees.",
         "a number above 0 and below 180 degrees"},
        {Ranges::nearPlane(11145.75), "Near plane must be above 0 and below 11145.75.",
         "a number above 0 and below 11145.75"},
        {Ranges::farPlane(37.1525), "Far plane must be above 37.1525.", "a number above 37.1525"},
        {Ranges::get(Ranges::CAMERA_COORDINATE), "Camera coordinate must be a finite number.", "a finite number"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.range.refusal(), c.refusal);
        EXPECT_EQ(c.range.describe(), c.description);
    }
}
