#include "durations.h"

#include "textfields.h"
#include "timestamps.h"

#include <cmath>

std::string durationText(double startSeconds, double finishSeconds)
{
    double minutes = std::round((finishSeconds - startSeconds) / 60.0);
    std::int32_t hours = 0;
    // NaN fails this test too and goes on as 0 minutes.
    if (!(minutes < 60.0)) {
        const std::int32_t wholeMinutes = toInt32(minutes);
        hours = wholeMinutes / 60;
        minutes = wholeMinutes % 60;
    }
    return numberText(hours) + "' " + numberText(minutes) + "\"";
}

namespace {

// Each instant carries the clock's second at its own read. Should the clock pass into the next
// minute between the two reads, those seconds differ by up to 59, which rounding the difference
// would turn into a whole minute; cut off at the minute, both instants lose them.
double minuteOf(double seconds)
{
    return std::floor(seconds / 60.0) * 60.0;
}

} // namespace

double recordedSeconds(std::string_view startText, std::string_view finishText)
{
    const double finish = minuteOf(getSeconds(finishText));
    const int yearOffset = monthOf(finishText) < monthOf(startText) ? -1 : 0;
    const double start = minuteOf(getSeconds(startText, yearOffset));
    return finish - start;
}

std::string totalText(std::string_view startText, std::string_view finishText)
{
    return durationText(0.0, recordedSeconds(startText, finishText));
}
