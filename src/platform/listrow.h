#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// One row of a list control: its cells' texts, UTF-8 bytes kept exactly as they were read or
// typed. The cells are held in one string, separated by tabs. No cell can hold a tab: a cell is
// one field of a tab-separated line in the preferences file, and a tab typed or pasted into one
// becomes a space. So a row read from the file is its line, taken over as it stands, and a long
// list costs one string per row rather than one per cell. A row has at least one cell.
class ListRow
{
public:
    ListRow() = default;
    ListRow(std::initializer_list<std::string_view> cells);
    // The row whose cells are the tab-separated fields of line.
    [[nodiscard]] static ListRow fromLine(std::string line);

    [[nodiscard]] std::size_t size() const;
    // Cell n, or an empty text past the last cell.
    [[nodiscard]] std::string_view operator[](std::size_t n) const;
    // Sets cell n, adding empty cells up to it. A tab in text becomes a space.
    void set(std::size_t n, std::string_view text);
    // Makes it exactly count cells (at least one): empty ones added, or the last ones dropped.
    void resize(std::size_t count);

    // The cells joined by tabs.
    [[nodiscard]] const std::string &line() const { return m_line; }

    bool operator==(const ListRow &) const = default;

private:
    // Where cell n begins in the line, and where it ends; npos when there is no cell n.
    [[nodiscard]] std::size_t cellBegin(std::size_t n) const;
    [[nodiscard]] std::size_t cellEnd(std::size_t begin) const;

    std::string m_line;
};
