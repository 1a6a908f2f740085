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

namespace {

// The entity for a character that HTML reads as markup; empty for any other.
std::string_view entity(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return {};
    }
}

// Runs of plain text go in whole: a long copy is mostly plain text.
void appendEscaped(std::string &html, std::string_view text)
{
    std::size_t from = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::string_view replacement = entity(text[at]);
        if (replacement.empty())
            continue;
        html.append(text.substr(from, at - from)).append(replacement);
        from = at + 1;
    }
    html.append(text.substr(from));
}

} // namespace

std::string htmlTable(const std::vector<ListRow> &rows, const std::vector<int> &which)
{
    std::string html = "<meta charset=\"utf-8\"><table>\n"
                       "<tr><th>Project</th><th>Start</th><th>Finish</th><th>Total</th></tr>\n";
    // Enough for the cells, their tags and a few entities, so that a long copy is not moved as
    // it grows.
    constexpr std::size_t perRow = 64;
    std::size_t size = html.size() + 16;
    for (const int index : which)
        size += rows.at(static_cast<std::size_t>(index)).line().size() + perRow;
    html.reserve(size);
    for (const int index : which) {
        const ListRow &row = rows[static_cast<std::size_t>(index)];
        html += "<tr>";
        for (int column = 0; column < columnCount; ++column) {
            html += "<td>";
            appendEscaped(html, row[static_cast<std::size_t>(column)]);
            html += "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table>\n";
    return html;
}
