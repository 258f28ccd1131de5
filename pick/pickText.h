// The texts of picks and measurements: the readout, Copy coordinates and
// morvex-render's pick lines. Numbers have a fixed count of decimals and
// never read "-0.000".
#pragma once

#include "CMorMeasurement.h"
#include "CMorPick.h"

#include <string>

// value with the decimals; a value that rounds to zero has no minus sign.
std::string formatFixed(double value, int decimals);

// The label in double quotes, with `"` and `\` behind a backslash.
std::string quoteLabel(const std::string& label);

// "pick X,Y: EAST NORTH ELEVATION fence N "LABEL" pixel C,R" (pixel -
// for an outline), or "pick X,Y: background".
std::string pickLine(long long x, long long y, const CMorPick& pick, const std::string& label);

// The readout's first line: the pointer's point, the fence's label and the
// pixel, or "-" when it is over no fence.
std::string pointerReadout(const CMorPick& pick, const std::string& label);
// The readout's second line: A, or the distances and angles from A to B;
// empty while nothing is measured.
std::string measurementReadout(const CMorMeasurement& measurement);

// What Copy coordinates puts on the clipboard, one line each: "A E N Z",
// "B E N Z" and "distance D horizontal H vertical V azimuth AZ dip DIP" as
// far as they are set, or without points "X E Y N Z Z" of the pointer's
// point; empty when there is nothing of either.
std::string coordinatesText(const CMorMeasurement& measurement, const CMorPick& pointer);
