#pragma once

#include <cstdlib>
#include <ctime>

// The time rules read "now" in the process's zone; the tests fix both.
inline bool setZone(const char *zone)
{
    const bool set = setenv("TZ", zone, 1) == 0;
    tzset();
    return set;
}
