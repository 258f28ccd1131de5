// Jitter tables of the view's antialiasing: per level a number of passes and
// one sub-pixel offset (in pixels) per pass.
#pragma once

class CMorJitterTable
{
public:
    enum { LEVEL_COUNT = 7 };

    // Passes of level 0 to 6: 2, 3, 4, 8, 15, 24, 66. Levels outside the
    // range count as the nearest one.
    static int getPassCount(int level);
    // Offset of one pass; (0, 0) for a pass outside the table.
    static void getOffset(int level, int pass, double& x, double& y);
};
