#pragma once

#include <ctime>

// Where "now" comes from. The program reads the system clock; tests install a fixed one so that
// every conversion that starts from the current moment is repeatable.
class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual std::time_t now() const = 0;

    // The clock in use. Passing nullptr restores the system clock.
    [[nodiscard]] static const Clock &current();
    static void setCurrent(const Clock *clock);
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(std::time_t moment)
        : m_moment(moment)
    {
    }
    [[nodiscard]] std::time_t now() const override { return m_moment; }
    void setMoment(std::time_t moment) { m_moment = moment; }

private:
    std::time_t m_moment;
};

// A calendar date and time of day in local time. Setting a field stores it as given: nothing is
// normalised until TotalSeconds is read, so setting the month to April on the 31st and then the
// day to 15 gives 15 April. Setting TotalSeconds recomputes every field.
class Date
{
public:
    // The current moment of Clock::current(), in local time.
    Date();

    [[nodiscard]] int Year() const;
    [[nodiscard]] int Month() const;
    [[nodiscard]] int Day() const;
    [[nodiscard]] int Hour() const;
    [[nodiscard]] int Minute() const;
    [[nodiscard]] int Second() const;
    void setYear(int year);
    void setMonth(int month);
    void setDay(int day);
    void setHour(int hour);
    void setMinute(int minute);

    // Seconds since the Unix epoch of the normalised fields. The C library decides daylight
    // saving for the date itself, never from the moment the value was made.
    [[nodiscard]] double TotalSeconds() const;
    // Any double is accepted: NaN reads as 0 and values beyond some million years are held at
    // that limit, so the fields are always a real calendar date.
    void setTotalSeconds(double seconds);

private:
    void setFromTime(std::time_t time);

    std::tm m_fields {};
};
