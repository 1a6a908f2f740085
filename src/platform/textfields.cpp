#include "textfields.h"

#include <charconv>
#include <cmath>
#include <limits>

std::string_view NthField(std::string_view text, std::string_view separator, int n)
{
    if (n < 1)
        return {};
    if (separator.empty())
        return n == 1 ? text : std::string_view {};
    std::size_t begin = 0;
    for (int field = 1; field < n; ++field) {
        const std::size_t at = text.find(separator, begin);
        if (at == std::string_view::npos)
            return {};
        begin = at + separator.size();
    }
    const std::size_t end = text.find(separator, begin);
    return text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

double leadingNumber(std::string_view text)
{
    // from_chars takes "inf" and "nan" whatever the format, so a number must start with a digit
    // (or its point) right after the optional sign.
    const std::size_t first = text.starts_with('-') ? 1 : 0;
    if (first >= text.size() || (text[first] != '.' && (text[first] < '0' || text[first] > '9')))
        return 0.0;
    double value = 0.0;
    // chars_format::fixed reads "-digits.digits" with no exponent, no hex and no locale.
    const auto result
        = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        const std::string_view number
            = text.substr(0, static_cast<std::size_t>(result.ptr - text.data()));
        const std::string_view integerPart = number.substr(0, number.find('.'));
        // A non-zero digit before the point means too large; otherwise too close to zero.
        if (integerPart.find_first_of("123456789") == std::string_view::npos)
            return 0.0;
        return number.front() == '-' ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
    }
    return result.ec == std::errc {} ? value : 0.0;
}

std::string numberText(double value)
{
    if (value == 0.0)
        return "0"; // also -0.0, which would otherwise print as "-0"
    char buffer[400]; // the longest whole double in fixed notation has 309 digits
    const auto format
        = value == std::trunc(value) ? std::chars_format::fixed : std::chars_format::general;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    return std::string(buffer, result.ptr);
}

std::int32_t toInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::int32_t toInt32(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::string_view characterAt(std::string_view text, int n)
{
    // A code point starts at every byte that is not a continuation byte (10xxxxxx).
    const auto isStart
        = [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; };
    int position = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isStart(text[i]))
            continue;
        if (++position == n) {
            std::size_t end = i + 1;
            while (end < text.size() && !isStart(text[end]))
                ++end;
            return text.substr(i, end - i);
        }
    }
    return {};
}

std::string withoutLineBreaks(std::string_view text)
{
    std::string result(text);
    for (char &c : result) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return result;
}

std::string_view leadingBytes(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    // The first byte left out is a continuation byte (10xxxxxx) when the limit falls inside a
    // character; a character has at most three of them.
    const auto continues
        = [text](std::size_t at) { return (static_cast<unsigned char>(text[at]) & 0xc0) == 0x80; };
    std::size_t end = limit;
    for (int back = 0; back < 3 && end > 0 && continues(end); ++back)
        --end;
    return text.substr(0, end);
}
