// Monotonic clock with sub-microsecond resolution for measuring elapsed time.
#pragma once

class CMorClock
{
public:
    // Seconds from an arbitrary fixed start; never goes backwards.
    static double now();
};
