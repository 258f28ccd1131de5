// One line feature on its way to becoming a fence: its points in the layer's
// coordinates until the CRS is chosen, and the fence's attributes.
#pragma once

#include "CFenceDescription.h"

#include <string>
#include <vector>

struct CMorSectionLine
{
    // "Feature 3" or "Feature 3 ("A-A'")", to begin a message with.
    std::string name;
    // x and y in the layer's CRS, then in the diagram's; z from the
    // geometry (never transformed), else 0.
    std::vector<CFenceDescription::Point> points;
    // Everything but the points.
    CFenceDescription::Fence fence;
};
