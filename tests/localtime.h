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

// The instant of a wall-clock time such as "2026-05-27 16:23:37" in the zone set, with daylight
// saving decided by the C library as the program does.
inline std::time_t localInstant(const char *text)
{
    std::tm fields {};
    strptime(text, "%Y-%m-%d %H:%M:%S", &fields);
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}
