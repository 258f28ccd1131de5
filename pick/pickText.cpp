// Texts of picks and measurements.
#include "pickText.h"

#include <cmath>
#include <cstdio>

std::string formatFixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    // Rounded to zero, a small negative value keeps its sign in printf.
    if (result[0] == '-' && result.find_first_not_of("-0.") == std::string::npos)
        result.erase(0, 1);
    return result;
}

std::string quoteLabel(const std::string& label)
{
    std::string quoted = "\"";
    for (const char c : label) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

namespace {

std::string mapPoint(double east, double north, double elevation, const char* separator)
{
    return formatFixed(east, 3) + separator + formatFixed(north, 3) + separator + formatFixed(elevation, 3);
}

std::string pointLine(const char* name, const CMorMeasurement::Point& point)
{
    return std::string(name) + " " + mapPoint(point.east, point.north, point.elevation, " ");
}

// Degrees from 0 up to 360, with two decimals: what rounds to 360 is 0.
std::string azimuthText(double degrees)
{
    const std::string text = formatFixed(degrees, 2);
    return text == "360.00" ? "0.00" : text;
}

} // namespace

std::string pickLine(long long x, long long y, const CMorPick& pick, const std::string& label)
{
    std::string line = "pick " + std::to_string(x) + "," + std::to_string(y) + ": ";
    if (!pick.hit)
        return line + "background";
    line += mapPoint(pick.east, pick.north, pick.elevation, " ") + " fence " + std::to_string(pick.fence) + " " +
            quoteLabel(label) + " pixel ";
    return line + (pick.hasPixel ? std::to_string(pick.column) + "," + std::to_string(pick.row) : "-");
}

std::string pointerReadout(const CMorPick& pick, const std::string& label)
{
    if (!pick.hit)
        return "-";
    std::string text = "X " + formatFixed(pick.east, 3) + "  Y " + formatFixed(pick.north, 3) + "  Z " +
                       formatFixed(pick.elevation, 3) + "  " +
                       (label.empty() ? "fence " + std::to_string(pick.fence + 1) : label);
    return text + "  pixel " + (pick.hasPixel ? std::to_string(pick.column) + "," + std::to_string(pick.row) : "-");
}

std::string measurementReadout(const CMorMeasurement& measurement)
{
    if (!measurement.hasA())
        return "";
    if (!measurement.hasB())
        return pointLine("A", measurement.getA()) + "  (click B)";
    return "distance " + formatFixed(measurement.getDistance(), 3) + "  horizontal " +
           formatFixed(measurement.getHorizontal(), 3) + "  vertical " + formatFixed(measurement.getVertical(), 3) +
           "  azimuth " + azimuthText(measurement.getAzimuth()) + "  dip " + formatFixed(measurement.getDip(), 2);
}

std::string coordinatesText(const CMorMeasurement& measurement, const CMorPick& pointer)
{
    if (!measurement.hasA())
        return pointer.hit ? "X " + formatFixed(pointer.east, 3) + " Y " + formatFixed(pointer.north, 3) + " Z " +
                                 formatFixed(pointer.elevation, 3)
                           : "";
    std::string text = pointLine("A", measurement.getA());
    if (!measurement.hasB())
        return text;
    return text + "\n" + pointLine("B", measurement.getB()) + "\ndistance " +
           formatFixed(measurement.getDistance(), 3) + " horizontal " + formatFixed(measurement.getHorizontal(), 3) +
           " vertical " + formatFixed(measurement.getVertical(), 3) + " azimuth " +
           azimuthText(measurement.getAzimuth()) + " dip " + formatFixed(measurement.getDip(), 2);
}
