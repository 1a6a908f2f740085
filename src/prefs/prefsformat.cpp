#include "prefsformat.h"

#include "textfields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <optional>
#include <utility>

namespace {

constexpr std::string_view versionLine = "#version 1.5\n";
constexpr std::string_view windowPosName = "#windowpos ";
constexpr std::string_view columnWidthsName = "#columnwidths ";
constexpr std::string_view idleMinutesName = "#idleminutes ";
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

std::size_t expectedSize(std::string_view columnWidths, const std::vector<ListRow> &rows)
{
    std::size_t size = versionLine.size() + windowPosName.size() + 4 * longestNumber
        + columnWidthsName.size() + columnWidths.size() + 1 + idleMinutesName.size()
        + longestNumber;
    for (const ListRow &row : rows)
        size += savedItemName.size() + row.line().size() + savedCells;
    return size;
}

// The row's four cells as one line of fields: its own line when it has four, as the list's rows
// do, so that writing a long list copies each row once.
void appendRow(std::string &out, const ListRow &row)
{
    const std::size_t begin = out.size();
    if (row.size() == savedCells) {
        out += row.line();
    } else {
        ListRow four = row;
        four.resize(savedCells);
        out += four.line();
    }
    // A cell holds no tab; a line break in one would end the record early.
    std::replace_if(
        out.begin() + static_cast<std::ptrdiff_t>(begin), out.end(),
        [](char c) { return c == '\n' || c == '\r'; }, ' ');
}

// A whole number of minutes, none or more, and nothing else.
std::optional<std::int32_t> minutesOf(std::string_view text)
{
    std::int32_t minutes = 0;
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, minutes);
    if (result.ec != std::errc() || result.ptr != end || minutes < 0)
        return std::nullopt;
    return minutes;
}

} // namespace

std::string prefsText(const WindowPlace &place, std::string_view columnWidths,
    const std::vector<ListRow> &rows, std::int32_t idleMinutes)
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

    // A file that never changed the threshold stays as it was.
    if (idleMinutes != GlobalsModule::defaultIdleMinutes) {
        out += idleMinutesName;
        appendNumber(out, idleMinutes);
        out += '\n';
    }

    for (const ListRow &row : rows) {
        out += savedItemName;
        appendRow(out, row);
        out += '\n';
    }
    return out;
}

bool applyDirectives(std::vector<directiveClass> directives, PrefsTarget &target)
{
    constexpr std::string_view tab = "\t";
    // Both "windowpos" and "saveditem" have four fields: a fourth tab starts one with no place.
    const auto moreThanFourFields
        = [](std::string_view text) { return std::count(text.begin(), text.end(), '\t') > 3; };
    bool usedWhole = true;
    // The names are distinct, so the order of the tests changes nothing but the time: rows come
    // first, as nearly every record is one.
    for (directiveClass &directive : directives) {
        if (directive.name == "saveditem") {
            // The record's text is the row's line: taken over, not copied.
            ListRow row = ListRow::fromLine(std::move(directive.text));
            const std::size_t cells = row.size();
            if (cells > savedCells)
                usedWhole = false;
            if (cells != savedCells)
                row.resize(savedCells);
            target.addRow(std::move(row));
        } else if (directive.name == "windowpos") {
            const auto field
                = [&](int n) { return toInt32(leadingNumber(NthField(directive.text, tab, n))); };
            target.setWindowPlace({ field(1), field(2), field(3), field(4) });
            if (moreThanFourFields(directive.text))
                usedWhole = false;
        } else if (directive.name == "columnwidths") {
            target.setColumnWidths(directive.text);
        } else if (directive.name == "idleminutes") {
            if (const auto minutes = minutesOf(directive.text))
                target.setIdleMinutes(*minutes);
            else
                usedWhole = false;
        } else if (directive.name != "version") {
            usedWhole = false;
        }
    }
    return usedWhole;
}
