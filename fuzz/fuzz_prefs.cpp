#include "directives.h"
#include "listmodel.h"
#include "prefsformat.h"
#include "textfields.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Whatever a preferences file holds, what the program makes of it must save and load back
// unchanged: the parser, the loader and the writer have to agree on every byte.

namespace {

constexpr int columnCount = 4;
constexpr std::string_view tab = "\t";

class ListTarget : public PrefsTarget
{
public:
    void setWindowPlace(const WindowPlace &place) override { m_place = place; }
    void setColumnWidths(std::string_view text) override { m_widths = text; }
    void addRow(ListRow row) override { m_list.appendRow(std::move(row)); }
    void setIdleMinutes(std::int32_t minutes) override { m_idleMinutes = minutes; }

    void appendRow(ListRow row) { m_list.appendRow(std::move(row)); }
    [[nodiscard]] const WindowPlace &place() const { return m_place; }
    [[nodiscard]] const std::string &widths() const { return m_widths; }
    [[nodiscard]] const std::vector<ListRow> &rows() const { return m_list.rows(); }
    [[nodiscard]] std::int32_t idleMinutes() const { return m_idleMinutes; }

private:
    ListModel m_list { columnCount };
    WindowPlace m_place;
    std::string m_widths = "35%,25%,25%,15%";
    std::int32_t m_idleMinutes = GlobalsModule::defaultIdleMinutes;
};

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// What a row becomes in the file: exactly four cells, none with a tab or a line break.
ListRow asWritten(const ListRow &row)
{
    ListRow cells;
    for (std::size_t column = 0; column < columnCount; ++column)
        cells.set(column, withoutLineBreaks(row[column]));
    return cells;
}

// The raw input cut in four, so that the writer also meets line breaks and NUL bytes in cells,
// which no parsed record can carry (a tab becomes a space on its way into a cell).
ListRow rawRow(std::string_view bytes)
{
    ListRow row;
    const std::size_t quarter = bytes.size() / columnCount;
    for (std::size_t column = 0; column < columnCount; ++column) {
        const std::size_t begin = column * quarter;
        row.set(column, bytes.substr(begin, column + 1 == columnCount ? bytes.npos : quarter));
    }
    return row;
}

void checkParsed(const DirectiveRead &read)
{
    for (const directiveClass &directive : read.directives) {
        check(directive.name.find_first_of(" \r\nABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos);
        check(directive.text.find_first_of("\r\n") == std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const DirectiveRead read = readDirectives(bytes);
    checkParsed(read);

    ListTarget loaded;
    applyDirectives(read.directives, loaded);
    loaded.appendRow(rawRow(bytes));
    const std::vector<ListRow> &rows = loaded.rows();

    const std::string text = prefsText(loaded.place(), loaded.widths(), rows, loaded.idleMinutes());
    const DirectiveRead back = readDirectives(text);
    check(!back.leftUnread);
    const std::size_t header = loaded.idleMinutes() == GlobalsModule::defaultIdleMinutes ? 3 : 4;
    check(back.directives.size() == rows.size() + header);
    check(back.directives[0] == directiveClass { "version", "1.5" });
    check(back.directives[1].name == "windowpos");
    check(back.directives[2]
        == directiveClass { "columnwidths", withoutLineBreaks(loaded.widths()) });
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const directiveClass &record = back.directives[i + header];
        check(record.name == "saveditem");
        const ListRow cells = asWritten(rows[i]);
        for (int n = 1; n <= columnCount; ++n)
            check(NthField(record.text, tab, n) == cells[static_cast<std::size_t>(n - 1)]);
        check(std::count(record.text.begin(), record.text.end(), '\t') == columnCount - 1);
    }

    // What the program writes, it reads back whole.
    ListTarget reloaded;
    check(applyDirectives(back.directives, reloaded));
    check(reloaded.place() == loaded.place());
    check(reloaded.widths() == withoutLineBreaks(loaded.widths()));
    check(reloaded.idleMinutes() == loaded.idleMinutes());
    check(reloaded.rows().size() == rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        check(reloaded.rows()[i] == asWritten(rows[i]));
    // A second save of what was loaded writes the same bytes.
    check(prefsText(reloaded.place(), reloaded.widths(), reloaded.rows(), reloaded.idleMinutes())
        == text);
    return 0;
}
