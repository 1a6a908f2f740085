#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One directive line of the preferences file, "#name text": the name in lower case and the rest
// of the line after the first space, unchanged.
struct directiveClass
{
    std::string name;
    std::string text;

    bool operator==(const directiveClass &) const = default;
};

struct DirectiveRead
{
    std::vector<directiveClass> directives;
    // Some of the file's text is in no record: a byte-order mark began the file, a "#" line
    // without a space was skipped, or reading ended at a line that does not begin with "#" while
    // that line or a later one holds more than line ends.
    bool leftUnread = false;

    bool operator==(const DirectiveRead &) const = default;
};

// The directives of a file's bytes, in file order. Lines end with "\n", "\r\n" or a lone "\r".
// A UTF-8 byte-order mark at the start is skipped. The file ends, for the reader, at the first
// byte of its first line that does not begin with "#"; a "#" line without a space carries no
// directive and is skipped.
[[nodiscard]] DirectiveRead readDirectives(std::string_view bytes);

// Hands the bytes of the regular file at path to take, a piece at a time until take returns
// false; false when the file is missing, not a regular file, not ours to read or fails to read. A
// pipe, socket or device is never opened for reading: it could keep the caller waiting forever.
// sized, when given, first learns the file's size.
bool readRegularFile(const std::string &path, const std::function<bool(std::string_view)> &take,
    const std::function<void(std::size_t)> &sized = {});

namespace GlobalsModule {

// The directives of the preferences file, read once at start-up.
extern std::vector<directiveClass> gDirectives;

// Appends the directives of the file at path to gDirectives. False when the file cannot be read
// (see readRegularFile); true otherwise, also for an empty file. When asked, tells whether some of
// the file's text is in no record.
bool extractDirectives(const std::string &path, bool *leftUnread = nullptr);

} // namespace GlobalsModule
