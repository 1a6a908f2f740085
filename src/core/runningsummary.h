#pragma once

#include "listrow.h"

#include <cstddef>
#include <string>
#include <vector>

class Date;

// What the status icon shows of the project rows at one moment.
struct RunningSummary
{
    // One item of the icon's menu. A Stop item names the row it stops; the others have none.
    struct Entry
    {
        enum class Command { Stop, StopAll, Show, Quit };
        Command command = Command::Show;
        std::string text;
        int row = -1;

        bool operator==(const Entry &) const = default;
    };

    bool running = false;
    // Each running project and its time so far, one a line, in list order.
    std::string toolTip;
    std::vector<Entry> menu;

    bool operator==(const RunningSummary &) const = default;
};

// The menu names at most this many running rows; Stop All reaches the rest.
inline constexpr std::size_t maxStopEntries = 10;

// The summary of the rows at now. A row's time so far reads as its Total would if it were
// stopped now.
[[nodiscard]] RunningSummary runningSummary(const std::vector<ListRow> &rows, const Date &now);
