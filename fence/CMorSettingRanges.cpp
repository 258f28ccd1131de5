// The table of allowed values and the wording of its messages.
#include "CMorSettingRanges.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

using Range = CMorSettingRanges::Range;

// In the order of CMorSettingRanges::Setting.
const Range TABLE[CMorSettingRanges::SETTING_COUNT] = {
    {"Relative text size", 0.0, false, 1.0, true, false, ""},
    {"Relative margin", 0.0, true, 1.0, true, false, ""},
    {"Legend size", 0.0, false, 1.0, true, false, ""},
    {"Legend margin", 0.0, true, 10000.0, true, true, " pixels"},
    {"Line width", 1.0, true, 32.0, true, true, " pixels"},
    {"Label interval", 1.0, true, 1000.0, true, true, ""},
    {"White tolerance", 0.0, true, 64.0, true, true, ""},
    {"Field of view", 0.0, false, 180.0, false, false, " degrees"},
    {"Near plane", 0.0, false, INF, false, false, ""},
    {"Far plane", 0.0, false, INF, false, false, ""},
    {"Camera coordinate", -INF, false, INF, false, false, ""},
    {"Vertical exaggeration", 0.0, false, INF, false, false, ""},
    {"Colour component", 0.0, true, 1.0, true, false, ""},
    {"Light direction", 0.0, true, 7.0, true, true, ""},
    {"Antialias level", 0.0, true, 6.0, true, true, ""},
};

// Ten significant digits, as the dialogs' fields show numbers.
std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

} // namespace

bool CMorSettingRanges::Range::contains(double value) const
{
    if (std::isnan(value))
        return false;
    const bool aboveLow = lowIncluded ? value >= low : value > low;
    const bool belowHigh = highIncluded ? value <= high : value < high;
    return aboveLow && belowHigh;
}

std::string CMorSettingRanges::Range::bounds() const
{
    const bool lowBound = std::isfinite(low);
    const bool highBound = std::isfinite(high);
    if (lowIncluded && highIncluded && lowBound && highBound)
        return "from " + number(low) + " to " + number(high) + unit;
    std::string text;
    if (lowBound)
        text += (lowIncluded ? "at least " : "above ") + number(low);
    if (lowBound && highBound)
        text += " and ";
    if (highBound)
        text += (highIncluded ? "at most " : "below ") + number(high);
    return text.empty() ? text : text + unit;
}

std::string CMorSettingRanges::Range::describe() const
{
    const std::string limits = bounds();
    if (limits.empty())
        return "a finite number";
    return (whole ? "a whole number " : "a number ") + limits;
}

std::string CMorSettingRanges::Range::refusal() const
{
    const std::string limits = bounds();
    return std::string(name) + " must be " + (whole || limits.empty() ? describe() : limits) + ".";
}

CMorSettingRanges::Range CMorSettingRanges::get(Setting setting)
{
    return setting >= 0 && setting < SETTING_COUNT ? TABLE[setting] : TABLE[CAMERA_COORDINATE];
}

CMorSettingRanges::Range CMorSettingRanges::lineWidth(double largest)
{
    Range range = TABLE[LINE_WIDTH];
    // A GL that draws no line wider than one pixel still leaves width 1.
    if (largest > 0.0)
        range.high = std::max(range.low, std::min(range.high, std::floor(largest)));
    return range;
}

CMorSettingRanges::Range CMorSettingRanges::nearPlane(double farPlane)
{
    Range range = TABLE[NEAR_PLANE];
    if (farPlane < range.high) {
        range.high = farPlane;
        range.highIncluded = false;
    }
    return range;
}

CMorSettingRanges::Range CMorSettingRanges::farPlane(double nearPlane)
{
    Range range = TABLE[FAR_PLANE];
    if (nearPlane > range.low) {
        range.low = nearPlane;
        range.lowIncluded = false;
    }
    return range;
}
