// Monotonic clock over clock_gettime.
#include "CMorClock.h"

#include <time.h>

double CMorClock::now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
