#include "projectrows.h"

#include "durations.h"
#include "textfields.h"
#include "timestamps.h"

bool isRunning(const RowTimes &row)
{
    return !row.start.empty() && row.finish.empty();
}

void stopRunningRows(std::vector<ListRow> &rows, double nowSeconds)
{
    const std::string finish = returnTime(nowSeconds);
    for (ListRow &row : rows) {
        if (!isRunning({ row[columnIndex(Column::Start)], row[columnIndex(Column::Finish)], {} }))
            continue;
        row.set(columnIndex(Column::Finish), finish);
        row.set(columnIndex(Column::Total), totalText(row[columnIndex(Column::Start)], finish));
    }
}

ButtonStates buttonStates(const std::optional<RowTimes> &selected)
{
    if (!selected)
        return { "Start", false, false };
    if (selected->start.empty())
        return { "Start", true, false };
    if (!selected->total.empty())
        return { "Continue", true, false };
    // Started but without a Total: Stop is offered, and Continue too once a Finish exists.
    return { "Continue", !selected->finish.empty(), true };
}

std::string continuedStartText(
    std::string_view startText, std::string_view finishText, double nowSeconds)
{
    return returnTime(nowSeconds - recordedSeconds(startText, finishText));
}

std::string untitledProjectName(int n)
{
    return "Untitled project " + numberText(n);
}

std::string labelledLine(std::string_view project, std::string_view start, std::string_view finish,
    std::string_view total)
{
    constexpr std::string_view separator = "   ";
    std::string line;
    line.reserve(40 + project.size() + start.size() + finish.size() + total.size());
    line.append("Project: ").append(project).append(separator);
    line.append("Start: ").append(start).append(separator);
    line.append("Stop: ").append(finish).append(separator);
    line.append("Total: ").append(total);
    return line;
}
