// The allowed range of every value a user types into the two settings dialogs,
// gives morvex-render or writes into a description file's options, with the
// short message that refuses a value outside it: one table, so that the
// viewer, the renderer and the files take the same values.
#pragma once

#include <string>

class CMorSettingRanges
{
public:
    enum Setting {
        RELATIVE_TEXT_SIZE,
        RELATIVE_MARGIN,
        LEGEND_SIZE,
        LEGEND_MARGIN,
        LINE_WIDTH,
        LABEL_INTERVAL,
        WHITE_TOLERANCE,
        FIELD_OF_VIEW,
        NEAR_PLANE,
        FAR_PLANE,
        CAMERA_COORDINATE,
        VERTICAL_EXAGGERATION,
        COLOR_COMPONENT,
        LIGHT_DIRECTION,
        ANTIALIAS_LEVEL,
        SETTING_COUNT
    };

    // Bounds of one value; an open end excludes its bound. Values that are
    // not numbers (NaN) lie in no range.
    struct Range
    {
        const char* name;
        double low;
        bool lowIncluded;
        double high;
        bool highIncluded;
        // Counted in whole steps (pixels, labels); callers truncate.
        bool whole;
        const char* unit;

        bool contains(double value) const;
        // "above 0 and at most 1", "from 1 to 32 pixels"; empty without bounds.
        std::string bounds() const;
        // What a value must be: "a number above 0 and at most 1", "a whole
        // number from 1 to 32 pixels", "a finite number".
        std::string describe() const;
        // "Relative text size must be above 0 and at most 1.", "Line width
        // must be a whole number from 1 to 32 pixels."
        std::string refusal() const;
    };

    static Range get(Setting setting);
    // The line widths GL draws too (largest: what GL reports as its widest
    // aliased line; 0 or less when unknown).
    static Range lineWidth(double largest);
    // The near plane must lie in front of the far one, and the far plane
    // beyond the near one.
    static Range nearPlane(double farPlane);
    static Range farPlane(double nearPlane);
};
