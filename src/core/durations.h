#pragma once

#include <string>
#include <string_view>

class Date;

// The Total text of a period: hours, an apostrophe, a space, minutes and a quotation mark
// (1' 25"). Under an hour the hours are 0 and the minutes are shown as they are, negative ones
// included (0' -1440"). The minutes are rounded to whole ones first, so two clock reads that
// straddle a second tick never show a fraction.
[[nodiscard]] std::string durationText(double startSeconds, double finishSeconds);

// The seconds recorded between two time stamp texts, in whole minutes. When both are well-formed
// stamps, a Finish month earlier in the year than the Start month means the period crossed New
// Year, so the Start is read in the year before.
[[nodiscard]] double recordedSeconds(std::string_view startText, std::string_view finishText);
// The same, both texts read against the given moment.
[[nodiscard]] double recordedSeconds(
    std::string_view startText, std::string_view finishText, const Date &now);

// True when the two texts would give a row a negative Total, read against the given moment as
// the Total reads them, New Year included. An empty text gives no new Total, so never runs back.
[[nodiscard]] bool runsBackwards(
    std::string_view startText, std::string_view finishText, const Date &now);

// The Total text of a row from its Start and Finish texts.
[[nodiscard]] std::string totalText(std::string_view startText, std::string_view finishText);
