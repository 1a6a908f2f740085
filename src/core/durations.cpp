#include "durations.h"

#include "dateservice.h"
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
    // Both texts are read against one look at the clock, so they share its seconds, which
    // cancel out, and its year, even when the clock passes midnight of New Year's Eve between
    // the two readings.
    return recordedSeconds(startText, finishText, Date());
}

double recordedSeconds(std::string_view startText, std::string_view finishText, const Date &now)
{
    const double finish = getSeconds(finishText, now);
    // An empty or damaged text reads as month 0, which must not pass for January.
    const bool crossedNewYear = isWellFormed(startText) && isWellFormed(finishText)
        && monthOf(finishText) < monthOf(startText);
    return finish - getSeconds(startText, now, crossedNewYear ? -1 : 0);
}

bool runsBackwards(std::string_view startText, std::string_view finishText, const Date &now)
{
    if (startText.empty() || finishText.empty())
        return false;
    // Rounded as the Total rounds it: what counts is the sign of the minutes the row would show.
    return std::round(recordedSeconds(startText, finishText, now) / 60.0) < 0.0;
}

std::string totalText(std::string_view startText, std::string_view finishText)
{
    return durationText(0.0, recordedSeconds(startText, finishText));
}
