#include "timestamps.h"

#include "dateservice.h"
#include "textfields.h"

namespace {

std::string twoDigits(int value)
{
    std::string text = numberText(value);
    return text.size() < 2 ? "0" + text : text;
}

int fieldNumber(std::string_view text, std::string_view separator, int n)
{
    return toInt32(leadingNumber(NthField(text, separator, n)));
}

} // namespace

std::string returnTime(double seconds)
{
    Date date;
    if (seconds != 0.0)
        date.setTotalSeconds(seconds);
    return twoDigits(date.Month()) + "/" + twoDigits(date.Day()) + " " + twoDigits(date.Hour())
        + ":" + twoDigits(date.Minute());
}

double getSeconds(std::string_view text, int yearOffset)
{
    return getSeconds(text, Date(), yearOffset);
}

double getSeconds(std::string_view text, const Date &now, int yearOffset)
{
    const std::string_view datePart = NthField(text, " ", 1);
    const std::string_view timePart = NthField(text, " ", 2);

    Date date = now;
    if (yearOffset != 0)
        date.setYear(toInt32(std::int64_t { date.Year() } + yearOffset));
    date.setMonth(fieldNumber(datePart, "/", 1));
    date.setDay(fieldNumber(datePart, "/", 2));
    date.setHour(fieldNumber(timePart, ":", 1));
    date.setMinute(fieldNumber(timePart, ":", 2));
    return date.TotalSeconds();
}

int monthOf(std::string_view text)
{
    return fieldNumber(NthField(text, " ", 1), "/", 1);
}

bool isWellFormed(std::string_view text)
{
    const int month = monthOf(text);
    return !text.empty() && checkFormat(text) && month >= 1 && month <= 12;
}

bool checkFormat(std::string_view text)
{
    if (text.empty())
        return true;
    if (characterAt(text, 2) != "/" && characterAt(text, 3) != "/")
        return false;
    if (text.find(' ') == std::string_view::npos)
        return false;
    const std::string_view datePart = NthField(text, " ", 1);
    const std::string_view timePart = NthField(text, " ", 2);
    if (NthField(datePart, "/", 1).empty() || NthField(datePart, "/", 2).empty())
        return false;
    if (characterAt(timePart, 2) != ":" && characterAt(timePart, 3) != ":")
        return false;
    return !NthField(timePart, ":", 1).empty() && !NthField(timePart, ":", 2).empty();
}
