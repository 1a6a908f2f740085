#pragma once

#include <string>
#include <string_view>

class Date;

// A time stamp text is "MM/DD hh:mm": month, day, hour and minute, two digits each, no year and
// no seconds. It is read back in the current year.

// The time stamp text of an instant (seconds on Date's TotalSeconds scale); exactly 0 stands for
// the current moment. Seconds are dropped, not rounded. Always 11 characters.
[[nodiscard]] std::string returnTime(double seconds);

// The instant a time stamp text denotes in the current year plus yearOffset, with the seconds of
// the current moment. Loose forms read too ("5/7 9:5" is 7 May, 09:05); a missing or non-numeric
// field reads as 0, and a day beyond its month rolls over into the next.
[[nodiscard]] double getSeconds(std::string_view text, int yearOffset = 0);
// The same, read against the given moment instead of a fresh look at the clock: two texts read
// against one moment share its year and its seconds.
[[nodiscard]] double getSeconds(std::string_view text, const Date &now, int yearOffset = 0);

// The month a time stamp text names, as written (not normalised).
[[nodiscard]] int monthOf(std::string_view text);

// True when the text is a time stamp that names a real month: it passes checkFormat, is not
// empty, and its month is 1 to 12.
[[nodiscard]] bool isWellFormed(std::string_view text);

// True when the text has the rough shape of a time stamp: month/day hour:minute. Only the
// separators are looked at, never the digits, and the empty text passes.
[[nodiscard]] bool checkFormat(std::string_view text);
