#include "dateservice.h"

#include <cmath>

namespace {

class SystemClock final : public Clock
{
public:
    [[nodiscard]] std::time_t now() const override { return std::time(nullptr); }
};

const SystemClock systemClock;
const Clock *currentClock = &systemClock;

// About three million years either way: far inside what localtime_r and mktime can represent
// with a 64-bit time_t and an int year, so neither ever fails on a value we hand it.
constexpr double secondsLimit = 1e14;
constexpr int monthLimit = 12 * 1'000'000;
constexpr int yearLimit = 1'000'000;

int clamp(int value, int limit)
{
    return value < -limit ? -limit : (value > limit ? limit : value);
}

} // namespace

const Clock &Clock::current()
{
    return *currentClock;
}

void Clock::setCurrent(const Clock *clock)
{
    currentClock = clock ? clock : &systemClock;
}

Date::Date()
{
    setFromTime(Clock::current().now());
}

int Date::Year() const
{
    return m_fields.tm_year + 1900;
}

int Date::Month() const
{
    return m_fields.tm_mon + 1;
}

int Date::Day() const
{
    return m_fields.tm_mday;
}

int Date::Hour() const
{
    return m_fields.tm_hour;
}

int Date::Minute() const
{
    return m_fields.tm_min;
}

int Date::Second() const
{
    return m_fields.tm_sec;
}

void Date::setYear(int year)
{
    m_fields.tm_year = clamp(year, yearLimit) - 1900;
}

void Date::setMonth(int month)
{
    m_fields.tm_mon = clamp(month, monthLimit) - 1;
}

// Day, hour and minute are stored as given: even INT_MAX minutes is only some four thousand
// years, and mktime folds each into the year in wide arithmetic.
void Date::setDay(int day)
{
    m_fields.tm_mday = day;
}

void Date::setHour(int hour)
{
    m_fields.tm_hour = hour;
}

void Date::setMinute(int minute)
{
    m_fields.tm_min = minute;
}

double Date::TotalSeconds() const
{
    std::tm fields = m_fields;
    fields.tm_isdst = -1;
    return static_cast<double>(std::mktime(&fields));
}

void Date::setTotalSeconds(double seconds)
{
    if (std::isnan(seconds))
        seconds = 0.0;
    seconds = std::fmin(std::fmax(std::floor(seconds), -secondsLimit), secondsLimit);
    setFromTime(static_cast<std::time_t>(seconds));
}

void Date::setFromTime(std::time_t time)
{
    std::tm fields {};
    if (localtime_r(&time, &fields))
        m_fields = fields;
}
