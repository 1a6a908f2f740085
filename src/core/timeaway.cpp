#include "timeaway.h"

#include "dateservice.h"
#include "durations.h"
#include "textfields.h"
#include "timestamps.h"

#include <algorithm>
#include <cmath>

namespace {

std::string clockText(double seconds)
{
    // The time part of the time stamp text: the same local time, seconds dropped the same way.
    return returnTime(seconds).substr(6);
}

std::string counted(int count, std::string_view one, std::string_view many)
{
    return numberText(count) + " " + std::string(count == 1 ? one : many);
}

} // namespace

int AwaySpan::minutes() const
{
    return toInt32(std::floor(endSeconds / 60.0) - std::floor(beginSeconds / 60.0));
}

std::optional<AwaySpan> AwayWatch::next(const IdleSample &sample, double thresholdSeconds)
{
    const double idle = std::max(0.0, sample.idleSeconds);
    std::optional<AwaySpan> span;
    if (!m_previous) {
        m_lastInput = sample.steadySeconds - idle;
    } else if (idle < m_previous->idleSeconds) {
        // The counter went back: input came at some point since the last look, and the last of it
        // is idle ago, which can be no earlier than that look.
        const double elapsed = std::max(0.0, sample.steadySeconds - m_previous->steadySeconds);
        const double backAgo = std::min(idle, elapsed);
        const double back = sample.steadySeconds - backAgo;
        if (m_away) {
            const double length = std::max(0.0, back - m_lastInput);
            const double end = sample.wallSeconds - backAgo;
            span = AwaySpan { end - length, end };
        }
        m_lastInput = back;
    }
    // Without input since the last look the counter tells nothing new: across a suspend it stood
    // still while the session stayed idle, so the time since the last input is the steady clock's.
    m_previous = IdleSample { sample.wallSeconds, sample.steadySeconds, idle };
    m_away = thresholdSeconds > 0.0 && idleSeconds() >= thresholdSeconds;
    return span;
}

double AwayWatch::idleSeconds() const
{
    return m_previous ? std::max(0.0, m_previous->steadySeconds - m_lastInput) : 0.0;
}

bool ranThrough(const RowTimes &row, const AwaySpan &span, const Date &now)
{
    // Read as the Total reads them, so that a Start from last year counts across New Year.
    return isRunning(row) && isWellFormed(row.start)
        && recordedSeconds(row.start, returnTime(span.endSeconds), now) >= span.minutes() * 60.0;
}

std::string startWithout(std::string_view startText, const AwaySpan &span, const Date &now)
{
    return returnTime(getSeconds(startText, now) + span.minutes() * 60.0);
}

std::string awayQuestion(const AwaySpan &span, int projects)
{
    return "You were away from " + clockText(span.beginSeconds) + " to "
        + clockText(span.endSeconds) + " (" + counted(span.minutes(), "minute", "minutes")
        + ") while " + counted(projects, "project", "projects") + " ran.";
}
