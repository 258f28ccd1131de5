// Reals in description files: the shortest text that reads back as the very
// same double, so saving never moves a map coordinate.
#pragma once

#include <string>

std::string formatReal(double value);
// The shortest text that reads back as the same float (colours).
std::string formatReal(float value);
