#include "columnwidths.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace {

// Wider than any screen; keeps absurd entries such as "99999999999999999999" from overflowing an
// int when they are rounded to pixels.
constexpr double kMaxColumnWidth = 100000.0;

std::string_view trimmed(std::string_view text)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Plain decimal digits with at most one point. from_chars alone would also take a sign, an
// exponent, "inf" and "nan", none of which belongs in a widths text.
std::optional<double> parseNumber(std::string_view text)
{
    bool seenDigit = false;
    bool seenPoint = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<ColumnWidth> parseEntry(std::string_view entry)
{
    entry = trimmed(entry);
    if (entry == "*") {
        return ColumnWidth { ColumnWidth::Kind::Share, 0.0 };
    }
    auto kind = ColumnWidth::Kind::Pixels;
    if (!entry.empty() && entry.back() == '%') {
        kind = ColumnWidth::Kind::Percent;
        entry.remove_suffix(1);
    }
    const auto value = parseNumber(entry);
    if (!value) {
        return std::nullopt;
    }
    return ColumnWidth { kind, *value };
}

int toPixels(double value)
{
    // Written so that NaN lands on 0 as well.
    if (!(value > 0.0)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::min(value, kMaxColumnWidth)));
}

// Down, so that percentages of columns that fit add up to 100 at most. The small allowance keeps
// a value such as 25 from becoming 24.99 through the binary fraction it was computed as.
double hundredthsBelow(double value)
{
    return std::floor(value * 100.0 + 1e-6) / 100.0;
}

} // namespace

std::optional<std::vector<ColumnWidth>> parseColumnWidths(std::string_view text)
{
    if (trimmed(text).empty()) {
        return std::nullopt;
    }
    std::vector<ColumnWidth> widths;
    while (true) {
        const auto comma = text.find(',');
        const auto entry = parseEntry(text.substr(0, comma));
        if (!entry) {
            return std::nullopt;
        }
        widths.push_back(*entry);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return widths;
}

std::vector<int> layoutColumnWidths(
    const std::vector<ColumnWidth> &widths, int columnCount, int availableWidth)
{
    if (columnCount <= 0) {
        return {};
    }
    availableWidth = std::max(availableWidth, 0);
    std::vector<int> pixels(static_cast<std::size_t>(columnCount), 0);
    std::vector<std::size_t> shareColumns;
    int fixedTotal = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const ColumnWidth entry = i < widths.size() ? widths[i] : ColumnWidth {};
        switch (entry.kind) {
        case ColumnWidth::Kind::Percent:
            pixels[i] = toPixels(entry.value * availableWidth / 100.0);
            break;
        case ColumnWidth::Kind::Pixels:
            pixels[i] = toPixels(entry.value);
            break;
        case ColumnWidth::Kind::Share:
            shareColumns.push_back(i);
            continue;
        }
        fixedTotal += pixels[i];
    }
    if (shareColumns.empty()) {
        return fittedColumnWidths(std::move(pixels), availableWidth);
    }
    const int rest = std::max(availableWidth - fixedTotal, 0);
    const int shareCount = static_cast<int>(shareColumns.size());
    const int share = rest / shareCount;
    for (const std::size_t column : shareColumns) {
        pixels[column] = share;
    }
    pixels[shareColumns.back()] += rest - share * shareCount;
    return fittedColumnWidths(std::move(pixels), availableWidth);
}

std::vector<int> fittedColumnWidths(std::vector<int> pixels, int availableWidth)
{
    int left = 0;
    for (int &width : pixels) {
        width = std::clamp(width, 0, std::max(availableWidth - left, 0));
        left += width;
    }
    return pixels;
}

std::vector<int> draggedColumnWidths(
    std::vector<int> atDragStart, int column, int newWidth, int availableWidth)
{
    if (column >= 0 && static_cast<std::size_t>(column) < atDragStart.size())
        atDragStart[static_cast<std::size_t>(column)] = newWidth;
    return fittedColumnWidths(std::move(atDragStart), availableWidth);
}

std::vector<ColumnWidth> widthsFromPixels(
    const std::vector<ColumnWidth> &previous, const std::vector<int> &pixels, int availableWidth)
{
    std::vector<ColumnWidth> widths;
    widths.reserve(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const ColumnWidth before = i < previous.size() ? previous[i] : ColumnWidth {};
        const double width = std::max(pixels[i], 0);
        if (before.kind == ColumnWidth::Kind::Pixels) {
            widths.push_back({ ColumnWidth::Kind::Pixels, width });
        } else if (availableWidth > 0) {
            // Rounded as the text will be, so that the entries and their text agree.
            widths.push_back(
                { ColumnWidth::Kind::Percent, hundredthsBelow(width * 100.0 / availableWidth) });
        } else {
            // No width to be a percentage of: nothing can be learnt, keep the entry.
            widths.push_back(before);
        }
    }
    return widths;
}

std::string formatColumnWidths(const std::vector<ColumnWidth> &widths)
{
    std::string text;
    for (const ColumnWidth &width : widths) {
        if (!text.empty()) {
            text += ',';
        }
        if (width.kind == ColumnWidth::Kind::Share) {
            text += '*';
            continue;
        }
        // A negative or non-finite value could not be read back; 0 can.
        const double value = std::isfinite(width.value) && width.value > 0.0 ? width.value : 0.0;
        char buffer[400];
        const auto result
            = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
        std::string_view number(buffer, static_cast<std::size_t>(result.ptr - buffer));
        while (number.back() == '0') {
            number.remove_suffix(1);
        }
        if (number.back() == '.') {
            number.remove_suffix(1);
        }
        text += number;
        if (width.kind == ColumnWidth::Kind::Percent) {
            text += '%';
        }
    }
    return text;
}
