#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A list's column-widths text: comma-separated entries, one per column, each "N%" of the list's
// width, "N" pixels, or "*" for an equal share of what the other entries leave. N may have a
// fraction. Columns without an entry share the remaining width like "*".
struct ColumnWidth
{
    enum class Kind { Percent, Pixels, Share };
    Kind kind = Kind::Share;
    double value = 0.0;

    bool operator==(const ColumnWidth &) const = default;
};

// The entries of a widths text, or nothing when it is empty or any entry is malformed (then the
// list keeps its present widths).
[[nodiscard]] std::optional<std::vector<ColumnWidth>> parseColumnWidths(std::string_view text);

// Pixel widths of columnCount columns laid out in a list availableWidth pixels wide, fitted as
// below. Never negative.
[[nodiscard]] std::vector<int> layoutColumnWidths(
    const std::vector<ColumnWidth> &widths, int columnCount, int availableWidth);

// The widths cut to fit the list: from the left each column keeps its width, and what would reach
// past the right edge is taken off the columns there. A list has no horizontal scroll bar, so a
// column pushed out would be out of reach.
[[nodiscard]] std::vector<int> fittedColumnWidths(std::vector<int> pixels, int availableWidth);

// The widths after the user dragged one column to newWidth, from the widths the columns had when
// the drag began: the columns to its right give way, and come back as it is dragged back.
[[nodiscard]] std::vector<int> draggedColumnWidths(
    std::vector<int> atDragStart, int column, int newWidth, int availableWidth);

// The entries that give back the given pixel widths in the same form as before: a percentage
// stays a percentage of availableWidth (in hundredths, rounded down), a pixel width stays pixels;
// a share, or a column that had no entry, becomes a percentage so that it keeps its width when
// read back.
[[nodiscard]] std::vector<ColumnWidth> widthsFromPixels(
    const std::vector<ColumnWidth> &previous, const std::vector<int> &pixels, int availableWidth);

// The text of a list of entries: integers without a point, fractions with at most two decimals.
[[nodiscard]] std::string formatColumnWidths(const std::vector<ColumnWidth> &widths);
