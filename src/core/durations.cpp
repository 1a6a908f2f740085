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

double recordedSeconds(std::string_view startText, std::string_view finishText)
{
    // The Finish is read first: the order the clock is sampled in matters only to the seconds,
    // which the rounding below takes out.
    const double finish = getSeconds(finishText);
    const int yearOffset = monthOf(finishText) < monthOf(startText) ? -1 : 0;
    const double start = getSeconds(startText, yearOffset);
    return std::round((finish - start) / 60.0) * 60.0;
}

std::string totalText(std::string_view startText, std::string_view finishText)
{
    return durationText(0.0, recordedSeconds(startText, finishText));
}
