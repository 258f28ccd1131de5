// The table of allowed values: the ends the dialogs and the renderer do not
// try, the limits that follow from GL and from the other clipping plane, and
// the messages that name a computed range.
#include "CMorSettingRanges.h"

#include <gtest/gtest.h>

#include <string>

using Ranges = CMorSettingRanges;

TEST(SettingRanges, EachRangeTakesItsEndsAsListedAndMessagesNameThem)
{
    const struct {
        Ranges::Range range;
        double value;
        bool taken;
    } cases[] = {
        {Ranges::get(Ranges::RELATIVE_TEXT_SIZE), 1.0, true},   {Ranges::get(Ranges::RELATIVE_MARGIN), 0.0, true},
        {Ranges::get(Ranges::LEGEND_SIZE), 1.0, true},          {Ranges::get(Ranges::LEGEND_MARGIN), 0.0, true},
        {Ranges::get(Ranges::LEGEND_MARGIN), 10000.0, true},    {Ranges::get(Ranges::LEGEND_MARGIN), 10001.0, false},
        {Ranges::get(Ranges::LINE_WIDTH), 1.0, true},           {Ranges::get(Ranges::LINE_WIDTH), 33.0, false},
        {Ranges::get(Ranges::LABEL_INTERVAL), 0.0, false},      {Ranges::get(Ranges::LABEL_INTERVAL), 1000.0, true},
        {Ranges::get(Ranges::WHITE_TOLERANCE), 64.0, true},
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
    // Messages name the computed limits.
    EXPECT_EQ(Ranges::nearPlane(11145.75).refusal(), "Near plane must be above 0 and below 11145.75.");
    EXPECT_EQ(Ranges::farPlane(37.1525).describe(), "a number above 37.1525");
    EXPECT_EQ(Ranges::get(Ranges::CAMERA_COORDINATE).refusal(), "Camera coordinate must be a finite number.");
}
