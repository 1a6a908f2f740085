#pragma once

#include "projectrows.h"

#include <optional>
#include <string>
#include <string_view>

class Date;

// One look at the session. The wall clock is on Date's TotalSeconds scale; the steady clock is
// one that nobody sets and that goes on counting through a suspend; idle is how long the session
// has had no input, by a counter that may stand still while the machine sleeps.
struct IdleSample
{
    double wallSeconds = 0.0;
    double steadySeconds = 0.0;
    double idleSeconds = 0.0;
};

// A time away on the wall clock, from the last input to the input that came back.
struct AwaySpan
{
    double beginSeconds = 0.0;
    double endSeconds = 0.0;

    // The minutes a running row counted meanwhile: time stamps drop the seconds, so a row's Total
    // grows by one each time the clock shows a new minute, whatever the seconds were.
    [[nodiscard]] int minutes() const;

    bool operator==(const AwaySpan &) const = default;
};

// Follows the idle samples of one stretch of timing and tells when input came back after the
// session had been idle for at least the threshold. Only the steady clock measures: a suspend or a
// clock set either way can neither make a time away negative nor longer than it really was.
class AwayWatch
{
public:
    // The time away that this sample ends, if any. A threshold of 0 or less notices nothing.
    std::optional<AwaySpan> next(const IdleSample &sample, double thresholdSeconds);

    // Whether the last sample found the session away.
    [[nodiscard]] bool isAway() const { return m_away; }
    // How long the session had been without input at the last sample; 0 before the first.
    [[nodiscard]] double idleSeconds() const;

    // Forgets every sample: the next one starts afresh.
    void reset() { *this = AwayWatch(); }

private:
    std::optional<IdleSample> m_previous;
    // The steady time of the last input known.
    double m_lastInput = 0.0;
    bool m_away = false;
};

// True when the row ran through the whole time away: it is running and its time so far at the
// return covers all of it. A row stopped or started in between does not, nor one whose Start is
// no time stamp.
[[nodiscard]] bool ranThrough(const RowTimes &row, const AwaySpan &span, const Date &now);

// The Start text of a running row whose time leaves the time away out: Continue's arithmetic the
// other way round, Start moved later by the minutes away.
[[nodiscard]] std::string startWithout(
    std::string_view startText, const AwaySpan &span, const Date &now);

// The question put to the user when input comes back: "You were away from 14:02 to 14:47
// (45 minutes) while 2 projects ran."
[[nodiscard]] std::string awayQuestion(const AwaySpan &span, int projects);
