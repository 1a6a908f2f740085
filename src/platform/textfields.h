#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The text services the time rules are written against. Texts are UTF-8 bytes; a separator is
// one or more bytes, so a field never splits a multi-byte character.

// Field n (1-based) of text cut at every occurrence of separator. Two separators in a row enclose
// an empty field; a field that does not exist, or n < 1, is empty.
[[nodiscard]] std::string_view NthField(std::string_view text, std::string_view separator, int n);

// The decimal number at the start of text: an optional "-", digits, optionally "." and more
// digits ("08" is 8, "16abc" is 16, "2.5x" is 2.5). Anything else, the empty text included, is 0.
// Too many digits for a double give an infinity of the right sign.
[[nodiscard]] double leadingNumber(std::string_view text);

// A double as text: a whole value as a plain integer with a leading "-" when negative and no
// point ("0", "-1440"), any other value in its shortest exact form.
[[nodiscard]] std::string numberText(double value);

// Saturating conversions to integers: NaN gives 0, values beyond the range give its nearest end,
// and the fraction is dropped toward zero.
[[nodiscard]] std::int32_t toInt32(double value);
[[nodiscard]] std::int32_t toInt32(std::int64_t value);

// Character position n (1-based, counting UTF-8 code points) of text; empty past the end.
[[nodiscard]] std::string_view characterAt(std::string_view text, int n);

// What ends a line of text on this platform, between lines copied to the clipboard.
inline constexpr std::string_view EndOfLine = "\n";

// The text with every tab, carriage return and line feed turned into a space: what a field of a
// one-line, tab-separated record can carry.
[[nodiscard]] std::string withoutLineBreaks(std::string_view text);

// The first bytes of text, at most limit of them, ending where a character ends: a multi-byte
// character that the limit would split is left out whole. The whole text when it fits.
[[nodiscard]] std::string_view leadingBytes(std::string_view text, std::size_t limit);
