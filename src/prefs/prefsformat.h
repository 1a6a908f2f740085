#pragma once

#include "directives.h"
#include "globalsmodule.h"
#include "listrow.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The main window's place on the screen: its client area, in screen pixels.
struct WindowPlace
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool operator==(const WindowPlace &) const = default;
};

// The whole preferences file: "#version 1.5", "#windowpos" with the four numbers, "#columnwidths",
// "#idleminutes" only when it is not the default, then one "#saveditem" line per row with its
// cells joined by tabs. Every line ends with "\n". A tab or line break inside a text (possible
// only through a damaged file) is written as a space, so that the file always reads back as
// written.
[[nodiscard]] std::string prefsText(const WindowPlace &place, std::string_view columnWidths,
    const std::vector<ListRow> &rows, std::int32_t idleMinutes = GlobalsModule::defaultIdleMinutes);

// What the records of the file are applied to, in file order.
class PrefsTarget
{
public:
    virtual ~PrefsTarget() = default;
    virtual void setWindowPlace(const WindowPlace &place) = 0;
    virtual void setColumnWidths(std::string_view text) = 0;
    virtual void addRow(ListRow row) = 0;
    virtual void setIdleMinutes(std::int32_t minutes) = 0;
};

// Applies "windowpos", "saveditem", "columnwidths" and "idleminutes" records; any other name is
// ignored. A "windowpos" number that is missing or not a number reads as 0 and saturates to 32
// bits; an "idleminutes" text that is not a whole number of minutes leaves the minutes alone; a
// "saveditem" gives exactly four cells, missing ones empty, extra ones dropped. False when text
// went unused on the way: a record with a name this version does not know, fields after a record's
// fourth, or minutes that could not be read. The next save would lose that text, so the caller
// keeps the file as one that was not read whole.
bool applyDirectives(std::vector<directiveClass> directives, PrefsTarget &target);
