#include "runningsummary.h"

#include "dateservice.h"
#include "durations.h"
#include "projectrows.h"
#include "timestamps.h"

RunningSummary runningSummary(const std::vector<ListRow> &rows, const Date &now)
{
    using Command = RunningSummary::Entry::Command;
    constexpr auto project = std::size_t(columnIndex(Column::Project));
    constexpr auto start = std::size_t(columnIndex(Column::Start));
    constexpr auto finish = std::size_t(columnIndex(Column::Finish));
    // Stopping now would write this Finish, so the minutes shown are the ones the Total would get.
    const std::string stopNow = returnTime(now.TotalSeconds());
    RunningSummary summary;
    summary.menu.reserve(maxStopEntries + 3);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const ListRow &row = rows[index];
        if (!isRunning({ row[start], row[finish], {} }))
            continue;
        if (summary.running)
            summary.toolTip += '\n';
        summary.running = true;
        summary.toolTip.append(row[project])
            .append(": ")
            .append(durationText(0.0, recordedSeconds(row[start], stopNow, now)));
        if (summary.menu.size() < maxStopEntries)
            summary.menu.push_back(
                { Command::Stop, "Stop " + std::string(row[project]), static_cast<int>(index) });
    }
    if (!summary.running)
        summary.toolTip = "Nothing running";
    summary.menu.push_back({ Command::StopAll, "Stop All" });
    summary.menu.push_back({ Command::Show, "Show Tally Fox" });
    summary.menu.push_back({ Command::Quit, "Quit" });
    return summary;
}
