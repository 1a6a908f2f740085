#pragma once

#include "listrow.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The four cells of a project row, in the list's column order.
enum class Column { Project, Start, Finish, Total };
inline constexpr int columnCount = 4;

[[nodiscard]] constexpr int columnIndex(Column column)
{
    return static_cast<int>(column);
}

// The time cells of one row, as the rules below read them.
struct RowTimes
{
    std::string_view start;
    std::string_view finish;
    std::string_view total;
};

// A row with a Start and no Finish is being timed, whatever its Total says: closing the window
// stops exactly these rows.
[[nodiscard]] bool isRunning(const RowTimes &row);

// Stops every running row at nowSeconds (Date's TotalSeconds scale), as closing the main window
// does: each gets its Finish and its Total.
void stopRunningRows(std::vector<ListRow> &rows, double nowSeconds);

// What the Start/Stop pair shows for the selected row, or for no selection.
struct ButtonStates
{
    std::string_view startCaption;
    bool startEnabled = false;
    bool stopEnabled = false;

    bool operator==(const ButtonStates &) const = default;
};

[[nodiscard]] ButtonStates buttonStates(const std::optional<RowTimes> &selected);

// The Start text of a row continued at nowSeconds: the time already recorded before now, so that
// the next stop's Total is the old one plus the new period.
[[nodiscard]] std::string continuedStartText(
    std::string_view startText, std::string_view finishText, double nowSeconds);

// A row as one labelled line, as Copy puts it on the clipboard: "Project: ", "Start: ", "Stop: "
// and "Total: " each followed by the cell's text, three spaces between them, and no line end.
[[nodiscard]] std::string labelledLine(std::string_view project, std::string_view start,
    std::string_view finish, std::string_view total);

// The given rows as an HTML table headed Project, Start, Finish and Total, as Copy also puts them
// on the clipboard for pasting into a spreadsheet or a document. Cell texts are escaped, so no
// project name can add markup.
[[nodiscard]] std::string htmlTable(
    const std::vector<ListRow> &rows, const std::vector<int> &which);

// The Project text of the n-th row made since start-up.
[[nodiscard]] std::string untitledProjectName(int n);
