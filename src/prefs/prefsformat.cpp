#include "prefsformat.h"

#include "textfields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <utility>

namespace {

constexpr std::string_view versionLine = "#version 1.5\n";
constexpr std::string_view windowPosName = "#windowpos ";
constexpr std::string_view columnWidthsName = "#columnwidths ";
constexpr std::string_view savedItemName = "#saveditem ";
constexpr std::size_t savedCells = 4;
// "-2147483648" and the tab or line end after it.
constexpr std::size_t longestNumber = 12;

void appendNumber(std::string &out, std::int32_t value)
{
    std::array<char, longestNumber> buffer {};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr);
}

std::string_view cellOf(const ListRow &row, std::size_t column)
{
    return column < row.size() ? std::string_view(row[column]) : std::string_view();
}

std::size_t expectedSize(std::string_view columnWidths, const std::vector<ListRow> &rows)
{
    std::size_t size = versionLine.size() + windowPosName.size() + 4 * longestNumber
        + columnWidthsName.size() + columnWidths.size() + 1;
    for (const ListRow &row : rows) {
        size += savedItemName.size() + savedCells;
        for (std::size_t column = 0; column < savedCells; ++column)
            size += cellOf(row, column).size();
    }
    return size;
}

} // namespace

std::string prefsText(
    const WindowPlace &place, std::string_view columnWidths, const std::vector<ListRow> &rows)
{
    std::string out;
    out.reserve(expectedSize(columnWidths, rows));

    out += versionLine;

    out += windowPosName;
    appendNumber(out, place.left);
    out += '\t';
    appendNumber(out, place.top);
    out += '\t';
    appendNumber(out, place.width);
    out += '\t';
    appendNumber(out, place.height);
    out += '\n';

    out += columnWidthsName;
    out += withoutLineBreaks(columnWidths);
    out += '\n';

    for (const ListRow &row : rows) {
        out += savedItemName;
        for (std::size_t column = 0; column < savedCells; ++column) {
            if (column > 0)
                out += '\t';
            out += withoutLineBreaks(cellOf(row, column));
        }
        out += '\n';
    }
    return out;
}

bool applyDirectives(const std::vector<directiveClass> &directives, PrefsTarget &target)
{
    constexpr std::string_view tab = "\t";
    // Both "windowpos" and "saveditem" have four fields: a fourth tab starts one with no place.
    const auto moreThanFourFields
        = [](std::string_view text) { return std::count(text.begin(), text.end(), '\t') > 3; };
    bool usedWhole = true;
    for (const directiveClass &directive : directives) {
        if (directive.name == "windowpos") {
            const auto field
                = [&](int n) { return toInt32(leadingNumber(NthField(directive.text, tab, n))); };
            target.setWindowPlace({ field(1), field(2), field(3), field(4) });
            if (moreThanFourFields(directive.text))
                usedWhole = false;
        } else if (directive.name == "saveditem") {
            ListRow row;
            row.reserve(savedCells);
            for (int n = 1; n <= static_cast<int>(savedCells); ++n)
                row.emplace_back(NthField(directive.text, tab, n));
            target.addRow(std::move(row));
            if (moreThanFourFields(directive.text))
                usedWhole = false;
        } else if (directive.name == "columnwidths") {
            target.setColumnWidths(directive.text);
        } else if (directive.name != "version") {
            usedWhole = false;
        }
    }
    return usedWhole;
}
